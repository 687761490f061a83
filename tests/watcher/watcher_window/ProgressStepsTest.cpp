#include "watcher/watcher_window/ProgressSteps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace corvana {
namespace {

TEST(ProgressStepsTest, RecordsOnlyChangesOfAnExistingBest) {
  ProgressSteps steps;
  steps.Initialize();
  EXPECT_FALSE(steps.Record(0, false, 0));
  EXPECT_TRUE(steps.Record(1, true, 10));
  EXPECT_FALSE(steps.Record(2, true, 10));  // unchanged best: no step
  EXPECT_TRUE(steps.Record(5, true, 12));
  EXPECT_TRUE(steps.Record(9, true, 10));  // a change back is a change
  EXPECT_EQ(steps.StepTrials(), (std::vector<double>{1, 5, 9}));
  EXPECT_EQ(steps.StepValues(), (std::vector<double>{10, 12, 10}));
  // A best of 0 on the very first update is a step too.
  ProgressSteps zero;
  zero.Initialize();
  EXPECT_TRUE(zero.Record(1, true, 0));
}

TEST(ProgressStepsTest, StopsRecordingPastTheCapAndKeepsWhatItHas) {
  ProgressSteps steps;
  steps.Initialize();
  for (std::size_t i = 0; i <= ProgressSteps::kMaxSteps; ++i)
    ASSERT_TRUE(steps.Record(i + 1, true, double(i)));
  EXPECT_EQ(steps.Count(), ProgressSteps::kMaxSteps + 1);
  EXPECT_FALSE(steps.Record(1e6, true, -1));
  EXPECT_EQ(steps.Count(), ProgressSteps::kMaxSteps + 1);
  std::vector<double> xs, ys;
  steps.AllTrialsData(2e6, -1, xs, ys);
  EXPECT_EQ(xs.size(), ProgressSteps::kMaxSteps + 2);
  EXPECT_EQ(xs.back(), 2e6);
}

TEST(ProgressStepsTest, AllTrialsCurveRunsFromFirstStepToTheCurrentTrial) {
  ProgressSteps steps;
  steps.Initialize();
  std::vector<double> xs, ys;
  steps.AllTrialsData(3, 1, xs, ys);
  EXPECT_TRUE(xs.empty());  // nothing to draw before a best exists

  // A best that never changes after the first trial: one step, flat line to the current trial.
  steps.Record(1, true, 7);
  steps.AllTrialsData(250, 7, xs, ys);
  EXPECT_EQ(xs, (std::vector<double>{1, 250}));
  EXPECT_EQ(ys, (std::vector<double>{7, 7}));
  // The current point never becomes a recorded step.
  steps.Record(300, true, 8);
  steps.AllTrialsData(400, 8, xs, ys);
  EXPECT_EQ(xs, (std::vector<double>{1, 300, 400}));
  EXPECT_EQ(ys, (std::vector<double>{7, 8, 8}));
}

TEST(ProgressStepsTest, LastTrialsCurveStartsAtTheWindowsLeftEdge) {
  ProgressSteps steps;
  steps.Initialize();
  steps.Record(10, true, 1);
  steps.Record(50, true, 2);
  steps.Record(180, true, 3);
  steps.Record(190, true, 4);
  std::vector<double> xs, ys;
  // 200 trials, last 100 shown: 190 -> -11, 180 -> -21, 50 is before the window -> one point at -100.
  steps.LastTrialsData(200, 100, true, 4, xs, ys);
  EXPECT_EQ(xs, (std::vector<double>{-100, -21, -11, 0}));
  EXPECT_EQ(ys, (std::vector<double>{2, 3, 4, 4}));
  // All steps inside the window: no edge point.
  steps.LastTrialsData(200, 500, true, 4, xs, ys);
  EXPECT_EQ(xs, (std::vector<double>{-191, -151, -21, -11, 0}));
  // Every step before the window: the latest one fills it from the left edge.
  steps.LastTrialsData(5000, 100, true, 4, xs, ys);
  EXPECT_EQ(xs, (std::vector<double>{-100, 0}));
  EXPECT_EQ(ys, (std::vector<double>{4, 4}));
}

TEST(ProgressStepsTest, LastTrialsOffsetFailsOutsideTheWindow) {
  EXPECT_EQ(ProgressSteps::LastTrialsOffset(190, 200), -11);
  EXPECT_EQ(ProgressSteps::LastTrialsOffset(0, 1e12), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(ProgressSteps::LastTrialsOffset(std::nan(""), 5), std::numeric_limits<std::int32_t>::min());
}

TEST(ProgressStepsTest, AxisGrowsToTheRoundedDoubleOfTheTrialCount) {
  EXPECT_EQ(ProgressSteps::GrownAxisMax(100, 100), 100);  // still fits
  EXPECT_EQ(ProgressSteps::GrownAxisMax(100, 101), 300);  // 202 rounds up to 300
  EXPECT_EQ(ProgressSteps::GrownAxisMax(300, 347), 700);  // 694 -> 700, not 300 + a fixed step
  EXPECT_EQ(ProgressSteps::GrownAxisMax(700, 5000), 10000);
}

}  // namespace
}  // namespace corvana
