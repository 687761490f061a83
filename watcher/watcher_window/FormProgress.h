#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/ErrorTrap.h"
#include "common/Variant.h"
#include "watcher/controller/WatcherWindow.h"
#include "watcher/progress_form/ProgressForm.h"
#include "watcher/rate_dialog/FormRate.h"
#include "watcher/ui/Button.h"
#include "watcher/ui/CheckBox.h"
#include "watcher/ui/ComboBox.h"
#include "watcher/ui/Frame.h"
#include "watcher/ui/GraphControl.h"
#include "watcher/ui/Grid.h"
#include "watcher/ui/Label.h"
#include "watcher/ui/PictureBox.h"
#include "watcher/ui/Platform.h"
#include "watcher/ui/ScrollBar.h"
#include "watcher/ui/TabControl.h"
#include "watcher/ui/TextBox.h"
#include "watcher/ui/Timer.h"
#include "watcher/watcher_window/PopulationColorTable.h"
#include "watcher/watcher_window/PopulationTableSource.h"
#include "watcher/watcher_window/ProgressSteps.h"
#include "watcher/watcher_window/SolutionTable.h"

namespace corvana {

class OGrGraph;
class ProgressDialogLogSvr;

// The full Watcher window of a single optimization: seven tabs over a row of run buttons, and the
// one-second TimerUpdate tick that drives the whole run.
class FormProgress : public ProgressForm<WatcherWindow> {
 public:
  static constexpr int kTabCount = 7;
  enum Tab : int {
    TabProgress = 0,
    TabSummary = 1,
    TabLog = 2,
    TabPopulation = 3,
    TabColorGraph = 4,
    TabConstraintSolver = 5,
    TabStoppingOptions = 6,
  };

  explicit FormProgress(ui::Platform& platform);
  ~FormProgress() override;

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
  void SetExcelUpdateButtonState(bool pressed) override;
  bool StopTimer() const override { return m_StopTimer; }
  void SetStopTimer(bool value) override { m_StopTimer = value; }
  void SetTimerUpdateEnabled(bool enabled) override { TimerUpdate.SetEnabled(enabled); }
  bool OrrGraphModalDialogBeingDisplayed() const override;
  bool ColorGraphTabSelected() const override { return TabMain.SelectedIndex() == TabColorGraph; }
  void EnableColorGraphTimer() override { TimerForColorGraph.SetEnabled(true); }
  bool SaveAllTrialsGraphPicture(const std::string& axisTitle, double axisMaximum, const std::string& path,
                                 int widthPixels, int heightPixels) override;

  // ---- The update cycle ----
  void TimerUpdate_Timer();
  void KickColorGraphTimer();

  // ---- Progress tab ----
  void ProgressTab_Initialize();
  void ProgressTab_InitializeAfterFirstTrial(std::int32_t graphAllTrialsInitialNumTrialsShown,
                                             std::int32_t numLastTrialsToShow);
  void ProgressTab_SetGraphsVisible();
  void RecordProgressStep();
  void UpdateStatusLabel();
  void ProgressTab_Update();

  // ---- Summary and population tables ----
  void GridInitialize(ui::Grid& grid, bool isPopulationTable);
  void SummaryTable_Update();
  void SummaryTable_UpdateRow(std::int32_t whichSolution);
  void Update_ValueTable();
  std::unique_ptr<PopulationTableSource> NewPopulationSource(SolutionTable table);

  // ---- Genetic parameters (under the summary) ----
  void GeneticParameters_SetVisible(bool visible);
  void GeneticParameters_Initialize();
  void GeneticParameters_Update();
  void GeneticParameters_SendValuesToGdLib();
  void GeneticParameters_DisableControls();
  void GeneticParameters_Layout(int top, int width);
  void ScrollCrossover_Change();
  void ScrollMutation_Change();
  void CommandCrossover_Click();
  void CommandMutation_Click();
  // The rate dialog while it is open; null otherwise.
  FormRate* RateDialog() const noexcept { return m_FormRate.get(); }

