#include "watcher/ui/ComboBox.h"

#include "common/ComError.h"

namespace corvana::ui {

void ComboBox::AddItem(const std::string& text) {
  m_Items.push_back(text);
  NotifyChanged("List");
}

void ComboBox::Clear() {
  bool hadSelection = m_ListIndex != -1;
  m_Items.clear();
  m_ListIndex = -1;
  NotifyChanged("List");
  if (hadSelection && Click) Click();
}

const std::string& ComboBox::List(int index) const {
  if (index < 0 || index >= ListCount())
    RaiseError(kErrSubscriptOutOfRange, "ComboBox.List", "Subscript out of range");
  return m_Items[static_cast<std::size_t>(index)];
}

void ComboBox::SetListIndex(int index) {
  if (index < -1 || index >= ListCount())
    RaiseError(kErrInvalidArgument, "ComboBox.ListIndex", "Invalid property value.");
  if (m_ListIndex == index) return;
  m_ListIndex = index;
  NotifyChanged("ListIndex");
  if (Click) Click();
}

std::string ComboBox::Text() const {
  return m_ListIndex < 0 ? std::string() : m_Items[static_cast<std::size_t>(m_ListIndex)];
}

void ComboBox::UserSelect(int index) {
  if (!Enabled() || index < 0 || index >= ListCount()) {
    NotifyChanged("ListIndex");
    return;
  }
  SetListIndex(index);
}

Variant ComboBox::Property(std::string_view name) const {
  if (name == "ListIndex") return Variant(static_cast<std::int32_t>(m_ListIndex));
  if (name == "ListCount") return Variant(static_cast<std::int32_t>(ListCount()));
  if (name == "Text") return Variant(Text());
  return Control::Property(name);
}

}  // namespace corvana::ui
