#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "watcher/ui/Platform.h"

namespace corvana::ui {

// A window system for tests: a manual clock whose timers fire when the test advances it, scripted
// answers to message boxes and popup menus, scripted actions run inside modal loops, and a record
// of every window operation.
class FakePlatform : public Platform {
 public:
  // One recorded operation: "SetTopMost", "SetForegroundWindow", "EnableWindow", "SetWindowIcon",
  // "ShowHelp", "MessageBox", "PopupMenu", "RunModal", "SaveScreenshot", "SaveGraphPicture".
  struct Call {
    std::string Operation;
    WindowId Window = 0;
    std::int64_t Value = 0;
    std::string Text;
  };
  struct ShownMessage {
    std::string Text;
    std::string Title;
    int Buttons = 0;
    int Answer = 0;
    std::vector<std::string> Captions;  // a box with captions (its Answer is a button index)
  };

  FakePlatform();
  ~FakePlatform() override;

  // Clock: advancing fires each due enabled timer once per elapsed interval, in time order.
  void AdvanceTime(std::uint32_t ms);
  void SetTickCount(std::uint32_t ms) { m_Now = ms; }
  std::uint64_t Now() const noexcept { return m_Now; }
  // Fires one attached timer now (whether or not enabled, as a direct test of its handler).
  void FireTimer(Timer& timer);
  const std::vector<Timer*>& Timers() const noexcept { return m_Timers; }
  bool IsAttached(const Timer& timer) const noexcept;

  // Message boxes take queued answers in order; with none queued they answer the box's first
  // button (kOK, kYes, kAbort, kRetry). A box with captions takes a queued button index; with none
  // queued, or one the box lacks, it is closed without a choice (0), as its first button may be
  // no answer at all (a help button).
  void QueueMessageBoxAnswer(int answer) { m_MessageAnswers.push_back(answer); }
  const std::vector<ShownMessage>& Messages() const noexcept { return m_Messages; }
  // Popup menus take queued keys ("" = dismissed); with none queued they are dismissed.
  void QueuePopupMenuKey(const std::string& key) { m_MenuKeys.push_back(key); }
  // Actions run, one per modal loop, inside RunModal; each should hide or unload the form. A modal
  // loop without an action (or whose action leaves the form shown) hides the form itself so that
  // tests never hang; the call is recorded with Value 1 in that case.
  void QueueModalAction(std::function<void(Form&)> action) { m_ModalActions.push_back(std::move(action)); }
  int ModalDepth() const noexcept { return m_ModalDepth; }

  // Window system state.
  void SetForeground(WindowId window, std::int64_t processId);
  void SetWindowProcess(WindowId window, std::int64_t processId) { m_Processes[window] = processId; }
  void SetWindowRectPixels(WindowId window, Rect rect) { m_Rects[window] = rect; }
  void SetTwipsPerPixel(int x, int y) {
    m_TwipsX = x;
    m_TwipsY = y;
  }
  void SetWorkArea(Rect area) { m_WorkArea = area; }
  // The work area of the screen that holds `window` (another screen than the primary one).
  void SetWorkArea(WindowId window, Rect area) { m_WorkAreas[window] = area; }
  bool TopMostState(WindowId window) const;
  std::int64_t ProcessId() const noexcept { return m_ProcessId; }
  void SetProcessId(std::int64_t id) noexcept { m_ProcessId = id; }

  const std::vector<Call>& Calls() const noexcept { return m_Calls; }
  std::vector<Call> CallsOf(const std::string& operation) const;
  void ClearCalls() { m_Calls.clear(); }

  // Platform.
  std::uint32_t TickCount() override { return static_cast<std::uint32_t>(m_Now); }
  void AttachTimer(Timer& timer) override;
  void DetachTimer(Timer& timer) override;
  int ShowMessageBox(const std::string& text, int buttons, const std::string& title) override;
  int ShowMessageDialog(const std::string& text, const std::vector<std::string>& captions,
                        const std::string& title) override;
  void RunModal(Form& form) override;
  void DoEvents() override {}
  std::string ClipboardText() override { return m_Clipboard; }
  void SetClipboardText(const std::string& text) override { m_Clipboard = text; }
  int TwipsPerPixelX() override { return m_TwipsX; }
  int TwipsPerPixelY() override { return m_TwipsY; }
  Rect WorkArea(WindowId nearWindow) override;
  void SetTopMost(WindowId window, bool topMost) override;
  WindowId ForegroundWindow() override { return m_Foreground; }
  std::int64_t WindowProcessId(WindowId window) override;
  bool SetForegroundWindow(WindowId window) override;
  void EnableWindow(WindowId window, bool enable) override;
  bool IsWindowEnabled(WindowId window) override;
  bool WindowRectPixels(WindowId window, Rect& rect) override;
  void SetWindowIcon(WindowId window, const std::string& iconKey) override;
  std::string ShowPopupMenu(PopupMenu& menu, Form& owner, const Control* anchor, int x, int y) override;
  void ShowHelp(const std::string& helpFile, int contextId) override;
  bool SaveScreenshot(Form& form, const std::string& path) override;
  bool SaveGraphPicture(const OGrGraph& graph, const std::string& path, int width, int height) override;

 private:
  void Schedule(Timer& timer);
  void Record(std::string operation, WindowId window, std::int64_t value = 0, std::string text = {});

  std::uint64_t m_Now = 1000;
  std::vector<Timer*> m_Timers;
  std::map<const Timer*, std::uint64_t> m_NextDue;
  std::deque<int> m_MessageAnswers;
  std::vector<ShownMessage> m_Messages;
  std::deque<std::string> m_MenuKeys;
  std::deque<std::function<void(Form&)>> m_ModalActions;
  int m_ModalDepth = 0;
  std::string m_Clipboard;
  int m_TwipsX = 15;
  int m_TwipsY = 15;
  Rect m_WorkArea{0, 0, 1920 * 15, 1040 * 15};
  std::map<WindowId, Rect> m_WorkAreas;
  WindowId m_Foreground = 0;
  std::int64_t m_ProcessId = 4242;
  std::map<WindowId, std::int64_t> m_Processes;
  std::map<WindowId, bool> m_TopMost;
  std::map<WindowId, bool> m_Disabled;
  std::map<WindowId, Rect> m_Rects;
  std::vector<Call> m_Calls;
};

}  // namespace corvana::ui
