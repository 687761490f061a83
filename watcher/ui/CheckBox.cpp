#include "watcher/ui/CheckBox.h"

#include "common/ComError.h"

namespace corvana::ui {

void CheckBox::SetCaption(const std::string& caption) {
  if (m_Caption == caption) return;
  m_Caption = caption;
  NotifyChanged("Caption");
}

void CheckBox::SetValue(int value) {
  if (value != kUnchecked && value != kChecked && value != kGrayed)
    RaiseError(kErrInvalidArgument, "CheckBox.Value", "Invalid property value.");
  if (m_Value == value) return;
  m_Value = value;
  NotifyChanged("Value");
  if (Click) Click();
}

void CheckBox::UserClick() {
  if (!Visible() || !Enabled()) return;
  SetValue(m_Value == kChecked ? kUnchecked : kChecked);
}

Variant CheckBox::Property(std::string_view name) const {
  if (name == "Caption") return Variant(m_Caption);
  if (name == "Value") return Variant(static_cast<std::int32_t>(m_Value));
  return Control::Property(name);
}

}  // namespace corvana::ui
