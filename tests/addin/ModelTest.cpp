#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <stdexcept>
#include <vector>

#include "addin/ModelCatalog.h"
#include "addin/PortfolioModel.h"
#include "addin/RoutingModel.h"
#include "addin/SpringDesignModel.h"
#include "addin/Statistics.h"

namespace corvana::addin {
namespace {

TEST(StatisticsTest, SummarizeASmallSample) {
  const std::vector<double> v = {4, 1, 3, 2, 5};
  EXPECT_DOUBLE_EQ(Mean(v), 3);
  EXPECT_DOUBLE_EQ(StandardDeviation(v), std::sqrt(2.5));
  EXPECT_DOUBLE_EQ(Percentile(v, 0.5), 3);
  EXPECT_DOUBLE_EQ(Percentile(v, 0), 1);
  EXPECT_DOUBLE_EQ(Percentile(v, 1), 5);
  EXPECT_DOUBLE_EQ(Percentile(v, 0.1), 1.4);  // between the two lowest ranks
  EXPECT_DOUBLE_EQ(ProbabilityAtMost(v, 2), 0.4);
  EXPECT_DOUBLE_EQ(ProbabilityAtMost(v, 0.5), 0);
}

TEST(StatisticsTest, EdgesOfTheInput) {
  const std::vector<double> one = {7};
  EXPECT_DOUBLE_EQ(StandardDeviation(one), 0);
  EXPECT_DOUBLE_EQ(Percentile(one, 0.05), 7);
  const std::vector<double> none;
  EXPECT_THROW(Mean(none), std::invalid_argument);
  EXPECT_THROW(Percentile(one, 1.5), std::invalid_argument);
  EXPECT_THROW(Percentile(one, std::nan("")), std::invalid_argument);
}

TEST(SpringDesignModelTest, ViolationsCostInTheGoalsDirection) {
  SpringDesignModel model;
  // The first guess is lighter than the optimum only because its wire is overstressed.
  const Evaluation start = model.Evaluate(model.StartValues());
  EXPECT_LT(start.Objective, *model.KnownBest());
  EXPECT_EQ(start.ConstraintMet, (std::vector<bool>{true, false, true, true}));
  EXPECT_DOUBLE_EQ(start.ObjectiveWithPenalties, start.Objective + start.HardViolation);

  // A thick wire in a tight coil of few turns is too stiff: penalised above its weight.
  const Evaluation thin = model.Evaluate(std::vector<double>{0.2, 0.3, 3});
  EXPECT_FALSE(thin.Valid);
  EXPECT_FALSE(thin.ConstraintMet[0]);
  EXPECT_GT(thin.HardViolation, 0);
  EXPECT_DOUBLE_EQ(thin.ObjectiveWithPenalties, thin.Objective + thin.HardViolation);

  // A wire thicker than the coil has no meaningful stress: it must not look feasible.
  const Evaluation solid = model.Evaluate(std::vector<double>{1.0, 0.5, 5});
  EXPECT_FALSE(solid.ConstraintMet[1]);
  EXPECT_THROW(model.Evaluate(std::vector<double>{0.1, 0.5}), std::invalid_argument);
}

TEST(PortfolioModelTest, SimulationIsRepeatableAndBudgetStartsAtOne) {
  PortfolioModel a, b, other(1000, 7);
  const auto start = a.StartValues();
  EXPECT_NEAR(std::accumulate(start.begin(), start.end(), 0.0), 1.0, 1e-12);

  const Evaluation ea = a.Evaluate(start), eb = b.Evaluate(start), eo = other.Evaluate(start);
  EXPECT_EQ(ea.Objective, eb.Objective);
  EXPECT_EQ(ea.ConstraintValues, eb.ConstraintValues);
  EXPECT_NE(ea.Objective, eo.Objective);
  EXPECT_LE(ea.SimMin, ea.SimMean);
  EXPECT_LE(ea.SimMean, ea.SimMax);
  EXPECT_DOUBLE_EQ(ea.Objective, ea.SimMean);
}

TEST(PortfolioModelTest, RiskConstraintSeparatesSafeFromSpeculativeMixes) {
  PortfolioModel model;
  std::vector<double> bills(8, 0.0), emerging(8, 0.0);
  bills[0] = 1;
  emerging[5] = 1;
  const Evaluation safe = model.Evaluate(bills);
  EXPECT_TRUE(safe.Valid);
  EXPECT_LT(safe.SimStdDev, 0.01);
  EXPECT_DOUBLE_EQ(safe.ConstraintValues[1], 0);  // bills never lose in this model

  const Evaluation risky = model.Evaluate(emerging);
  EXPECT_GT(risky.Objective, safe.Objective);
  EXPECT_FALSE(risky.ConstraintMet[0]);
  EXPECT_FALSE(risky.Valid);
  EXPECT_LT(risky.ObjectiveWithPenalties, risky.Objective);  // maximizing: penalties pull down

  // Moving the first constraint's bound is what a series does.
  model.SetFirstConstraintBound(-1.0);
  EXPECT_TRUE(model.Evaluate(emerging).ConstraintMet[0]);
}

TEST(RoutingModelTest, TourLengthAndPermutationCheck) {
  RoutingModel model(4, 3);
  const auto& c = model.Cities();
  auto dist = [&](int i, int j) { return std::hypot(c[i].first - c[j].first, c[i].second - c[j].second); };
  const Evaluation e = model.Evaluate(std::vector<double>{1, 2, 3, 4});
  EXPECT_NEAR(e.Objective, dist(0, 1) + dist(1, 2) + dist(2, 3) + dist(3, 0), 1e-9);
  // The same tour from another city and reversed is just as long.
  EXPECT_NEAR(model.Evaluate(std::vector<double>{3, 2, 1, 4}).Objective, e.Objective, 1e-9);
  EXPECT_THROW(model.Evaluate(std::vector<double>{1, 1, 3, 4}), std::invalid_argument);
  EXPECT_THROW(model.Evaluate(std::vector<double>{1, 2, 3, 5}), std::invalid_argument);
  EXPECT_EQ(RoutingModel().Cities(), RoutingModel().Cities()) << "the cities are the same every time";
}

TEST(ModelCatalogTest, NamesCreateTheirModels) {
  for (const auto& name : ModelCatalog::Names()) EXPECT_EQ(ModelCatalog::Create(name)->Name(), name);
  EXPECT_THROW(ModelCatalog::Create("nope"), std::invalid_argument);
  EXPECT_TRUE(ModelCatalog::SupportsSeries("portfolio"));
  EXPECT_FALSE(ModelCatalog::SupportsSeries("routing"));
}

}  // namespace
}  // namespace corvana::addin
