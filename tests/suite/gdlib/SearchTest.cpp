#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include <gtest/gtest.h>

#include "GdLibTestSupport.h"
#include "suite/gdlib/gdlib8.h"

using namespace gdtest;

namespace {

constexpr std::int32_t kGenes = 200;
constexpr std::int32_t kSize = 10;

// A population of one wide recipe group, so that the share of genes a child changes is measurable.
std::int32_t CreateWidePopulation(double crossover, double mutation) {
  std::vector<double> lo(kGenes, 0), hi(kGenes, 1);
  GdGroupSpec group{GdMethodRecipe, kGenes, lo.data(), hi.data(), 0, 0, 0, crossover, mutation};
  std::int32_t pop = 0;
  EXPECT_EQ(GdPopCreate(&group, 1, kSize, GdGoalMinimize, 5, &pop), 0);
  return pop;
}

std::vector<std::vector<double>> Organisms(std::int32_t pop) {
  std::vector<std::vector<double>> all;
  for (std::int32_t o = 1; o <= GdPopGetSize(pop); ++o) {
    std::vector<double> genes(kGenes);
    std::int32_t count = 0;
    EXPECT_EQ(GdOrgGetGenes(pop, o, genes.data(), kGenes, &count), 0);
    all.push_back(genes);
  }
  return all;
}

// The next child, with the fewest genes it differs by from any organism of the population.
std::int32_t NextChildChanges(std::int32_t pop, std::vector<double>& child) {
  const auto organisms = Organisms(pop);
  std::int32_t count = 0;
  EXPECT_EQ(GdPopNextOrganism(pop, child.data(), kGenes, &count), 0);
  std::int32_t fewest = kGenes;
  for (const auto& o : organisms) {
    std::int32_t differ = 0;
    for (std::int32_t i = 0; i < kGenes; ++i) differ += child[i] != o[i];
    fewest = std::min(fewest, differ);
  }
  return fewest;
}

double Sum(const std::vector<double>& genes) {
  return std::accumulate(genes.begin(), genes.end(), 0.0);
}

// Share of genes changed per child over `children` trials.
double MeasuredMutationShare(std::int32_t pop, int children) {
  std::vector<double> child(kGenes);
  double changed = 0;
  for (int t = 0; t < children; ++t) {
    changed += NextChildChanges(pop, child);
    EXPECT_EQ(GdPopReportResult(pop, Sum(child), Sum(child), 1, nullptr), 0);
  }
  return changed / (children * double(kGenes));
}

void FillPopulation(std::int32_t pop) {
  std::vector<double> genes(kGenes);
  std::int32_t count = 0;
  for (std::int32_t t = 0; t < kSize; ++t) {
    ASSERT_EQ(GdPopNextOrganism(pop, genes.data(), kGenes, &count), 0);
    ASSERT_EQ(GdPopReportResult(pop, Sum(genes), Sum(genes), 1, nullptr), 0);
  }
}

}  // namespace

TEST(Search, TheRatesTheUserSetsAreTheRatesTheNextTrialsUse) {
  std::int32_t pop = CreateWidePopulation(0, 0.25);
  FillPopulation(pop);
  EXPECT_NEAR(MeasuredMutationShare(pop, 40), 0.25, 0.03);

  ASSERT_EQ(GdChrSetMutationMode(pop, 1, 0.05), 0);
  EXPECT_NEAR(MeasuredMutationShare(pop, 40), 0.05, 0.015);

  // Neither crossover nor mutation: every child is a copy of an organism, even though copies are
  // a waste the engine avoids when the rates are its own.
  ASSERT_EQ(GdChrSetMutationMode(pop, 1, 0), 0);
  EXPECT_EQ(MeasuredMutationShare(pop, 20), 0);

  // Crossover alone makes children no organism is a copy of.
  ASSERT_EQ(GdChrSetCrossoverRate(pop, 1, 1), 0);
  std::vector<double> child(kGenes);
  int mixed = 0;
  for (int t = 0; t < 20; ++t) {
    mixed += NextChildChanges(pop, child) > 0;
    ASSERT_EQ(GdPopReportResult(pop, Sum(child), Sum(child), 1, nullptr), 0);
  }
  EXPECT_GE(mixed, 15);
  EXPECT_EQ(GdPopFree(pop), 0);
}

