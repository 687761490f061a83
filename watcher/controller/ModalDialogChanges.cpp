#include "watcher/controller/ModalDialogChanges.h"

#include "common/ErrorTrap.h"
#include "watcher/controller/ControllerServices.h"
#include "watcher/controller/SurvivalChecker.h"
#include "watcher/controller/WatcherGlobals.h"
#include "watcher/controller/WatcherManager.h"

namespace corvana {

namespace {
constexpr std::int32_t kLocaleEnglish = 1033;
}

void ModalDialogChanges::Initialize(const std::shared_ptr<HostApplication>& excelApplication,
                                    std::int32_t excelHwnd, std::uint64_t dialogHwnd) {
  m_ExcelApplication = excelApplication;
  m_ExcelHwnd = excelHwnd;
  ResumeNext([&] {
    if (m_ExcelApplication && m_ExcelApplication->BooleanProperty(kLocaleEnglish))
      m_ExcelApplication->SetBooleanProperty(kLocaleEnglish, false);
  });
  m_PreviousModalDialogShown = g_ModalDialogShown;
  g_ModalDialogShown = true;
  ResumeNext([&] {
    if (dialogHwnd != 0) m_Services->TieDialogToWindow(dialogHwnd, static_cast<std::uint32_t>(m_ExcelHwnd));
  });
  ResumeNext([&] {
    m_ExcelWindowWasEnabled = m_ExcelApplication && m_ExcelApplication->WindowEnabled();
    if (m_ExcelWindowWasEnabled) m_ExcelApplication->EnableWindow(false);
  });
  // The survival check polls faster while the host waits on a modal window.
  ResumeNext([&] {
    if (g_PollingTimerID != 0) StartPollingTimer(m_Services);
  });
}

void ModalDialogChanges::Restore() {
  g_ModalDialogShown = m_PreviousModalDialogShown;
  ResumeNext([&] {
    if (m_ExcelWindowWasEnabled && m_ExcelApplication) m_ExcelApplication->EnableWindow(true);
  });
  ResumeNext([&] {
    if (m_ExcelApplication) m_ExcelApplication->SetForeground();
  });
  ResumeNext([&] {
    if (g_PollingTimerID != 0) StartPollingTimer(m_Services);
  });
}

}  // namespace corvana
