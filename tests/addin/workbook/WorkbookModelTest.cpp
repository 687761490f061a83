#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "addin/PortfolioModel.h"
#include "addin/SpringDesignModel.h"
#include "addin/workbook/ExampleWorkbooks.h"
#include "addin/workbook/WorkbookError.h"
#include "addin/workbook/WorkbookModel.h"
#include "tests/addin/workbook/TestWorkbooks.h"

namespace corvana::addin {
namespace {

const std::filesystem::path kExamples = CORVANA_EXAMPLES_DIR;

// The example workbook and the built-in model are the same problem: same genes, same objective,
// same penalties, for feasible and infeasible designs alike.
TEST(WorkbookModel, SpringWorkbookScoresLikeTheBuiltInModel) {
  std::atomic<bool> stop{false};
  WorkbookModel workbook(kExamples / "spring.ods", stop);
  SpringDesignModel builtIn;
  ASSERT_EQ(workbook.GeneCount(), builtIn.GeneCount());
  EXPECT_FALSE(workbook.Maximize());
  EXPECT_EQ(workbook.StartValues(), builtIn.StartValues());
  ASSERT_EQ(workbook.Constraints().size(), builtIn.Constraints().size());
  EXPECT_EQ(workbook.Constraints()[1].Name, "Shear_Stress");
  const std::vector<std::vector<double>> designs = {
      builtIn.StartValues(), {0.051690, 0.356750, 11.287126}, {0.2, 1.0, 3.0}, {1.5, 0.3, 14.0}};
  for (const auto& genes : designs) {
    const Evaluation w = workbook.Evaluate(genes);
    const Evaluation b = builtIn.Evaluate(genes);
    EXPECT_NEAR(w.Objective, b.Objective, 1e-12 * std::max(1.0, b.Objective));
    EXPECT_NEAR(w.ObjectiveWithPenalties, b.ObjectiveWithPenalties,
                1e-9 * std::max(1.0, b.ObjectiveWithPenalties));
    EXPECT_EQ(w.Valid, b.Valid) << genes[0] << " " << genes[1] << " " << genes[2];
    EXPECT_EQ(w.ConstraintMet, b.ConstraintMet);
  }
  EXPECT_FALSE(stop);
}

TEST(WorkbookModel, PortfolioWorkbookHasTheBuiltInMeanReturn) {
  std::atomic<bool> stop{false};
  WorkbookModel workbook(kExamples / "portfolio.ods", stop);
  PortfolioModel builtIn;
  ASSERT_EQ(workbook.GeneCount(), builtIn.GeneCount());
  EXPECT_TRUE(workbook.Maximize());
  EXPECT_EQ(workbook.Groups().front().Method, SolvingMethod::Budget);
  const std::vector<std::vector<double>> weights = {builtIn.StartValues(),
                                                    {0.4, 0.0, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1},
                                                    {0.0, 0.0, 0.0, 0.2, 0.4, 0.4, 0.0, 0.0}};
  for (const auto& genes : weights)
    EXPECT_NEAR(workbook.Evaluate(genes).Objective, builtIn.Evaluate(genes).Objective, 1e-12);
}

// The total weighted tardiness of jobs run in this order, worked out here from the job table.
double WeightedTardiness(const std::vector<double>& order) {
  double finish = 0, total = 0;
  for (double number : order) {
    const auto job = std::find_if(kScheduleJobs.begin(), kScheduleJobs.end(),
                                  [&](const ScheduleJob& j) { return j.Number == number; });
    finish += job->ProcessingTime;
    total += job->Weight * std::max(0.0, finish - job->Due);
  }
  return total;
}

TEST(WorkbookModel, ScheduleWorkbookAddsUpTheWeightedTardinessOfTheOrder) {
  std::atomic<bool> stop{false};
  WorkbookModel workbook(kExamples / "schedule.ods", stop);
  ASSERT_EQ(workbook.GeneCount(), kScheduleJobs.size());
  EXPECT_FALSE(workbook.Maximize());
  ASSERT_EQ(workbook.Groups().size(), 1u);
  EXPECT_EQ(workbook.Groups().front().Method, SolvingMethod::Order);
  EXPECT_EQ(workbook.StartValues(), (std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_TRUE(workbook.Constraints().empty());
  const std::vector<std::vector<double>> orders = {workbook.StartValues(),
                                                   {10, 9, 8, 7, 6, 5, 4, 3, 2, 1},
                                                   {8, 4, 2, 6, 1, 9, 5, 10, 3, 7},
                                                   {7, 3, 1, 5, 9, 2, 10, 6, 4, 8}};
  for (const auto& order : orders) {
    const double expected = WeightedTardiness(order);
    const Evaluation e = workbook.Evaluate(order);
    EXPECT_DOUBLE_EQ(e.Objective, expected) << ::testing::PrintToString(order);
    EXPECT_TRUE(e.Valid);
  }
  // The orders are far apart: the objective depends on the order, not only on the jobs.
  EXPECT_LT(WeightedTardiness(orders[2]), WeightedTardiness(orders[3]));
  // A series needs a constraint to vary; the schedule has none.
  RunSettings series;
  series.EfficientFrontier = {1, 2};
  EXPECT_THROW(workbook.ApplyRunDefaults(series), WorkbookError);
  EXPECT_FALSE(stop);
}

TEST(WorkbookModel, FormulaErrorMakesOnlyThatTrialFail) {
  TempDir folder;
  testing::SaveTinyModel(folder / "tiny.ods",
                         [](WorkbookWriter& w) { w.Set("Model.B5", "=1/(B2-2)"); });  // #DIV/0! at x1 = 2
  std::atomic<bool> stop{false};
  WorkbookModel model(folder / "tiny.ods", stop);
  EXPECT_THROW(model.Evaluate(std::vector<double>{2, 1}), std::runtime_error);
  EXPECT_DOUBLE_EQ(model.Evaluate(std::vector<double>{3, 1}).Objective, 1.0);
  EXPECT_FALSE(stop);
}

TEST(WorkbookModel, ConstraintsTargetAndRunSettingsComeFromTheWorkbook) {
  TempDir folder;
  testing::SaveTinyModel(folder / "tiny.ods", [](WorkbookWriter& w) {
    w.Set("Model.B6", "2.5");  // a target value
    w.Set("Model.B8", "=B2<=B3");
    w.Set("Model.A8", "x1 at most x2");
    w.Name("Corvana_Constraints", "$Model.$B$7:$B$8");
    w.Name("Corvana_ConstraintNames", "$Model.$A$7:$A$8");
    w.Set("Model.F1", "30");
    w.Set("Model.F2", "500");
    w.Name("Corvana_Population", "$Model.$F$1");
    w.Name("Corvana_Trials", "$Model.$F$2");
  });
  std::atomic<bool> stop{false};
  WorkbookModel model(folder / "tiny.ods", stop);
  ASSERT_EQ(model.Constraints().size(), 2u);
  EXPECT_EQ(model.Constraints()[1].Name, "x1 at most x2");

  const Evaluation met = model.Evaluate(std::vector<double>{2, 3});  // objective 1 + 1 = 2
  EXPECT_DOUBLE_EQ(met.Objective, 0.5);                              // distance to the target
  EXPECT_TRUE(met.Valid);
  const Evaluation broken = model.Evaluate(std::vector<double>{5, 4});  // total 9, x1 > x2
  EXPECT_FALSE(broken.Valid);
  EXPECT_EQ(broken.ConstraintMet, (std::vector<bool>{false, false}));
  EXPECT_DOUBLE_EQ(broken.ConstraintPenalties[0], 3.0);  // three over the limit
  EXPECT_DOUBLE_EQ(broken.ConstraintPenalties[1], 1.0);  // FALSE costs one

  RunSettings settings;
  model.ApplyRunDefaults(settings);
  EXPECT_EQ(settings.Population, 30);
  EXPECT_EQ(settings.Trials, 500);
  RunSettings given;
  given.Population = 80;
  given.PopulationGiven = true;
  given.Minutes = 1;
  model.ApplyRunDefaults(given);
  EXPECT_EQ(given.Population, 80);
  EXPECT_FALSE(given.Trials);
  // A series varies the first constraint, Model.B7, which shows a number.
  RunSettings series;
  series.EfficientFrontier = {-1, 0, 1};
  EXPECT_NO_THROW(model.ApplyRunDefaults(series));
}

TEST(WorkbookModel, SaveWritesTheSolutionAndKeepsTheFormulas) {
  TempDir folder;
  testing::SaveTinyModel(folder / "tiny.ods");
  std::atomic<bool> stop{false};
  {
    WorkbookModel model(folder / "tiny.ods", stop);
    model.Save(std::vector<double>{2.5, 3.25}, folder / "solved.xlsx");
  }
  WorkbookModel reopened(folder / "solved.xlsx", stop);
  EXPECT_EQ(reopened.StartValues(), (std::vector<double>{2.5, 3.25}));
  EXPECT_DOUBLE_EQ(reopened.Evaluate(std::vector<double>{3, 4}).Objective, 0.0);
  // The original is untouched.
  WorkbookModel original(folder / "tiny.ods", stop);
  EXPECT_EQ(original.StartValues(), (std::vector<double>{1, 1}));
}

}  // namespace
}  // namespace corvana::addin
