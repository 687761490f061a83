#pragma once

#include <functional>
#include <string>
#include <vector>

#include "watcher/ui/Control.h"

namespace corvana::ui {

// A drop-down list. ListIndex -1 is no selection; Click fires whenever the selection changes.
class ComboBox : public Control {
 public:
  explicit ComboBox(std::string name) : Control(ControlKind::ComboBox, std::move(name)) {}

  void AddItem(const std::string& text);
  void Clear();
  int ListCount() const noexcept { return static_cast<int>(m_Items.size()); }
  // Raises "Subscript out of range" outside 0..ListCount-1.
  const std::string& List(int index) const;
  const std::vector<std::string>& Items() const noexcept { return m_Items; }

  int ListIndex() const noexcept { return m_ListIndex; }
  // -1..ListCount-1; anything else raises the invalid-argument error.
  void SetListIndex(int index);
  // The selected entry's text, empty without a selection.
  std::string Text() const;

  // The user chose an entry (ignored when disabled or out of range).
  void UserSelect(int index);

  Variant Property(std::string_view name) const override;

  std::function<void()> Click;

 private:
  std::vector<std::string> m_Items;
  int m_ListIndex = -1;
};

}  // namespace corvana::ui
