#include "watcher/ui/PictureBox.h"

#include "common/ComError.h"

namespace corvana::ui {

int PictureBox::ScaleWidth() const noexcept {
  return m_CustomScale ? m_ScaleWidth : Width();
}
int PictureBox::ScaleHeight() const noexcept {
  return m_CustomScale ? m_ScaleHeight : Height();
}

void PictureBox::SetScaleSize(int width, int height) {
  if (width < 1 || height < 1) RaiseError(kErrInvalidArgument, "PictureBox.Scale", "Invalid property value.");
  m_CustomScale = true;
  m_ScaleWidth = width;
  m_ScaleHeight = height;
  NotifyChanged("Scale");
}

void PictureBox::SetBackColor(Color color) {
  if (m_BackColor == color) return;
  m_BackColor = color;
  NotifyChanged("Drawing");
}

void PictureBox::Cls() {
  m_Rects.clear();
  NotifyChanged("Drawing");
}

void PictureBox::FillRect(int left, int top, int width, int height, Color fill) {
  if (width <= 0 || height <= 0) return;
  m_Rects.push_back(FilledRect{Rect{left, top, width, height}, fill});
  NotifyChanged("Drawing");
}

void PictureBox::SetRects(std::vector<FilledRect> rects) {
  m_Rects = std::move(rects);
  NotifyChanged("Drawing");
}

Variant PictureBox::Property(std::string_view name) const {
  if (name == "ScaleWidth") return Variant(static_cast<std::int32_t>(ScaleWidth()));
  if (name == "ScaleHeight") return Variant(static_cast<std::int32_t>(ScaleHeight()));
  if (name == "RectCount") return Variant(static_cast<std::int32_t>(m_Rects.size()));
  return Control::Property(name);
}

}  // namespace corvana::ui
