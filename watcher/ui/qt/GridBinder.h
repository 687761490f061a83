#pragma once

#include <string_view>

#include "watcher/ui/qt/ControlBinder.h"

class QScrollBar;
class QTableView;

namespace corvana::ui {

class Grid;

// A grid is a table view showing a window of rows beside a scroll bar over the whole table, so
// that a table of millions of rows costs no more than the rows in view.
class GridBinder : public ControlBinder {
 public:
  GridBinder(Grid& grid, FormBinder& form);

  GridTableModel* TableModel() const override { return m_Model; }
  bool eventFilter(QObject* watched, QEvent* event) override;

 protected:
  void SyncKind(std::string_view property) override;

 private:
  int RowPixels() const;
  // Rows wholly in view, and the window that also covers a partly shown last row.
  int VisibleRows() const;
  int WindowSize() const { return VisibleRows() + 1; }
  void Layout();
  void ApplyWidths();

  Grid& m_Grid;
  QTableView* m_View;
  QScrollBar* m_Scroll;
  GridTableModel* m_Model;
  bool m_UserScrolling = false;  // the scroll bar's next value is the user's
};

}  // namespace corvana::ui
