#include "watcher/progress_form/ProgressForm.h"

#include "common/ErrorTrap.h"
#include "watcher/common/DebugLogFile.h"
#include "watcher/controller/SmallWindow.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/controller/WatcherWindow.h"
#include "watcher/ui/WindowUtilities.h"

namespace corvana {

namespace {
constexpr const char* kExcelUpdatingKeys[] = {"mnuExcelUpdating_On", "mnuExcelUpdating_Best",
                                              "mnuExcelUpdating_Off"};
}

template <class Interface>
ProgressForm<Interface>::ProgressForm(ui::Platform& platform, const std::string& name)
    : m_Form(platform, name), m_ExcelUpdatingMenu(m_Form.Add<ui::PopupMenu>("mnuExcelUpdating")) {
  for (const char* key : kExcelUpdatingKeys) m_ExcelUpdatingMenu.AddItem(key, "");
}

template <class Interface>
void ProgressForm<Interface>::GoToRunningConfig() {
  m_RunState = RunState::Running;
  ApplyRunStateConfig();
}

template <class Interface>
void ProgressForm<Interface>::GoToPausingConfig() {
  m_RunState = RunState::Pausing;
  ApplyRunStateConfig();
}

template <class Interface>
void ProgressForm<Interface>::PressRunPauseButtons(ui::Button& run, ui::Button& pause) {
  run.SetPressed(m_RunState == RunState::Running);
  pause.SetPressed(m_RunState == RunState::Pausing);
}

template <class Interface>
const char* ProgressForm<Interface>::ExcelUpdatingKey(std::int32_t value) {
  return value >= 1 && value <= 3 ? kExcelUpdatingKeys[value - 1] : "";
}

template <class Interface>
bool ProgressForm<Interface>::ChooseExcelUpdating(const std::string& key) {
  std::int32_t value = 0;
  for (std::int32_t i = 1; i <= 3; ++i)
    if (key == kExcelUpdatingKeys[i - 1]) value = i;
  if (value == 0) return false;
  if (!m_Manager) return true;
  m_Manager->ShowExcelRecalculations = value;
  m_Manager->SendShowExcelRecalculationsToXL(value);
  return true;
}

template <class Interface>
void ProgressForm<Interface>::Log(const std::string& line) {
  if (g_LoggingEnabled) ResumeNext([&] { DebugLogFile::WriteLine(line); });
}

template <class Interface>
void ProgressForm<Interface>::PlaceAtTopRightOfHostWindow() {
  ResumeNext([&] {
    if (!m_Manager) return;
    ui::Platform& platform = m_Form.GetPlatform();
    ui::Rect host;
    bool known = false;
    if (m_Manager->Input_ExcelApplication) {
      ResumeNext([&] {
        const HostWindowRect r = m_Manager->Input_ExcelApplication->WindowRect();
        host = {r.Left, r.Top, r.Width, r.Height};
        known = r.Width > 0 && r.Height > 0;
      });
    }
    if (!known)
      known = platform.WindowRectPixels(static_cast<ui::WindowId>(m_Manager->Input_ExcelAppHwnd), host);
    if (!known) return;
    m_Form.SetLeft((host.Left + host.Width) * platform.TwipsPerPixelX() - m_Form.Width() - 100);
    m_Form.SetTop(host.Top * platform.TwipsPerPixelY() + 100);
  });
}

template <class Interface>
void ProgressForm<Interface>::Show(bool modal) {
  m_Form.Show(modal ? ui::ShowMode::Modal : ui::ShowMode::Modeless);
}

template <class Interface>
void ProgressForm<Interface>::Hide() {
  m_Form.Hide();
}

template <class Interface>
void ProgressForm<Interface>::Unload() {
  m_Form.Unload(ui::kUnloadFormCode);
}

template <class Interface>
bool ProgressForm<Interface>::Visible() const {
  return m_Form.Visible();
}

template <class Interface>
std::uint64_t ProgressForm<Interface>::WindowId() const {
  return m_Form.Id();
}

template <class Interface>
double ProgressForm<Interface>::Top() const {
  return m_Form.Top();
}

template <class Interface>
void ProgressForm<Interface>::SetTopMost(bool topMost) {
  if (topMost)
    ui::WindowUtilities::MakeTopMost(m_Form.GetPlatform(), m_Form.Id());
  else
    ui::WindowUtilities::MakeNotTopMost(m_Form.GetPlatform(), m_Form.Id());
}

template <class Interface>
void ProgressForm<Interface>::Activate() {
  m_Form.GetPlatform().SetForegroundWindow(m_Form.Id());
}

template <class Interface>
std::int32_t ProgressForm<Interface>::HelpContextID() const {
  return m_Form.HelpContextID();
}

template class ProgressForm<SmallWindow>;
template class ProgressForm<WatcherWindow>;

}  // namespace corvana
