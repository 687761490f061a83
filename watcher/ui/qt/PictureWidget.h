#pragma once

#include <QWidget>

namespace corvana::ui {

class PictureBox;

// Draws a picture box's filled rectangles, its scale size stretched over the widget.
class PictureWidget : public QWidget {
 public:
  PictureWidget(PictureBox& picture, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  PictureBox& m_Picture;
};

}  // namespace corvana::ui
