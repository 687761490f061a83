#include "watcher/ui/ProgressBar.h"

#include <algorithm>
#include <cmath>

#include "common/Variant.h"

namespace corvana::ui {

void ProgressBar::SetMin(double value) {
  if (!std::isfinite(value) || m_Min == value) return;
  m_Min = value;
  NotifyChanged("Value");
}

void ProgressBar::SetMax(double value) {
  if (!std::isfinite(value) || m_Max == value) return;
  m_Max = value;
  NotifyChanged("Value");
}

void ProgressBar::SetValue(double value) {
  if (std::isnan(value)) value = m_Min;
  value = m_Max > m_Min ? std::clamp(value, m_Min, m_Max) : m_Min;
  if (m_Value == value) return;
  m_Value = value;
  NotifyChanged("Value");
}

void ProgressBar::SetText(const std::string& text) {
  if (m_Text == text) return;
  m_Text = text;
  NotifyChanged("Text");
}

double ProgressBar::Fraction() const noexcept {
  if (!(m_Max > m_Min)) return 0;
  return std::clamp((m_Value - m_Min) / (m_Max - m_Min), 0.0, 1.0);
}

Variant ProgressBar::Property(std::string_view name) const {
  if (name == "Value") return Variant(m_Value);
  if (name == "Min") return Variant(m_Min);
  if (name == "Max") return Variant(m_Max);
  if (name == "Text") return Variant(m_Text);
  return Control::Property(name);
}

}  // namespace corvana::ui
