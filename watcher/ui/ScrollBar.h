#pragma once

#include <functional>
#include <string>

#include "watcher/ui/Control.h"

namespace corvana::ui {

// A scroll bar. Change fires when the value changes (by code or a finished user move), Scroll
// while the user drags the thumb.
class ScrollBar : public Control {
 public:
  explicit ScrollBar(std::string name, bool horizontal = true)
      : Control(ControlKind::ScrollBar, std::move(name)), m_Horizontal(horizontal) {}

  bool HasFont() const noexcept override { return false; }
  bool Horizontal() const noexcept { return m_Horizontal; }

  int Min() const noexcept { return m_Min; }
  int Max() const noexcept { return m_Max; }
  int Value() const noexcept { return m_Value; }
  int SmallChange() const noexcept { return m_SmallChange; }
  int LargeChange() const noexcept { return m_LargeChange; }
  void SetMin(int value);
  void SetMax(int value);
  // Values outside Min..Max raise the invalid-argument error.
  void SetValue(int value);
  void SetSmallChange(int value);
  void SetLargeChange(int value);

  // The user moved the thumb (clamped to the range); fires Change.
  void UserSetValue(int value);
  // The user is dragging: the value follows and Scroll fires.
  void UserScroll(int value);
  // The user let go of the thumb after dragging: fires Change for the value reached.
  void UserEndScroll();

  Variant Property(std::string_view name) const override;

  std::function<void()> Change;
  std::function<void()> Scroll;

 private:
  void ChangeValue(int value, bool scrolling);

  bool m_Horizontal;
  int m_Min = 0;
  int m_Max = 32767;
  int m_Value = 0;
  int m_SmallChange = 1;
  int m_LargeChange = 1;
};

}  // namespace corvana::ui
