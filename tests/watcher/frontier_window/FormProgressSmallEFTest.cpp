#include "watcher/frontier_window/FormProgressSmallEF.h"

#include <gtest/gtest.h>

#include "suite/gdlib/gdlib8.h"
#include "tests/watcher/frontier_window/SeriesRun.h"
#include "watcher/common/Utilities.h"
#include "wire/XLWatcherChannels.h"

namespace corvana {
namespace {

using Utilities::GetResourceString;

FormProgressSmallEF& SmallEF(WatcherRun& run) {
  return dynamic_cast<FormProgressSmallEF&>(*run.Manager.SmallProgressWindow());
}

TEST(FormProgressSmallEFTest, MultiProcessStartUpKeepsTheButtonsAndEndsWithTheFirstTrialUnderWay) {
  SeriesRun run({10, 20}, {.MultiProcess = true, .TrialGoal = 100});
  FormProgressSmallEF& small = SmallEF(run);
  run.WriteDouble(ChannelEFNumOptimizationUnderWay, 1);
  EXPECT_TRUE(small.TimerInitialization.Enabled());

  // Unlike the single window's, the run buttons work during the animation.
  EXPECT_EQ(small.CommandPause.PictureKey(), ui::PictureKeys::kPause);
  small.CommandPause_Click();
  EXPECT_EQ(run.Status(), GdRunStatusPaused);
  small.CommandRun_Click();
  EXPECT_EQ(run.Status(), GdRunStatusOptimizing);
  run.Platform.AdvanceTime(12500);
  EXPECT_EQ(small.vbalProgressBar.Value(), 45);
  small.Update();
  EXPECT_TRUE(small.TimerInitialization.Enabled());

  // The add-in reports the first organism out before its trial is logged: the animation ends.
  run.WriteDouble(ChannelNumTrialUnderWay, 1);
  small.Update();
  EXPECT_FALSE(small.TimerInitialization.Enabled());
  EXPECT_TRUE(small.vbalProgressBar.Visible());
}

TEST(FormProgressSmallEFTest, ShowsNoBestAndWidensForEnglish) {
  SeriesRun run({10, 20});
  FormProgressSmallEF& small = SmallEF(run);
  EXPECT_EQ(small.GetForm().FindControl("TextBest"), nullptr);
  EXPECT_EQ(small.GetForm().Caption(), GetResourceString(4125));
  EXPECT_EQ(small.LabelTrial.Width(), 1500 + 300);
  run.StartRunning();
  EXPECT_EQ(small.TextTrial.Text(), "1");

  // The trials shown are those of the optimization under way, not of the whole series.
  for (int t = 0; t < 4; ++t) run.LogTrial(1, 1, false);
  run.UnderWay(2);
  for (int t = 0; t < 3; ++t) run.LogTrial(2, 1, t == 0);
  run.Tick();
  EXPECT_EQ(small.TextTrial.Text(), "3");
}

TEST(FormProgressSmallEFTest, ClickAlwaysMovesTheFocusAndRefreshFreesTheButtons) {
  SeriesRun run({10, 20});
  FormProgressSmallEF& small = SmallEF(run);
  run.StartRunning();
  int focusMoves = 0;
  small.CommandToSendFocusTo.SetObserver([&](ui::Control&, std::string_view property) {
    if (property == "Focus") ++focusMoves;
  });

  // After Stop the buttons are grey: a click moves the focus away and starts nothing.
  small.ControlsAfterStopClickedDisableEnable(false);
  const auto before = run.Status();
  small.CommandPause_Click();
  EXPECT_EQ(focusMoves, 1);
  EXPECT_EQ(run.Status(), before);

  // The controller's refresh after the user said no to stopping makes them count again.
  small.UpdateRunPauseButtons();
  EXPECT_FALSE(small.RunPauseStopInactive());
  small.CommandPause_Click();
  EXPECT_EQ(focusMoves, 2);
  EXPECT_EQ(run.Status(), GdRunStatusMarkToPause);
}

}  // namespace
}  // namespace corvana
