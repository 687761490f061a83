#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace corvana {

// What the controller needs of the window system and the operating system: message dialogs,
// window helpers, timers and the process itself. main.cpp installs one built on the UI
// platform; tests install a fake.
class ControllerServices {
 public:
  virtual ~ControllerServices() = default;

  // Message dialogs titled `title`. Buttons are the classic codes (4 Yes/No, 4096 system modal);
  // answers 1 OK, 6 Yes, 7 No.
  virtual int MessageBox(const std::string& text, const std::string& title, int buttons) = 0;
  // Three buttons with the given captions; returns 1, 2 or 3 for the button pressed, 0 when the
  // dialog is closed without a choice.
  virtual int MessageDialog(const std::string& text, const std::string& title, const std::string& button1,
                            const std::string& button2, const std::string& button3) = 0;
  virtual void SetApplicationHelpFile(const std::string& path) = 0;

  // Window helpers: foreground, window ordering, tying a dialog to the host window.
  virtual std::uint64_t ForegroundWindow() = 0;
  virtual std::int32_t WindowProcessId(std::uint64_t window) = 0;
  virtual std::uint64_t FindTopLevelWindow(const std::string& title) = 0;
  virtual void OrderWindows(std::uint64_t hostWindow, std::uint64_t window) = 0;
  virtual void TieDialogToWindow(std::uint64_t dialog, std::uint64_t hostWindow) = 0;
  virtual void SetForegroundWindow(std::uint64_t window) = 0;

  // Timers run on the user-interface thread; 0 means the timer could not be started.
  virtual std::uint64_t StartTimer(int intervalMs, std::function<void()> callback) = 0;
  virtual void KillTimer(std::uint64_t id) = 0;

  virtual std::int32_t CurrentProcessId() = 0;
  // Ends this process with the exit code.
  virtual void TerminateProcess(int exitCode) = 0;
};

}  // namespace corvana
