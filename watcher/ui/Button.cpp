#include "watcher/ui/Button.h"

namespace corvana::ui {

namespace {
constexpr std::string_view kGreySuffix = "Grey";
}

std::string GreyPicture(const std::string& key) {
  if (key.empty() || IsGreyPicture(key)) return key;
  return key + std::string(kGreySuffix);
}

bool IsGreyPicture(const std::string& key) {
  return key.size() > kGreySuffix.size() && key.ends_with(kGreySuffix);
}

void Button::SetCaption(const std::string& caption) {
  if (m_Caption == caption) return;
  m_Caption = caption;
  NotifyChanged("Caption");
}

void Button::SetPictureKey(const std::string& key) {
  if (m_PictureKey == key) return;
  m_PictureKey = key;
  NotifyChanged("PictureKey");
}

void Button::SetPressed(bool pressed) {
  if (m_Pressed == pressed) return;
  m_Pressed = pressed;
  NotifyChanged("Pressed");
}

void Button::SetDropDown(bool dropDown) {
  if (m_DropDown == dropDown) return;
  m_DropDown = dropDown;
  NotifyChanged("DropDown");
}

void Button::UserClick() {
  if (!Visible() || !Enabled()) return;
  if (Click) Click();
}

Variant Button::Property(std::string_view name) const {
  if (name == "Caption") return Variant(m_Caption);
  if (name == "PictureKey") return Variant(m_PictureKey);
  if (name == "Pressed") return Variant(m_Pressed);
  return Control::Property(name);
}

}  // namespace corvana::ui
