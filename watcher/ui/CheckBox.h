#pragma once

#include <functional>
#include <string>

#include "watcher/ui/Control.h"

namespace corvana::ui {

inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 1;
inline constexpr int kGrayed = 2;

// A check box. Click fires whenever its value changes, by code or by the user.
class CheckBox : public Control {
 public:
  explicit CheckBox(std::string name) : Control(ControlKind::CheckBox, std::move(name)) {}

  const std::string& Caption() const noexcept { return m_Caption; }
  void SetCaption(const std::string& caption);
  int Value() const noexcept { return m_Value; }
  // kUnchecked, kChecked or kGrayed; anything else raises the invalid-argument error.
  void SetValue(int value);
  bool Checked() const noexcept { return m_Value == kChecked; }

  // The user clicked: toggles between checked and unchecked when visible and enabled.
  void UserClick();

  Variant Property(std::string_view name) const override;

  std::function<void()> Click;

 private:
  std::string m_Caption;
  int m_Value = kUnchecked;
};

}  // namespace corvana::ui
