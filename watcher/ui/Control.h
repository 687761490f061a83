#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "common/Variant.h"
#include "watcher/ui/UiTypes.h"

namespace corvana::ui {

enum class ControlKind {
  Label,
  TextBox,
  Button,
  CheckBox,
  ComboBox,
  ScrollBar,
  Frame,
  TabControl,
  ProgressBar,
  Grid,
  PictureBox,
  GraphControl,
  Timer,
  PopupMenu,
};

// "Label", "TextBox", ... as the automation interface lists controls.
const char* KindName(ControlKind kind) noexcept;

// A named control of a form. Geometry is in twips, relative to the container (a frame) when the
// control has one, else to the form's client area. Every property change is reported to the one
// observer (the backend that mirrors the control) with the property's name.
class Control {
 public:
  using Observer = std::function<void(Control&, std::string_view property)>;

  Control(ControlKind kind, std::string name) : m_Kind(kind), m_Name(std::move(name)) {}
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  ControlKind Kind() const noexcept { return m_Kind; }
  const std::string& Name() const noexcept { return m_Name; }

  // The name of the frame that holds this control; empty for the form itself.
  const std::string& Container() const noexcept { return m_Container; }
  void SetContainer(const std::string& frameName);

  bool Visible() const noexcept { return m_Visible; }
  void SetVisible(bool visible);
  bool Enabled() const noexcept { return m_Enabled; }
  void SetEnabled(bool enabled);

  int Left() const noexcept { return m_Left; }
  int Top() const noexcept { return m_Top; }
  int Width() const noexcept { return m_Width; }
  int Height() const noexcept { return m_Height; }
  void SetLeft(int twips);
  void SetTop(int twips);
  void SetWidth(int twips);
  void SetHeight(int twips);
  void Move(int left, int top, int width, int height);

  // Controls without a font (timers, scroll bars, pictures, graphs, menus) ignore it.
  virtual bool HasFont() const noexcept { return true; }
  const Font& GetFont() const noexcept { return m_Font; }
  void SetFont(const Font& font);

  const std::string& ToolTipText() const noexcept { return m_ToolTipText; }
  void SetToolTipText(const std::string& text);

  // Repaint request (Refresh).
  void Refresh() { NotifyChanged("Refresh"); }
  // Moves the keyboard focus to this control.
  void SetFocus() { NotifyChanged("Focus"); }

  // A property by name ("Visible", "Caption", "Value", ...) for the automation interface; Empty for
  // a name the control does not have.
  virtual Variant Property(std::string_view name) const;

  void SetObserver(Observer observer) { m_Observer = std::move(observer); }

  // Mouse button released over the control (button 1 left, 2 right; coordinates in twips).
  std::function<void(int button, int shift, int x, int y)> MouseUp;
  // Mouse moved over the control, with or without a button held (as MouseUp reports them).
  std::function<void(int button, int shift, int x, int y)> MouseMove;

 protected:
  void NotifyChanged(std::string_view property);

 private:
  ControlKind m_Kind;
  std::string m_Name;
  std::string m_Container;
  bool m_Visible = true;
  bool m_Enabled = true;
  int m_Left = 0;
  int m_Top = 0;
  int m_Width = 1200;
  int m_Height = 375;
  Font m_Font;
  std::string m_ToolTipText;
  Observer m_Observer;
};

// Mouse buttons as MouseUp reports them.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;

}  // namespace corvana::ui
