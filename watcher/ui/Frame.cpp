#include "watcher/ui/Frame.h"

namespace corvana::ui {

void Frame::SetCaption(const std::string& caption) {
  if (m_Caption == caption) return;
  m_Caption = caption;
  NotifyChanged("Caption");
}

void Frame::SetBorderVisible(bool border) {
  if (m_Border == border) return;
  m_Border = border;
  NotifyChanged("Border");
}

Variant Frame::Property(std::string_view name) const {
  if (name == "Caption") return Variant(m_Caption);
  return Control::Property(name);
}

}  // namespace corvana::ui
