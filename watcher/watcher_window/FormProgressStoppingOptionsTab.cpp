#include "watcher/watcher_window/FormProgress.h"

#include <cmath>

#include <algorithm>

#include "common/ErrorTrap.h"
#include "watcher/common/Utilities.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/engine/GdLib.h"
#include "watcher/ui/WindowUtilities.h"

// The stopping-options tab: what the user keeps and writes at the end of the run; and the run
// buttons that lead there.

namespace corvana {

void FormProgress::StoppingOptionsTab_Configure() {
  WatcherManager& m = *m_Manager;
  ResumeNext([&] { LabelSolutionToKeep.SetCaption(Res(4054)); });
  ResumeNext([&] { CheckRestoreOriginal.SetCaption(Res(4061)); });
  ResumeNext([&] { LabelRestoreOriginal.SetCaption(Res(4055)); });

  const double trialCount = m.LogTrialCount();
  const bool hasSteps = m.LogHasProgressSteps();
  // Flag A: the best is the original (nothing improved); flag B: an improvement exists.
  bool flagA = false;
  std::string status;
  if (!hasSteps) {
    status = Res(4060, "Corvana");
    flagA = true;
  } else if (m.BestTrialNumber() == 1) {
    status = Res(4057);
    flagA = true;
  } else {
    status = Res(4059);
  }
  // A constraint-solver run's value counts the hard constraints its best does not meet.
  if (m.Input_ConstraintSolverMode && std::trunc(m.BestObjectiveValue()) != 0)
    ResumeNext([&] { status += " " + Res(4058); });
  LabelStoppingStatus.SetCaption(status);

  // With nothing improved restoring the original changes nothing: the box shows that and stays
  // fixed; otherwise the choice is the user's.
  CheckRestoreOriginal.SetValue(flagA ? ui::kChecked : ui::kUnchecked);
  CheckRestoreOriginal.SetEnabled(!flagA);
  LabelRestoreOriginal.SetEnabled(!flagA);
  ui::WindowUtilities::FillReportPlacementCombo(ComboReportPlacement);

  const int frameWidth = FrameTabMain[TabStoppingOptions]->Width();
  const int left = 120;
  const int width = std::max(1000, frameWidth - 2 * left);
  const int lineHeight = 240;
  int top = 120;
  LabelSolutionToKeep.Move(left, top, width, lineHeight);
  top += lineHeight + 150;
  LabelStoppingStatus.Move(left, top, width,
                           Utilities::CharacterCount(status) >= 150 ? lineHeight * 4 : lineHeight * 2);
  top += LabelStoppingStatus.Height() + 150;
  CheckRestoreOriginal.Move(left, top, width, lineHeight);
  top += lineHeight + 20;
  LabelRestoreOriginal.Move(left + 280, top, width - 280, lineHeight * 2);
  top += LabelRestoreOriginal.Height() + 500;
  FrameSolutionDivider.Move(left, top - 250, width, 30);
  LabelReportsToGenerate.Move(left, top, width / 2, lineHeight);
  ComboReportPlacement.Move(left + width / 2, top - 55, width / 2, 315);
  top += lineHeight + 290;
  FrameReportsDivider.Move(left, top, width, 30);
  top += 210;
  for (auto* check :
       {&CheckGenerateOptimizationSummary, &CheckWriteLogOfAllTrials, &CheckWriteLogOfProgressSteps}) {
    check->Move(left, top, width, lineHeight);
    top += 400;
  }
  if (m.Input_ConstraintSolverMode) {
    top += 100;
    LabelGeneratorSeed.Move(left, top, width, lineHeight);
    top += lineHeight + 290;
    FrameGeneratorSeedDivider.Move(left, top, width, 30);
    top += 210;
    CheckFixSeed.Move(left, top, width, lineHeight);
  }
  LabelGeneratorSeed.SetVisible(m.Input_ConstraintSolverMode);
  CheckWriteLogOfAllTrials.SetEnabled(trialCount >= 1);
  CheckWriteLogOfProgressSteps.SetEnabled(hasSteps);
}

void FormProgress::StoppingOptionsTab_PutInfo() {
  WatcherManager& m = *m_Manager;
  ErrorInfo err;
  ResumeNext(err, [&] {
    ComboReportPlacement.SetListIndex(m.ReportPlacement);
    CheckGenerateOptimizationSummary.SetValue(m.Stop_AtEndGenerateOptimizationSummary ? ui::kChecked
                                                                                      : ui::kUnchecked);
    const bool trials = m.LogTrialCount() >= 1;
    CheckWriteLogOfAllTrials.SetValue(trials && m.Stop_AtEndWriteLogOfAllTrials ? ui::kChecked
                                                                                : ui::kUnchecked);
    const bool steps = m.LogHasProgressSteps();
    CheckWriteLogOfProgressSteps.SetValue(steps && m.Stop_AtEndWriteLogOfProgressSteps ? ui::kChecked
                                                                                       : ui::kUnchecked);
    if (m.Input_ConstraintSolverMode) CheckFixSeed.SetValue(ui::kUnchecked);
  });
  if (err) Log("Error in StoppingOptionsTab_PutInfo: " + err.Description);
}

void FormProgress::StoppingOptionsTab_GetInfo() {
  WatcherManager& m = *m_Manager;
  m.Stop_AtEndGenerateOptimizationSummary = CheckGenerateOptimizationSummary.Checked();
  m.Stop_AtEndWriteLogOfAllTrials = CheckWriteLogOfAllTrials.Checked();
  m.Stop_AtEndWriteLogOfProgressSteps = CheckWriteLogOfProgressSteps.Checked();
  m.ReportPlacement = std::max(0, ComboReportPlacement.ListIndex());
  if (m.Input_ConstraintSolverMode && !m.Input_ConstraintSolver_FixedSeed) {
    Log("m_Manager.Stop_ConstraintSolver_FixSeed, before setting = " +
        BoolText(m.Stop_ConstraintSolver_FixSeed));
    m.Stop_ConstraintSolver_FixSeed = CheckFixSeed.Checked();
    Log("m_Manager.Stop_ConstraintSolver_FixSeed, after setting = " +
        BoolText(m.Stop_ConstraintSolver_FixSeed));
  }
}

void FormProgress::CommandOK_Click() {
  Log("WATCHER, CommandOK_Click: entering");
  if (!m_Manager) return;
  WatcherManager& m = *m_Manager;
  ResumeNext([&] {
    if (CheckRestoreOriginal.Enabled() && CheckRestoreOriginal.Checked())
      m.Stop_SolutionToKeep = GdLib::kWhichOriginal;
  });
  ErrorInfo err;
  ResumeNext(err, [&] {
    StoppingOptionsTab_GetInfo();
    m_Form.Hide();
    Log("WATCHER, CommandOK_Click: hid dialog");
    if (m.Input_ConstraintSolverMode && m.Stop_ConstraintSolver_FixSeed) {
      Log("ConstraintSolver_FixSeed, entering");
      if (m.Input_Application) m.Input_Application->ConstraintSolverFixSeed();
    }
    if (m.Input_Application)
      m.Input_Application->EndOfRunChoices(
          m.Stop_AtEndGenerateOptimizationSummary, m.Stop_AtEndWriteLogOfAllTrials,
          m.Stop_AtEndWriteLogOfProgressSteps, m.Stop_SolutionToKeep, m.ReportPlacement);
  });
  if (err) ResumeNext([&] { m.DisplayMessage("Error in OK command handler: " + err.Description, false); });
}

}  // namespace corvana
