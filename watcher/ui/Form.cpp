#include "watcher/ui/Form.h"

#include <algorithm>

#include "watcher/ui/Platform.h"
#include "watcher/ui/Timer.h"

namespace corvana::ui {

Form::Form(Platform& platform, std::string name) : m_Platform(platform), m_Name(std::move(name)) {
  m_Id = m_Platform.RegisterForm(*this);
}

Form::~Form() {
  // Timers first: none may fire into a half-destroyed form.
  for (auto& control : m_Controls)
    if (auto* timer = dynamic_cast<Timer*>(control.get()); timer && timer->AttachedPlatform())
      timer->AttachedPlatform()->DetachTimer(*timer);
  m_Platform.UnregisterForm(*this);
}

void Form::AddControl(std::unique_ptr<Control> control) {
  if (control->Name().empty() || FindControl(control->Name()))
    RaiseError(kErrInvalidArgument, "Form.Add",
               "The control name '" + control->Name() + "' is empty or already used.");
  Control& added = *control;
  m_Controls.push_back(std::move(control));
  if (auto* timer = dynamic_cast<Timer*>(&added)) m_Platform.AttachTimer(*timer);
  NotifyChanged("ControlAdded");
}

Control* Form::FindControl(std::string_view name) const noexcept {
  for (const auto& control : m_Controls)
    if (control->Name() == name) return control.get();
  return nullptr;
}

bool Form::EffectivelyVisible(const Control& control) const {
  const Control* current = &control;
  for (std::size_t depth = 0; current && depth <= m_Controls.size(); ++depth) {
    if (!current->Visible()) return false;
    if (current->Container().empty()) return true;
    current = FindControl(current->Container());
  }
  return current == nullptr;
}

bool Form::EffectivelyEnabled(const Control& control) const {
  const Control* current = &control;
  for (std::size_t depth = 0; current && depth <= m_Controls.size(); ++depth) {
    if (!current->Enabled()) return false;
    if (current->Container().empty()) return true;
    current = FindControl(current->Container());
  }
  return current == nullptr;
}

void Form::SetCaption(const std::string& caption) {
  if (m_Caption == caption) return;
  m_Caption = caption;
  NotifyChanged("Caption");
}

void Form::SetIconKey(const std::string& key) {
  if (m_IconKey == key) return;
  m_IconKey = key;
  NotifyChanged("Icon");
}

void Form::SetHelpContextID(int id) {
  m_HelpContextID = id;
}

void Form::SetBorderStyle(BorderStyle style) {
  if (m_BorderStyle == style) return;
  m_BorderStyle = style;
  NotifyChanged("BorderStyle");
}

void Form::SetOwnerWindow(WindowId owner) {
  m_Owner = owner;
}

void Form::SetLeft(int twips) {
  Move(twips, m_Top, m_Width, m_Height);
}
void Form::SetTop(int twips) {
  Move(m_Left, twips, m_Width, m_Height);
}
void Form::SetWidth(int twips) {
  Move(m_Left, m_Top, twips, m_Height);
}
void Form::SetHeight(int twips) {
  Move(m_Left, m_Top, m_Width, twips);
}

void Form::Move(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  bool resized = width != m_Width || height != m_Height;
  if (!resized && left == m_Left && top == m_Top) return;
  m_Left = left;
  m_Top = top;
  m_Width = width;
  m_Height = height;
  NotifyChanged("Geometry");
  if (resized && m_Loaded && Resize) Resize();
}

int Form::ScaleWidth() const noexcept {
  return std::max(0, m_Width - m_FrameWidth);
}
int Form::ScaleHeight() const noexcept {
  return std::max(0, m_Height - m_FrameHeight);
}

void Form::SetFrameSize(int widthTwips, int heightTwips) {
  m_FrameWidth = std::max(0, widthTwips);
  m_FrameHeight = std::max(0, heightTwips);
}

void Form::SetTopMost(bool topMost) {
  m_TopMost = topMost;
  m_Platform.SetTopMost(m_Id, topMost);
}

void Form::SetWindowState(WindowState state) {
  if (m_WindowState == state) return;
  m_WindowState = state;
  NotifyChanged("WindowState");
}

void Form::EnsureLoaded() {
  if (m_Loaded) return;
  m_Loaded = true;
  if (Load) Load();
}

void Form::SetVisibleState(bool visible) {
  if (m_Visible == visible) return;
  m_Visible = visible;
  NotifyChanged("Visible");
}

void Form::Show(ShowMode mode) {
  EnsureLoaded();
  if (mode == ShowMode::Modeless) {
    SetVisibleState(true);
    return;
  }
  if (m_Modal) return;  // already in its modal loop
  SetVisibleState(false);
  m_Modal = true;
  NotifyChanged("Modal");
  SetVisibleState(true);
  m_Platform.RunModal(*this);
  m_Modal = false;
  NotifyChanged("Modal");
}

void Form::Hide() {
  SetVisibleState(false);
}

bool Form::Unload(int unloadMode) {
  if (!m_Loaded && !m_Visible) return true;
  bool cancel = false;
  if (QueryUnload) QueryUnload(cancel, unloadMode);
  if (cancel) return false;
  SetVisibleState(false);
  m_Loaded = false;
  if (Unloaded) Unloaded();
  return true;
}

void Form::Refresh() {
  NotifyChanged("Refresh");
  if (m_Visible) BackendPaint();
}

void Form::BackendResized(int widthTwips, int heightTwips, int clientWidthTwips, int clientHeightTwips) {
  m_FrameWidth = std::max(0, widthTwips - clientWidthTwips);
  m_FrameHeight = std::max(0, heightTwips - clientHeightTwips);
  if (widthTwips == m_Width && heightTwips == m_Height) return;
  m_Width = widthTwips;
  m_Height = heightTwips;
  if (m_Loaded && Resize) Resize();
}

void Form::BackendMoved(int leftTwips, int topTwips) {
  m_Left = leftTwips;
  m_Top = topTwips;
}

void Form::BackendPaint() {
  if (Paint) Paint();
}

Variant Form::Property(std::string_view name) const {
  if (name == "Name") return Variant(m_Name);
  if (name == "Caption") return Variant(m_Caption);
  if (name == "Visible") return Variant(m_Visible);
  if (name == "Loaded") return Variant(m_Loaded);
  if (name == "Modal") return Variant(m_Modal);
  if (name == "TopMost") return Variant(m_TopMost);
  if (name == "Left") return Variant(static_cast<std::int32_t>(m_Left));
  if (name == "Top") return Variant(static_cast<std::int32_t>(m_Top));
  if (name == "Width") return Variant(static_cast<std::int32_t>(m_Width));
  if (name == "Height") return Variant(static_cast<std::int32_t>(m_Height));
  if (name == "ScaleWidth") return Variant(static_cast<std::int32_t>(ScaleWidth()));
  if (name == "ScaleHeight") return Variant(static_cast<std::int32_t>(ScaleHeight()));
  if (name == "HelpContextID") return Variant(static_cast<std::int32_t>(m_HelpContextID));
  if (name == "WindowState") return Variant(static_cast<std::int32_t>(m_WindowState));
  return Variant();
}

void Form::NotifyChanged(std::string_view property) {
  if (m_Observer) m_Observer(*this, property);
}

}  // namespace corvana::ui
