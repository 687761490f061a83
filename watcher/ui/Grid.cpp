#include "watcher/ui/Grid.h"

#include <algorithm>

#include "common/ComError.h"
#include "common/ErrorTrap.h"

namespace corvana::ui {

int Grid::AddColumn(const std::string& caption, int widthTwips) {
  m_Columns.push_back(GridColumn{caption, std::max(0, widthTwips)});
  NotifyChanged("Columns");
  return ColumnCount() - 1;
}

void Grid::ClearColumns() {
  m_Columns.clear();
  NotifyChanged("Columns");
}

const GridColumn& Grid::Column(int index) const {
  if (index < 0 || index >= ColumnCount())
    RaiseError(kErrSubscriptOutOfRange, "Grid.Columns", "Subscript out of range");
  return m_Columns[static_cast<std::size_t>(index)];
}

void Grid::SetColumnCaption(int index, const std::string& caption) {
  const_cast<GridColumn&>(Column(index)).Caption = caption;
  NotifyChanged("Columns");
}

void Grid::SetColumnWidth(int index, int widthTwips) {
  const_cast<GridColumn&>(Column(index)).Width = std::max(0, widthTwips);
  NotifyChanged("ColumnWidths");
}

void Grid::SetColumnAlignment(int index, Alignment alignment) {
  const_cast<GridColumn&>(Column(index)).TextAlignment = alignment;
  NotifyChanged("Columns");
}

void Grid::SetColumnVisible(int index, bool visible) {
  const_cast<GridColumn&>(Column(index)).Visible = visible;
  NotifyChanged("Columns");
}

void Grid::SetRowHeaders(std::vector<std::string> headers) {
  m_RowHeaders = std::move(headers);
  NotifyChanged("RowHeaders");
}

void Grid::SetRowHeaderWidth(int widthTwips) {
  m_RowHeaderWidth = std::max(0, widthTwips);
  NotifyChanged("RowHeaders");
}

void Grid::LoadText(const std::string& tabCrText) {
  m_DataSource = nullptr;
  m_Cells.clear();
  std::vector<std::string> row;
  std::string cell;
  bool rowOpen = false;
  for (std::size_t i = 0; i < tabCrText.size(); ++i) {
    char c = tabCrText[i];
    if (c == '\t') {
      row.push_back(std::move(cell));
      cell.clear();
      rowOpen = true;
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < tabCrText.size() && tabCrText[i + 1] == '\n') ++i;
      row.push_back(std::move(cell));
      cell.clear();
      m_Cells.push_back(std::move(row));
      row.clear();
      rowOpen = false;
    } else {
      cell.push_back(c);
      rowOpen = true;
    }
  }
  if (rowOpen) {
    row.push_back(std::move(cell));
    m_Cells.push_back(std::move(row));
  }
  m_RowCount = static_cast<int>(m_Cells.size());
  m_TopRow = std::min(m_TopRow, std::max(0, m_RowCount - 1));
  NotifyChanged("Cells");
}

void Grid::SetCellText(int row, int column, const std::string& text) {
  if (row < 0 || column < 0) RaiseError(kErrSubscriptOutOfRange, "Grid.CellText", "Subscript out of range");
  m_DataSource = nullptr;
  if (static_cast<std::size_t>(row) >= m_Cells.size()) m_Cells.resize(static_cast<std::size_t>(row) + 1);
  auto& cells = m_Cells[static_cast<std::size_t>(row)];
  if (static_cast<std::size_t>(column) >= cells.size()) cells.resize(static_cast<std::size_t>(column) + 1);
  cells[static_cast<std::size_t>(column)] = text;
  m_RowCount = static_cast<int>(m_Cells.size());
  NotifyChanged("Cells");
}

void Grid::ClearCells() {
  m_Cells.clear();
  if (!m_DataSource) m_RowCount = 0;
  m_TopRow = 0;
  NotifyChanged("Cells");
}

void Grid::SetDataSource(IsgGridDataSource* source) {
  m_DataSource = source;
  m_Cells.clear();
  m_RowCount = 0;
  m_TopRow = 0;
  m_Follow = Follow::Never;
  NotifyChanged("DataSource");
  RefreshRowCount();
}

