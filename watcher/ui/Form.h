#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "common/ComError.h"
#include "watcher/ui/Control.h"
#include "watcher/ui/UiTypes.h"

namespace corvana::ui {

class Platform;

enum class ShowMode { Modeless = 0, Modal = 1 };
enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };
enum class BorderStyle { None = 0, FixedSingle = 1, Sizable = 2, FixedDialog = 3, FixedToolWindow = 4 };

// Why a form is asked to unload (QueryUnload's mode).
inline constexpr int kUnloadFormControlMenu = 0;  // the close box or system menu
inline constexpr int kUnloadFormCode = 1;         // the program's own Unload
inline constexpr int kUnloadAppWindows = 2;       // the session ends
inline constexpr int kUnloadAppTaskManager = 3;   // the task manager closes it

// A top-level window: owns its controls by name, registered with its platform from construction to
// destruction. Geometry in twips; the client (scale) size follows from the window size less the
// frame, or from the backend once the real window exists.
class Form {
 public:
  using Observer = std::function<void(Form&, std::string_view property)>;

  Form(Platform& platform, std::string name);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  Platform& GetPlatform() const noexcept { return m_Platform; }
  const std::string& Name() const noexcept { return m_Name; }
  WindowId Id() const noexcept { return m_Id; }

  // Controls. Names are unique within the form: a second control of one name raises the
  // invalid-argument error. Timers are attached to the platform as they are added.
  template <class T, class... Args>
  T& Add(std::string name, Args&&... args) {
    static_assert(std::is_base_of_v<Control, T>);
    auto control = std::make_unique<T>(std::move(name), std::forward<Args>(args)...);
    T& result = *control;
    AddControl(std::move(control));
    return result;
  }
  Control* FindControl(std::string_view name) const noexcept;
  // Raises the invalid-argument error when there is no such control of that kind.
  template <class T>
  T& Get(std::string_view name) const {
    auto* control = dynamic_cast<T*>(FindControl(name));
    if (!control)
      RaiseError(kErrInvalidArgument, "Form.Get", "No control '" + std::string(name) + "' of that kind.");
    return *control;
  }
  const std::vector<std::unique_ptr<Control>>& Controls() const noexcept { return m_Controls; }
  // A control and all of its containers are visible / enabled.
  bool EffectivelyVisible(const Control& control) const;
  bool EffectivelyEnabled(const Control& control) const;

  // Window properties.
  const std::string& Caption() const noexcept { return m_Caption; }
  void SetCaption(const std::string& caption);
  const std::string& IconKey() const noexcept { return m_IconKey; }
  void SetIconKey(const std::string& key);
  int HelpContextID() const noexcept { return m_HelpContextID; }
  void SetHelpContextID(int id);
  BorderStyle Border() const noexcept { return m_BorderStyle; }
  void SetBorderStyle(BorderStyle style);
  WindowId OwnerWindow() const noexcept { return m_Owner; }
  void SetOwnerWindow(WindowId owner);

  int Left() const noexcept { return m_Left; }
  int Top() const noexcept { return m_Top; }
  int Width() const noexcept { return m_Width; }
  int Height() const noexcept { return m_Height; }
  void SetLeft(int twips);
  void SetTop(int twips);
  void SetWidth(int twips);
  void SetHeight(int twips);
  void Move(int left, int top, int width, int height);
  // Client area in twips (the form's scale size).
  int ScaleWidth() const noexcept;
  int ScaleHeight() const noexcept;
  // The frame's size in twips (window size less client size), as the backend measured it.
  void SetFrameSize(int widthTwips, int heightTwips);

  bool Visible() const noexcept { return m_Visible; }
  bool Loaded() const noexcept { return m_Loaded; }
  bool Modal() const noexcept { return m_Modal; }
  bool TopMost() const noexcept { return m_TopMost; }
  void SetTopMost(bool topMost);
  WindowState State() const noexcept { return m_WindowState; }
  void SetWindowState(WindowState state);

  // Fires Load once, before the first show.
  void EnsureLoaded();
  // Modeless returns at once; Modal returns when the form is hidden or unloaded again (timers and
  // incoming calls keep running meanwhile). A form shown modally while already shown modeless is
  // hidden first.
  void Show(ShowMode mode = ShowMode::Modeless);
  void Hide();
  // Asks QueryUnload with the mode; unless cancelled hides the form, fires Unload and returns true.
  bool Unload(int unloadMode = kUnloadFormCode);
  void Refresh();

  // Backend side: the real window was resized, moved or needs painting, or the user asked to close.
  void BackendResized(int widthTwips, int heightTwips, int clientWidthTwips, int clientHeightTwips);
  void BackendMoved(int leftTwips, int topTwips);
  void BackendPaint();
  bool BackendCloseRequest(int unloadMode = kUnloadFormControlMenu) { return Unload(unloadMode); }

  // Automation view: a property of the form by name ("Caption", "Visible", ...).
  Variant Property(std::string_view name) const;

  void SetObserver(Observer observer) { m_Observer = std::move(observer); }

  // Events (the form's Form_Load, Form_QueryUnload, Form_Resize, Form_Paint, Form_Unload).
  std::function<void()> Load;
  std::function<void(bool& cancel, int unloadMode)> QueryUnload;
  std::function<void()> Resize;
  std::function<void()> Paint;
  std::function<void()> Activate;
  std::function<void()> Unloaded;

 protected:
  void NotifyChanged(std::string_view property);

 private:
  friend class Platform;

  void AddControl(std::unique_ptr<Control> control);
  void SetVisibleState(bool visible);

  Platform& m_Platform;
  std::string m_Name;
  WindowId m_Id = 0;
  std::vector<std::unique_ptr<Control>> m_Controls;
  std::string m_Caption;
  std::string m_IconKey;
  int m_HelpContextID = 0;
  BorderStyle m_BorderStyle = BorderStyle::Sizable;
  WindowId m_Owner = 0;
  int m_Left = 0;
  int m_Top = 0;
  int m_Width = 6000;
  int m_Height = 4500;
  int m_FrameWidth = 120;
  int m_FrameHeight = 420;
  bool m_Visible = false;
  bool m_Loaded = false;
  bool m_Modal = false;
  bool m_TopMost = false;
  WindowState m_WindowState = WindowState::Normal;
  Observer m_Observer;
};

}  // namespace corvana::ui
