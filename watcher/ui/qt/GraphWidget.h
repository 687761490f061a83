#pragma once

#include <QWidget>

namespace corvana::ui {

class GraphControl;

// Shows a graph control's graph through the one graph renderer; with RightClickEnabled a right
// click offers copying and saving the picture.
class GraphWidget : public QWidget {
 public:
  GraphWidget(GraphControl& control, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void ShowOwnMenu(const QPoint& globalPosition);

  GraphControl& m_Control;
};

}  // namespace corvana::ui
