#include "watcher/frontier_window/FormProgressEF.h"

#include <gtest/gtest.h>

#include "suite/gdlib/gdlib8.h"
#include "tests/watcher/frontier_window/SeriesRun.h"
#include "watcher/common/Utilities.h"
#include "watcher/common/WatcherOLShared.h"
#include "watcher/frontier_window/FormProgressSmallEF.h"
#include "watcher/graph/OGrGraph.h"
#include "watcher/watcher_window/FormProgress.h"
#include "wire/XLWatcherChannels.h"

namespace corvana {
namespace {

using Utilities::GetResourceString;

TEST(FormProgressEFTest, SeriesWindowsComeFromTheFactory) {
  SeriesRun run({10, 20, 30});
  EXPECT_NE(dynamic_cast<FormProgressSmallEF*>(run.Manager.SmallProgressWindow()), nullptr);
  FormProgressEF& form = run.Full();
  EXPECT_TRUE(form.TimerUpdate.Enabled());
  EXPECT_FALSE(form.TabMain.Item(FormProgressEF::TabSummary).Enabled);
  EXPECT_FALSE(form.TabMain.Item(FormProgressEF::TabStoppingOptions).Enabled);
  EXPECT_EQ(form.LabelProgressStatus.Caption(), GetResourceString(4062));
  EXPECT_EQ(form.SGGridSummary.Column(0).Caption, "Risk<=X");
  EXPECT_EQ(form.SGGridSummary.ColumnCount(), 5);
  EXPECT_EQ(form.ComboLogType.ListCount(), 4);
  EXPECT_EQ(form.ComboLogType.List(3), GetResourceString(4067) + " Risk <= 30");
  EXPECT_EQ(form.EFGraph()->XAxis().CustomMin(), 10);
  EXPECT_EQ(form.EFGraph()->XAxis().CustomMax(), 30);
}

TEST(FormProgressEFTest, OneCurvePerValueAndAFrontierThroughTheBests) {
  SeriesRun run({30, 20, 10});  // falling values still give a frontier with rising X
  run.StartRunning();
  FormProgressEF& form = run.Full();
  EXPECT_TRUE(form.TabMain.Item(FormProgressEF::TabSummary).Enabled);
  // Before the second optimization has a step there is one curve and one frontier point.
  EXPECT_EQ(form.ProgressGraph()->CurveCount(), 1);
  ASSERT_EQ(form.EFGraph()->CurveCount(), 1);
  EXPECT_EQ(form.EFGraph()->Curves()[0].Data().X, (std::vector<double>{30}));
  EXPECT_EQ(form.SGGridSummary.CellText(1, 1), WatcherOLShared::GetCommonString(1));

  run.LogTrial(1, 3, true);
  run.LogTrial(2, 2, true);
  run.LogTrial(3, 1, true);
  run.Tick();
  EXPECT_EQ(form.ProgressGraph()->CurveCount(), 3);
  EXPECT_EQ(form.EFGraph()->Curves()[0].Data().X, (std::vector<double>{10, 20, 30}));
  EXPECT_EQ(form.EFGraph()->Curves()[0].Data().Y, (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(form.Steps().NumPoints(1), 3);  // first best, then a step to the new one

  // A new best found late replaces that optimization's point; the same best again adds nothing.
  run.LogTrial(2, 2.5, true);
  run.Tick();
  run.Tick();
  EXPECT_EQ(form.EFGraph()->Curves()[0].Data().Y, (std::vector<double>{1, 2.5, 3}));
  EXPECT_EQ(form.Steps().NumPoints(2), 3);
  EXPECT_EQ(form.SGGridSummary.CellText(1, 0), "20");
  EXPECT_EQ(form.SGGridSummary.CellText(1, 1), "5");
  EXPECT_EQ(form.SGGridSummary.CellText(1, 2), run.Manager.FormatTargetValue(2.5));
  EXPECT_EQ(form.SGGridSummary.CellText(1, 3), WatcherOLShared::FormatNumberDefault(0.25).ToString());
}

TEST(FormProgressEFTest, LogTabShowsEveryTrialOrOneValuesProgressSteps) {
  SeriesRun run({10, 20, 30});
  run.StartRunning();  // trial 1, value 1's first best
  run.LogTrial(1, 0.5, false);
  run.LogTrial(2, 2, true);
  run.LogTrial(2, 3, true);
  run.LogTrial(2, 1, false);
  run.Tick();
  FormProgressEF& form = run.Full();
  ASSERT_NE(form.SGGridLog.DataSource(), nullptr);
  EXPECT_EQ(form.SGGridLog.RowCount(), 5);
  EXPECT_EQ(form.SGGridLog.CellText(4, 0), "5");

  form.ComboLogType.UserSelect(2);  // the second value's progress steps: trials 3 and 4
  ASSERT_EQ(form.SGGridLog.RowCount(), 2);
  EXPECT_EQ(form.SGGridLog.CellText(0, 0), "3");
  EXPECT_EQ(form.SGGridLog.CellText(1, 0), "4");
  form.ComboLogType.UserSelect(3);  // not started yet: no rows, nothing breaks
  EXPECT_EQ(form.SGGridLog.RowCount(), 0);
  form.ComboLogType.UserSelect(0);
  EXPECT_EQ(form.SGGridLog.RowCount(), 5);

  // The newest rows are followed from the end; a user who scrolled back stays where he is.
  form.SGGridLog.SetVisibleRows(2);
  form.SGGridLog.ScrollToLastRows();
  run.LogTrial(2, 1, false);
  run.Tick();
  EXPECT_EQ(form.SGGridLog.TopRow(), 4);
  form.SGGridLog.SetTopRow(0);  // the toolkit laying the grid out afresh
  run.LogTrial(2, 1, false);
  run.Tick();
  EXPECT_EQ(form.SGGridLog.TopRow(), 5);
  form.SGGridLog.UserScroll(0);
  run.LogTrial(2, 1, false);
  run.Tick();
  EXPECT_EQ(form.SGGridLog.RowCount(), 8);
  EXPECT_EQ(form.SGGridLog.TopRow(), 0);
  form.SGGridLog.UserScroll(6);  // back at the end: followed again
  run.LogTrial(2, 1, false);
  run.Tick();
  EXPECT_EQ(form.SGGridLog.TopRow(), 7);
}

TEST(FormProgressEFTest, ASeriesOfOneValueDrawsNoFrontier) {
  SeriesRun run({5});
  run.StartRunning();
  run.LogTrial(1, 4, true);
  run.Tick();
  EXPECT_EQ(run.Full().ProgressGraph()->CurveCount(), 1);
  EXPECT_EQ(run.Full().EFGraph()->CurveCount(), 0);
  EXPECT_EQ(run.Full().SGGridSummary.CellText(0, 1), "2");
}

TEST(FormProgressEFTest, ElevenValuesGetTheTenChosenCurves) {
  std::vector<double> values;
  for (int i = 1; i <= 11; ++i) values.push_back(i);
  SeriesRun run(values);
  run.StartRunning();
  for (std::int32_t i = 2; i <= 11; ++i) run.LogTrial(i, i, true);
  run.Tick();
  FormProgressEF& form = run.Full();
  EXPECT_EQ(form.ProgressGraph()->CurveCount(), 10);
  EXPECT_EQ(form.CurveIDs().count(10), 0u);
  EXPECT_EQ(form.CurveIDs().count(11), 1u);
  EXPECT_EQ(form.EFGraph()->Curves()[0].Data().Size(), 11u);
}

TEST(FormProgressEFTest, ProgressAxisGrowsToTwiceTheCountRoundedUp) {
  SeriesRun run({1, 2});
  run.StartRunning();
  for (int t = 0; t < 150; ++t) run.LogTrial(1, 1, false);
  run.Tick();
  EXPECT_EQ(run.Full().ProgressXAxisMax(), 400);  // 151 trials: 302 rounded up
}

TEST(FormProgressEFTest, MoveOnQuestionAnsweredEachWayAndNotAskedForTheLast) {
  SeriesRun run({10, 20, 30});
  run.StartRunning();
  constexpr int kYes = 6, kNo = 7;
  run.UnderWay(1);
  run.Manager.WaitingAfterEFNextOptimizationClicked = true;
  run.SetStatus(GdRunStatusPaused);
  run.Platform.QueueMessageBoxAnswer(kYes);
  run.Tick();
  EXPECT_EQ(run.Status(), GdRunStatusMarkToMoveToNextOptimization);
  EXPECT_EQ(run.Full().ResumeSignalTicks(), 3);
  EXPECT_FALSE(run.Full().RunPauseStopLocked());

  run.UnderWay(2);
  run.Manager.WaitingAfterEFNextOptimizationClicked = true;
  run.SetStatus(GdRunStatusPaused);
  run.Platform.QueueMessageBoxAnswer(kNo);
  run.Tick();
  EXPECT_EQ(run.Status(), GdRunStatusOptimizing);

  const std::size_t asked = run.Platform.Messages().size();
  run.UnderWay(3);
  run.Manager.WaitingAfterEFNextOptimizationClicked = true;
  run.SetStatus(GdRunStatusPaused);
  run.Tick();
  EXPECT_EQ(run.Status(), GdRunStatusOptimizing);
  EXPECT_EQ(run.Platform.Messages().size(), asked);
}

TEST(FormProgressEFTest, StoppedSeriesShowsItsOptionsAndCountsTheValuesWithSolutions) {
  SeriesRun run({10, 20, 30});
  run.Manager.Stop_AtEndShowOptionsToUser = true;
  run.StartRunning();
  run.WriteBoolean(ChannelStopWriteLogOfAllTrials, true);  // the add-in's default, read when the series stops
  run.LogTrial(2, 2, true);
  run.SetStatus(GdRunStatusStopped);
  run.Tick();
  FormProgressEF& form = run.Full();
  EXPECT_TRUE(form.StopTimer());
  EXPECT_EQ(form.ButtonConfiguration(), RunState::Stopping);
  EXPECT_EQ(form.TabMain.SelectedIndex(), FormProgressEF::TabStoppingOptions);
  EXPECT_FALSE(form.CommandRun.Visible());
  EXPECT_TRUE(form.CommandOK.Visible());
  EXPECT_EQ(form.LabelStoppingStatus.Caption(), GetResourceString(4068, Variant(2), Variant(3)));
  EXPECT_TRUE(form.CheckWriteLogOfAllTrials.Checked());
  form.CheckWriteLogOfAllTrials.SetValue(ui::kUnchecked);
  form.CommandOK_Click();
  EXPECT_FALSE(run.Manager.Stop_AtEndWriteLogOfAllTrials);
}

TEST(FormProgressEFTest, ClicksDuringARunStateChangeAndTinyWindowsAreRefused) {
  SeriesRun run({10, 20});
  run.StartRunning();
  FormProgressEF& form = run.Full();
  form.ControlsAfterStopClickedDisableEnable(false);
  form.CommandPause_Click();
  EXPECT_EQ(run.Status(), GdRunStatusOptimizing);
  form.ControlsAfterStopClickedDisableEnable(true);

  form.GetForm().Move(0, 0, 2000, 2000);
  form.Form_Resize();
  EXPECT_GE(form.GetForm().ScaleWidth(), FormProgressEF::kMinClientWidth);
  EXPECT_GE(form.GetForm().ScaleHeight(), FormProgressEF::kMinClientHeight);
  EXPECT_EQ(form.OrrGraphEfficientFrontier.Left(), form.OrrGraphAllTrials.Width() + 200);
  EXPECT_EQ(form.OrrGraphAllTrials.Width(), form.OrrGraphAllTrials.Height());
}

TEST(FormProgressEFTest, BothFullWindowsOpenAtTheTopRightOfTheAddinsWindow) {
  constexpr ui::WindowId kHost = 0x2a00007;
  const auto opened = [&](WatcherRun& run, ui::Form& form) {
    run.Manager.Input_ExcelAppHwnd = static_cast<std::int32_t>(kHost);
    run.Platform.SetTwipsPerPixel(15, 15);
    run.Platform.SetWindowRectPixels(kHost, ui::Rect{100, 50, 1200, 800});
    form.Load();
    return std::pair{form.Left() + form.Width(), form.Top()};
  };
  const std::pair topRight{(100 + 1200) * 15 - 100, 50 * 15 + 100};
  {
    WatcherRun single;
    EXPECT_EQ(opened(single, single.Full().GetForm()), topRight);
  }
  SeriesRun series({10, 20});
  EXPECT_EQ(opened(series, series.Full().GetForm()), topRight);
}

}  // namespace
}  // namespace corvana
