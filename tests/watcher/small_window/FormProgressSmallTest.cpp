#include "watcher/small_window/FormProgressSmall.h"
#include "watcher/watcher_window/FormProgress.h"

#include <gtest/gtest.h>

#include "suite/gdlib/gdlib8.h"
#include "tests/watcher/watcher_window/WatcherRun.h"
#include "watcher/common/Utilities.h"
#include "wire/XLWatcherChannels.h"

namespace corvana {
namespace {

using Utilities::FormatElapsedTime;
using Utilities::GetResourceString;

TEST(FormProgressSmallTest, ShowsTheFiguresAndTheTrialGoal) {
  WatcherRun run({.TrialGoal = 1000});
  FormProgressSmall& small = run.Small();
  EXPECT_TRUE(small.Visible());
  EXPECT_TRUE(small.vbalProgressBar.Visible());
  EXPECT_FALSE(small.CommandExcelUpdate.Visible());
  EXPECT_EQ(small.CommandWatcher.Left(), small.CommandExcelUpdate.Left());

  run.LogTrial(10, true);
  run.LogTrial(12, true);
  run.LogTrial(11, false);
  run.LogTrial(9, false);
  run.LogTrial(8, false);
  small.Update();
  // 5 of 1000 trials is half a percent, shown as 1 %.
  EXPECT_EQ(small.vbalProgressBar.Value(), 1);
  EXPECT_EQ(small.vbalProgressBar.Text(), "1%");
  EXPECT_EQ(small.TextTrial.Text(), GetResourceString(4120, Variant("5"), Variant(1000.0)));
  EXPECT_EQ(small.TextRuntime.Text(), FormatElapsedTime(run.Manager.ElapsedTicks()));
  EXPECT_EQ(small.TextIteration.Text(), "0");
  EXPECT_EQ(small.TextOriginal.Text(), "10");
  EXPECT_EQ(small.TextBest.Text(), "12");
}

TEST(FormProgressSmallTest, TimeGoalAndInvalidTrials) {
  WatcherRun run({.MillisecondsGoal = 3600000});
  FormProgressSmall& small = run.Small();
  run.LogTrial(1, true);
  small.Update();
  EXPECT_EQ(small.TextTrial.Text(), "1");  // every trial valid: the plain count
  EXPECT_EQ(small.TextRuntime.Text(),
            GetResourceString(4121, Variant(FormatElapsedTime(run.Manager.ElapsedTicks())),
                              Variant(FormatElapsedTime(3600000))));

  // A trial whose valid count lags behind: the valid-trials form.
  run.LogTrial(2, false, 1);
  small.Update();
  EXPECT_EQ(small.TextTrial.Text(), GetResourceString(4119, Variant("2"), Variant(1.0)));
}

TEST(FormProgressSmallTest, NoGoalHidesTheBarAndKeepsTheBottomMargin) {
  int heightWithBar = 0, bottomBarTopWithBar = 0;
  {
    WatcherRun withGoal({.TrialGoal = 10});
    heightWithBar = withGoal.Small().GetForm().Height();
    bottomBarTopWithBar = withGoal.Small().FrameBottom.Top();
  }
  WatcherRun run;
  FormProgressSmall& small = run.Small();
  EXPECT_FALSE(small.vbalProgressBar.Visible());
  EXPECT_FALSE(small.ProgressBarShown());
  EXPECT_EQ(heightWithBar - small.GetForm().Height(), 500);
  EXPECT_EQ(bottomBarTopWithBar - small.FrameBottom.Top(), 500);
  // Re-placed in the bottom-left corner of the work area, since the user had not moved it.
  const ui::Rect area = run.Platform.WorkArea(0);
  EXPECT_EQ(small.GetForm().Left(), area.Left + 100);
  EXPECT_EQ(small.GetForm().Top() + small.GetForm().Height(), area.Top + area.Height - 100);
}

TEST(FormProgressSmallTest, OpensOnTheScreenThatHoldsTheAddinsWindow) {
  WatcherRun run({.ExcelAppHwnd = 0x2a00007, .HostWorkArea = ui::Rect{1920 * 15, 0, 1280 * 15, 1000 * 15}});
  const ui::Form& form = run.Small().GetForm();
  EXPECT_EQ(form.Left(), 1920 * 15 + 100);
  EXPECT_EQ(form.Top() + form.Height(), 1000 * 15 - 100);
}

TEST(FormProgressSmallTest, MultiProcessStartUpAnimatesAndKeepsTheButtonsGrey) {
  WatcherRun run({.MultiProcess = true, .TrialGoal = 100});
  FormProgressSmall& small = run.Small();
  EXPECT_TRUE(small.TimerInitialization.Enabled());
  EXPECT_EQ(small.CommandPause.PictureKey(), ui::GreyPicture(ui::PictureKeys::kPause));
  EXPECT_NE(small.GetForm().Caption().find(GetResourceString(4127, Variant(std::int32_t{4}))),
            std::string::npos);

  // Grey buttons do nothing.
  small.CommandPause_Click();
  EXPECT_EQ(run.Status(), GdRunStatusOptimizing);

  // 12.5 s of 25 s: 45 %, with the initialization message on the bar.
  run.Platform.AdvanceTime(12500);
  EXPECT_EQ(small.vbalProgressBar.Value(), 45);
  EXPECT_EQ(small.vbalProgressBar.Text(), GetResourceString(4126) + "45%");
  run.Platform.AdvanceTime(12500);
  EXPECT_EQ(small.vbalProgressBar.Value(), 90);
  // Past the linear phase the bar creeps on and never reaches 100.
  run.Platform.AdvanceTime(5000);
  EXPECT_GT(small.vbalProgressBar.Value(), 90);
  run.Platform.AdvanceTime(600000);
  EXPECT_EQ(small.vbalProgressBar.Value(), 99);

  // A paused run holds the bar.
  run.SetStatus(GdRunStatusPaused);
  small.vbalProgressBar.SetValue(50);
  run.Platform.AdvanceTime(1000);
  EXPECT_EQ(small.vbalProgressBar.Value(), 50);
  run.SetStatus(GdRunStatusOptimizing);

  // The first trial under way ends the animation and frees the buttons.
  run.WriteDouble(ChannelNumTrialUnderWay, 1);
  small.Update();
  EXPECT_FALSE(small.TimerInitialization.Enabled());
  EXPECT_EQ(small.CommandPause.PictureKey(), ui::PictureKeys::kPause);
  EXPECT_FALSE(small.RunPauseStopInactive());
  EXPECT_EQ(small.TextTrial.Text(), GetResourceString(4120, Variant("1"), Variant(100.0)));
  small.CommandPause_Click();
  EXPECT_EQ(run.Status(), GdRunStatusPaused);  // a multi-process pause is immediate
  EXPECT_EQ(small.Mode(), RunState::Pausing);
}

TEST(FormProgressSmallTest, ButtonsAndClosing) {
  WatcherRun run;
  FormProgressSmall& small = run.Small();
  EXPECT_FALSE(small.GetForm().BackendCloseRequest(ui::kUnloadFormControlMenu));
  EXPECT_FALSE(small.GetForm().BackendCloseRequest(ui::kUnloadAppTaskManager));
  EXPECT_TRUE(small.Visible());

  int focusMoves = 0;
  small.CommandToSendFocusTo.SetObserver([&](ui::Control&, std::string_view property) {
    if (property == "Focus") ++focusMoves;
  });
  small.CommandPause_Click();
  EXPECT_EQ(run.Status(), GdRunStatusMarkToPause);
  EXPECT_EQ(focusMoves, 1);                 // the button keeps no focus rectangle
  EXPECT_TRUE(small.CommandRun.Pressed());  // the mode changes only once the add-in has paused

  small.ControlsAfterStopClickedDisableEnable(false);
  small.CommandWatcher_Click();
  EXPECT_FALSE(run.Manager.WatcherShown);
  small.ControlsAfterStopClickedDisableEnable(true);
  small.CommandWatcher_Click();
  EXPECT_TRUE(run.Manager.WatcherShown);
  EXPECT_FALSE(small.Visible());
  EXPECT_TRUE(run.Full().Visible());

  small.ProcessMenuCommand("mnuExcelUpdating_Best");
  EXPECT_EQ(run.Manager.ShowExcelRecalculations, 2);
  EXPECT_EQ(run.ReadLong(ChannelShowExcelRecalculations), 2);
  small.ProcessMenuCommand("mnuSomethingElse");
  EXPECT_EQ(run.Manager.ShowExcelRecalculations, 2);
}

TEST(FormProgressSmallTest, LongerLanguagesWidenTheWindow) {
  struct Widths {
    int Form, Label, TextLeft, TextWidth, Watcher;
  };
  const auto widthsIn = [](const char* language) {
    setenv("ORRENDEL_LANGUAGE", language, 1);
    WatcherRun run;
    setenv("ORRENDEL_LANGUAGE", "en", 1);
    FormProgressSmall& small = run.Small();
    return Widths{small.GetForm().Width(), small.LabelBest.Width(), small.TextBest.Left(),
                  small.TextBest.Width(), small.CommandWatcher.Left()};
  };
  const Widths en = widthsIn("en");
  const Widths de = widthsIn("de");
  EXPECT_EQ(de.Form - en.Form, 300 + 130);
  EXPECT_EQ(de.Label - en.Label, 300);
  EXPECT_EQ(de.TextLeft - en.TextLeft, 300);
  EXPECT_EQ(de.TextWidth - en.TextWidth, 130);
  EXPECT_EQ(de.Watcher - en.Watcher, 430);
}

TEST(FormProgressSmallTest, MovingTheWindowTellsTheAddin) {
  WatcherRun run;
  FormProgressSmall& small = run.Small();
  run.WriteBoolean(ChannelWatcherWindowChanged, false);
  small.CheckWindowMoved();
  EXPECT_FALSE(run.ReadBoolean(ChannelWatcherWindowChanged));
  small.GetForm().BackendMoved(small.GetForm().Left() + 300, small.GetForm().Top());
  small.CheckWindowMoved();
  EXPECT_TRUE(run.ReadBoolean(ChannelWatcherWindowChanged));
  run.WriteBoolean(ChannelWatcherWindowChanged, false);
  small.CheckWindowMoved();
  EXPECT_FALSE(run.ReadBoolean(ChannelWatcherWindowChanged));
}

}  // namespace
}  // namespace corvana
