#include "watcher/ui/qt/PictureWidget.h"

#include <QPainter>
#include <cmath>

#include "common/ErrorTrap.h"
#include "watcher/ui/PictureBox.h"

namespace corvana::ui {

PictureWidget::PictureWidget(PictureBox& picture, QWidget* parent) : QWidget(parent), m_Picture(picture) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Moves without a button held reach the picture's MouseMove (its tool tip follows the mouse).
  setMouseTracking(true);
}

void PictureWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Color back = m_Picture.BackColor();
  painter.fillRect(rect(), QColor(back.R, back.G, back.B));
  const double sx = width() / static_cast<double>(std::max(1, m_Picture.ScaleWidth()));
  const double sy = height() / static_cast<double>(std::max(1, m_Picture.ScaleHeight()));
  for (const auto& filled : m_Picture.Rects()) {
    // Edges are rounded separately so neighbouring cells meet without gaps.
    int left = static_cast<int>(std::lround(filled.Area.Left * sx));
    int top = static_cast<int>(std::lround(filled.Area.Top * sy));
    int right = static_cast<int>(std::lround((filled.Area.Left + filled.Area.Width) * sx));
    int bottom = static_cast<int>(std::lround((filled.Area.Top + filled.Area.Height) * sy));
    painter.fillRect(QRect(left, top, std::max(1, right - left), std::max(1, bottom - top)),
                     QColor(filled.Fill.R, filled.Fill.G, filled.Fill.B));
  }
  if (m_Picture.Paint) ResumeNext([&] { m_Picture.Paint(); });
}

}  // namespace corvana::ui
