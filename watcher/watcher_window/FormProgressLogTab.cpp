#include "watcher/watcher_window/FormProgress.h"

#include "common/ErrorTrap.h"
#include "watcher/common/Utilities.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/ui/WindowUtilities.h"

// The log tab: the kind of log shown and its grid.

namespace corvana {

void FormProgress::LoggingTab_Initialize() {
  ui::WindowUtilities::StyleGrid(SGGridLog);
  const bool wasUpdating = m_UpdatingControls;
  m_UpdatingControls = true;
  ComboLogType.Clear();
  ResumeNext([&] { ComboLogType.AddItem(Res(4043)); });
  ResumeNext([&] { ComboLogType.AddItem(Res(4044)); });
  if (ComboLogType.ListCount() > 0) ComboLogType.SetListIndex(0);
  m_UpdatingControls = wasUpdating;
}

void FormProgress::ComboLogType_Click() {
  if (m_UpdatingControls || !m_Manager) return;
  m_Manager->IDForGdLogReadRecordVB = ComboLogType.ListIndex();
  if (SGGridLog.DataSource()) {
    SGGridLog.RefreshRowCount();
    SGGridLog.ScrollToLastRows();
  }
}

}  // namespace corvana
