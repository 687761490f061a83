#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <list>
#include <unordered_map>

namespace corvana::ui {

class Grid;

// The Qt item model over a grid model. It shows a window of the grid's rows (the rows in view):
// the view never holds per-row state for millions of rows, and a virtual data source is asked only
// for the rows drawn, one call per row, with a small cache of the rows last drawn.
class GridTableModel : public QAbstractTableModel {
 public:
  explicit GridTableModel(Grid& grid, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Shows rows offset .. offset + rows - 1 of the grid (clamped to the table).
  void SetWindow(int offset, int rows);
  int Offset() const noexcept { return m_Offset; }
  int TotalRows() const noexcept { return m_Rows; }

  // The grid's structure or content changed: drop the cache and tell the view.
  void Reload();
  // Only the row count changed (the log grew): rows already cached stay valid.
  void RowCountChanged();

 private:
  const QStringList& Row(int row) const;

  Grid& m_Grid;
  int WindowRows() const noexcept;

  int m_Rows = 0;
  int m_Columns = 0;
  int m_Offset = 0;
  int m_WindowSize = 64;
  static constexpr std::size_t kCacheRows = 512;
  mutable std::list<int> m_Order;  // most recent first
  mutable std::unordered_map<int, std::pair<QStringList, std::list<int>::iterator>> m_Cache;
};

}  // namespace corvana::ui
