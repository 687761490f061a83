#pragma once

#include <functional>
#include <string>

#include "watcher/ui/Control.h"

namespace corvana::ui {

class Label : public Control {
 public:
  explicit Label(std::string name) : Control(ControlKind::Label, std::move(name)) {}

  const std::string& Caption() const noexcept { return m_Caption; }
  void SetCaption(const std::string& caption);
  Alignment TextAlignment() const noexcept { return m_Alignment; }
  void SetAlignment(Alignment alignment);
  bool WordWrap() const noexcept { return m_WordWrap; }
  void SetWordWrap(bool wrap);
  // A label drawn as a thin sunken line: the windows' dividers.
  bool IsDivider() const noexcept { return m_Divider; }
  void SetDivider(bool divider);

  Variant Property(std::string_view name) const override;

  std::function<void()> Click;

 private:
  std::string m_Caption;
  Alignment m_Alignment = Alignment::Left;
  bool m_WordWrap = true;
  bool m_Divider = false;
};

}  // namespace corvana::ui