void Grid::RefreshRowCount() {
  if (!m_DataSource) return;
  std::int32_t count = 0;
  if (!ResumeNext([&] { count = m_DataSource->IsgGridDataSource_GetRowCount(); }) || count < 0) count = 0;
  // Whether the view shows the last rows is decided before they grow.
  if (m_Follow == Follow::Paused && ShowsLastRows()) m_Follow = Follow::On;
  m_RowCount = count;
  m_TopRow = std::clamp(m_TopRow, 0, std::max(0, m_RowCount - 1));
  NotifyChanged("RowCount");
  if (m_Follow == Follow::On) ScrollToLastRows();
}

void Grid::RefreshRows() {
  RefreshRowCount();
  NotifyChanged("Cells");
}

int Grid::DisplayColumnCount() const noexcept {
  if (!m_Columns.empty()) return ColumnCount();
  std::size_t widest = 0;
  for (const auto& row : m_Cells) widest = std::max(widest, row.size());
  return static_cast<int>(widest);
}

std::string Grid::CellText(int row, int column) const {
  if (row < 0 || row >= m_RowCount || column < 0) return {};
  if (m_DataSource) {
    auto texts = RowTexts(row);
    return static_cast<std::size_t>(column) < texts.size() ? texts[static_cast<std::size_t>(column)]
                                                           : std::string();
  }
  const auto& cells = m_Cells[static_cast<std::size_t>(row)];
  return static_cast<std::size_t>(column) < cells.size() ? cells[static_cast<std::size_t>(column)]
                                                         : std::string();
}

std::vector<std::string> Grid::RowTexts(int row) const {
  std::vector<std::string> texts(static_cast<std::size_t>(DisplayColumnCount()));
  if (row < 0 || row >= m_RowCount) return texts;
  if (m_DataSource) {
    std::vector<Variant> values(texts.size());
    ResumeNext([&] { m_DataSource->IsgGridDataSource_GetRowData(row, 0, values); });
    for (std::size_t k = 0; k < texts.size() && k < values.size(); ++k) {
      ResumeNext([&] { texts[k] = values[k].ToString(); });
    }
    return texts;
  }
  const auto& cells = m_Cells[static_cast<std::size_t>(row)];
  for (std::size_t k = 0; k < texts.size() && k < cells.size(); ++k) texts[k] = cells[k];
  return texts;
}

void Grid::SetTopRow(int row) {
  row = std::clamp(row, 0, std::max(0, m_RowCount - 1));
  if (m_TopRow == row) return;
  m_TopRow = row;
  NotifyChanged("TopRow");
}

int Grid::VisibleRows() const noexcept {
  if (m_VisibleRows > 0) return m_VisibleRows;
  int rowHeight = std::max(1, m_Style.RowHeight);
  return std::max(1, (Height() - m_Style.HeaderHeight) / rowHeight);
}

void Grid::SetVisibleRows(int rows) {
  m_VisibleRows = std::max(0, rows);
}

void Grid::UserScroll(int row) {
  SetTopRow(row);
  if (m_Follow != Follow::Never) m_Follow = ShowsLastRows() ? Follow::On : Follow::Paused;
  if (Scroll) Scroll();
}

void Grid::ScrollToLastRows() {
  int top = std::max(0, m_RowCount - VisibleRows());
  if (m_TopRow != top) {
    m_TopRow = top;
  }
  // Always tell the backend: its own view may have moved away from the last rows.
  NotifyChanged("TopRow");
}

void Grid::FollowLastRows() {
  m_Follow = Follow::On;
  ScrollToLastRows();
}

void Grid::StopFollowing() {
  if (m_Follow == Follow::On) m_Follow = Follow::Paused;
}

void Grid::SetStyle(const GridStyle& style) {
  if (m_Style == style) return;
  m_Style = style;
  NotifyChanged("Style");
}

Variant Grid::Property(std::string_view name) const {
  if (name == "RowCount" || name == "Rows") return Variant(static_cast<std::int32_t>(m_RowCount));
  if (name == "ColumnCount" || name == "Cols") return Variant(static_cast<std::int32_t>(ColumnCount()));
  if (name == "TopRow") return Variant(static_cast<std::int32_t>(m_TopRow));
  return Control::Property(name);
}

}  // namespace corvana::ui
