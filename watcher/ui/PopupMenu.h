#pragma once

#include <string>
#include <vector>

#include "watcher/ui/Control.h"

namespace corvana::ui {

struct MenuEntry {
  std::string Key;  // "mnuGridPopup_Copy"
  std::string Caption;
  bool Checked = false;
  bool Enabled = true;
  bool Visible = true;
};

// A popup menu of keyed entries, shown through Platform::ShowPopupMenu, which answers the chosen
// key (empty when dismissed).
class PopupMenu : public Control {
 public:
  explicit PopupMenu(std::string name) : Control(ControlKind::PopupMenu, std::move(name)) {}

  bool HasFont() const noexcept override { return false; }

  // A key already present raises the invalid-argument error.
  void AddItem(const std::string& key, const std::string& caption);
  void Clear();
  const std::vector<MenuEntry>& Entries() const noexcept { return m_Entries; }
  // Unknown keys raise the invalid-argument error.
  const MenuEntry& Entry(const std::string& key) const;
  void SetCaption(const std::string& key, const std::string& caption);
  void SetChecked(const std::string& key, bool checked);
  void SetItemEnabled(const std::string& key, bool enabled);
  // Ticks exactly this entry (an empty or unknown key unticks all).
  void CheckOnly(const std::string& key);
  // True when a visible, enabled entry has the key: what a user can choose.
  bool CanChoose(const std::string& key) const noexcept;

  Variant Property(std::string_view name) const override;

 private:
  MenuEntry& Find(const std::string& key);

  std::vector<MenuEntry> m_Entries;
};

}  // namespace corvana::ui
