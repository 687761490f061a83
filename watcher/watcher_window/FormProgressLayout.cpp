#include "watcher/watcher_window/FormProgress.h"

#include <algorithm>

#include "common/ErrorTrap.h"
#include "watcher/common/Utilities.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/ui/WindowUtilities.h"

// Layout: every tab's controls placed for the window's size.

namespace corvana {

namespace {
constexpr int kMinClientWidth = 8360;
// Kept as texts, as the layout has always held them.
constexpr const char* kMinClientHeight = "5780";
constexpr const char* kMinClientHeightConstraintSolver = "6180";
}  // namespace

void FormProgress::Form_Resize() {
  const bool wasUpdating = m_UpdatingControls;
  m_UpdatingControls = true;
  ResumeNext([&] {
    if (m_Form.State() == ui::WindowState::Minimized) return;
    if (m_Form.ScaleWidth() < kMinClientWidth)
      m_Form.SetWidth(m_Form.Width() - m_Form.ScaleWidth() + kMinClientWidth);
    const bool solver = m_Manager && m_Manager->Input_ConstraintSolverMode;
    const int minHeight = std::stoi(solver ? kMinClientHeightConstraintSolver : kMinClientHeight);
    if (m_Form.ScaleHeight() < minHeight)
      m_Form.SetHeight(m_Form.Height() - m_Form.ScaleHeight() + minHeight);
    const int cw = std::max(m_Form.ScaleWidth(), kMinClientWidth);
    const int ch = std::max(m_Form.ScaleHeight(), minHeight);

    // Bottom bar: run buttons right-aligned, Stop rightmost; help and minimize on the left.
    const int barHeight = 600;
    FrameBottom.Move(0, ch - barHeight, cw, barHeight);
    const int buttonTop = (barHeight - CommandRun.Height()) / 2;
    CommandStop.SetTop(buttonTop);
    CommandStop.SetLeft(cw - 120 - CommandStop.Width());
    CommandPause.SetTop(buttonTop);
    CommandPause.SetLeft(CommandStop.Left() - 40 - CommandPause.Width());
    CommandRun.SetTop(buttonTop);
    CommandRun.SetLeft(CommandPause.Left() - 40 - CommandRun.Width());
    CommandOK.SetTop(buttonTop);
    CommandOK.SetLeft(cw - 120 - CommandOK.Width());
    CommandHelp.SetTop(buttonTop);
    CommandHelp.SetLeft(120);
    CommandExcelUpdate.SetTop(buttonTop);
    CommandExcelUpdate.SetLeft(CommandHelp.Left() + CommandHelp.Width() + 40);
    CommandMinimizeWatcher.SetTop(buttonTop);
    CommandMinimizeWatcher.SetLeft(CommandExcelUpdate.Left());
    FrameBottomDivider.Move(60, FrameBottom.Top() - 80, cw - 60 - 20, 30);

    // Tab area above the divider; every tab's frame fills the tab control's inner area.
    TabMain.Move(40, 40, cw - 80, FrameBottomDivider.Top() - 40 - 40);
    const int fw = TabMain.Width() - 120;
    const int fh = TabMain.Height() - 420;
    for (auto* frame : FrameTabMain) frame->Move(TabMain.Left() + 60, TabMain.Top() + 360, fw, fh);
    Log("New frame width: " + std::to_string(fw));
    Log("New frame height: " + std::to_string(fh));
    const int inner = fw - 240;

    // Progress: two graphs one above the other, the status line under them.
    LabelProgressStatus.Move(120, fh - 500, fw - 120 - 20, 360);
    const int graphHeight = (LabelProgressStatus.Top() - 120 - 60) / 2;
    OrrGraphAllTrials.Move(120, 60, inner, graphHeight);
    OrrGraphLastTrials.Move(120, 60 + graphHeight + 60, inner, graphHeight);

    // Summary and genetic parameters.
    LabelAdjustableCellValues.Move(120, 60, inner, 240);
    const bool ga = m_Manager && m_Manager->Input_OptimizationEngine == 1;
    const int parametersHeight = ga ? 1440 : 0;
    SGGridSummary.Move(120, 360, inner, std::max(1050, fh - 360 - 120 - parametersHeight));
    GeneticParameters_Layout(SGGridSummary.Top() + SGGridSummary.Height() + 120, inner);

    // Log, population, colour picture, constraint solver.
    LabelLogType.Move(120, 90, 1500, 240);
    ComboLogType.Move(1680, 60, 1800, 315);
    CheckValidTrialsOnly.Move(3600, 75, 1800, 285);
    CommandGoToTrial.Move(120 + inner - 600, 45, 600, 345);
    TextGoToTrial.Move(CommandGoToTrial.Left() - 60 - 900, 60, 900, 315);
    LabelGoToTrial.Move(TextGoToTrial.Left() - 60 - 1000, 90, 1000, 240);
    LabelGoToTrial.SetAlignment(ui::Alignment::Right);
    int logTop = 480;
    if (LabelLogColumnsLeftOut.Visible()) {
      LabelLogColumnsLeftOut.Move(120, logTop, inner, 240);
      logTop += 300;
    }
    SGGridLog.Move(120, logTop, inner, std::max(600, fh - logTop - 120));
    SGGridPopulation.Move(120, 120, inner, std::max(600, fh - 240));
    LabelPopulationColorGraph.Move(120, 60, inner, 240);
    PopulationColorGraph.Move(120, 360, inner, std::max(600, fh - 360 - 120));
    LabelConstraintSolver.Move(120, 60, inner, 240);
    // Room for the status line to wrap once in a narrow window.
    LabelProgressSolver.Move(120, fh - 600, inner, 480);
    SGGridConstraintSolver.Move(120, 360, inner, std::max(600, LabelProgressSolver.Top() - 360 - 120));
    for (auto* divider : {&FrameSolutionDivider, &FrameReportsDivider, &FrameGeneratorSeedDivider})
      divider->SetWidth(inner);
    LabelStoppingStatus.SetWidth(inner);

    for (auto* grid : {&SGGridSummary, &SGGridLog, &SGGridPopulation, &SGGridConstraintSolver})
      ui::WindowUtilities::AdjustGridColumns(*grid, 5000);
    LoggingTab_LayOutColumns();
  });
  KickColorGraphTimer();
  m_UpdatingControls = wasUpdating;
}

}  // namespace corvana
