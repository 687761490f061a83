#pragma once

#include <functional>
#include <string>
#include <vector>

#include "watcher/ui/Control.h"
#include "watcher/ui/IsgGridDataSource.h"

namespace corvana::ui {

struct GridColumn {
  std::string Caption;
  int Width = 1200;  // twips
  Alignment TextAlignment = Alignment::Left;
  bool Visible = true;
};

// The grid control's own appearance settings (StyleGrid sets the standard look).
struct GridStyle {
  bool GridLines = true;
  bool AlternateRowShading = false;
  bool RowSelection = true;  // clicking selects whole rows
  int RowHeight = 255;       // twips
  int MinColumnWidth = 150;  // twips; narrower columns are widened to this
  int HeaderHeight = 275;    // twips
  bool operator==(const GridStyle&) const = default;
};

// A read-only table with column captions and optional row headers. Cells come either from text
// loaded in one call (tabs between columns, CR between rows) or from a virtual data source that is
// asked only for the rows shown.
class Grid : public Control {
 public:
  explicit Grid(std::string name) : Control(ControlKind::Grid, std::move(name)) {}

  // Columns.
  int AddColumn(const std::string& caption, int widthTwips);  // returns the new index
  void ClearColumns();
  int ColumnCount() const noexcept { return static_cast<int>(m_Columns.size()); }
  // Raise "Subscript out of range" outside 0..ColumnCount-1.
  const GridColumn& Column(int index) const;
  void SetColumnCaption(int index, const std::string& caption);
  void SetColumnWidth(int index, int widthTwips);
  void SetColumnAlignment(int index, Alignment alignment);
  void SetColumnVisible(int index, bool visible);
  const std::vector<GridColumn>& Columns() const noexcept { return m_Columns; }

  // Row headers (a fixed first column of captions); shown when any is set.
  void SetRowHeaders(std::vector<std::string> headers);
  const std::vector<std::string>& RowHeaders() const noexcept { return m_RowHeaders; }
  int RowHeaderWidth() const noexcept { return m_RowHeaderWidth; }
  void SetRowHeaderWidth(int widthTwips);

  // Replaces every cell: rows split at CR (a following LF is dropped), columns at tabs. A trailing
  // CR ends the last row without adding an empty one. Unbinds any data source.
  void LoadText(const std::string& tabCrText);
  void SetCellText(int row, int column, const std::string& text);  // grows the table as needed
  void ClearCells();

  // Binds (or with nullptr unbinds) a virtual source; the grid does not own it. The row count is
  // asked at once and again on RefreshRowCount.
  void SetDataSource(IsgGridDataSource* source);
  IsgGridDataSource* DataSource() const noexcept { return m_DataSource; }
  // Asks the source for its row count again (a source that fails counts as 0 rows).
  void RefreshRowCount();
  // The source's rows changed in place: asks its row count again and redraws the rows in view.
  void RefreshRows();

  int RowCount() const noexcept { return m_RowCount; }
  // Columns shown: ColumnCount, or the widest loaded row when no columns are defined.
  int DisplayColumnCount() const noexcept;
  // Text of one cell from the loaded text or the data source; empty outside the table.
  std::string CellText(int row, int column) const;
  // All cells of one row (column count = ColumnCount, or the widest loaded row without columns).
  std::vector<std::string> RowTexts(int row) const;

  // Scrolling: the first row in view, and how many rows fit (set by the backend from the real
  // widget; before that estimated from the height).
  int TopRow() const noexcept { return m_TopRow; }
  void SetTopRow(int row);  // clamped to the table
  // The user scrolled (scroll bar, wheel, keys): the view moves and Scroll fires. A view the toolkit
  // moved by itself (laid out afresh, clamped) uses SetTopRow and fires nothing.
  void UserScroll(int row);
  int VisibleRows() const noexcept;
  void SetVisibleRows(int rows);
  // Brings the last rows into view.
  void ScrollToLastRows();
  // A log's way: brings the last rows into view and keeps them there as RefreshRowCount finds new
  // ones, until the user scrolls away from them or StopFollowing; a view back at the last rows
  // follows again.
  void FollowLastRows();
  void StopFollowing();

  const GridStyle& Style() const noexcept { return m_Style; }
  void SetStyle(const GridStyle& style);

  Variant Property(std::string_view name) const override;

  std::function<void()> Click;
  std::function<void()> DblClick;
  std::function<void()> Scroll;

 private:
  std::vector<GridColumn> m_Columns;
  std::vector<std::string> m_RowHeaders;
  int m_RowHeaderWidth = 1200;
  std::vector<std::vector<std::string>> m_Cells;
  IsgGridDataSource* m_DataSource = nullptr;
  int m_RowCount = 0;
  int m_TopRow = 0;
  int m_VisibleRows = 0;
  GridStyle m_Style;
  enum class Follow { Never, On, Paused };
  Follow m_Follow = Follow::Never;

  bool ShowsLastRows() const noexcept { return m_TopRow + VisibleRows() >= m_RowCount; }
};

}  // namespace corvana::ui
