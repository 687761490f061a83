#include "watcher/frontier_window/FrontierFigures.h"

#include <gtest/gtest.h>

#include "common/ComError.h"
#include "suite/objectlib/MarkerValues.h"
#include "watcher/frontier_window/ConstrainingValueSteps.h"

namespace corvana {
namespace {

using FrontierFigures::CurveIndices;

TEST(FrontierFiguresTest, AtMostTenCurvesSpreadOverTheSeries) {
  EXPECT_EQ(CurveIndices(1), (std::vector<std::int32_t>{1}));
  EXPECT_EQ(CurveIndices(10), (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_EQ(CurveIndices(11), (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 11}));
  EXPECT_EQ(CurveIndices(28), (std::vector<std::int32_t>{1, 4, 7, 10, 13, 16, 19, 22, 25, 28}));
  EXPECT_TRUE(CurveIndices(0).empty());
}

TEST(FrontierFiguresTest, FrontierXRisesWhateverOrderTheValuesRanIn) {
  FrontierFigures::FrontierInput falling;
  falling.ConstrainingValues = {100, 90, 80};
  falling.BestValues = {3, kMissingValue, 1};
  OGrData points;
  ASSERT_TRUE(FrontierFigures::FrontierPoints(falling, points));
  EXPECT_EQ(points.X, (std::vector<double>{80, 100}));
  EXPECT_EQ(points.Y, (std::vector<double>{1, 3}));

  FrontierFigures::FrontierInput rising = falling;
  rising.ConstrainingValues = {80, 90, 100};
  ASSERT_TRUE(FrontierFigures::FrontierPoints(rising, points));
  EXPECT_EQ(points.X, (std::vector<double>{80, 100}));
  EXPECT_EQ(points.Y, (std::vector<double>{3, 1}));

  // Target-value mode plots the distance from the target.
  rising.TargetMode = true;
  rising.TargetValue = 2.5;
  ASSERT_TRUE(FrontierFigures::FrontierPoints(rising, points));
  EXPECT_EQ(points.Y, (std::vector<double>{0.5, 1.5}));
}

TEST(FrontierFiguresTest, OneValueOrNoPointsDrawsNoFrontier) {
  FrontierFigures::FrontierInput one;
  one.ConstrainingValues = {5};
  one.BestValues = {1};
  OGrData points;
  EXPECT_FALSE(FrontierFigures::FrontierPoints(one, points));
  FrontierFigures::FrontierInput none;
  none.ConstrainingValues = {5, 6};
  none.BestValues = {kMissingValue, kMissingValue};
  EXPECT_FALSE(FrontierFigures::FrontierPoints(none, points));
  EXPECT_EQ(points.Size(), 0u);
}

TEST(FrontierFiguresTest, FixedLengthRowLetsLongCellsTakeRoomFromTheNext) {
  // Short cells: each sits in its 15-character slot, the rest of the row is tabs.
  const std::string row = FrontierFigures::FixedLengthRow({"a", "bb", "c"});
  EXPECT_EQ(row.size(), 45u);
  EXPECT_EQ(row.substr(0, 6), "a\tbb\tc");
  // A 20-character cell overwrites the tabs after it: the next cell starts after the next tab.
  const std::string longRow = FrontierFigures::FixedLengthRow({std::string(20, 'x'), "y", "z"});
  EXPECT_EQ(longRow.size(), 45u);
  EXPECT_EQ(longRow.substr(0, 24), std::string(20, 'x') + "\ty\tz");
  // Text beyond the fixed length is cut off.
  const std::string cut = FrontierFigures::FixedLengthRow({std::string(40, 'x')});
  EXPECT_EQ(cut, std::string(15, 'x'));
}

TEST(ConstrainingValueStepsTest, StepsGrowByOneThenTwoAndIgnoreRepeats) {
  ConstrainingValueSteps steps;
  steps.Initialize(2);
  EXPECT_FALSE(steps.Record(1, 100, kMissingValue));
  EXPECT_TRUE(steps.Record(1, 200, 5));
  EXPECT_FALSE(steps.Record(1, 300, 5));  // the same best seen again adds no row
  EXPECT_TRUE(steps.Record(1, 500, 7));
  EXPECT_EQ(steps.NumPoints(1), 3);
  EXPECT_EQ(steps.Points(1).X, (std::vector<double>{200, 500, 500}));
  EXPECT_EQ(steps.Points(1).Y, (std::vector<double>{5, 5, 7}));
  EXPECT_EQ(steps.NumPoints(2), 0);

  OGrData curve;
  steps.CurveData(1, 900, 7, curve);
  EXPECT_EQ(curve.X, (std::vector<double>{200, 500, 500, 900}));
  steps.CurveData(2, 900, 7, curve);
  EXPECT_EQ(curve.Size(), 0u);
  EXPECT_THROW(steps.Record(3, 1, 1), ComError);
}

}  // namespace
}  // namespace corvana
