#include "watcher/frontier_window/FormProgressEF.h"

#include "common/ErrorTrap.h"
#include "suite/objectlib/MarkerValues.h"
#include "watcher/common/DebugLogFile.h"
#include "watcher/common/Utilities.h"
#include "watcher/common/WatcherOLShared.h"
#include "watcher/controller/WatcherGlobals.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/engine/GdLib.h"
#include "watcher/frontier_window/FrontierFigures.h"
#include "watcher/frontier_window/FrontierGraph.h"
#include "watcher/graph/OGrGraph.h"

// The progress tab: a step curve per chosen constraining value beside the efficient frontier.

namespace corvana {

namespace {

constexpr int kTargetValueGoal = 3;

double FrontierBest(const std::string& logPath, std::int32_t i) {
  std::int32_t record = 0, trial = 0;
  double withoutPenalties = 0;
  std::vector<double> values;
  return GdLib::Log_EFGetFrontierSolution(logPath, i, record, trial, values, withoutPenalties);
}

}  // namespace

std::int32_t FormProgressEF::NumConstrainingValues() const {
  return m_Manager ? static_cast<std::int32_t>(
                         m_Manager->Input_EFCollectionOfConstrainingValues_OptimizationOrder_Final.Count())
                   : 0;
}

double FormProgressEF::ConstrainingValue(std::int32_t i) const {
  return m_Manager->Input_EFCollectionOfConstrainingValues_OptimizationOrder_Final.Item(i).ToDouble();
}

std::string FormProgressEF::ConstrainingValueText(std::int32_t i) const {
  return WatcherOLShared::FormatNumberDefault(ConstrainingValue(i)).ToString();
}

std::string FormProgressEF::CurveName(std::int32_t i) const {
  WatcherManager& m = *m_Manager;
  const std::string formatted = m.FormatEFConstrainedValue(ConstrainingValue(i));
  if (m.Input_EFConstrainedCellValuesTreatedAsDate ||
      m.Input_EFConstrainedCellNumberFormat_ShortIfDate == "General")
    return formatted;
  const Collection& texts = m.Input_EFCollectionOfConstrainingValues_OptimizationOrder_Final_Formatted;
  std::string text;
  if (i <= texts.Count()) ResumeNext([&] { text = texts.Item(i).ToString(); });
  return text.empty() ? formatted : text;
}

void FormProgressEF::ProgressTab_Initialize() {
  ErrorInfo err;
  ResumeNext(err, [&] {
    WatcherManager& m = *m_Manager;
    const std::int32_t n = NumConstrainingValues();
    m_Steps.Initialize(n);
    Log("About to create graph to create progress OGrGraph object");
    m_ProgressGraph = std::make_shared<OGrGraph>();
    m_ProgressGraph->Initialize(kOGrGraphXY, "");
    Log("About to create graph to create efficient frontier OGrGraph object");
    m_EFGraph = std::make_shared<OGrGraph>();
    m_EFGraph->Initialize(kOGrGraphXY, "");
    g_EFGraph = std::make_shared<FrontierGraph>(m_EFGraph);
    Log("About to assign OGrGraph object to the left control");
    OrrGraphAllTrials.SetGraph(m_ProgressGraph);
    Log("About to assign OGrGraph object to the right control");
    OrrGraphEfficientFrontier.SetGraph(m_EFGraph);
    Log("Done assigning OGrGraph objects to controls");
    OrrGraphAllTrials.SetVisible(false);
    OrrGraphEfficientFrontier.SetVisible(false);
    LabelProgressStatus.SetCaption(Res(4062));
    Log("About to make legend of left graph invisible");
    m_ProgressGraph->SetLegendVisible(false);
    Log("About to make legend of right graph invisible");
    m_EFGraph->SetLegendVisible(false);
    Log("Done making legends invisible");
    Log("About to assign title to progress graph");
    m_ProgressGraph->SetTitleText(Res(4063));
    Log("About to assign title to EF graph");
    if (m.Input_RuntimeGoalType == kTargetValueGoal)
      m_EFGraph->SetTitleText(Res(4064) + "\r\n(" + Res(4065) + ")");
    else
      m_EFGraph->SetTitleText(Res(4064));
    Log("Done assigning title to EF graph");

    if (n >= 1) {
      const double first = ConstrainingValue(1);
      const double last = ConstrainingValue(n);
      Log("FormProgressEF, about to DefineCustomAutoscaling for EF graph");
      if (first < last)
        m_EFGraph->DefineCustomAutoscaling(0, first, last, true, 0);
      else
        m_EFGraph->DefineCustomAutoscaling(0, last, first, true, 0);
    }
    Log("FormProgressEF, about to set ScalingIsAutomatic for EF graph XAxis");
    Log("FormProgressEF, about to set ManualScalingAllowed for EF graph XAxis and YAxis");
    m_EFGraph->SetAxisScalingFlags(0, true, false);
    m_EFGraph->SetAxisScalingFlags(1, m_EFGraph->YAxis().ScalingIsAutomatic(), false);
    Log("FormProgressEF, about to set TitleText for EF graph XAxis and YAxis");
    m_EFGraph->SetAxisTitleText(0, m.Input_EFConstraintFormula);
    m_EFGraph->SetAxisTitleText(1, m.Input_OptimizationObjectiveStr);
    Log("FormProgressEF, done setting properties of EF graph");

    m_CurveIndices.clear();
    for (std::int32_t i : FrontierFigures::CurveIndices(n)) m_CurveIndices.insert(i);
    m_CurveIDs.clear();

    if (m.Input_TargetCellValuesTreatedAsDates) {
      Log("WATCHER, ProgressTab_Initialize, about to set DateScaling");
      m_ProgressGraph->SetAxisDateScaling(1, true);
      m_EFGraph->SetAxisDateScaling(1, true);
      Log("WATCHER, ProgressTab_Initialize, set DateScaling");
    }
    Log("WATCHER, ProgressTab_Initialize, about to set number format of Y axes");
    const std::string yFormat = m.Input_TargetCellNumberFormat_ShortIfDate_ForcedEnglish;
    m_ProgressGraph->SetAxisNumberFormat(1, yFormat.empty() ? "General" : yFormat);
    m_EFGraph->SetAxisNumberFormat(1, yFormat.empty() ? "General" : yFormat);
    Log("WATCHER, ProgressTab_Initialize, done setting number format of Y axes");
    if (m.Input_EFConstrainedCellValuesTreatedAsDate) {
      Log("WATCHER, ProgressTab_Initialize, about to set X Axis DateScaling");
      m_EFGraph->SetAxisDateScaling(0, true);
      Log("WATCHER, ProgressTab_Initialize, done setting X axis DateScaling");
    }
    Log("WATCHER, ProgressTab_Initialize, about to set number format of X axis of EF graph");
    const std::string xFormat = m.Input_EFConstrainedCellNumberFormat_ShortIfDate_ForcedEnglish;
    m_EFGraph->SetAxisNumberFormat(0, xFormat.empty() ? "General" : xFormat);
    Log("WATCHER, ProgressTab_Initialize, done setting number format of X axis of EF graph");
  });
  if (err) Log("Error initializing progress tab in Watcher: " + err.Description);
}

void FormProgressEF::ProgressTab_InitializeAfterFirstTrial(std::int32_t p_InitialTrialAxisMax) {
  ErrorInfo err;
  ResumeNext(err, [&] {
    Log("FormProgressEF.ProgressTab_InitializeAfterFirstTrial, about to set properties of "
        "OrrGraphCurrentConstrainingValue");
    m_ProgressXAxisMax = p_InitialTrialAxisMax;
    Log("About to set some properties of progress graph");
    m_ProgressGraph->DefineCustomAutoscaling(0, 0, p_InitialTrialAxisMax, true, 0);
    m_ProgressGraph->SetAxisScalingFlags(0, true, false);
    m_ProgressGraph->SetAxisScalingFlags(1, m_ProgressGraph->YAxis().ScalingIsAutomatic(), false);
    m_ProgressGraph->SetAxisTitleText(0, Res(4041));
    Log("FormProgressEF.ProgressTab_InitializeAfterFirstTrial, set properties of "
        "OrrGraphCurrentConstrainingValue");
  });
  if (err) Log("Error in ProgressTab_InitializeAfterFirstTrial in Watcher: " + err.Description);
}

void FormProgressEF::ProgressTab_UpdateProgressStepInfoPerConstrainingValue(
    std::int32_t p_ConstrainingValueIndex) {
  const std::int32_t i = p_ConstrainingValueIndex;
  const std::string& logPath = m_Manager->Input_LogPath;
  Log("ProgressTab_UpdateProgressStepInfoPerConstrainingValue, p_ConstrainingValueIndex = " +
      std::to_string(i));
  const double best = FrontierBest(logPath, i);
  Log("l_BestValueWithPenalties = " + DoubleToText(best));
  if (IsMissingValue(best)) return;
  const double trial = GdLib::Log_GetTrialCount(logPath);
  Log("l_TrialNum = " + DoubleToText(trial));
  if (best == m_Steps.LastSeenBestValue(i)) {
    Log("l_BestValueWithPenalties = m_LastSeenBestValue(p_ConstrainingValueIndex), exiting");
    return;
  }
  Log(m_Steps.NumPoints(i) == 0 ? "Adding first point" : "Adding two more points");
  m_Steps.Record(i, trial, best);
  Log("ProgressTab_UpdateProgressStepInfoPerConstrainingValue, Exiting");
}

void FormProgressEF::ProgressTab_UpdateGraphProgress() {
  const std::string& logPath = m_Manager->Input_LogPath;
  const std::int32_t trials = GdLib::Log_GetTrialCount(logPath);
  if (trials > m_ProgressXAxisMax) {
    m_ProgressXAxisMax = static_cast<std::int32_t>(Utilities::RoundUpToOneSignificantDigit(2.0 * trials));
    Log("FormProgressEF, about to DefineCustomAutoscaling for progress graph");
    m_ProgressGraph->DefineCustomAutoscaling(0, 0, m_ProgressXAxisMax, true, 0);
    Log("FormProgressEF, DefineCustomAutoscaling call returned");
  }
  OGrData data;
  // Last constraining value first: the curve under way is drawn under the finished ones.
  for (auto it = m_CurveIndices.rbegin(); it != m_CurveIndices.rend(); ++it) {
    const std::int32_t i = *it;
    if (i > m_Steps.Count() || m_Steps.NumPoints(i) < 1) continue;
    m_Steps.CurveData(i, GdLib::Log_GetTrialCount(logPath), FrontierBest(logPath, i), data);
    const auto id = m_CurveIDs.find(i);
    if (id != m_CurveIDs.end()) {
      Log("FormProgressEF, about to add ChangeDataSource for progress graph");
      m_ProgressGraph->ChangeDataSource(id->second, data, "");
      Log("FormProgressEF, call to add ChangeDataSource for progress graph returned");
    } else {
      Log("FormProgressEF, about to add curve to progress graph");
      const int newId = m_ProgressGraph->AddCurve(kOGrCurveStep, data, "");
      m_CurveIDs[i] = newId;
      m_ProgressGraph->RenameCurve(newId, CurveName(i));
      Log("FormProgressEF, call to add curve to progress graph returned");
    }
  }
}

void FormProgressEF::ProgressTab_UpdateGraphEfficientFrontier() {
  WatcherManager& m = *m_Manager;
  const std::string& logPath = m.Input_LogPath;
  Log("ProgressTab_UpdateGraphEfficientFrontier, num trial (counting from beginning): " +
      std::to_string(GdLib::Log_GetTrialCount(logPath)));
  FrontierFigures::FrontierInput input;
  input.TargetMode = m.Input_RuntimeGoalType == kTargetValueGoal;
  input.TargetValue = m.Input_RuntimeTargetValue;
  const std::int32_t n = std::min(NumConstrainingValues(), m.Input_EFNumConstrainingValues);
  for (std::int32_t i = 1; i <= n; ++i) {
    input.ConstrainingValues.push_back(ConstrainingValue(i));
    input.BestValues.push_back(FrontierBest(logPath, i));
  }
  OGrData points;
  if (!FrontierFigures::FrontierPoints(input, points)) {
    Log("ProgressTab_UpdateGraphEfficientFrontier, no EF points found to update graph.");
    return;
  }
  if (g_LoggingEnabled) {
    std::string text;
    for (std::size_t r = 0; r < points.Size(); ++r)
      text += " (" + DoubleToText(points.X[r]) + ", " + DoubleToText(points.Y[r]) + ")";
    Log("ProgressTab_UpdateGraphEfficientFrontier, updating EF graph with this data: " + text);
  }
  if (m_EFGraph->CurveCount() == 0) {
    Log("FormProgressEF, about to add curve to EF graph");
    const int id = m_EFGraph->AddCurve(kOGrCurveStep, points, "");
    Log("FormProgressEF, the call to add curve to EF graph returned");
    Log("FormProgressEF, about to set curve properties for EF graph");
    // A connected line through the points, each point marked.
    m_EFGraph->SetCurveDisplayValues(id, 0, 2);
    Log("FormProgressEF, done setting curve properties for EF graph");
  } else {
    Log("FormProgressEF, about to ChangeDataSource for EF graph");
    m_EFGraph->ChangeDataSource(m_EFGraph->Curves().front().ID(), points, "");
    Log("FormProgressEF, ChangeDataSource returned for EF graph");
  }
}

}  // namespace corvana