  // ---- Population colour picture ----
  void ColorGraph_Initialize();
  void ColorGraph_Update(bool redrawOnly);
  void TimerForColorGraph_Timer();
  void PopulationColorGraph_MouseMove(int x, int y);
  const PopulationColorTable& ColorTable() const noexcept { return m_ColorTable; }
  const std::vector<std::pair<double, int>>& RateMarkers() const noexcept { return m_RateMarkers; }

  // ---- Constraint solver tab ----
  void ConstraintSolverTab_Initialize();
  void ConstraintSolverTab_Update();
  void ConstraintSolverTab_UpdateOneColumn(std::int32_t recordNum, int column);

  // ---- Stopping options and logging tab ----
  void LoggingTab_Initialize();
  void LoggingTab_Bind();
  void LoggingTab_Refresh();
  void LoggingTab_Dispose();
  void LoggingTab_LayOutColumns();
  void ComboLogType_Click();
  void CheckValidTrialsOnly_Click();
  void CommandGoToTrial_Click();
  ProgressDialogLogSvr* LogServer() const noexcept { return m_LogServer.get(); }
  void CommandOK_Click();

  // ---- Buttons and menus ----
  void CommandRun_Click();
  void CommandPause_Click();
  void CommandStop_Click();
  void CommandExcelUpdate_Click();
  void CommandMinimizeWatcher_Click();
  void CommandHelp_Click();
  void OnMenuItem(const std::string& key);
  void TabMain_Click(int previousIndex);
  void Grid_MouseUp(ui::Grid& grid, int button, int x, int y);

  // ---- Window events ----
  void Form_Load();
  void Form_QueryUnload(bool& cancel, int unloadMode);
  void Form_Resize();

  const ProgressSteps& Steps() const noexcept { return m_Steps; }
  const std::shared_ptr<OGrGraph>& GraphAllTrials() const noexcept { return m_GraphAllTrials; }
  const std::shared_ptr<OGrGraph>& GraphLastTrials() const noexcept { return m_GraphLastTrials; }
  double AllTrialsAxisMax() const noexcept { return m_AllTrialsAxisMax; }
  bool InitializedAfterFirstTrial() const noexcept { return m_InitializedAfterFirstTrial; }
  int ResumeSignalTicks() const noexcept { return m_ResumeSignalTicks; }

 private:
  void SendFocusAway();
  void ApplyRunStateConfig() override;
  static std::string BoolText(bool value);
  static std::string ErrorNumberText(const ErrorInfo& err);
  static std::string Res(long id, const Variant& p1 = Variant());
  void SetTabsEnabled(bool enabled);
  void ShowSelectedFrame();
  void SetButtonPicture(ui::Button& button, const char* key, bool enabled);
  void StoppingOptionsTab_Configure();
  void StoppingOptionsTab_PutInfo();
  void StoppingOptionsTab_GetInfo();
  std::string ObjectiveText(double value);
  void GeneticParameters_Construct();
  void GeneticParameters_ShowMutationText(double rate);
  void GeneticParameters_AskForRate(bool isCrossover);
  void GeneticParameters_HideRateDialog();
  void GeneticParameters_MarkRateChange();
  void GeneticParameters_StretchMarkers();
  void GeneticParameters_AddMarker(double trial, const std::string& name);
  void GeneticParameters_AddPendingMarkers();
  void ColorGraph_Construct();
  void ColorGraph_ReadPopulation();

