#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "common/ComError.h"
#include "watcher/graph/OGrAxisScale.h"
#include "watcher/graph/OGrCurveDecimator.h"
#include "watcher/graph/OGrGraph.h"

using namespace corvana;

TEST(GraphModel, ConfigurationSurvivesDataReplacement) {
  OGrGraph graph;
  graph.Initialize(kOGrGraphXY, "");
  int changes = 0;
  int subscription = graph.Subscribe([&] { ++changes; });
  graph.SetTitleText("Best value\nall trials");
  graph.SetAxisNumberFormat(1, "0.00");
  graph.DefineCustomAutoscaling(0, 0, 400, true, 0);
  graph.SetDataFromRows({{1, 5, 9}, {10, 8, 8}});
  graph.SetData({1, 5, 9, 20}, {10, 8, 8, 7});
  EXPECT_EQ(graph.CurveCount(), 1);
  EXPECT_EQ(graph.Curves()[0].Data().Size(), 4u);
  EXPECT_EQ(graph.YAxis().NumberFormat(), "0.00");
  EXPECT_TRUE(graph.XAxis().HasCustomRange());
  EXPECT_DOUBLE_EQ(graph.XAxis().CustomMax(), 400);
  EXPECT_EQ(changes, 5);
  graph.Unsubscribe(subscription);
  graph.SetTitleText("x");
  EXPECT_EQ(changes, 5);
  EXPECT_THROW(graph.Axis(2), ComError);
}

TEST(GraphModel, CurvesById) {
  OGrGraph graph;
  graph.SetFirstSeriesColor(OGrColor{0, 0, 255});
  int first = graph.AddCurve(kOGrCurveStep, OGrData::FromPointRows({{1, 2}, {3, 4}}), "");
  int second = graph.AddCurve(kOGrCurveStep, OGrData{{1}, {1}}, "b");
  EXPECT_NE(first, second);
  EXPECT_EQ(graph.CurveByID(first)->Color(), (OGrColor{0, 0, 255}));
  graph.RenameCurve(first, "100");
  graph.ChangeDataSource(first, OGrData{{1, 2, 3}, {4, 4, 5}}, "");
  graph.SetCurveDisplayValues(second, 0, 2);
  EXPECT_EQ(graph.CurveByID(first)->Name(), "100");
  EXPECT_EQ(graph.CurveByID(first)->Data().X.size(), 3u);
  EXPECT_TRUE(graph.CurveByID(first)->DrawsSteps());
  EXPECT_FALSE(graph.CurveByID(second)->DrawsSteps());  // the frontier: a line through its points
  EXPECT_THROW(graph.ChangeDataSource(99, OGrData{}, ""), ComError);
  graph.RemoveCurve(first);
  EXPECT_EQ(graph.CurveByID(first), nullptr);
  EXPECT_EQ(graph.CurveCount(), 1);
}

TEST(GraphModel, DataFromArraysOfEitherShape) {
  OGrData rows = OGrData::FromRows({{0, 10, 20}, {5, 6, 7}});
  EXPECT_EQ(rows.X, (std::vector<double>{0, 10, 20}));
  OGrData points = OGrData::FromRows({{0, 5}, {10, 6}, {20, 7}});
  EXPECT_EQ(points.Y, (std::vector<double>{5, 6, 7}));
  EXPECT_EQ(OGrData::FromRows({{1}}).Size(), 0u);
  EXPECT_EQ((OGrData{{1, 2, 3}, {1}}).Size(), 1u);  // lists of unequal length: the common part
}