TEST(Search, AutomaticMutationSettlesOnARateThatWorksAndReportsIt) {
  // On a bowl of many independent genes few genes at a time should change: a rate that starts
  // high comes down, and the engine reports the rate in force.
  std::vector<double> lo(30, -5), hi(30, 5);
  GdGroupSpec group{GdMethodRecipe, 30, lo.data(), hi.data(), 0, 0, 1, 0.5, 0.5};
  std::int32_t pop = 0;
  ASSERT_EQ(GdPopCreate(&group, 1, 20, GdGoalMinimize, 3, &pop), 0);
  std::vector<double> genes(30);
  std::int32_t count = 0;
  for (int t = 0; t < 4000; ++t) {
    ASSERT_EQ(GdPopNextOrganism(pop, genes.data(), 30, &count), 0);
    double value = 0;
    for (double g : genes) value += g * g;
    ASSERT_EQ(GdPopReportResult(pop, value, value, 1, nullptr), 0);
  }
  double current = 0, start = 0;
  std::int32_t isAuto = 0;
  ASSERT_EQ(GdChrGetCurrentMutationRate(pop, 1, &current), 0);
  ASSERT_EQ(GdChrGetMutationMode(pop, 1, &isAuto, &start), 0);
  EXPECT_EQ(isAuto, 1);
  EXPECT_EQ(start, 0.5);
  EXPECT_LT(current, 0.25);
  EXPECT_GT(current, 0);
  EXPECT_EQ(GdPopFree(pop), 0);
}

TEST(Search, AFeasibleBestIsNeverReplacedByAnInfeasibleOne) {
  std::int32_t pop = CreateRecipePopulation(2, 4);
  std::vector<double> genes(2);
  std::int32_t count = 0, isNewBest = 0;
  // value with penalties, objective, feasible, whether it is the new best
  struct Trial {
    double Value, Objective;
    int Feasible, NewBest;
  };
  const Trial trials[] = {
      {100, 0, 0, 1},   // the first result is the best so far, broken or not
      {5, 0, 0, 1},     // smaller violation
      {3, -40, 0, 0},   // a better value, but a larger violation (43)
      {50, 50, 1, 1},   // feasible beats every infeasible
      {-9, -10, 0, 0},  // a far better value, infeasible
      {40, 40, 1, 1},  {41, 41, 1, 0},
  };
  for (const Trial& t : trials) {
    ASSERT_EQ(GdPopNextOrganism(pop, genes.data(), 2, &count), 0);
    ASSERT_EQ(GdPopReportResult(pop, t.Objective, t.Value, t.Feasible, &isNewBest), 0);
    EXPECT_EQ(isNewBest, t.NewBest) << "value " << t.Value;
  }
  double best = 0;
  ASSERT_EQ(GdPopGetBest(pop, genes.data(), 2, &best), 0);
  EXPECT_EQ(best, 40);

  // The ranking follows the same rules: feasible organisms above infeasible ones, each feasible one
  // above a worse value, each infeasible one above a larger violation.
  bool infeasibleAbove = false;
  double previousValue = -HUGE_VAL, previousViolation = 0;
  for (std::int32_t o = GdPopGetSize(pop); o >= 1; --o) {
    double value = 0, objective = 0;
    std::int32_t flags = 0;
    ASSERT_EQ(GdOrgGetResult(pop, o, &value, &objective, 0, &flags), 0);
    const bool feasible = flags & GdOrgFlagFeasible;
    if (o == GdPopGetSize(pop)) {
      EXPECT_TRUE(feasible);
    }
    if (feasible) {
      EXPECT_FALSE(infeasibleAbove) << "a feasible organism ranks below an infeasible one";
      EXPECT_GE(value, previousValue);
      previousValue = value;
    } else {
      const double violation = std::abs(value - objective);
      if (infeasibleAbove) {
        EXPECT_GE(violation, previousViolation);
      }
      infeasibleAbove = true;
      previousViolation = violation;
    }
  }
  EXPECT_EQ(GdPopFree(pop), 0);
}

