#include "watcher/watcher_window/FormProgress.h"

#include "common/ErrorTrap.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/graph/OGrGraph.h"

// The progress tab: the all-trials and last-trials graphs and the status line.

namespace corvana {

void FormProgress::ProgressTab_Initialize() {
  ErrorInfo err;
  ResumeNext(err, [&] {
    m_GraphLastTrials = std::make_shared<OGrGraph>();
    m_GraphAllTrials = std::make_shared<OGrGraph>();
    m_GraphLastTrials->Initialize(kOGrGraphXY, "");
    m_GraphAllTrials->Initialize(kOGrGraphXY, "");
    Log("WATCHER, ProgressTab_Initialize, created and initialized graphs");
    OrrGraphLastTrials.SetGraph(m_GraphLastTrials);
    Log("WATCHER, ProgressTab_Initialize, assigned first graph to control");
    OrrGraphAllTrials.SetGraph(m_GraphAllTrials);
    Log("WATCHER, ProgressTab_Initialize, assigned graphs to controls");
    const bool rightClick = m_Manager && m_Manager->Stop_AtEndShowOptionsToUser;
    OrrGraphLastTrials.SetRightClickEnabled(rightClick);
    OrrGraphAllTrials.SetRightClickEnabled(rightClick);
    Log("WATCHER, ProgressTab_Initialize, set graph control RightClickEnabled properties");
    OrrGraphLastTrials.SetVisible(false);
    OrrGraphAllTrials.SetVisible(false);
    Log("WATCHER, ProgressTab_Initialize, set graph visibility");
    LabelProgressStatus.SetCaption(Res(4037));
    Log("WATCHER, ProgressTab_Initialize, set status message");
    const std::string help = m_Manager ? m_Manager->Input_MainHelpFilePath : std::string();
    OrrGraphLastTrials.SetHelpFilePath(help);
    OrrGraphAllTrials.SetHelpFilePath(help);
    Log("WATCHER, ProgressTab_Initialize, assigned HelpFilePath");
    m_GraphLastTrials->SetLegendVisible(false);
    m_GraphAllTrials->SetLegendVisible(false);
    Log("WATCHER, ProgressTab_Initialize, set Legend.Visible");
    if (m_Manager && m_Manager->Input_TargetCellValuesTreatedAsDates) {
      Log("WATCHER, ProgressTab_Initialize, about to set DateScaling");
      m_GraphLastTrials->SetAxisDateScaling(1, true);
      m_GraphAllTrials->SetAxisDateScaling(1, true);
      Log("WATCHER, ProgressTab_Initialize, set DateScaling");
    }
    Log("WATCHER, ProgressTab_Initialize, about to set number format of Y axes");
    const std::string format =
        m_Manager ? m_Manager->Input_TargetCellNumberFormat_ShortIfDate_ForcedEnglish : std::string();
    m_GraphLastTrials->SetAxisNumberFormat(1, format.empty() ? "General" : format);
    m_GraphAllTrials->SetAxisNumberFormat(1, format.empty() ? "General" : format);
    Log("WATCHER, ProgressTab_Initialize, done setting number format of Y axes");
  });
  if (err) Log("Error initializing progress tab in Watcher: " + err.Description);
}

void FormProgress::ProgressTab_InitializeAfterFirstTrial(std::int32_t graphAllTrialsInitialNumTrialsShown,
                                                         std::int32_t numLastTrialsToShow) {
  ErrorInfo err;
  ResumeNext(err, [&] {
    m_NumLastTrialsToShow = numLastTrialsToShow;
    m_GraphLastTrials->SetAxisTitleText(0, Res(4039));
    m_GraphLastTrials->DefineCustomAutoscaling(0, -static_cast<double>(numLastTrialsToShow), 0, true, 0);
    m_GraphAllTrials->SetAxisTitleText(0, Res(4041));
    m_GraphAllTrials->DefineCustomAutoscaling(0, 0, graphAllTrialsInitialNumTrialsShown, true, 0);
    m_AllTrialsAxisMax = graphAllTrialsInitialNumTrialsShown;
    for (auto* graph : {m_GraphLastTrials.get(), m_GraphAllTrials.get()})
      for (int axis = 0; axis < 2; ++axis) graph->SetAxisScalingFlags(axis, true, false);
  });
  if (err) Log("Error in ProgressTab_InitializeAfterFirstTrial in Watcher: " + err.Description);
}

void FormProgress::ProgressTab_SetGraphsVisible() {
  OrrGraphAllTrials.SetVisible(true);
  OrrGraphLastTrials.SetVisible(true);
}

void FormProgress::RecordProgressStep() {
  if (m_Steps.Count() > ProgressSteps::kMaxSteps) return;
  Log("WATCHER: about to call GdPopGetProgressStepCount(" + std::to_string(m_Steps.Count()) + ")");
  m_Steps.Record(m_TrialCount, m_HasBest, m_BestValue);
}

void FormProgress::UpdateStatusLabel() {
  LabelProgressStatus.SetCaption(m_Manager->GetProgressStatusText());
}

void FormProgress::ProgressTab_Update() {
  const double axisMax = ProgressSteps::GrownAxisMax(m_AllTrialsAxisMax, m_TrialCount);
  if (axisMax != m_AllTrialsAxisMax) {
    m_AllTrialsAxisMax = axisMax;
    m_GraphAllTrials->DefineCustomAutoscaling(0, 0, axisMax, true, 0);
  }
  m_Steps.AllTrialsData(m_TrialCount, m_BestValue, m_GraphX, m_GraphY);
  m_GraphAllTrials->SetData(m_GraphX, m_GraphY);
  m_Steps.LastTrialsData(m_TrialCount, m_NumLastTrialsToShow, m_HasBest, m_BestValue, m_GraphX, m_GraphY);
  m_GraphLastTrials->SetData(m_GraphX, m_GraphY);
}

bool FormProgress::SaveAllTrialsGraphPicture(const std::string& axisTitle, double axisMaximum,
                                             const std::string& path, int widthPixels, int heightPixels) {
  if (!m_GraphAllTrials) return false;
  m_GraphAllTrials->SetAxisTitleText(0, axisTitle);
  m_GraphAllTrials->DefineCustomAutoscaling(0, 0, axisMaximum, true, 0);
  return m_Form.GetPlatform().SaveGraphPicture(*m_GraphAllTrials, path, widthPixels, heightPixels);
}

}  // namespace corvana