TEST(AxisScale, RangesAndTicksForAwkwardInput) {
  OGrAxis axis;
  OGrAxisScale scale = OGrAxisScale::Compute(axis, 3, 97, 5);
  EXPECT_DOUBLE_EQ(scale.Min, 0);
  EXPECT_DOUBLE_EQ(scale.Max, 100);
  EXPECT_EQ(scale.Ticks.front(), 0);
  EXPECT_EQ(scale.Ticks.back(), 100);
  // A value axis keeps data that lies on a nice bound off the frame; zero stays the bound.
  scale = OGrAxisScale::Compute(axis, 5, 9, 4, true);
  EXPECT_LT(scale.Min, 5);
  EXPECT_GT(scale.Max, 9);
  scale = OGrAxisScale::Compute(axis, 0, 60, 3, true);
  EXPECT_DOUBLE_EQ(scale.Min, 0);

  for (auto [min, max] : std::vector<std::pair<double, double>>{{5, 5},
                                                                {0, 0},
                                                                {1, 0},  // no data
                                                                {-1e308, 1e308},
                                                                {std::nan(""), 3},
                                                                {1e-300, 2e-300}}) {
    OGrAxisScale s = OGrAxisScale::Compute(axis, min, max, 6);
    EXPECT_TRUE(std::isfinite(s.Min) && std::isfinite(s.Max) && s.Max > s.Min) << min << " " << max;
    EXPECT_LE(s.Ticks.size(), 8u);
  }

  axis.DefineCustomAutoscaling(-500, 0, true, 0);
  scale = OGrAxisScale::Compute(axis, 3, 97, 5);  // a fixed range wins over the data
  EXPECT_DOUBLE_EQ(scale.Min, -500);
  EXPECT_DOUBLE_EQ(scale.Max, 0);

  OGrAxis dates;
  dates.SetDateScaling(true);
  scale = OGrAxisScale::Compute(dates, 44927, 45291, 6);  // one year
  ASSERT_FALSE(scale.Ticks.empty());
  for (double t : scale.Ticks) EXPECT_EQ(t, std::floor(t));  // whole days
  scale = OGrAxisScale::Compute(dates, -800, -700, 4);       // before the epoch
  EXPECT_FALSE(scale.Ticks.empty());
}

TEST(CurveDecimator, MillionPointsKeepEveryExtremeAndEnd) {
  const int n = 1'000'000;
  OGrData data;
  data.X.resize(n);
  data.Y.resize(n);
  for (int i = 0; i < n; ++i) {
    data.X[i] = i;
    data.Y[i] = std::sin(i * 0.001);
  }
  data.Y[123457] = 50;   // one spike up
  data.Y[876543] = -50;  // and one down
  data.Y[n - 1] = 7;     // a last point unlike its neighbours
  OGrCurveDecimator::Mapping m{0, 800.0 / n, 0, -50, 6.0, 600};
  auto lines = OGrCurveDecimator::Reduce(data, m, false, 800, 0);
  ASSERT_EQ(lines.size(), 1u);
  const auto& line = lines[0];
  EXPECT_LE(line.size(), 4u * 801);
  double top = 1e9, bottom = -1e9;
  for (const auto& p : line) {
    top = std::min(top, p.Y);
    bottom = std::max(bottom, p.Y);
  }
  EXPECT_DOUBLE_EQ(top, 600 - 100 * 6.0);  // y = 50
  EXPECT_DOUBLE_EQ(bottom, 600);           // y = -50
  EXPECT_DOUBLE_EQ(line.front().X, 0);
  EXPECT_DOUBLE_EQ(line.back().Y, 600 - 57 * 6.0);
}

TEST(CurveDecimator, AscendingCurvesReduceAsPointByPointWould) {
  // A curve in ascending x takes the column-by-column way; a curve that ends on a point without a
  // value takes the point-by-point way and must draw the same line.
  std::mt19937 random(7);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int round = 0; round < 40; ++round) {
    const int n = 1 + static_cast<int>(random() % 5000);
    OGrData data;
    double x = unit(random) * 10;
    for (int i = 0; i < n; ++i) {
      // Repeated x, clustered and sparse stretches, plateaus and values beyond the plot.
      x += unit(random) < 0.2 ? 0 : unit(random) * (round % 3 == 0 ? 5 : 0.05);
      const double y = unit(random) < 0.1 ? data.Y.empty() ? 1 : data.Y.back() : unit(random) * 140 - 20;
      data.X.push_back(x);
      data.Y.push_back(round % 5 == 0 ? std::round(y / 10) : y);
    }
    OGrCurveDecimator::Mapping m{data.X.front(), 780.0 / (x - data.X.front() + 1), 10, 0, 4.5, 590};
    OGrData broken = data;
    broken.X.push_back(x + 1);
    broken.Y.push_back(std::nan(""));
    for (bool steps : {false, true}) {
      const auto fast = OGrCurveDecimator::Reduce(data, m, steps, 790, 10);
      const auto reference = OGrCurveDecimator::Reduce(broken, m, steps, 790, 10);
      ASSERT_EQ(fast, reference) << "round " << round << (steps ? ", steps" : "");
    }
  }
}

