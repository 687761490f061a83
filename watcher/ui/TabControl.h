#pragma once

#include <functional>
#include <string>
#include <vector>

#include "watcher/ui/Control.h"

namespace corvana::ui {

struct TabItem {
  std::string Caption;
  bool Visible = true;
  bool Enabled = true;  // available: a disabled tab cannot be selected by the user
};

// A row of tabs. Click fires whenever the selected index changes, by code or by the user.
class TabControl : public Control {
 public:
  explicit TabControl(std::string name, int itemCount = 0);

  int ItemCount() const noexcept { return static_cast<int>(m_Items.size()); }
  void SetItemCount(int count);
  // Raise "Subscript out of range" outside 0..ItemCount-1.
  const TabItem& Item(int index) const;
  void SetItemCaption(int index, const std::string& caption);
  void SetItemVisible(int index, bool visible);
  void SetItemEnabled(int index, bool enabled);

  int SelectedIndex() const noexcept { return m_SelectedIndex; }
  // Code may select any existing tab; out of range raises the invalid-argument error.
  void SetSelectedIndex(int index);

  // The user clicked a tab: ignored unless that tab is visible and enabled. Returns whether the
  // selection moved.
  bool UserSelect(int index);

  Variant Property(std::string_view name) const override;

  std::function<void(int previousIndex)> Click;

 private:
  void CheckIndex(int index) const;

  std::vector<TabItem> m_Items;
  int m_SelectedIndex = 0;
};

}  // namespace corvana::ui
