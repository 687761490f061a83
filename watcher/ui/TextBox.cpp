#include "watcher/ui/TextBox.h"

namespace corvana::ui {

void TextBox::SetText(const std::string& text) {
  if (m_Text == text) return;
  m_Text = text;
  NotifyChanged("Text");
  if (Change) Change();
}

void TextBox::SetLocked(bool locked) {
  if (m_Locked == locked) return;
  m_Locked = locked;
  NotifyChanged("Locked");
}

void TextBox::SetFlat(bool flat) {
  if (m_Flat == flat) return;
  m_Flat = flat;
  NotifyChanged("Flat");
}

void TextBox::SetAlignment(Alignment alignment) {
  if (m_Alignment == alignment) return;
  m_Alignment = alignment;
  NotifyChanged("Alignment");
}

void TextBox::UserSetText(const std::string& text) {
  if (m_Locked || !Enabled()) {
    NotifyChanged("Text");  // the widget shows the model's text again
    return;
  }
  SetText(text);
}

void TextBox::UserKeyPress(int keyAscii) {
  if (!Enabled()) return;
  if (KeyPress) KeyPress(keyAscii);
}

void TextBox::UserLostFocus() {
  if (LostFocus) LostFocus();
}

Variant TextBox::Property(std::string_view name) const {
  if (name == "Text") return Variant(m_Text);
  if (name == "Locked") return Variant(m_Locked);
  return Control::Property(name);
}

}  // namespace corvana::ui
