#include "watcher/ui/qt/GraphWidget.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>

#include "watcher/graph/render/OGrGraphRenderer.h"
#include "watcher/ui/GraphControl.h"

namespace corvana::ui {

GraphWidget::GraphWidget(GraphControl& control, QWidget* parent) : QWidget(parent), m_Control(control) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void GraphWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (m_Control.Graph())
    OGrGraphRenderer::Render(*m_Control.Graph(), painter, rect());
  else
    painter.fillRect(rect(), Qt::white);
}

void GraphWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton && m_Control.RightClickEnabled() && m_Control.Graph()) {
    ShowOwnMenu(event->globalPosition().toPoint());
    return;
  }
  QWidget::mouseReleaseEvent(event);
}

void GraphWidget::ShowOwnMenu(const QPoint& globalPosition) {
  // The graph is kept alive while its dialogs are open, whatever the window does meanwhile.
  auto graph = m_Control.Graph();
  m_Control.SetModalDialogBeingDisplayed(true);
  QMenu menu(this);
  QAction* copy = menu.addAction("Copy Picture");
  QAction* save = menu.addAction("Save Picture As...");
  QAction* chosen = menu.exec(globalPosition);
  const QSize size = this->size().expandedTo(QSize(200, 150));
  if (chosen == copy) {
    QApplication::clipboard()->setImage(OGrGraphRenderer::RenderImage(*graph, size.width(), size.height()));
  } else if (chosen == save) {
    QString path = QFileDialog::getSaveFileName(this, "Save Picture As", "graph.png", "PNG picture (*.png)");
    if (!path.isEmpty() && !OGrGraphRenderer::SavePng(*graph, path, size.width(), size.height()))
      QMessageBox::warning(this, "Corvana", "The picture could not be written to\n" + path);
  }
  m_Control.SetModalDialogBeingDisplayed(false);
}

}  // namespace corvana::ui
