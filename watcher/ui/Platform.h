#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "watcher/ui/UiTypes.h"

namespace corvana {
class OGrGraph;
}

namespace corvana::ui {

class Control;
class Form;
class PopupMenu;
class Timer;

// Message-box buttons and icons (added together) and the answers.
namespace MsgBox {
inline constexpr int kOKOnly = 0;
inline constexpr int kOKCancel = 1;
inline constexpr int kAbortRetryIgnore = 2;
inline constexpr int kYesNoCancel = 3;
inline constexpr int kYesNo = 4;
inline constexpr int kRetryCancel = 5;
inline constexpr int kCritical = 16;
inline constexpr int kQuestion = 32;
inline constexpr int kExclamation = 48;
inline constexpr int kInformation = 64;
inline constexpr int kDefaultButton2 = 256;

inline constexpr int kOK = 1;
inline constexpr int kCancel = 2;
inline constexpr int kAbort = 3;
inline constexpr int kRetry = 4;
inline constexpr int kIgnore = 5;
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;

// The title every message box of the program carries when the caller gives none.
inline constexpr const char* kDefaultTitle = "Corvana";

// The answers a box with these buttons offers, in order (kOKOnly -> {kOK}).
std::vector<int> Answers(int buttons);
// The answer when the box is closed without a choice (Cancel where offered, else the first).
int EscapeAnswer(int buttons);
}  // namespace MsgBox

struct MessageBoxInfo {
  int Id = 0;
  std::string Title;
  std::string Text;
  int Buttons = 0;
  // A box from ShowMessageDialog: its captions in order (empty for the standard boxes).
  std::vector<std::string> Captions;
  // The box's window, among the ids the window operations take (0 when it has none).
  WindowId Window = 0;
};

// The window system as the forms and the controller use it. One instance is injected into every
// form; form code never reaches a global. It also keeps the registry of open forms.
class Platform {
 public:
  virtual ~Platform();

  // Clock and timers.
  virtual std::uint32_t TickCount() = 0;
  // Starts running the timer (as its Enabled and Interval say, following their changes).
  virtual void AttachTimer(Timer& timer) = 0;
  virtual void DetachTimer(Timer& timer) = 0;

  // A message box; an empty title means kDefaultTitle. Returns the answer (MsgBox::kOK, ...).
  virtual int ShowMessageBox(const std::string& text, int buttons, const std::string& title) = 0;
  // A message box whose buttons carry the given captions, in order; an empty title means
  // kDefaultTitle. Returns the 1-based index of the button pressed, 0 when closed without a choice.
  virtual int ShowMessageDialog(const std::string& text, const std::vector<std::string>& captions,
                                const std::string& title) = 0;
  // Boxes now open, and answering one of them (for the automation interface): with a MsgBox answer,
  // or for a box with captions the 1-based index of its button.
  virtual std::vector<MessageBoxInfo> OpenMessageBoxes() const { return {}; }
  virtual bool AnswerMessageBox(int /*id*/, int /*answer*/) { return false; }

  // Runs until the form is hidden or unloaded; timers and incoming calls keep running.
  virtual void RunModal(Form& form) = 0;
  // Handles pending window-system events once.
  virtual void DoEvents() = 0;

  virtual std::string ClipboardText() = 0;
  virtual void SetClipboardText(const std::string& text) = 0;

  virtual int TwipsPerPixelX() = 0;
  virtual int TwipsPerPixelY() = 0;
  // The work area in twips of the screen that holds `nearWindow` (one of ours or another
  // process's); the primary screen's when that window is 0 or unknown.
  virtual Rect WorkArea(WindowId nearWindow) = 0;

  // Window operations by id; ids of other processes' windows are accepted where the window system
  // allows and otherwise ignored (queries then answer false / 0).
  virtual void SetTopMost(WindowId window, bool topMost) = 0;
  virtual WindowId ForegroundWindow() = 0;
  virtual std::int64_t WindowProcessId(WindowId window) = 0;
  virtual bool SetForegroundWindow(WindowId window) = 0;
  virtual void EnableWindow(WindowId window, bool enable) = 0;
  virtual bool IsWindowEnabled(WindowId window) = 0;
  // Window rectangle in pixels; false when unknown.
  virtual bool WindowRectPixels(WindowId window, Rect& rect) = 0;
  // Sets a window's small and large icon from a picture key.
  virtual void SetWindowIcon(WindowId window, const std::string& iconKey) = 0;
  // Stacks our `window` (a form or an open box) directly in front of `other`, a window of any
  // process. Without a window system that can do that, makes it top-most and active instead.
  virtual void RaiseAbove(WindowId window, WindowId other);
  // A shown form or open box of ours by its title; 0 when there is none.
  virtual WindowId FindTopLevelWindow(const std::string& title) const;
  // The form of the innermost modal loop; 0 when none runs.
  WindowId ModalWindow() const noexcept { return m_ModalWindows.empty() ? 0 : m_ModalWindows.back(); }

  // Shows the menu at (x, y) twips relative to `anchor` (or the form's client area without one) and
  // returns the chosen entry's key, empty when dismissed.
  virtual std::string ShowPopupMenu(PopupMenu& menu, Form& owner, const Control* anchor, int x, int y) = 0;
  // The menu now open, and choosing in it (empty key dismisses), for the automation interface.
  virtual const PopupMenu* OpenPopupMenu() const { return nullptr; }
  virtual bool ChoosePopupMenuKey(const std::string& /*key*/) { return false; }

  // Help page for a context number (helpFile names the help set; its pages are one per number).
  virtual void ShowHelp(const std::string& helpFile, int contextId) = 0;

  // Writes a PNG of the form as shown; false when it cannot.
  virtual bool SaveScreenshot(Form& form, const std::string& path) = 0;
  // Writes a PNG of a graph at a size in pixels (the picture a graph saves of itself).
  virtual bool SaveGraphPicture(const OGrGraph& graph, const std::string& path, int width, int height) = 0;

  // Registry of forms (Form registers itself). Ids start at 1 and are never reused.
  WindowId RegisterForm(Form& form);
  void UnregisterForm(Form& form);
  const std::vector<Form*>& Forms() const noexcept { return m_Forms; }
  Form* FindForm(std::string_view name) const noexcept;
  Form* FindForm(WindowId id) const noexcept;

 protected:
  // A backend binds or drops a form's window here.
  virtual void OnFormRegistered(Form& /*form*/) {}
  virtual void OnFormUnregistered(Form& /*form*/) {}
  // A backend brackets each modal loop with these.
  void EnterModal(WindowId window) { m_ModalWindows.push_back(window); }
  void LeaveModal() {
    if (!m_ModalWindows.empty()) m_ModalWindows.pop_back();
  }
  // An id for a window that is not a form (a message box); from the forms' sequence.
  WindowId NewWindowId() noexcept { return m_NextId++; }

 private:
  std::vector<Form*> m_Forms;
  std::vector<WindowId> m_ModalWindows;
  WindowId m_NextId = 1;
};

}  // namespace corvana::ui
