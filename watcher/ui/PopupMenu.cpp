#include "watcher/ui/PopupMenu.h"

#include <algorithm>

#include "common/ComError.h"

namespace corvana::ui {

void PopupMenu::AddItem(const std::string& key, const std::string& caption) {
  if (key.empty() ||
      std::any_of(m_Entries.begin(), m_Entries.end(), [&](const MenuEntry& e) { return e.Key == key; }))
    RaiseError(kErrInvalidArgument, "PopupMenu.AddItem",
               "The menu key '" + key + "' is empty or already used.");
  m_Entries.push_back(MenuEntry{key, caption});
  NotifyChanged("Entries");
}

void PopupMenu::Clear() {
  m_Entries.clear();
  NotifyChanged("Entries");
}

MenuEntry& PopupMenu::Find(const std::string& key) {
  auto it =
      std::find_if(m_Entries.begin(), m_Entries.end(), [&](const MenuEntry& e) { return e.Key == key; });
  if (it == m_Entries.end())
    RaiseError(kErrInvalidArgument, "PopupMenu", "No menu entry with the key '" + key + "'.");
  return *it;
}

const MenuEntry& PopupMenu::Entry(const std::string& key) const {
  return const_cast<PopupMenu*>(this)->Find(key);
}

void PopupMenu::SetCaption(const std::string& key, const std::string& caption) {
  Find(key).Caption = caption;
  NotifyChanged("Entries");
}

void PopupMenu::SetChecked(const std::string& key, bool checked) {
  Find(key).Checked = checked;
  NotifyChanged("Entries");
}

void PopupMenu::SetItemEnabled(const std::string& key, bool enabled) {
  Find(key).Enabled = enabled;
  NotifyChanged("Entries");
}

void PopupMenu::CheckOnly(const std::string& key) {
  for (auto& entry : m_Entries) entry.Checked = !key.empty() && entry.Key == key;
  NotifyChanged("Entries");
}

bool PopupMenu::CanChoose(const std::string& key) const noexcept {
  return std::any_of(m_Entries.begin(), m_Entries.end(),
                     [&](const MenuEntry& e) { return e.Key == key && e.Visible && e.Enabled; });
}

Variant PopupMenu::Property(std::string_view name) const {
  if (name == "Count") return Variant(static_cast<std::int32_t>(m_Entries.size()));
  if (name == "Checked") {
    for (const auto& entry : m_Entries)
      if (entry.Checked) return Variant(entry.Key);
    return Variant(std::string());
  }
  return Control::Property(name);
}

}  // namespace corvana::ui
