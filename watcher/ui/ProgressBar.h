#pragma once

#include <string>

#include "watcher/ui/Control.h"

namespace corvana::ui {

// A progress bar with an optional text drawn over it.
class ProgressBar : public Control {
 public:
  explicit ProgressBar(std::string name) : Control(ControlKind::ProgressBar, std::move(name)) {}

  double Min() const noexcept { return m_Min; }
  double Max() const noexcept { return m_Max; }
  double Value() const noexcept { return m_Value; }
  void SetMin(double value);
  void SetMax(double value);
  // Clamped to Min..Max; NaN is taken as Min.
  void SetValue(double value);
  const std::string& Text() const noexcept { return m_Text; }
  void SetText(const std::string& text);
  // Filled fraction 0..1 (0 when Max <= Min).
  double Fraction() const noexcept;

  Variant Property(std::string_view name) const override;

 private:
  double m_Min = 0;
  double m_Max = 100;
  double m_Value = 0;
  std::string m_Text;
};

}  // namespace corvana::ui
