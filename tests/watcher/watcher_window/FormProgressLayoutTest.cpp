#include <gtest/gtest.h>

#include "tests/watcher/watcher_window/WatcherRun.h"
#include "watcher/watcher_window/FormProgress.h"

namespace corvana {
namespace {

void ResizeTo(FormProgress& form, int width, int height) {
  form.GetForm().Move(form.GetForm().Left(), form.GetForm().Top(), width, height);
  form.Form_Resize();
}

TEST(FormProgressLayout, ShrinkingSnapsBackToTheMinimumClientSize) {
  for (bool solver : {false, true}) {
    SCOPED_TRACE(solver);
    WatcherRun run;
    run.Manager.Input_ConstraintSolverMode = solver;
    FormProgress& form = run.Full();
    ResizeTo(form, 3000, 2000);
    EXPECT_EQ(form.GetForm().ScaleWidth(), 8360);
    EXPECT_EQ(form.GetForm().ScaleHeight(), solver ? 6180 : 5780);
    EXPECT_LE(form.CommandStop.Left() + form.CommandStop.Width(), form.FrameBottom.Width());
    // Larger sizes are the user's.
    ResizeTo(form, 12000, 9000);
    EXPECT_EQ(form.GetForm().Width(), 12000);
  }
}

TEST(FormProgressLayout, GridsGraphsAndButtonsFollowTheWindow) {
  WatcherRun run;
  run.Start(3);
  FormProgress& form = run.Full();
  ResizeTo(form, 20000, 14000);
  const int clientWidth = form.GetForm().ScaleWidth();
  const int clientHeight = form.GetForm().ScaleHeight();
  // Bottom bar at the bottom, Stop rightmost, then Pause, then Run.
  EXPECT_EQ(form.FrameBottom.Top() + form.FrameBottom.Height(), clientHeight);
  EXPECT_GT(form.CommandStop.Left(), form.CommandPause.Left() + form.CommandPause.Width() - 1);
  EXPECT_GT(form.CommandPause.Left(), form.CommandRun.Left() + form.CommandRun.Width() - 1);
  EXPECT_LE(form.CommandStop.Left() + form.CommandStop.Width(), clientWidth);
  // Frames fill the tab area; what they hold uses it.
  const ui::Frame& frame = *form.FrameTabMain[FormProgress::TabLog];
  EXPECT_GT(frame.Width(), clientWidth - 600);
  for (const ui::Control* c : std::initializer_list<const ui::Control*>{
           &form.SGGridLog, &form.SGGridSummary, &form.SGGridConstraintSolver, &form.OrrGraphAllTrials,
           &form.PopulationColorGraph, &form.SGGridPopulation}) {
    EXPECT_GT(c->Width(), frame.Width() - 600) << c->Name();
    EXPECT_LE(c->Left() + c->Width(), frame.Width()) << c->Name();
    EXPECT_LE(c->Top() + c->Height(), frame.Height()) << c->Name();
  }
  EXPECT_GT(form.SGGridLog.Height(), frame.Height() - 1200);
  EXPECT_GT(form.OrrGraphAllTrials.Height() + form.OrrGraphLastTrials.Height(), frame.Height() - 1500);
  // The status line sits 500 above the progress frame's bottom, 120 in from its left and 20 from
  // its right; the graphs end above it.
  const ui::Frame& progress = *form.FrameTabMain[FormProgress::TabProgress];
  EXPECT_EQ(form.LabelProgressStatus.Top(), progress.Height() - 500);
  EXPECT_EQ(form.LabelProgressStatus.Left(), 120);
  EXPECT_EQ(form.LabelProgressStatus.Left() + form.LabelProgressStatus.Width(), progress.Width() - 20);
  EXPECT_LE(form.OrrGraphLastTrials.Top() + form.OrrGraphLastTrials.Height(), form.LabelProgressStatus.Top());
}

TEST(FormProgressLayout, ResizeRedrawsThePictureOnceAndNeverCallsTheEngine) {
  WatcherRun run;
  run.Start(3);
  FormProgress& form = run.Full();
  form.TabMain.SetSelectedIndex(FormProgress::TabColorGraph);
  form.TimerForColorGraph.SetEnabled(false);
  // Any engine call now fails and says so in the diagnostic log.
  run.Manager.Input_PopHandle = 987654;
  run.Manager.Input_LogPath += ".gone";
  run.NewLogLines();
  ResizeTo(form, 15000, 11000);
  EXPECT_TRUE(form.TimerForColorGraph.Enabled());
  EXPECT_EQ(form.TimerForColorGraph.Interval(), 1);
  for (const std::string& line : run.NewLogLines()) EXPECT_EQ(line.find("Gd"), std::string::npos) << line;
}

}  // namespace
}  // namespace corvana
