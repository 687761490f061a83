#include "watcher/ui/Control.h"

namespace corvana::ui {

const char* KindName(ControlKind kind) noexcept {
  switch (kind) {
    case ControlKind::Label: return "Label";
    case ControlKind::TextBox: return "TextBox";
    case ControlKind::Button: return "Button";
    case ControlKind::CheckBox: return "CheckBox";
    case ControlKind::ComboBox: return "ComboBox";
    case ControlKind::ScrollBar: return "ScrollBar";
    case ControlKind::Frame: return "Frame";
    case ControlKind::TabControl: return "TabControl";
    case ControlKind::ProgressBar: return "ProgressBar";
    case ControlKind::Grid: return "Grid";
    case ControlKind::PictureBox: return "PictureBox";
    case ControlKind::GraphControl: return "GraphControl";
    case ControlKind::Timer: return "Timer";
    case ControlKind::PopupMenu: return "PopupMenu";
  }
  return "Control";
}

void Control::SetContainer(const std::string& frameName) {
  if (m_Container == frameName) return;
  m_Container = frameName;
  NotifyChanged("Container");
}

void Control::SetVisible(bool visible) {
  if (m_Visible == visible) return;
  m_Visible = visible;
  NotifyChanged("Visible");
}

void Control::SetEnabled(bool enabled) {
  if (m_Enabled == enabled) return;
  m_Enabled = enabled;
  NotifyChanged("Enabled");
}

void Control::SetLeft(int twips) {
  Move(twips, m_Top, m_Width, m_Height);
}
void Control::SetTop(int twips) {
  Move(m_Left, twips, m_Width, m_Height);
}
void Control::SetWidth(int twips) {
  Move(m_Left, m_Top, twips, m_Height);
}
void Control::SetHeight(int twips) {
  Move(m_Left, m_Top, m_Width, twips);
}

void Control::Move(int left, int top, int width, int height) {
  // A negative size is what a layout computes for a window shrunk below its controls: show nothing.
  width = width < 0 ? 0 : width;
  height = height < 0 ? 0 : height;
  if (left == m_Left && top == m_Top && width == m_Width && height == m_Height) return;
  m_Left = left;
  m_Top = top;
  m_Width = width;
  m_Height = height;
  NotifyChanged("Geometry");
}

void Control::SetFont(const Font& font) {
  if (!HasFont() || m_Font == font) return;
  m_Font = font;
  NotifyChanged("Font");
}

void Control::SetToolTipText(const std::string& text) {
  if (m_ToolTipText == text) return;
  m_ToolTipText = text;
  NotifyChanged("ToolTipText");
}

Variant Control::Property(std::string_view name) const {
  if (name == "Name") return Variant(m_Name);
  if (name == "Kind") return Variant(KindName(m_Kind));
  if (name == "Visible") return Variant(m_Visible);
  if (name == "Enabled") return Variant(m_Enabled);
  if (name == "Left") return Variant(static_cast<std::int32_t>(m_Left));
  if (name == "Top") return Variant(static_cast<std::int32_t>(m_Top));
  if (name == "Width") return Variant(static_cast<std::int32_t>(m_Width));
  if (name == "Height") return Variant(static_cast<std::int32_t>(m_Height));
  if (name == "Container") return Variant(m_Container);
  if (name == "ToolTipText") return Variant(m_ToolTipText);
  if (name == "FontName" && HasFont()) return Variant(m_Font.Name);
  if (name == "FontSize" && HasFont()) return Variant(m_Font.Size);
  return Variant();
}

void Control::NotifyChanged(std::string_view property) {
  if (m_Observer) m_Observer(*this, property);
}

}  // namespace corvana::ui
