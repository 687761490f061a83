#include "watcher/ui/qt/GridTableModel.h"

#include <algorithm>

#include "watcher/ui/Grid.h"

namespace corvana::ui {

GridTableModel::GridTableModel(Grid& grid, QObject* parent) : QAbstractTableModel(parent), m_Grid(grid) {
  m_Rows = grid.RowCount();
  m_Columns = grid.DisplayColumnCount();
}

int GridTableModel::WindowRows() const noexcept {
  return std::max(0, std::min(m_WindowSize, m_Rows - m_Offset));
}

int GridTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : WindowRows();
}

void GridTableModel::SetWindow(int offset, int rows) {
  rows = std::max(1, rows);
  offset = std::clamp(offset, 0, std::max(0, m_Rows - 1));
  if (offset == m_Offset && rows == m_WindowSize) return;
  beginResetModel();
  m_Offset = offset;
  m_WindowSize = rows;
  endResetModel();
}

int GridTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : m_Columns;
}

const QStringList& GridTableModel::Row(int row) const {
  if (auto it = m_Cache.find(row); it != m_Cache.end()) {
    m_Order.splice(m_Order.begin(), m_Order, it->second.second);
    return it->second.first;
  }
  QStringList texts;
  for (const auto& text : m_Grid.RowTexts(row)) texts << QString::fromStdString(text);
  if (m_Cache.size() >= kCacheRows) {
    m_Cache.erase(m_Order.back());
    m_Order.pop_back();
  }
  m_Order.push_front(row);
  return m_Cache.emplace(row, std::make_pair(std::move(texts), m_Order.begin())).first->second.first;
}

QVariant GridTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= WindowRows() || index.column() >= m_Columns) return {};
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
    const QStringList& row = Row(m_Offset + index.row());
    return index.column() < row.size() ? row[index.column()] : QString();
  }
  if (role == Qt::TextAlignmentRole && index.column() < m_Grid.ColumnCount()) {
    switch (m_Grid.Column(index.column()).TextAlignment) {
      case Alignment::Right: return int(Qt::AlignRight | Qt::AlignVCenter);
      case Alignment::Center: return int(Qt::AlignCenter);
      case Alignment::Left: return int(Qt::AlignLeft | Qt::AlignVCenter);
    }
  }
  return {};
}

QVariant GridTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  // A caption cut short in its header is read whole in its tooltip.
  if (role == Qt::ToolTipRole && orientation == Qt::Horizontal && section >= 0 &&
      section < m_Grid.ColumnCount())
    return QString::fromStdString(m_Grid.Column(section).Caption);
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) {
    if (section >= 0 && section < m_Grid.ColumnCount())
      return QString::fromStdString(m_Grid.Column(section).Caption);
    return {};
  }
  const auto& headers = m_Grid.RowHeaders();
  const long row = static_cast<long>(m_Offset) + section;
  if (section >= 0 && row < static_cast<long>(headers.size()))
    return QString::fromStdString(headers[static_cast<std::size_t>(row)]);
  return {};
}

void GridTableModel::Reload() {
  beginResetModel();
  m_Cache.clear();
  m_Order.clear();
  m_Rows = m_Grid.RowCount();
  m_Columns = m_Grid.DisplayColumnCount();
  m_Offset = std::clamp(m_Offset, 0, std::max(0, m_Rows - 1));
  endResetModel();
}

void GridTableModel::RowCountChanged() {
  int rows = m_Grid.RowCount();
  if (rows == m_Rows) return;
  if (rows < m_Rows) {
    Reload();
    return;
  }
  // Rows appended behind the window need no change in the view.
  int shownBefore = WindowRows();
  m_Rows = rows;
  if (WindowRows() > shownBefore) {
    beginInsertRows(QModelIndex(), shownBefore, WindowRows() - 1);
    endInsertRows();
  }
}

}  // namespace corvana::ui
