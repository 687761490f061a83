#include <algorithm>
#include <cstdlib>
#include <string>

#include "common/ErrorTrap.h"
#include "watcher/common/Utilities.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/log/ProgressDialogLogSvr.h"
#include "watcher/ui/WindowUtilities.h"
#include "watcher/watcher_window/FormProgress.h"

// The log tab: the kind of log shown, a way to a trial, and the grid over the trial log.

namespace corvana {

void FormProgress::LoggingTab_Initialize() {
  ui::WindowUtilities::StyleGrid(SGGridLog);
  const bool wasUpdating = m_UpdatingControls;
  m_UpdatingControls = true;
  ComboLogType.Clear();
  ResumeNext([&] { ComboLogType.AddItem(Res(4043)); });
  ResumeNext([&] { ComboLogType.AddItem(Res(4044)); });
  if (ComboLogType.ListCount() > 0) ComboLogType.SetListIndex(0);
  ResumeNext([&] { CheckValidTrialsOnly.SetCaption(Res(4049)); });
  ResumeNext([&] { LabelGoToTrial.SetCaption(Res(4048)); });
  ResumeNext([&] { CommandGoToTrial.SetCaption(Res(4050)); });
  CheckValidTrialsOnly.SetValue(ui::kUnchecked);
  LabelLogColumnsLeftOut.SetVisible(false);
  m_UpdatingControls = wasUpdating;
}

// Called by the first update that finds a trial in the log.
void FormProgress::LoggingTab_Bind() {
  if (m_LogServer || !m_Manager) return;
  auto server = std::make_unique<ProgressDialogLogSvr>();
  server->InitializeAndAddColumnsToGrid(SGGridLog, *m_Manager);
  server->SetValidTrialsOnly(CheckValidTrialsOnly.Checked());
  m_LogServer = std::move(server);
  m_LogColumnWidths.clear();
  for (const auto& column : SGGridLog.Columns()) m_LogColumnWidths.push_back(column.Width);
  SGGridLog.SetDataSource(m_LogServer.get());
  SGGridLog.FollowLastRows();
  if (m_LogServer->NumColumnsLeftOut() > 0) {
    ResumeNext([&] { LabelLogColumnsLeftOut.SetCaption(Res(4051, m_LogServer->NumColumnsLeftOut())); });
    LabelLogColumnsLeftOut.SetVisible(true);
    Form_Resize();  // the note takes a line above the grid
  }
  LoggingTab_LayOutColumns();
}

void FormProgress::LoggingTab_Refresh() {
  if (!m_LogServer) return;
  // The newest rows stay in view unless the user scrolled back or went to a trial.
  SGGridLog.RefreshRowCount();
  LoggingTab_LayOutColumns();
}

// Columns keep at least the width the source gave them (the grid scrolls sideways rather than cut
// the values), and the trial number column grows with the number's digits.
void FormProgress::LoggingTab_LayOutColumns() {
  if (!m_LogServer) return;
  const int digits = static_cast<int>(std::to_string(SGGridLog.RowCount()).size());
  for (int c = 0; c < SGGridLog.ColumnCount() && c < static_cast<int>(m_LogColumnWidths.size()); ++c) {
    const int needed =
        std::max(m_LogColumnWidths[static_cast<std::size_t>(c)], c == 0 ? 180 + 110 * digits : 0);
    if (SGGridLog.Column(c).Width < needed) SGGridLog.SetColumnWidth(c, needed);
  }
}

void FormProgress::LoggingTab_Dispose() {
  SGGridLog.SetDataSource(nullptr);
  m_LogColumnWidths.clear();
  if (m_LogServer) m_LogServer->Dispose();
  m_LogServer.reset();
}

void FormProgress::ComboLogType_Click() {
  if (m_UpdatingControls || !m_Manager) return;
  m_Manager->IDForGdLogReadRecordVB = ComboLogType.ListIndex();
  // Valid trials are a choice of the all-trials view only.
  CheckValidTrialsOnly.SetEnabled(m_Manager->IDForGdLogReadRecordVB == 0);
  if (!m_LogServer) return;
  SGGridLog.RefreshRows();
  SGGridLog.FollowLastRows();
}

void FormProgress::CheckValidTrialsOnly_Click() {
  if (m_UpdatingControls || !m_LogServer) return;
  m_LogServer->SetValidTrialsOnly(CheckValidTrialsOnly.Checked());
  SGGridLog.RefreshRows();
  SGGridLog.FollowLastRows();
}

void FormProgress::CommandGoToTrial_Click() {
  if (!m_LogServer) return;
  char* end = nullptr;
  const std::string& text = TextGoToTrial.Text();
  const long trial = std::strtol(text.c_str(), &end, 10);
  // Not a trial number: nothing moves and the text stays for the user to correct.
  if (text.empty() || end == text.c_str() || trial < 1) return;
  const std::int32_t row =
      m_LogServer->RowOfTrial(static_cast<std::int32_t>(std::min<long>(trial, INT32_MAX)));
  if (row < 0) {
    // Past the end: the newest rows are the nearest.
    SGGridLog.FollowLastRows();
    return;
  }
  SGGridLog.StopFollowing();
  SGGridLog.SetTopRow(row);
}

}  // namespace corvana