namespace {

const std::vector<double> kLows = {0, 0, 0, 0, 0, 0}, kHighs = {10, 10, 10, 10, 4, 4};

// Every solving method at once, with the engine's own mutation rate.
std::int32_t CreateMixedPopulation(std::uint64_t seed) {
  GdGroupSpec groups[] = {
      {GdMethodRecipe, 2, kLows.data(), kHighs.data(), 0, 0, 1, 1.0, 0.2},
      {GdMethodOrder, 7, nullptr, nullptr, 0, 0, 1, 1.0, 0.2},
      {GdMethodBudget, 4, kLows.data() + 2, kHighs.data() + 2, 9, 0, 1, 1.0, 0.2},
      {GdMethodGrouping, 4, nullptr, nullptr, 0, 3, 1, 1.0, 0.2},
  };
  std::int32_t pop = 0;
  EXPECT_EQ(GdPopCreate(groups, 4, 12, GdGoalMinimize, seed, &pop), 0);
  return pop;
}

// Runs a constrained objective (recipe genes at least 3 apart) and returns every child's genes.
std::vector<std::vector<double>> RunMixed(std::int32_t pop, int trials, bool flat) {
  std::vector<std::vector<double>> children;
  std::vector<double> genes(17);
  std::int32_t count = 0;
  for (int t = 0; t < trials; ++t) {
    EXPECT_EQ(GdPopNextOrganism(pop, genes.data(), 17, &count), 0);
    double objective = genes[0] + genes[1] + genes[2] + genes[9] + genes[13];
    double violation = std::max(0.0, 3 - std::abs(genes[0] - genes[1]));
    if (flat) objective = 1, violation = 0;
    EXPECT_EQ(GdPopReportResult(pop, objective, objective + violation, violation == 0, nullptr), 0);
    children.push_back(genes);
  }
  return children;
}

}  // namespace

TEST(Search, TheSameSeedAndSettingsRepeatTheSameRun) {
  std::int32_t first = CreateMixedPopulation(77);
  std::int32_t second = CreateMixedPopulation(77);
  std::int32_t other = CreateMixedPopulation(78);
  const auto a = RunMixed(first, 1500, false);
  const auto b = RunMixed(second, 1500, false);
  EXPECT_TRUE(a == b);
  EXPECT_FALSE(a == RunMixed(other, 1500, false));
  double rateA = 0, rateB = 0;
  ASSERT_EQ(GdChrGetCurrentMutationRate(first, 1, &rateA), 0);
  ASSERT_EQ(GdChrGetCurrentMutationRate(second, 1, &rateB), 0);
  EXPECT_EQ(rateA, rateB);
  for (std::int32_t pop : {first, second, other}) EXPECT_EQ(GdPopFree(pop), 0);
}

TEST(Search, EveryChildIsValidThroughStallsAndFreshStarts) {
  // A flat objective never improves, so the population starts afresh again and again; the best
  // stays the run's best and every child stays a valid member of each group.
  std::int32_t pop = CreateMixedPopulation(9);
  std::vector<double> genes(17);
  std::int32_t count = 0;
  ASSERT_EQ(GdPopNextOrganism(pop, genes.data(), 17, &count), 0);
  ASSERT_EQ(GdPopReportResult(pop, 0, 0, 1, nullptr), 0);  // better than anything to come
  const std::vector<double> bestGenes = genes;
  for (const auto& g : RunMixed(pop, 5000, true)) {
    EXPECT_TRUE(g[0] >= 0 && g[0] <= 10 && g[1] >= 0 && g[1] <= 10);
    std::vector<double> order(g.begin() + 2, g.begin() + 9);
    std::sort(order.begin(), order.end());
    EXPECT_EQ(order, (std::vector<double>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_NEAR(g[9] + g[10] + g[11] + g[12], 9, 1e-9);
    for (int i = 9; i < 13; ++i) EXPECT_TRUE(g[i] >= kLows[i - 7] - 1e-12 && g[i] <= kHighs[i - 7] + 1e-12);
    for (int i = 13; i < 17; ++i) EXPECT_TRUE(g[i] == 1 || g[i] == 2 || g[i] == 3) << g[i];
    if (HasFailure()) break;
  }
  double best = 1;
  ASSERT_EQ(GdPopGetBest(pop, genes.data(), 17, &best), 0);
  EXPECT_EQ(best, 0);
  EXPECT_EQ(genes, bestGenes);
  EXPECT_EQ(GdPopFree(pop), 0);
}
