#pragma once

#include <functional>
#include <string>

#include "watcher/ui/Control.h"

namespace corvana::ui {

// An edit box. Change fires for every new text, set by code or typed by the user.
class TextBox : public Control {
 public:
  explicit TextBox(std::string name) : Control(ControlKind::TextBox, std::move(name)) {}

  const std::string& Text() const noexcept { return m_Text; }
  void SetText(const std::string& text);
  bool Locked() const noexcept { return m_Locked; }
  void SetLocked(bool locked);
  bool Flat() const noexcept { return m_Flat; }
  void SetFlat(bool flat);
  Alignment TextAlignment() const noexcept { return m_Alignment; }
  void SetAlignment(Alignment alignment);

  // The user typed a new text (ignored while locked or disabled); fires Change.
  void UserSetText(const std::string& text);
  // The user pressed a key; KeyPress may change it or set it to 0 to swallow it. Enter is 13.
  void UserKeyPress(int keyAscii);
  // Keyboard focus left the box.
  void UserLostFocus();

  Variant Property(std::string_view name) const override;

  std::function<void()> Change;
  std::function<void(int& keyAscii)> KeyPress;
  std::function<void()> LostFocus;

 private:
  std::string m_Text;
  bool m_Locked = false;
  bool m_Flat = false;
  Alignment m_Alignment = Alignment::Left;
};

}  // namespace corvana::ui
