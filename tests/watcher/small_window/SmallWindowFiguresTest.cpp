#include "watcher/small_window/SmallWindowFigures.h"

#include <gtest/gtest.h>

namespace corvana {
namespace {

using namespace SmallWindowFigures;

TEST(SmallWindowFiguresTest, PercentFollowsTheLargerShareAndIsRaisedToOne) {
  // 5 of 1000 trials is half a percent: shown as 1 %.
  EXPECT_DOUBLE_EQ(ProgressPercent(5, 1000, 0, 0), 1);
  EXPECT_EQ(PercentText(ProgressPercent(5, 1000, 0, 0)), "1%");
  // Both goals: whichever share is larger wins.
  EXPECT_DOUBLE_EQ(ProgressPercent(250, 1000, 30000, 60000), 50);
  EXPECT_DOUBLE_EQ(ProgressPercent(800, 1000, 30000, 60000), 80);
  // A time goal counts only once the timer has started.
  EXPECT_DOUBLE_EQ(ProgressPercent(0, 0, 0, 60000), 0);
  EXPECT_DOUBLE_EQ(ProgressPercent(0, 0, 10, 60000), 1);
  // No goal at all.
  EXPECT_DOUBLE_EQ(ProgressPercent(500, 0, 5000, 0), 0);
  // An overshoot is not capped; the bar is full and the text tells the truth.
  EXPECT_DOUBLE_EQ(ProgressPercent(1500, 1000, 0, 0), 150);
  EXPECT_EQ(BarValue(150), 100);
  EXPECT_EQ(PercentText(150), "150%");
}

TEST(SmallWindowFiguresTest, BarRoundsHalfToEvenTextRoundsHalfUp) {
  EXPECT_EQ(BarValue(2.5), 2);
  EXPECT_EQ(BarValue(3.5), 4);
  EXPECT_EQ(PercentText(2.5), "3%");
  EXPECT_EQ(PercentText(37.2), "37%");
}

TEST(SmallWindowFiguresTest, IterationAndTrialSources) {
  // Multi-process: the channels, whatever they say.
  auto f = SelectIterationAndTrial(true, 0, 7, 100, 50);
  EXPECT_EQ(f.Iteration, 0);
  EXPECT_EQ(f.Trial, 7);
  // A simulation under way: the channels.
  f = SelectIterationAndTrial(false, 30, 8, 100, 50);
  EXPECT_EQ(f.Iteration, 30);
  EXPECT_EQ(f.Trial, 8);
  // No simulation under way: the log, and the last completed simulation's iterations.
  f = SelectIterationAndTrial(false, 0, 8, 100, 50);
  EXPECT_EQ(f.Iteration, 50);
  EXPECT_EQ(f.Trial, 100);
  f = SelectIterationAndTrial(false, 0, 8, 0, 50);
  EXPECT_EQ(f.Iteration, 0);
  EXPECT_EQ(f.Trial, 0);
}

TEST(SmallWindowFiguresTest, InitializationCurveClimbsThenCreepsBelow99) {
  double remainder = kInitialRemainder;
  const double d = kInitializationMsMultiProcess;
  EXPECT_DOUBLE_EQ(InitializationPercent(0, d, remainder), 0);
  EXPECT_DOUBLE_EQ(InitializationPercent(12500, d, remainder), 45);
  EXPECT_DOUBLE_EQ(InitializationPercent(25000, d, remainder), 90);
  EXPECT_DOUBLE_EQ(remainder, kInitialRemainder);  // the linear phase leaves it alone
  // A first trial after 30 s: ten more ticks of 500 ms creep up, each less than the last.
  double last = 90;
  double lastStep = 1e9;
  for (int tick = 1; tick <= 10; ++tick) {
    const double p = InitializationPercent(25000 + tick * 500, d, remainder);
    EXPECT_GT(p, last);
    EXPECT_LT(p - last, lastStep);
    lastStep = p - last;
    last = p;
  }
  EXPECT_NEAR(last, 94.01, 0.01);
  for (int tick = 0; tick < 1000; ++tick) last = InitializationPercent(1e6, d, remainder);
  EXPECT_DOUBLE_EQ(last, 99);
  EXPECT_EQ(BarValue(last), 99);
}

}  // namespace
}  // namespace corvana