TEST(CurveDecimator, NewPointsAndANewPictureAreNeverDrawnFromTheOldOnes) {
  OGrGraph graph;
  graph.SetData({0, 1, 2}, {0, 5, 5});
  const OGrCurveDecimator::Mapping m{0, 10, 0, 0, 10, 100};
  double min = 0, max = 0;
  graph.Curves()[0].FiniteRange(false, min, max);
  EXPECT_EQ(max, 5);
  const auto before = graph.Curves()[0].Reduced(m, 100, 0);
  EXPECT_EQ(graph.Curves()[0].Reduced(m, 100, 0), before);

  graph.SetData({0, 1, 2, 3}, {0, 5, 5, 8});
  graph.Curves()[0].FiniteRange(false, min, max);
  EXPECT_EQ(max, 8);
  EXPECT_EQ(graph.Curves()[0].Reduced(m, 100, 0),
            OGrCurveDecimator::Reduce(graph.Curves()[0].Data(), m, true, 100, 0));
  EXPECT_NE(graph.Curves()[0].Reduced(m, 100, 0), before);
  // Another picture size, and straight lines instead of steps.
  OGrCurveDecimator::Mapping wider = m;
  wider.XScale = 20;
  EXPECT_EQ(graph.Curves()[0].Reduced(wider, 100, 0),
            OGrCurveDecimator::Reduce(graph.Curves()[0].Data(), wider, true, 100, 0));
  graph.SetCurveDisplayValues(graph.Curves()[0].ID(), 0, 0);
  EXPECT_EQ(graph.Curves()[0].Reduced(wider, 100, 0),
            OGrCurveDecimator::Reduce(graph.Curves()[0].Data(), wider, false, 100, 0));
}

TEST(CurveDecimator, ALineThatTurnsBackKeepsItsPath) {
  // The frontier of a falling series may run right to left; columns are merged only for
  // consecutive points, so the way back is drawn too.
  OGrCurveDecimator::Mapping m{0, 1, 0, 0, 1, 100};
  auto lines = OGrCurveDecimator::Reduce(OGrData{{0, 50, 10}, {0, 50, 90}}, m, false, 100, 0);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], (std::vector<OGrCurveDecimator::Point>{{0, 100}, {50, 50}, {10, 10}}));
}

TEST(CurveDecimator, StepsHoldValuesAndBadPointsBreakTheLine) {
  OGrCurveDecimator::Mapping m{0, 10, 0, 0, 10, 100};
  auto lines = OGrCurveDecimator::Reduce(OGrData{{0, 1, 2}, {0, 5, 5}}, m, true, 100, 0);
  ASSERT_EQ(lines.size(), 1u);
  std::vector<OGrCurveDecimator::Point> expected{{0, 100}, {10, 100}, {10, 50}, {20, 50}};
  EXPECT_EQ(lines[0], expected);

  const double inf = std::numeric_limits<double>::infinity();
  lines = OGrCurveDecimator::Reduce(OGrData{{0, 1, 2, 3, 4}, {1, std::nan(""), 2, inf, 3}}, m, false, 100, 0);
  EXPECT_EQ(lines.size(), 3u);
  // A value far outside is clamped near the edge, not passed on as a huge coordinate.
  lines = OGrCurveDecimator::Reduce(OGrData{{0, 1}, {0, 1e300}}, m, false, 100, 0);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_GE(lines[0].back().Y, -4);
}
