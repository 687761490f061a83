#include <gtest/gtest.h>

#include <algorithm>

#include "tests/watcher/frontier_window/SeriesRun.h"

namespace corvana {
namespace {

TEST(FormProgressEFLayoutTest, BarTabsSquareGraphsAndGridsFollowTheWindow) {
  SeriesRun run({10, 20});
  run.StartRunning();
  FormProgressEF& form = run.Full();
  // One window too narrow for the tab's height, one too low for its width.
  for (auto [width, height] : {std::pair{11000, 10000}, std::pair{20000, 8000}}) {
    SCOPED_TRACE(width);
    form.GetForm().Move(0, 0, width, height);
    form.Form_Resize();
    const int clientWidth = form.GetForm().ScaleWidth();
    const int clientHeight = form.GetForm().ScaleHeight();

    // The bar at the bottom: Stop and OK 60 from its right edge, Pause and Run each 40 further left.
    EXPECT_EQ(form.FrameBottom.Top() + form.FrameBottom.Height(), clientHeight);
    EXPECT_EQ(form.CommandStop.Left() + form.CommandStop.Width(), clientWidth - 60);
    EXPECT_EQ(form.CommandOK.Left() + form.CommandOK.Width(), clientWidth - 60);
    EXPECT_EQ(form.CommandPause.Left() + form.CommandPause.Width(), form.CommandStop.Left() - 40);
    EXPECT_EQ(form.CommandRun.Left() + form.CommandRun.Width(), form.CommandPause.Left() - 40);
    EXPECT_EQ(form.FrameBottomDivider.Top(), form.FrameBottom.Top() - 80);
    EXPECT_EQ(form.LabelProgressStatus.Top(), form.FrameBottom.Top() - 550);
    EXPECT_EQ(form.TabMain.Width(), clientWidth);
    EXPECT_EQ(form.TabMain.Top() + form.TabMain.Height(), form.LabelProgressStatus.Top() - 15);

    // Two square graphs, as large as the tab's width or height allows.
    const int side = std::min((form.TabMain.Width() - 360) / 2, form.TabMain.Height() - 1100);
    EXPECT_EQ(form.OrrGraphAllTrials.Width(), side);
    EXPECT_EQ(form.OrrGraphAllTrials.Height(), side);
    EXPECT_EQ(form.OrrGraphEfficientFrontier.Width(), side);
    EXPECT_EQ(form.OrrGraphEfficientFrontier.Height(), side);
    EXPECT_EQ(form.OrrGraphEfficientFrontier.Left(), side + 200);

    // Both grids and the dividers of the stopping options take the same room from the tab.
    for (const ui::Grid* grid : {&form.SGGridSummary, &form.SGGridLog}) {
      EXPECT_EQ(grid->Width(), form.TabMain.Width() - 240) << grid->Name();
      EXPECT_EQ(grid->Height(), form.TabMain.Height() - 1050) << grid->Name();
      EXPECT_LE(grid->Top() + grid->Height(), form.FrameTabMain[FormProgressEF::TabLog]->Height())
          << grid->Name();
    }
    EXPECT_EQ(form.FrameSolutionDivider.Width(), form.TabMain.Width() - 240);
    EXPECT_EQ(form.FrameReportsDivider.Width(), form.TabMain.Width() - 240);
  }
}

}  // namespace
}  // namespace corvana
