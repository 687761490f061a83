#include "watcher/ui/qt/GridBinder.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QWheelEvent>
#include <algorithm>
#include <utility>

#include "common/ErrorTrap.h"
#include "watcher/ui/Grid.h"
#include "watcher/ui/qt/FormBinder.h"
#include "watcher/ui/qt/GridTableModel.h"

namespace corvana::ui {

namespace {

// A column is at least as wide as its caption, up to a budget; a longer caption ends in "..."
// at the right, so that it reads from its start, and shows whole in its tooltip.
constexpr int kCaptionWidthBudget = 2400;  // twips

}  // namespace

GridBinder::GridBinder(Grid& grid, FormBinder& form) : ControlBinder(grid, form), m_Grid(grid) {
  auto* box = new QWidget(form.ParentFor(grid));
  m_View = new QTableView(box);
  m_Scroll = new QScrollBar(Qt::Vertical, box);
  m_Model = new GridTableModel(grid, m_View);
  m_View->setModel(m_Model);
  m_View->setWordWrap(false);
  m_View->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_View->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_View->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_View->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  m_View->horizontalHeader()->setHighlightSections(false);
  m_View->horizontalHeader()->setTextElideMode(Qt::ElideRight);
  m_View->viewport()->installEventFilter(this);
  box->installEventFilter(this);
  Attach(box);
  QObject::connect(m_View, &QTableView::clicked, this, [this] {
    if (m_Grid.Click) ResumeNext([&] { m_Grid.Click(); });
  });
  QObject::connect(m_View, &QTableView::doubleClicked, this, [this] {
    if (m_Grid.DblClick) ResumeNext([&] { m_Grid.DblClick(); });
  });
  // An action is the user's (mouse, keys); it comes just before the value it sets, if any.
  QObject::connect(m_Scroll, &QScrollBar::actionTriggered, this,
                   [this] { m_UserScrolling = m_Scroll->sliderPosition() != m_Scroll->value(); });
  QObject::connect(m_Scroll, &QScrollBar::valueChanged, this, [this](int value) {
    m_Model->SetWindow(value, WindowSize());
    const bool user = std::exchange(m_UserScrolling, false);
    if (Updating()) return;
    ResumeNext([&] { user ? m_Grid.UserScroll(value) : m_Grid.SetTopRow(value); });
  });
}

bool GridBinder::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize && (watched == Widget() || watched == m_View->viewport())) Layout();
  if (event->type() == QEvent::Wheel && watched == m_View->viewport()) {
    auto* wheel = static_cast<QWheelEvent*>(event);
    m_UserScrolling = true;
    m_Scroll->setValue(m_Scroll->value() - wheel->angleDelta().y() / 40);
    m_UserScrolling = false;  // a wheel that moved nothing leaves no action behind
    return true;
  }
  return ControlBinder::eventFilter(watched, event);
}

void GridBinder::SyncKind(std::string_view property) {
  UpdateScope scope(*this);
  if (All(property) || property == "Columns" || property == "Cells" || property == "DataSource" ||
      property == "RowHeaders") {
    m_Model->Reload();
    m_View->verticalHeader()->setVisible(!m_Grid.RowHeaders().empty());
    if (!m_Grid.RowHeaders().empty())
      m_View->verticalHeader()->setFixedWidth(Form().ToPixelsX(m_Grid.RowHeaderWidth()));
    ApplyWidths();
    Layout();
  }
  if (property == "ColumnWidths") ApplyWidths();
  if (property == "RowCount") {
    m_Model->RowCountChanged();
    Layout();
  }
  if (All(property) || property == "Style") {
    const GridStyle& style = m_Grid.Style();
    m_View->setShowGrid(style.GridLines);
    m_View->setAlternatingRowColors(style.AlternateRowShading);
    m_View->setSelectionBehavior(style.RowSelection ? QAbstractItemView::SelectRows
                                                    : QAbstractItemView::SelectItems);
    int rowPixels = std::max(8, Form().ToPixelsY(style.RowHeight));
    m_View->verticalHeader()->setMinimumSectionSize(rowPixels);
    m_View->verticalHeader()->setDefaultSectionSize(rowPixels);
    m_View->horizontalHeader()->setFixedHeight(std::max(12, Form().ToPixelsY(style.HeaderHeight)));
    m_View->horizontalHeader()->setMinimumSectionSize(std::max(4, Form().ToPixelsX(style.MinColumnWidth)));
    Layout();
  }
  if (property == "Geometry") Layout();
  if (property == "TopRow") m_Scroll->setValue(m_Grid.TopRow());
}

int GridBinder::RowPixels() const {
  return std::max(1, m_View->verticalHeader()->defaultSectionSize());
}

int GridBinder::VisibleRows() const {
  return std::max(1, m_View->viewport()->height() / RowPixels());
}

void GridBinder::Layout() {
  QWidget* box = Widget();
  if (!box) return;
  const int rows = m_Model->TotalRows();
  const int scrollWidth = m_Scroll->sizeHint().width();
  // The bar is shown only when there is more than fits; the view then leaves it room.
  int visible = std::max(1, (box->height() - m_View->horizontalHeader()->height() - 4) / RowPixels());
  bool needsBar = rows > visible;
  m_View->setGeometry(0, 0, box->width() - (needsBar ? scrollWidth : 0), box->height());
  m_Scroll->setGeometry(box->width() - scrollWidth, 0, scrollWidth, box->height());
  m_Scroll->setVisible(needsBar);
  m_Grid.SetVisibleRows(VisibleRows());
  m_Scroll->setRange(0, std::max(0, rows - VisibleRows()));
  m_Scroll->setPageStep(VisibleRows());
  m_Model->SetWindow(m_Scroll->value(), WindowSize());
}

void GridBinder::ApplyWidths() {
  QHeaderView* header = m_View->horizontalHeader();
  const QFontMetrics fm(header->font());
  const int margin = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) + 4;
  const int budget = Form().ToPixelsX(kCaptionWidthBudget);
  for (int i = 0; i < m_Grid.ColumnCount(); ++i) {
    const GridColumn& column = m_Grid.Column(i);
    const int own = Form().ToPixelsX(column.Width);
    const int caption = fm.horizontalAdvance(QString::fromStdString(column.Caption)) + margin;
    m_View->setColumnWidth(i, std::max(own, std::min(caption, budget)));
    m_View->setColumnHidden(i, !column.Visible);
  }
}

}  // namespace corvana::ui
