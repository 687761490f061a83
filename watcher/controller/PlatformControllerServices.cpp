#include "watcher/controller/PlatformControllerServices.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "watcher/ui/Form.h"

namespace corvana {

PlatformControllerServices::PlatformControllerServices(ui::Platform& platform) : m_Platform(platform) {}

PlatformControllerServices::~PlatformControllerServices() {
  for (auto& timer : m_Timers)
    if (timer->AttachedPlatform()) m_Platform.DetachTimer(*timer);
}

int PlatformControllerServices::MessageBox(const std::string& text, const std::string& title, int buttons) {
  return m_Platform.ShowMessageBox(text, buttons, title);
}

int PlatformControllerServices::MessageDialog(const std::string& text, const std::string& title,
                                              const std::string& button1, const std::string& button2,
                                              const std::string& button3) {
  return m_Platform.ShowMessageDialog(text, {button1, button2, button3}, title);
}

std::uint64_t PlatformControllerServices::ForegroundWindow() {
  return m_Platform.ForegroundWindow();
}

std::int32_t PlatformControllerServices::WindowProcessId(std::uint64_t window) {
  return static_cast<std::int32_t>(m_Platform.WindowProcessId(window));
}

std::uint64_t PlatformControllerServices::FindTopLevelWindow(const std::string& title) {
  return m_Platform.FindTopLevelWindow(title);
}

void PlatformControllerServices::OrderWindows(std::uint64_t hostWindow, std::uint64_t window) {
  // The Watcher's window goes in front of the host's, whichever order the two are named in; when
  // neither is ours (a window of the host came to the front), the modal Watcher window does.
  const auto ours = [&](std::uint64_t w) {
    if (w == 0) return false;
    if (m_Platform.FindForm(static_cast<ui::WindowId>(w))) return true;
    const auto boxes = m_Platform.OpenMessageBoxes();
    return std::any_of(boxes.begin(), boxes.end(),
                       [&](const ui::MessageBoxInfo& b) { return b.Window == w; });
  };
  const std::uint64_t front = ours(window)       ? window
                              : ours(hostWindow) ? hostWindow
                                                 : m_Platform.ModalWindow();
  if (front == 0) return;
  m_Platform.RaiseAbove(front, front == window ? hostWindow : window);
}

void PlatformControllerServices::TieDialogToWindow(std::uint64_t dialog, std::uint64_t hostWindow) {
  if (ui::Form* form = m_Platform.FindForm(dialog)) form->SetOwnerWindow(hostWindow);
}

void PlatformControllerServices::SetForegroundWindow(std::uint64_t window) {
  m_Platform.SetForegroundWindow(window);
}

std::uint64_t PlatformControllerServices::StartTimer(int intervalMs, std::function<void()> callback) {
  if (intervalMs <= 0 || !callback) return 0;
  std::size_t slot = 0;
  while (slot < m_Timers.size() && m_Timers[slot]->Enabled()) ++slot;
  if (slot == m_Timers.size()) {
    m_Timers.push_back(std::make_unique<ui::Timer>("ControllerTimer" + std::to_string(slot + 1)));
    m_Callbacks.emplace_back();
    // The callback is held by the tick itself, so replacing it from inside the tick is safe.
    m_Timers[slot]->Tick = [this, slot] {
      const auto current = m_Callbacks[slot];
      if (current) (*current)();
    };
  }
  ui::Timer& timer = *m_Timers[slot];
  timer.SetEnabled(false);
  timer.SetInterval(intervalMs);
  m_Callbacks[slot] = std::make_shared<std::function<void()>>(std::move(callback));
  if (!timer.AttachedPlatform()) m_Platform.AttachTimer(timer);
  timer.SetEnabled(true);
  return slot + 1;
}

void PlatformControllerServices::KillTimer(std::uint64_t id) {
  if (id == 0 || id > m_Timers.size()) return;
  m_Timers[id - 1]->SetEnabled(false);
}

std::int32_t PlatformControllerServices::CurrentProcessId() {
  return static_cast<std::int32_t>(::getpid());
}

void PlatformControllerServices::TerminateProcess(int exitCode) {
  std::fflush(nullptr);
  std::_Exit(exitCode);
}

}  // namespace corvana
