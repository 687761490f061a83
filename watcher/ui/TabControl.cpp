#include "watcher/ui/TabControl.h"

#include "common/ComError.h"

namespace corvana::ui {

TabControl::TabControl(std::string name, int itemCount) : Control(ControlKind::TabControl, std::move(name)) {
  if (itemCount > 0) m_Items.resize(static_cast<std::size_t>(itemCount));
}

void TabControl::SetItemCount(int count) {
  if (count < 0) RaiseError(kErrInvalidArgument, "TabControl.Tabs", "Invalid property value.");
  m_Items.resize(static_cast<std::size_t>(count));
  NotifyChanged("Items");
  if (m_SelectedIndex >= count && count > 0) SetSelectedIndex(count - 1);
}

void TabControl::CheckIndex(int index) const {
  if (index < 0 || index >= ItemCount())
    RaiseError(kErrSubscriptOutOfRange, "TabControl.Tab", "Subscript out of range");
}

const TabItem& TabControl::Item(int index) const {
  CheckIndex(index);
  return m_Items[static_cast<std::size_t>(index)];
}

void TabControl::SetItemCaption(int index, const std::string& caption) {
  CheckIndex(index);
  m_Items[static_cast<std::size_t>(index)].Caption = caption;
  NotifyChanged("Items");
}

void TabControl::SetItemVisible(int index, bool visible) {
  CheckIndex(index);
  m_Items[static_cast<std::size_t>(index)].Visible = visible;
  NotifyChanged("Items");
}

void TabControl::SetItemEnabled(int index, bool enabled) {
  CheckIndex(index);
  m_Items[static_cast<std::size_t>(index)].Enabled = enabled;
  NotifyChanged("Items");
}

void TabControl::SetSelectedIndex(int index) {
  if (index < 0 || index >= ItemCount())
    RaiseError(kErrInvalidArgument, "TabControl.Tab", "Invalid property value.");
  if (m_SelectedIndex == index) return;
  int previous = m_SelectedIndex;
  m_SelectedIndex = index;
  NotifyChanged("SelectedIndex");
  if (Click) Click(previous);
}

bool TabControl::UserSelect(int index) {
  if (!Enabled() || index < 0 || index >= ItemCount() || index == m_SelectedIndex) {
    NotifyChanged("SelectedIndex");
    return false;
  }
  const TabItem& item = m_Items[static_cast<std::size_t>(index)];
  if (!item.Visible || !item.Enabled) {
    NotifyChanged("SelectedIndex");
    return false;
  }
  SetSelectedIndex(index);
  return true;
}

Variant TabControl::Property(std::string_view name) const {
  if (name == "SelectedIndex" || name == "Tab") return Variant(static_cast<std::int32_t>(m_SelectedIndex));
  if (name == "Tabs") return Variant(static_cast<std::int32_t>(ItemCount()));
  return Control::Property(name);
}

}  // namespace corvana::ui
