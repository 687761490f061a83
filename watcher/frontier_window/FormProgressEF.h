#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/ErrorTrap.h"
#include "common/Variant.h"
#include "watcher/controller/WatcherWindow.h"
#include "watcher/frontier_window/ConstrainingValueSteps.h"
#include "watcher/progress_form/ProgressForm.h"
#include "watcher/ui/Button.h"
#include "watcher/ui/CheckBox.h"
#include "watcher/ui/ComboBox.h"
#include "watcher/ui/Frame.h"
#include "watcher/ui/GraphControl.h"
#include "watcher/ui/Grid.h"
#include "watcher/ui/Label.h"
#include "watcher/ui/Platform.h"
#include "watcher/ui/TabControl.h"
#include "watcher/ui/Timer.h"

namespace corvana {

class OGrGraph;
class ProgressDialogLogSvr;

// The full Watcher window of an efficient-frontier series: the progress of every optimization
// beside the frontier of their best results, a summary row per constraining value, the trial
// log and the end-of-run options, over the run buttons. Its one-second TimerUpdate tick drives
// the series as FormProgress's drives a single optimization.
class FormProgressEF : public ProgressForm<WatcherWindow> {
 public:
  static constexpr int kTabCount = 4;
  enum Tab : int { TabProgress = 0, TabSummary = 1, TabLog = 2, TabStoppingOptions = 3 };
  // Smallest client area the layout keeps, in twips.
  static constexpr int kMinClientWidth = 9200;
  static constexpr int kMinClientHeight = 6280;

  explicit FormProgressEF(ui::Platform& platform);
  ~FormProgressEF() override;

  // ---- WatcherWindow ----
  void Initialize(WatcherManager& manager) override;
  void InitializeAfterFirstTrial(std::int32_t graphAllTrialsInitialNumTrialsShown,
                                 std::int32_t numLastTrialsToShow) override;
  void Update(bool forceUpdateOfEverything, bool& updateLastResult) override;
  void Dispose() override;
  void ApplyFormLocalization() override;
  void GoToStoppingConfig() override;
  void ControlsAfterStopClickedDisableEnable(bool enable) override;
  void UpdateRunPauseButtons() override;
  void SetResumeSignalTicks(int count) override { m_ResumeSignalTicks = count; }
  RunState ButtonConfiguration() const override { return m_RunState; }
  void SetExcelUpdateButtonState(bool) override {}  // this window has no such button
  bool StopTimer() const override { return m_StopTimer; }
  void SetStopTimer(bool value) override { m_StopTimer = value; }
  void SetTimerUpdateEnabled(bool enabled) override { TimerUpdate.SetEnabled(enabled); }
  bool OrrGraphModalDialogBeingDisplayed() const override;

  // Writes True to channel 10 when the user has moved the window since the last look.
  void CheckWindowMoved();

  // ---- The tick ----
  void TimerUpdate_Timer();

  // ---- Progress tab and its graphs ----
  void ProgressTab_Initialize();
  void ProgressTab_InitializeAfterFirstTrial(std::int32_t p_InitialTrialAxisMax);
  void ProgressTab_UpdateProgressStepInfoPerConstrainingValue(std::int32_t p_ConstrainingValueIndex);
  void ProgressTab_UpdateGraphProgress();
  void ProgressTab_UpdateGraphEfficientFrontier();

  // ---- Summary, log and stopping tabs ----
  void GridInitialize();
  void SummaryTable_UpdateRow(std::int32_t i);
  void LoggingTab_Initialize();
  // Binds the log grid to a trial-log data source; the window does not own it.
  void LoggingTab_Bind();
  // The log grid shows as many rows as its source holds. showNewest scrolls to the last rows;
  // otherwise they stay in view unless the user scrolled back from them.
  void RefreshLogGrid(bool showNewest = false);
  void StoppingStatus_Update();

  // ---- Events ----
  void CommandRun_Click();
  void CommandPause_Click();
  void CommandStop_Click();
  void CommandOK_Click();
  void CommandMinimizeWatcher_Click();
  void CommandHelp_Click();
  void TabMain_Click(int previousIndex);
  void ComboLogType_Click();
  void Grid_MouseUp(ui::Grid& grid, int button, int x, int y);
  void Form_Load();
  void Form_QueryUnload(bool& cancel, int unloadMode);
  void Form_Resize();

