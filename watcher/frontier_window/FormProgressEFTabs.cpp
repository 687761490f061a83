#include "watcher/frontier_window/FormProgressEF.h"

#include <algorithm>

#include "common/ErrorTrap.h"
#include "suite/objectlib/MarkerValues.h"
#include "suite/objectlib/NumericHelpers.h"
#include "watcher/common/WatcherOLShared.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/engine/GdLib.h"
#include "watcher/frontier_window/FrontierFigures.h"
#include "watcher/log/ProgressDialogLogSvr.h"
#include "watcher/ui/WindowUtilities.h"

// The summary, log and stopping-options tabs.

namespace corvana {

namespace {
constexpr std::int32_t kMaxGeneColumns = 1024;
}

void FormProgressEF::GridInitialize() {
  ErrorInfo err;
  ResumeNext(err, [&] {
    WatcherManager& m = *m_Manager;
    ui::Grid& grid = SGGridSummary;
    ui::WindowUtilities::StyleGrid(grid);
    grid.ClearColumns();
    grid.ClearCells();
    Log("WATCHER: GridInitialize, before adding columns");
    grid.AddColumn(m.Input_EFConstraintDisplayFormula_LHSide + m.Input_EFConstraintOperatorAsString + "X",
                   1400);
    grid.AddColumn(Res(4046), 1000);
    grid.AddColumn(Res(4047), 1200);
    Log("WATCHER: GridInitialize, before calculating numGenesInTable");
    const Collection& names = m.Input_AllGeneNamesCol;
    if (names.Count() == 0) Log("WATCHER: GridInitialize, m_Manager.Input_AllGeneNamesCol Is Nothing");
    numGenesInTable = static_cast<std::int32_t>(std::min<long>(names.Count(), kMaxGeneColumns));
    Log("WATCHER: GridInitialize, after calculating numGenesInTable, =" + std::to_string(numGenesInTable));
    Log("WATCHER: GridInitialize, about to loop over variables to add columns");
    m_GeneAsDate.assign(static_cast<std::size_t>(numGenesInTable), false);
    const auto& asDate = m.Input_AdjustableCellsFormatAsDateCol.Items();
    for (std::int32_t j = 0; j < numGenesInTable; ++j) {
      std::string caption;
      ResumeNext([&] { caption = names.Item(j + 1).ToString(); });
      // Wide enough for the adjustable cell's name: the user tells the columns apart by it.
      grid.AddColumn(caption, std::max(1000, static_cast<int>(caption.size()) * 100 + 240));
      if (static_cast<std::size_t>(j) < asDate.size())
        ResumeNext([&] {
          m_GeneAsDate[static_cast<std::size_t>(j)] = asDate[static_cast<std::size_t>(j)].ToBoolean();
        });
    }
    Log("WATCHER: GridInitialize, after adding columns");
    m_SummaryRows.clear();
    for (std::int32_t i = 1; i <= NumConstrainingValues(); ++i) {
      std::string first;
      ResumeNext([&] { first = ConstrainingValueText(i); });
      m_SummaryRows.push_back(first);
    }
    LoadSummaryGrid();
  });
  if (err)
    Log("Error in GridInitialize: " + err.Description + " (" +
        std::to_string(static_cast<std::int32_t>(err.Number)) + ")");
}

void FormProgressEF::SummaryTable_UpdateRow(std::int32_t i) {
  WatcherManager& m = *m_Manager;
  std::int32_t record = 0, trial = 0;
  double withoutPenalties = 0;
  m_Values.clear();
  const double best =
      GdLib::Log_EFGetFrontierSolution(m.Input_LogPath, i, record, trial, m_Values, withoutPenalties);
  std::string row;
  if (IsMissingValue(best)) {
    row = ConstrainingValueText(i);
    const std::string none = WatcherOLShared::GetCommonString(1);
    for (std::int32_t c = 0; c < numGenesInTable + 2; ++c) row += '\t' + none;
  } else {
    m_Cells.clear();
    m_Cells.push_back(m.FormatEFConstrainedValue(ConstrainingValue(i)));
    m_Cells.push_back(std::to_string(trial));
    m_Cells.push_back(m.FormatTargetValue(best));
    m_Values.clear();
    GdLib::Log_GetAdjustableCellValues(m.Input_LogPath, i, record, m_Values);
    for (std::int32_t j = 0; j < numGenesInTable; ++j) {
      const auto k = static_cast<std::size_t>(j);
      if (k >= m_Values.size()) {
        m_Cells.emplace_back();
      } else if (m_GeneAsDate[k]) {
        m_Cells.push_back(WatcherOLShared::FormatDateValue(OleDate{m_Values[k]}, false));
      } else {
        m_Cells.push_back(WatcherOLShared::FormatNumberDefault(m_Values[k]).ToString());
      }
    }
    row = FrontierFigures::FixedLengthRow(m_Cells);
  }
  if (i >= 1 && static_cast<std::size_t>(i) <= m_SummaryRows.size())
    m_SummaryRows[static_cast<std::size_t>(i - 1)] = row;
}

void FormProgressEF::LoadSummaryGrid() {
  std::string text;
  for (std::size_t r = 0; r < m_SummaryRows.size(); ++r) text += (r ? "\r" : "") + m_SummaryRows[r];
  // Loading redraws the grid: not when every row reads as it did.
  if (text == m_LoadedSummary && SGGridSummary.RowCount() == static_cast<int>(m_SummaryRows.size())) return;
  SGGridSummary.LoadText(text);
  m_LoadedSummary = std::move(text);
}

void FormProgressEF::LoggingTab_Initialize() {
  WatcherManager& m = *m_Manager;
  const bool wasUpdating = m_UpdatingControls;
  m_UpdatingControls = true;
  ComboLogType.Clear();
  ResumeNext([&] { ComboLogType.AddItem(Res(4066)); });
  for (std::int32_t i = 1; i <= NumConstrainingValues(); ++i)
    ResumeNext([&] {
      ComboLogType.AddItem(Res(4067) + " " + m.Input_EFConstraintDisplayFormula_LHSide + " " +
                           m.Input_EFConstraintOperatorAsString + " " + ConstrainingValueText(i));
    });
  if (ComboLogType.ListCount() > 0) ComboLogType.SetListIndex(0);
  ui::WindowUtilities::StyleGrid(SGGridLog);
  m_UpdatingControls = wasUpdating;
}

// Called by the first update that finds a trial in the log. The rows follow the log-type combo
// through the manager's IDForGdLogReadRecordVB: all trials, or one value's progress steps.
void FormProgressEF::LoggingTab_Bind() {
  if (m_LogServer || !m_Manager || !FileExists(m_Manager->Input_LogPath)) return;
  auto server = std::make_unique<ProgressDialogLogSvr>();
  server->InitializeAndAddColumnsToGrid(SGGridLog, *m_Manager);
  m_LogServer = std::move(server);
  SGGridLog.SetDataSource(m_LogServer.get());
  RefreshLogGrid(true);
}

void FormProgressEF::RefreshLogGrid(bool showNewest) {
  if (!SGGridLog.DataSource()) return;
  SGGridLog.RefreshRowCount();
  if (showNewest) SGGridLog.FollowLastRows();
}

void FormProgressEF::ComboLogType_Click() {
  if (m_UpdatingControls || !m_Manager) return;
  m_Manager->IDForGdLogReadRecordVB = std::max(0, ComboLogType.ListIndex());
  // Other trials under the same row numbers: the rows shown are read afresh, not only counted.
  if (SGGridLog.DataSource()) SGGridLog.RefreshRows();
  RefreshLogGrid(true);  // another view starts at its newest rows
}

void FormProgressEF::StoppingStatus_Update() {
  WatcherManager& m = *m_Manager;
  std::int32_t found = 0;
  for (std::int32_t i = 1; i <= NumConstrainingValues(); ++i)
    if (GdLib::Log_EFGetProgressStepCount(m.Input_LogPath, i) >= 1) ++found;
  const auto initial =
      static_cast<std::int32_t>(m.Input_EFCollectionOfConstrainingValues_OptimizationOrder_Initial.Count());
  LabelStoppingStatus.SetCaption(Res(4068, Variant(found), Variant(initial)));
  ui::WindowUtilities::FillReportPlacementCombo(ComboReportPlacement);
}

void FormProgressEF::StoppingOptionsTab_PutInfo() {
  WatcherManager& m = *m_Manager;
  const bool wasUpdating = m_UpdatingControls;
  m_UpdatingControls = true;
  ErrorInfo err;
  ResumeNext(err, [&] {
    ComboReportPlacement.SetListIndex(m.ReportPlacement);
    CheckGenerateOptimizationSummary.SetValue(m.Stop_AtEndGenerateOptimizationSummary ? ui::kChecked
                                                                                      : ui::kUnchecked);
    CheckWriteLogOfAllTrials.SetValue(
        m.Stop_AtEndWriteLogOfAllTrials && m.LogTrialCount() > 0 ? ui::kChecked : ui::kUnchecked);
    CheckWriteLogsOfProgressSteps.SetValue(
        m.Stop_AtEndWriteLogOfProgressSteps && m.LogValidTrialCount() > 0 ? ui::kChecked : ui::kUnchecked);
  });
  m_UpdatingControls = wasUpdating;
  if (err) Log("Error in StoppingOptionsTab_PutInfo: " + err.Description);
}

void FormProgressEF::StoppingOptionsTab_GetInfo() {
  WatcherManager& m = *m_Manager;
  const bool wasUpdating = m_UpdatingControls;
  m_UpdatingControls = true;
  ErrorInfo err;
  ResumeNext(err, [&] {
    m.ReportPlacement = std::max(0, ComboReportPlacement.ListIndex());
    m.Stop_AtEndGenerateOptimizationSummary = CheckGenerateOptimizationSummary.Checked();
    m.Stop_AtEndWriteLogOfAllTrials = CheckWriteLogOfAllTrials.Checked();
    m.Stop_AtEndWriteLogOfProgressSteps = CheckWriteLogsOfProgressSteps.Checked();
  });
  m_UpdatingControls = wasUpdating;
  if (err) Log("Error in StoppingOptionsTab_GetInfo: " + err.Description);
}

void FormProgressEF::GoToStoppingConfig() {
  m_RunState = RunState::Stopping;
  ApplyRunStateConfig();
  ResumeNext([&] { StoppingStatus_Update(); });
  StoppingOptionsTab_PutInfo();
  m_UpdatingControls = true;
  ResumeNext([&] { TabMain.SetSelectedIndex(TabStoppingOptions); });
  ResumeNext([&] { m_Form.SetHelpContextID(11130); });
  m_UpdatingControls = false;
  ShowSelectedFrame();
  m_Form.Refresh();
}

void FormProgressEF::CommandOK_Click() {
  if (!m_Manager) return;
  WatcherManager& m = *m_Manager;
  ErrorInfo err;
  ResumeNext(err, [&] {
    StoppingOptionsTab_GetInfo();
    m_Form.Hide();
    Log("WATCHER, CommandOK_Click: hid dialog");
    if (m.Input_Application)
      m.Input_Application->EndOfRunChoices(
          m.Stop_AtEndGenerateOptimizationSummary, m.Stop_AtEndWriteLogOfAllTrials,
          m.Stop_AtEndWriteLogOfProgressSteps, m.Stop_SolutionToKeep, m.ReportPlacement);
  });
  if (err && m_Manager)
    ResumeNext([&] { m.DisplayMessage("Error in OK command handler: " + err.Description, false); });
}

}  // namespace corvana
