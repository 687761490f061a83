// The run buttons, the spreadsheet-update and grid menus, and the window's other buttons.
#include "watcher/watcher_window/FormProgress.h"

#include "common/ErrorTrap.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/ui/WindowUtilities.h"

namespace corvana {

void FormProgress::SendFocusAway() {
  // No run button keeps a focus rectangle after it was used.
  TabMain.SetFocus();
}

void FormProgress::CommandRun_Click() {
  SendFocusAway();
  if (m_Manager) ResumeNext([&] { m_Manager->CommandResumeOptimization_ProcessClick(); });
}

void FormProgress::CommandPause_Click() {
  SendFocusAway();
  if (m_Manager) ResumeNext([&] { m_Manager->CommandPauseOptimization_ProcessClick(); });
}

void FormProgress::CommandStop_Click() {
  Log("FormProgress.CommandStop_Click: entering");
  ErrorInfo err;
  ResumeNext(err, [&] {
    SendFocusAway();
    Log("FormProgress.CommandStop_Click: SendFocusAway returned");
    if (!m_Manager) return;
    m_Manager->CommandStopOptimization_ProcessClick();
    Log("FormProgress.CommandStop_Click: m_Manager.CommandStopOptimization_ProcessClick returned");
  });
  if (err)
    Log("FormProgress.CommandStop_Click: exiting with error: " + err.Description);
  else
    Log("FormProgress.CommandStop_Click: exiting without error");
}

void FormProgress::CommandExcelUpdate_Click() {
  if (m_ExcelUpdateLocked || !m_Manager) return;
  ResumeNext([&] {
    m_ExcelUpdatingMenu.CheckOnly(ExcelUpdatingKey(m_Manager->ShowExcelRecalculations));
    const std::string key = m_Form.GetPlatform().ShowPopupMenu(
        m_ExcelUpdatingMenu, m_Form, &CommandExcelUpdate, 0, CommandExcelUpdate.Height());
    OnMenuItem(key);
  });
  m_ExcelUpdateLocked = true;
  CommandExcelUpdate.SetPressed(false);
  m_ExcelUpdateLocked = m_RunState == RunState::Stopping;
}

void FormProgress::OnMenuItem(const std::string& key) {
  if (key.empty()) return;
  ResumeNext([&] {
    if (key == "mnuGridPopup_Copy") {
      if (m_MenuTargetGrid) ui::WindowUtilities::CopyGridToClipboard(m_Form.GetPlatform(), *m_MenuTargetGrid);
      return;
    }
    ChooseExcelUpdating(key);
  });
}

void FormProgress::Grid_MouseUp(ui::Grid& grid, int button, int x, int y) {
  if (button != ui::kRightButton) return;
  ResumeNext([&] {
    m_MenuTargetGrid = &grid;
    OnMenuItem(m_Form.GetPlatform().ShowPopupMenu(m_GridPopupMenu, m_Form, &grid, x, y));
  });
}

void FormProgress::CommandMinimizeWatcher_Click() {
  if (m_MinimizeLocked || !m_Manager) return;
  ResumeNext([&] { m_Manager->SwitchToSmallWindow(); });
}

void FormProgress::CommandHelp_Click() {
  if (m_Manager) ResumeNext([&] { m_Manager->ShowHelpForForm(*this); });
}

}  // namespace corvana
