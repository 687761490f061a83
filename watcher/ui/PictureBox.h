#pragma once

#include <functional>
#include <string>
#include <vector>

#include "watcher/ui/Control.h"

namespace corvana::ui {

struct FilledRect {
  Rect Area;  // scale units
  Color Fill;
  bool operator==(const FilledRect&) const = default;
};

// A drawing surface holding a list of filled rectangles in its own scale units (by default the
// control's size in twips). The backend maps the scale onto the widget.
class PictureBox : public Control {
 public:
  explicit PictureBox(std::string name) : Control(ControlKind::PictureBox, std::move(name)) {}

  bool HasFont() const noexcept override { return false; }

  // Scale size: custom once SetScaleSize is called, else Width x Height.
  int ScaleWidth() const noexcept;
  int ScaleHeight() const noexcept;
  void SetScaleSize(int width, int height);  // values below 1 raise the invalid-argument error

  Color BackColor() const noexcept { return m_BackColor; }
  void SetBackColor(Color color);

  // Clears the drawing.
  void Cls();
  void FillRect(int left, int top, int width, int height, Color fill);
  // Replaces the whole drawing in one change (one repaint).
  void SetRects(std::vector<FilledRect> rects);
  const std::vector<FilledRect>& Rects() const noexcept { return m_Rects; }

  Variant Property(std::string_view name) const override;

  // The window system asks for a repaint (the drawing may have been damaged).
  std::function<void()> Paint;

 private:
  bool m_CustomScale = false;
  int m_ScaleWidth = 0;
  int m_ScaleHeight = 0;
  Color m_BackColor{255, 255, 255};
  std::vector<FilledRect> m_Rects;
};

}  // namespace corvana::ui
