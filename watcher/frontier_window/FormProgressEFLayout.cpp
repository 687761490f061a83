#include "watcher/frontier_window/FormProgressEF.h"

#include <algorithm>

#include "common/ErrorTrap.h"
#include "watcher/ui/WindowUtilities.h"

// Layout: the graphs side by side and square, the grids filling their tabs.

namespace corvana {

void FormProgressEF::Form_Resize() {
  const bool wasUpdating = m_UpdatingControls;
  m_UpdatingControls = true;
  ResumeNext([&] {
    if (m_Form.State() == ui::WindowState::Minimized) return;
    if (m_Form.ScaleWidth() < kMinClientWidth)
      m_Form.SetWidth(m_Form.Width() - m_Form.ScaleWidth() + kMinClientWidth);
    if (m_Form.ScaleHeight() < kMinClientHeight)
      m_Form.SetHeight(m_Form.Height() - m_Form.ScaleHeight() + kMinClientHeight);
    const int cw = std::max(m_Form.ScaleWidth(), kMinClientWidth);
    const int ch = std::max(m_Form.ScaleHeight(), kMinClientHeight);

    // Button bar: Stop (or OK) 60 from the right edge, Pause and Run each 40 to its left; help and
    // the way back to the small window on the left.
    const int barHeight = 600;
    FrameBottom.Move(0, ch - barHeight, cw, barHeight);
    const int buttonTop = (barHeight - CommandRun.Height()) / 2;
    CommandStop.Move(cw - 60 - CommandStop.Width(), buttonTop, CommandStop.Width(), CommandStop.Height());
    CommandOK.Move(cw - 60 - CommandOK.Width(), buttonTop, CommandOK.Width(), CommandOK.Height());
    CommandPause.Move(CommandStop.Left() - 40 - CommandPause.Width(), buttonTop, CommandPause.Width(),
                      CommandPause.Height());
    CommandRun.Move(CommandPause.Left() - 40 - CommandRun.Width(), buttonTop, CommandRun.Width(),
                    CommandRun.Height());
    CommandHelp.Move(120, buttonTop, CommandHelp.Width(), CommandHelp.Height());
    CommandMinimizeWatcher.Move(CommandHelp.Left() + CommandHelp.Width() + 40, buttonTop,
                                CommandMinimizeWatcher.Width(), CommandMinimizeWatcher.Height());
    FrameBottomDivider.Move(60, FrameBottom.Top() - 80, cw - 120, 30);

    // The status line 550 above the bar; the tabs fill the width and end 15 above it.
    LabelProgressStatus.Move(120, FrameBottom.Top() - 550, cw - 240, 400);
    TabMain.Move(0, 0, cw, LabelProgressStatus.Top() - 15);
    const int fw = TabMain.Width() - 120;
    const int fh = TabMain.Height() - 420;
    for (auto* frame : FrameTabMain) frame->Move(TabMain.Left() + 60, TabMain.Top() + 360, fw, fh);

    // Two square graphs side by side, as large as the tab allows.
    const int w = (TabMain.Width() - 360) / 2;
    const int h = TabMain.Height() - 1100;
    const int side = std::max(600, std::min(w, h));
    Log("FormProgressEF_Resize, about to change Width of progress graph");
    OrrGraphAllTrials.SetWidth(side);
    Log("FormProgressEF_Resize, about to change Height of progress graph");
    OrrGraphAllTrials.SetHeight(side);
    OrrGraphAllTrials.SetLeft(0);
    OrrGraphAllTrials.SetTop(60);
    Log("FormProgressEF_Resize, about to change Left property of EF graph");
    OrrGraphEfficientFrontier.SetLeft(OrrGraphAllTrials.Width() + 200);
    OrrGraphEfficientFrontier.SetTop(60);
    Log("FormProgressEF_Resize, about to change Width property of EF graph");
    OrrGraphEfficientFrontier.SetWidth(side);
    Log("FormProgressEF_Resize, about to change Height property of EF graph");
    OrrGraphEfficientFrontier.SetHeight(side);
    Log("FormProgressEF_Resize, done positioning/resizing graphs");

    const int gridWidth = TabMain.Width() - 240;
    const int gridHeight = TabMain.Height() - 1050;
    LabelBestSolutions.Move(120, 60, gridWidth, 240);
    SGGridSummary.Move(120, 400, gridWidth, gridHeight);
    LabelLogType.Move(120, 90, 1000, 240);
    ComboLogType.Move(1200, 60, std::min(5000, gridWidth - 1100), 315);
    SGGridLog.Move(120, 480, gridWidth, gridHeight);
    for (auto* grid : {&SGGridSummary, &SGGridLog}) ui::WindowUtilities::AdjustGridColumns(*grid, 5000);

    // Stopping options: status, where the reports go, which reports.
    const int left = 120;
    int top = 120;
    LabelEFAnalysisHasStopped.Move(left, top, gridWidth, 300);
    top += 450;
    LabelStoppingStatus.Move(left, top, gridWidth, 480);
    top += 600;
    FrameSolutionDivider.Move(left, top, gridWidth, 30);
    top += 250;
    LabelReportsToGenerate.Move(left, top + 40, gridWidth / 2, 240);
    ComboReportPlacement.Move(left + gridWidth / 2, top, gridWidth / 2, 315);
    top += 550;
    FrameReportsDivider.Move(left, top, gridWidth, 30);
    top += 210;
    for (auto* check :
         {&CheckGenerateOptimizationSummary, &CheckWriteLogOfAllTrials, &CheckWriteLogsOfProgressSteps}) {
      check->Move(left, top, gridWidth, 240);
      top += 400;
    }
    Log("New frame width: " + std::to_string(fw));
    Log("New frame height: " + std::to_string(fh));
  });
  m_UpdatingControls = wasUpdating;
}

}  // namespace corvana