 public:
  // ---- Controls, under their own names ----
  ui::TabControl& TabMain;
  std::vector<ui::Frame*> FrameTabMain;
  ui::GraphControl& OrrGraphAllTrials;
  ui::GraphControl& OrrGraphLastTrials;
  ui::Label& LabelProgressStatus;
  ui::Label& LabelProgressSolver;
  ui::Grid& SGGridSummary;
  ui::Label& LabelAdjustableCellValues;
  ui::Label& LabelGeneticAlgorithmParameters;
  ui::Label& FrameGroupSettingsDivider;
  ui::Label& LabelCrossoverRate;
  ui::ScrollBar& ScrollCrossover;
  ui::TextBox& TextCrossover;
  ui::Button& CommandCrossover;
  ui::Label& LabelMutationRate;
  ui::ScrollBar& ScrollMutation;
  ui::TextBox& TextMutation;
  ui::Button& CommandMutation;
  ui::ComboBox& ComboLogType;
  ui::Label& LabelLogType;
  ui::Grid& SGGridLog;
  ui::CheckBox& CheckValidTrialsOnly;
  ui::Label& LabelGoToTrial;
  ui::TextBox& TextGoToTrial;
  ui::Button& CommandGoToTrial;
  ui::Label& LabelLogColumnsLeftOut;
  ui::Grid& SGGridPopulation;
  ui::PictureBox& PopulationColorGraph;
  ui::Label& LabelPopulationColorGraph;
  ui::Grid& SGGridConstraintSolver;
  ui::Label& LabelConstraintSolver;
  ui::Label& LabelStoppingStatus;
  ui::CheckBox& CheckRestoreOriginal;
  ui::Label& LabelRestoreOriginal;
  ui::Label& LabelSolutionToKeep;
  ui::Label& FrameSolutionDivider;
  ui::Label& LabelReportsToGenerate;
  ui::CheckBox& CheckGenerateOptimizationSummary;
  ui::CheckBox& CheckWriteLogOfAllTrials;
  ui::CheckBox& CheckWriteLogOfProgressSteps;
  ui::ComboBox& ComboReportPlacement;
  ui::Label& FrameReportsDivider;
  ui::Label& LabelGeneratorSeed;
  ui::CheckBox& CheckFixSeed;
  ui::Label& FrameGeneratorSeedDivider;
  ui::Frame& FrameBottom;
  ui::Label& FrameBottomDivider;
  ui::Button& CommandRun;
  ui::Button& CommandPause;
  ui::Button& CommandStop;
  ui::Button& CommandOK;
  ui::Button& CommandExcelUpdate;
  ui::Button& CommandMinimizeWatcher;
  ui::Button& CommandHelp;
  ui::Label& LabelLanguage;
  ui::Timer& TimerUpdate;
  ui::Timer& TimerForColorGraph;
  ui::PopupMenu& m_GridPopupMenu;

 private:
  bool m_StopTimer = false;
  bool m_UpdatingControls = false;
  bool m_ExcelUpdateLocked = false;
  bool m_MinimizeLocked = false;
  ui::Grid* m_MenuTargetGrid = nullptr;
  int m_ResumeSignalTicks = 0;
  bool m_InitializedAfterFirstTrial = false;

  // Progress tab.
  std::shared_ptr<OGrGraph> m_GraphLastTrials;
  std::shared_ptr<OGrGraph> m_GraphAllTrials;
  ProgressSteps m_Steps;
  std::int32_t m_NumLastTrialsToShow = 0;
  double m_AllTrialsAxisMax = 0;
  // Figures of the update under way, read once per update.
  double m_TrialCount = 0;
  bool m_HasBest = false;
  double m_BestValue = 0;
  std::vector<double> m_GraphX;
  std::vector<double> m_GraphY;

  // Summary and population tables.
  std::unique_ptr<SolutionTable> m_SummaryTable;
  std::unique_ptr<PopulationTableSource> m_PopulationTable;
  std::vector<std::string> m_SummaryRows;
  std::vector<double> m_Values;  // reused for every adjustable-cell read

  // Genetic parameters and the colour picture.
  std::unique_ptr<FormRate> m_FormRate;
  std::vector<std::pair<double, int>> m_RateMarkers;                 // trial, curve of the all-trials graph
  std::vector<std::pair<double, std::string>> m_PendingRateMarkers;  // trial, name
  PopulationColorTable m_ColorTable;
  // Log tab.
  std::unique_ptr<ProgressDialogLogSvr> m_LogServer;
  std::vector<int> m_LogColumnWidths;  // as the source laid them out: a resize never goes below
};

}  // namespace corvana
