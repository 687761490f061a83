#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "watcher/ui/PictureBox.h"

namespace corvana {

// The population as a matrix of palette colours: one column per gene, one row per organism.
// Numeric genes are coloured by their place in their range (sixteen steps); other genes by the
// order in which their column first met each value, so a value keeps its colour from update to
// update.
class PopulationColorTable {
 public:
  static constexpr int kMaxColumns = 256;
  static constexpr int kMaxRows = 256;
  static constexpr std::size_t kMaxDistinctValues = 256;
  static constexpr int kColorCount = 16;
  // A cell whose colour comes from its column's distinct values.
  static constexpr std::int16_t kFromDistinctValues = -16384;

  // Sizes the table (each count capped, negatives as 0) and forgets every value.
  void Initialize(int columns, int rows);
  int Columns() const noexcept { return m_Columns; }
  int Rows() const noexcept { return m_Rows; }

  // Cells are 1-based (column, row), as the engine numbers genes and organisms.
  // A numeric gene: Int(16 * (value - minimum) / (maximum - minimum)). An empty or unusable range
  // leaves the cell as it was.
  void SetRangeValue(int column, int row, double value, double minimum, double maximum);
  // A gene coloured through its column's distinct values (at most kMaxDistinctValues are kept).
  void SetDistinctValue(int column, int row, double value);
  // Every cell to its colour number: a distinct value's 1-based place Mod 16 (0 when it is not in
  // the list), a range step clamped to 0..15 (the range maximum, step 16, is drawn as 15).
  void Resolve();

  // The cell as stored: a colour number once resolved, else a range step or kFromDistinctValues.
  std::int16_t Cell(int column, int row) const;
  // The last value read for the cell; false when none was.
  bool Value(int column, int row, double& value) const;
  const std::vector<double>& DistinctValues(int column) const;

  // Every cell as a box of (scaleWidth \ columns) x (scaleHeight \ rows) in palette colour.
  void Draw(int scaleWidth, int scaleHeight, std::vector<ui::FilledRect>& rects) const;
  // The cell under a point of a picture drawn by Draw; false outside every cell.
  bool CellAt(int x, int y, int scaleWidth, int scaleHeight, int& column, int& row) const;

 private:
  std::size_t Index(int column, int row) const;

  int m_Columns = 0;
  int m_Rows = 0;
  std::vector<std::int16_t> m_Cells;  // column by column
  std::vector<double> m_Values;
  std::vector<bool> m_HasValue;
  std::vector<std::vector<double>> m_Distinct;
  std::vector<std::unordered_map<double, int>> m_DistinctPlace;  // value -> 1-based place
};

}  // namespace corvana