  // ---- Read-outs for tests and benchmarks ----
  const std::shared_ptr<OGrGraph>& ProgressGraph() const noexcept { return m_ProgressGraph; }
  const std::shared_ptr<OGrGraph>& EFGraph() const noexcept { return m_EFGraph; }
  const ConstrainingValueSteps& Steps() const noexcept { return m_Steps; }
  const std::set<std::int32_t>& CurveIndices() const noexcept { return m_CurveIndices; }
  const std::map<std::int32_t, int>& CurveIDs() const noexcept { return m_CurveIDs; }
  std::int32_t ProgressXAxisMax() const noexcept { return m_ProgressXAxisMax; }
  bool InitializedAfterFirstTrial() const noexcept { return m_InitializedAfterFirstTrial; }
  int ResumeSignalTicks() const noexcept { return m_ResumeSignalTicks; }
  bool RunPauseStopLocked() const noexcept { return m_RunPauseStopLocked; }
  bool MinimizeLocked() const noexcept { return m_MinimizeLocked; }

 private:
  void ApplyRunStateConfig() override;
  void SendFocusAway();
  void SetButtonPicture(ui::Button& button, const char* key, bool enabled);
  void ShowSelectedFrame();
  void StoppingOptionsTab_PutInfo();
  void StoppingOptionsTab_GetInfo();
  // The constraining values of the series in the order they run, as numbers.
  std::int32_t NumConstrainingValues() const;
  double ConstrainingValue(std::int32_t i) const;
  std::string ConstrainingValueText(std::int32_t i) const;
  std::string CurveName(std::int32_t i) const;
  void LoadSummaryGrid();
  static std::string Res(long id, const Variant& p1 = Variant(), const Variant& p2 = Variant());

 public:
  // ---- Controls, under their own names ----
  ui::TabControl& TabMain;
  std::vector<ui::Frame*> FrameTabMain;
  ui::GraphControl& OrrGraphAllTrials;
  ui::GraphControl& OrrGraphEfficientFrontier;
  ui::Label& LabelProgressStatus;
  ui::Grid& SGGridSummary;
  ui::Label& LabelBestSolutions;
  ui::ComboBox& ComboLogType;
  ui::Label& LabelLogType;
  ui::Grid& SGGridLog;
  ui::Label& LabelEFAnalysisHasStopped;
  ui::Label& LabelStoppingStatus;
  ui::Label& LabelReportsToGenerate;
  ui::ComboBox& ComboReportPlacement;
  ui::CheckBox& CheckGenerateOptimizationSummary;
  ui::CheckBox& CheckWriteLogOfAllTrials;
  ui::CheckBox& CheckWriteLogsOfProgressSteps;
  ui::Label& FrameSolutionDivider;
  ui::Label& FrameReportsDivider;
  ui::Label& FrameBottomDivider;
  ui::Frame& FrameBottom;
  ui::Button& CommandRun;
  ui::Button& CommandPause;
  ui::Button& CommandStop;
  ui::Button& CommandOK;
  ui::Button& CommandHelp;
  ui::Button& CommandMinimizeWatcher;
  ui::Timer& TimerUpdate;
  ui::PopupMenu& m_GridPopupMenu;

 private:
  bool m_StopTimer = false;
  std::shared_ptr<OGrGraph> m_EFGraph;
  std::shared_ptr<OGrGraph> m_ProgressGraph;
  std::int32_t m_ProgressXAxisMax = 0;
  ConstrainingValueSteps m_Steps;
  std::set<std::int32_t> m_CurveIndices;
  std::map<std::int32_t, int> m_CurveIDs;
  std::int32_t numGenesInTable = 0;
  std::int32_t m_LastTop = 0;
  std::int32_t m_LastLeft = 0;
  bool m_InitializedAfterFirstTrial = false;
  bool m_UpdatingControls = false;
  bool m_RunPauseStopLocked = false;
  bool m_MinimizeLocked = false;
  int m_ResumeSignalTicks = 0;
  std::unique_ptr<ProgressDialogLogSvr> m_LogServer;
  ui::Grid* m_MenuTargetGrid = nullptr;

  // Figures of the update under way and buffers reused by every update.
  double m_TrialCount = 0;
  std::vector<std::string> m_SummaryRows;
  std::string m_LoadedSummary;
  std::vector<std::string> m_Cells;
  std::vector<double> m_Values;
  std::vector<bool> m_GeneAsDate;
};

}  // namespace corvana
