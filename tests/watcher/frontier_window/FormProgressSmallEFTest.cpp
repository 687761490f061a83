#include "watcher/frontier_window/FormProgressSmallEF.h"

#include <gtest/gtest.h>

#include "suite/gdlib/gdlib8.h"
#include "tests/watcher/watcher_window/WatcherRun.h"
#include "wire/XLWatcherChannels.h"

namespace corvana {
namespace {

// A watched series over two constraining values.
WatcherRun::Options Series(WatcherRun::Options options) {
  options.Genes = 2;
  options.Series = true;
  options.Inputs = [](WatcherManager& m) {
    m.Input_EFPerformAnalysis = true;
    m.Input_EFConstrainedStatistic = 12;
    m.Input_EFNumConstrainingValues = 2;
    Collection values;
    values.Add(10.0);
    values.Add(20.0);
    m.Input_EFCollectionOfConstrainingValues_OptimizationOrder_Final = values;
    m.Input_EFCollectionOfConstrainingValues_OptimizationOrder_Initial = values;
  };
  return options;
}

FormProgressSmallEF& SmallEF(WatcherRun& run) {
  return dynamic_cast<FormProgressSmallEF&>(*run.Manager.SmallProgressWindow());
}

TEST(FormProgressSmallEFTest, MultiProcessStartUpKeepsTheButtonsAndEndsWithTheFirstTrialUnderWay) {
  WatcherRun run(Series({.MultiProcess = true, .TrialGoal = 100}));
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

}  // namespace
}  // namespace corvana
