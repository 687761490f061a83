#include "watcher/ui/ScrollBar.h"

#include <algorithm>

#include "common/ComError.h"

namespace corvana::ui {

void ScrollBar::SetMin(int value) {
  if (m_Min == value) return;
  m_Min = value;
  NotifyChanged("Range");
  if (m_Value < std::min(m_Min, m_Max)) ChangeValue(std::min(m_Min, m_Max), false);
}

void ScrollBar::SetMax(int value) {
  if (m_Max == value) return;
  m_Max = value;
  NotifyChanged("Range");
  if (m_Value > std::max(m_Min, m_Max)) ChangeValue(std::max(m_Min, m_Max), false);
}

void ScrollBar::SetValue(int value) {
  // Min may exceed Max (a reversed bar); the value lies between them either way.
  if (value < std::min(m_Min, m_Max) || value > std::max(m_Min, m_Max))
    RaiseError(kErrInvalidArgument, "ScrollBar.Value", "Invalid property value.");
  ChangeValue(value, false);
}

void ScrollBar::SetSmallChange(int value) {
  m_SmallChange = std::max(1, value);
  NotifyChanged("SmallChange");
}

void ScrollBar::SetLargeChange(int value) {
  m_LargeChange = std::max(1, value);
  NotifyChanged("LargeChange");
}

void ScrollBar::UserSetValue(int value) {
  if (!Enabled()) return;
  ChangeValue(std::clamp(value, std::min(m_Min, m_Max), std::max(m_Min, m_Max)), false);
}

void ScrollBar::UserScroll(int value) {
  if (!Enabled()) return;
  ChangeValue(std::clamp(value, std::min(m_Min, m_Max), std::max(m_Min, m_Max)), true);
}

void ScrollBar::UserEndScroll() {
  if (Enabled() && Change) Change();
}

void ScrollBar::ChangeValue(int value, bool scrolling) {
  if (m_Value == value) return;
  m_Value = value;
  NotifyChanged("Value");
  if (scrolling) {
    if (Scroll) Scroll();
  } else if (Change) {
    Change();
  }
}

Variant ScrollBar::Property(std::string_view name) const {
  if (name == "Value") return Variant(static_cast<std::int32_t>(m_Value));
  if (name == "Min") return Variant(static_cast<std::int32_t>(m_Min));
  if (name == "Max") return Variant(static_cast<std::int32_t>(m_Max));
  return Control::Property(name);
}

}  // namespace corvana::ui
