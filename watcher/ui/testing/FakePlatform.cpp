#include "watcher/ui/testing/FakePlatform.h"

#include <algorithm>

#include "common/ErrorTrap.h"
#include "watcher/ui/Form.h"
#include "watcher/ui/PopupMenu.h"
#include "watcher/ui/Timer.h"

namespace corvana::ui {

FakePlatform::FakePlatform() = default;

FakePlatform::~FakePlatform() {
  for (Timer* timer : m_Timers) {
    timer->SetObserver(nullptr);
    timer->SetAttachedPlatform(nullptr);
  }
}

void FakePlatform::Record(std::string operation, WindowId window, std::int64_t value, std::string text) {
  m_Calls.push_back(Call{std::move(operation), window, value, std::move(text)});
}

std::vector<FakePlatform::Call> FakePlatform::CallsOf(const std::string& operation) const {
  std::vector<Call> result;
  std::copy_if(m_Calls.begin(), m_Calls.end(), std::back_inserter(result),
               [&](const Call& call) { return call.Operation == operation; });
  return result;
}

void FakePlatform::AttachTimer(Timer& timer) {
  if (timer.AttachedPlatform() && timer.AttachedPlatform() != this)
    timer.AttachedPlatform()->DetachTimer(timer);
  if (!IsAttached(timer)) m_Timers.push_back(&timer);
  timer.SetAttachedPlatform(this);
  timer.SetObserver([this](Control& control, std::string_view property) {
    if (property == "Enabled" || property == "Interval") Schedule(static_cast<Timer&>(control));
  });
  Schedule(timer);
}

void FakePlatform::DetachTimer(Timer& timer) {
  m_Timers.erase(std::remove(m_Timers.begin(), m_Timers.end(), &timer), m_Timers.end());
  m_NextDue.erase(&timer);
  if (timer.AttachedPlatform() == this) {
    timer.SetObserver(nullptr);
    timer.SetAttachedPlatform(nullptr);
  }
}

bool FakePlatform::IsAttached(const Timer& timer) const noexcept {
  return std::find(m_Timers.begin(), m_Timers.end(), &timer) != m_Timers.end();
}

void FakePlatform::Schedule(Timer& timer) {
  // As a real timer: enabling or changing the interval restarts the count.
  if (timer.Enabled() && timer.Interval() > 0)
    m_NextDue[&timer] = m_Now + static_cast<std::uint64_t>(timer.Interval());
  else
    m_NextDue.erase(&timer);
}

void FakePlatform::AdvanceTime(std::uint32_t ms) {
  const std::uint64_t target = m_Now + ms;
  for (;;) {
    Timer* next = nullptr;
    std::uint64_t due = 0;
    // Earliest due first; ties in attachment order.
    for (Timer* timer : m_Timers) {
      auto it = m_NextDue.find(timer);
      if (it == m_NextDue.end() || it->second > target) continue;
      if (!next || it->second < due) {
        next = timer;
        due = it->second;
      }
    }
    if (!next) break;
    m_Now = due;
    m_NextDue[next] = due + static_cast<std::uint64_t>(next->Interval());
    next->Fire();  // may disable, re-enable or destroy the timer; the next round looks again
  }
  m_Now = target;
}

void FakePlatform::FireTimer(Timer& timer) {
  timer.Fire();
}

int FakePlatform::ShowMessageBox(const std::string& text, int buttons, const std::string& title) {
  int answer = MsgBox::Answers(buttons).front();
  if (!m_MessageAnswers.empty()) {
    answer = m_MessageAnswers.front();
    m_MessageAnswers.pop_front();
  }
  m_Messages.push_back(
      ShownMessage{text, title.empty() ? MsgBox::kDefaultTitle : title, buttons, answer, {}});
  Record("MessageBox", 0, answer, text);
  return answer;
}

int FakePlatform::ShowMessageDialog(const std::string& text, const std::vector<std::string>& captions,
                                    const std::string& title) {
  int answer = 0;
  if (!m_MessageAnswers.empty()) {
    answer = m_MessageAnswers.front();
    m_MessageAnswers.pop_front();
  }
  if (answer < 0 || static_cast<std::size_t>(answer) > captions.size()) answer = 0;
  m_Messages.push_back(
      ShownMessage{text, title.empty() ? MsgBox::kDefaultTitle : title, 0, answer, captions});
  Record("MessageBox", 0, answer, text);
  return answer;
}

Rect FakePlatform::WorkArea(WindowId nearWindow) {
  const auto it = m_WorkAreas.find(nearWindow);
  return it != m_WorkAreas.end() ? it->second : m_WorkArea;
}

void FakePlatform::RunModal(Form& form) {
  ++m_ModalDepth;
  EnterModal(form.Id());
  Record("RunModal", form.Id());
  if (!m_ModalActions.empty()) {
    auto action = std::move(m_ModalActions.front());
    m_ModalActions.pop_front();
    ResumeNext([&] { action(form); });
  }
  if (form.Visible()) {
    m_Calls.push_back(Call{"RunModal", form.Id(), 1, "ended by the fake"});
    form.Hide();
  }
  LeaveModal();
  --m_ModalDepth;
}

void FakePlatform::SetTopMost(WindowId window, bool topMost) {
  m_TopMost[window] = topMost;
  Record("SetTopMost", window, topMost ? 1 : 0);
}

bool FakePlatform::TopMostState(WindowId window) const {
  auto it = m_TopMost.find(window);
  return it != m_TopMost.end() && it->second;
}

void FakePlatform::SetForeground(WindowId window, std::int64_t processId) {
  m_Foreground = window;
  m_Processes[window] = processId;
}

std::int64_t FakePlatform::WindowProcessId(WindowId window) {
  if (window != 0 && FindForm(window)) return m_ProcessId;
  auto it = m_Processes.find(window);
  return it == m_Processes.end() ? 0 : it->second;
}

bool FakePlatform::SetForegroundWindow(WindowId window) {
  Record("SetForegroundWindow", window);
  if (window == 0) return false;
  m_Foreground = window;
  return true;
}

void FakePlatform::EnableWindow(WindowId window, bool enable) {
  m_Disabled[window] = !enable;
  Record("EnableWindow", window, enable ? 1 : 0);
}

bool FakePlatform::IsWindowEnabled(WindowId window) {
  auto it = m_Disabled.find(window);
  return it == m_Disabled.end() || !it->second;
}

bool FakePlatform::WindowRectPixels(WindowId window, Rect& rect) {
  auto it = m_Rects.find(window);
  if (it == m_Rects.end()) return false;
  rect = it->second;
  return true;
}

void FakePlatform::SetWindowIcon(WindowId window, const std::string& iconKey) {
  Record("SetWindowIcon", window, 0, iconKey);
}

std::string FakePlatform::ShowPopupMenu(PopupMenu& menu, Form& owner, const Control* anchor, int x, int y) {
  std::string key;
  if (!m_MenuKeys.empty()) {
    key = m_MenuKeys.front();
    m_MenuKeys.pop_front();
  }
  if (!key.empty() && !menu.CanChoose(key)) key.clear();
  Record("PopupMenu", owner.Id(), static_cast<std::int64_t>(x) * 100000 + y,
         menu.Name() + (anchor ? "@" + anchor->Name() : std::string()) + "=" + key);
  return key;
}

void FakePlatform::ShowHelp(const std::string& helpFile, int contextId) {
  Record("ShowHelp", 0, contextId, helpFile);
}

bool FakePlatform::SaveScreenshot(Form& form, const std::string& path) {
  Record("SaveScreenshot", form.Id(), 0, path);
  return true;
}

bool FakePlatform::SaveGraphPicture(const OGrGraph&, const std::string& path, int width, int height) {
  Record("SaveGraphPicture", 0, static_cast<std::int64_t>(width) * 100000 + height, path);
  return true;
}

}  // namespace corvana::ui
