#pragma once

#include <string>

#include "watcher/ui/Control.h"

namespace corvana::ui {

// A group box that holds other controls (they name it as their container). A disabled or hidden
// frame disables or hides what it holds.
class Frame : public Control {
 public:
  explicit Frame(std::string name) : Control(ControlKind::Frame, std::move(name)) {}

  const std::string& Caption() const noexcept { return m_Caption; }
  void SetCaption(const std::string& caption);
  bool BorderVisible() const noexcept { return m_Border; }
  void SetBorderVisible(bool border);

  Variant Property(std::string_view name) const override;

 private:
  std::string m_Caption;
  bool m_Border = true;
};

}  // namespace corvana::ui
