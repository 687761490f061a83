#pragma once

#include <memory>
#include <string>
#include <vector>

#include "watcher/controller/ControllerServices.h"
#include "watcher/ui/Platform.h"
#include "watcher/ui/Timer.h"

namespace corvana {

// The controller's window-system needs met by the UI platform (Qt in the program, the fake one in
// tests). Timers are re-armed rather than destroyed, because the survival check stops and
// restarts its own timer from inside its tick.
class PlatformControllerServices : public ControllerServices {
 public:
  explicit PlatformControllerServices(ui::Platform& platform);
  ~PlatformControllerServices() override;

  int MessageBox(const std::string& text, const std::string& title, int buttons) override;
  int MessageDialog(const std::string& text, const std::string& title, const std::string& button1,
                    const std::string& button2, const std::string& button3) override;
  void SetApplicationHelpFile(const std::string& path) override { m_HelpFile = path; }
  const std::string& ApplicationHelpFile() const noexcept { return m_HelpFile; }

  std::uint64_t ForegroundWindow() override;
  std::int32_t WindowProcessId(std::uint64_t window) override;
  std::uint64_t FindTopLevelWindow(const std::string& title) override;
  void OrderWindows(std::uint64_t hostWindow, std::uint64_t window) override;
  void TieDialogToWindow(std::uint64_t dialog, std::uint64_t hostWindow) override;
  void SetForegroundWindow(std::uint64_t window) override;

  std::uint64_t StartTimer(int intervalMs, std::function<void()> callback) override;
  void KillTimer(std::uint64_t id) override;

  std::int32_t CurrentProcessId() override;
  void TerminateProcess(int exitCode) override;

 private:
  ui::Platform& m_Platform;
  std::string m_HelpFile;
  std::vector<std::unique_ptr<ui::Timer>> m_Timers;  // index + 1 is the timer id
  std::vector<std::shared_ptr<std::function<void()>>> m_Callbacks;
};

}  // namespace corvana
