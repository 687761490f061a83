#include "watcher/ui/Label.h"

namespace corvana::ui {

void Label::SetCaption(const std::string& caption) {
  if (m_Caption == caption) return;
  m_Caption = caption;
  NotifyChanged("Caption");
}

void Label::SetAlignment(Alignment alignment) {
  if (m_Alignment == alignment) return;
  m_Alignment = alignment;
  NotifyChanged("Alignment");
}

void Label::SetWordWrap(bool wrap) {
  if (m_WordWrap == wrap) return;
  m_WordWrap = wrap;
  NotifyChanged("WordWrap");
}

void Label::SetDivider(bool divider) {
  if (m_Divider == divider) return;
  m_Divider = divider;
  NotifyChanged("Divider");
}

Variant Label::Property(std::string_view name) const {
  if (name == "Caption") return Variant(m_Caption);
  return Control::Property(name);
}

}  // namespace corvana::ui
