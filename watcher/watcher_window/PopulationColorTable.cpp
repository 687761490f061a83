#include "watcher/watcher_window/PopulationColorTable.h"

#include <algorithm>
#include <cmath>

#include "common/ComError.h"

namespace corvana {

void PopulationColorTable::Initialize(int columns, int rows) {
  m_Columns = std::clamp(columns, 0, kMaxColumns);
  m_Rows = std::clamp(rows, 0, kMaxRows);
  const auto cells = static_cast<std::size_t>(m_Columns) * static_cast<std::size_t>(m_Rows);
  m_Cells.assign(cells, 0);
  m_Values.assign(cells, 0.0);
  m_HasValue.assign(cells, false);
  m_Distinct.assign(static_cast<std::size_t>(m_Columns), {});
  m_DistinctPlace.assign(static_cast<std::size_t>(m_Columns), {});
}

std::size_t PopulationColorTable::Index(int column, int row) const {
  if (column < 1 || column > m_Columns || row < 1 || row > m_Rows)
    RaiseError(kErrInvalidArgument, "PopulationColorTable",
               "No cell " + std::to_string(column) + ", " + std::to_string(row) + " in the colour table.");
  return static_cast<std::size_t>(column - 1) * static_cast<std::size_t>(m_Rows) +
         static_cast<std::size_t>(row - 1);
}

void PopulationColorTable::SetRangeValue(int column, int row, double value, double minimum, double maximum) {
  const std::size_t i = Index(column, row);
  const double step = std::floor(kColorCount * (value - minimum) / (maximum - minimum));
  if (!std::isfinite(step)) return;
  // Anything outside the range is clamped when resolved; kept clear of the distinct-value mark.
  m_Cells[i] = static_cast<std::int16_t>(std::clamp(step, -1.0, static_cast<double>(kColorCount)));
  m_Values[i] = value;
  m_HasValue[i] = true;
}

void PopulationColorTable::SetDistinctValue(int column, int row, double value) {
  const std::size_t i = Index(column, row);
  auto& places = m_DistinctPlace[static_cast<std::size_t>(column - 1)];
  auto& values = m_Distinct[static_cast<std::size_t>(column - 1)];
  if (values.size() < kMaxDistinctValues && places.find(value) == places.end()) {
    values.push_back(value);
    places.emplace(value, static_cast<int>(values.size()));
  }
  m_Cells[i] = kFromDistinctValues;
  m_Values[i] = value;
  m_HasValue[i] = true;
}

void PopulationColorTable::Resolve() {
  for (int c = 1; c <= m_Columns; ++c) {
    const auto& places = m_DistinctPlace[static_cast<std::size_t>(c - 1)];
    for (int r = 1; r <= m_Rows; ++r) {
      const std::size_t i = Index(c, r);
      std::int16_t& cell = m_Cells[i];
      if (cell == kFromDistinctValues) {
        const auto found = places.find(m_Values[i]);
        cell = static_cast<std::int16_t>(found == places.end() ? 0 : found->second % kColorCount);
      } else {
        cell = std::clamp<std::int16_t>(cell, 0, kColorCount - 1);
      }
    }
  }
}

std::int16_t PopulationColorTable::Cell(int column, int row) const {
  return m_Cells[Index(column, row)];
}

bool PopulationColorTable::Value(int column, int row, double& value) const {
  const std::size_t i = Index(column, row);
  if (!m_HasValue[i]) return false;
  value = m_Values[i];
  return true;
}

const std::vector<double>& PopulationColorTable::DistinctValues(int column) const {
  Index(column, 1);
  return m_Distinct[static_cast<std::size_t>(column - 1)];
}

void PopulationColorTable::Draw(int scaleWidth, int scaleHeight, std::vector<ui::FilledRect>& rects) const {
  rects.clear();
  if (m_Columns == 0 || m_Rows == 0) return;
  const int cellWidth = scaleWidth / m_Columns;
  const int cellHeight = scaleHeight / m_Rows;
  if (cellWidth <= 0 || cellHeight <= 0) return;
  rects.reserve(m_Cells.size());
  for (int c = 1; c <= m_Columns; ++c)
    for (int r = 1; r <= m_Rows; ++r)
      rects.push_back(
          ui::FilledRect{ui::Rect{(c - 1) * cellWidth, (r - 1) * cellHeight, cellWidth, cellHeight},
                         ui::QBColor(m_Cells[Index(c, r)])});
}

bool PopulationColorTable::CellAt(int x, int y, int scaleWidth, int scaleHeight, int& column,
                                  int& row) const {
  if (m_Columns == 0 || m_Rows == 0 || x < 0 || y < 0) return false;
  const int cellWidth = scaleWidth / m_Columns;
  const int cellHeight = scaleHeight / m_Rows;
  if (cellWidth <= 0 || cellHeight <= 0) return false;
  const int c = x / cellWidth + 1;
  const int r = y / cellHeight + 1;
  if (c > m_Columns || r > m_Rows) return false;
  column = c;
  row = r;
  return true;
}

}  // namespace corvana
