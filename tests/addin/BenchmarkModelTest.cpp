#include <gtest/gtest.h>

#include <vector>

#include "addin/ModelCatalog.h"

namespace corvana::addin {
namespace {

// The published optimum of each constrained design meets every constraint (to the rounding of
// the published figures) and has the published value: a mistyped coefficient shows here.
struct PublishedPoint {
  const char* Model;
  std::vector<double> Genes;
  double Tolerance;  // how far a constraint may be broken by the rounding of the published genes
};

TEST(BenchmarkModelTest, PublishedOptimaAreFeasibleWithTheirValue) {
  const PublishedPoint points[] = {
      {"speed-reducer", {3.5, 0.7, 17, 7.3, 7.7153199, 3.3502147, 5.2866545}, 1e-6},
      {"pressure-vessel", {0.8125, 0.4375, 42.0984456, 176.6365958}, 1e-6},
      {"spring", {0.051690, 0.356750, 11.287126}, 1e-4},
  };
  for (const auto& p : points) {
    SCOPED_TRACE(p.Model);
    auto model = ModelCatalog::Create(p.Model);
    Evaluation e = model->Evaluate(p.Genes);
    EXPECT_NEAR(e.Objective, *model->KnownBest(), 1e-5 * *model->KnownBest());
    for (std::size_t i = 0; i < e.ConstraintValues.size(); ++i)
      EXPECT_LE(e.ConstraintValues[i], p.Tolerance * std::max(1.0, std::abs(model->Constraints()[i].Bound)))
          << model->Constraints()[i].Name;
  }
}

TEST(BenchmarkModelTest, WholeNumberGenesAreRoundedBeforeEvaluation) {
  auto reducer = ModelCatalog::Create("speed-reducer");
  std::vector<double> genes = {3.5, 0.7, 17, 7.3, 7.7153199, 3.3502147, 5.2866545};
  const double atSeventeen = reducer->Evaluate(genes).Objective;
  genes[2] = 17.4;
  EXPECT_DOUBLE_EQ(reducer->Evaluate(genes).Objective, atSeventeen);
  genes[2] = 17.6;
  EXPECT_GT(reducer->Evaluate(genes).Objective, atSeventeen);

  auto vessel = ModelCatalog::Create("pressure-vessel");
  std::vector<double> plates = {0.8125, 0.4375, 42.0984456, 176.6365958};
  const double onSteps = vessel->Evaluate(plates).Objective;
  plates[0] = 0.8125 + 0.03;  // still nearest to 13/16 inch
  plates[1] = 0.4375 - 0.03;
  EXPECT_DOUBLE_EQ(vessel->Evaluate(plates).Objective, onSteps);
}

TEST(BenchmarkModelTest, UnconstrainedTestsHaveTheirMinimumAtTheOrigin) {
  for (const char* name : {"rastrigin10", "rastrigin30", "ellipsoid10", "ellipsoid30"}) {
    SCOPED_TRACE(name);
    auto model = ModelCatalog::Create(name);
    EXPECT_TRUE(model->Constraints().empty());
    EXPECT_EQ(*model->KnownBest(), 0);
    std::vector<double> genes(model->GeneCount(), 0.0);
    EXPECT_NEAR(model->Evaluate(genes).Objective, 0, 1e-12);
    genes[0] = 1;  // a neighbouring local minimum of the grid, or the flattest axis
    EXPECT_NEAR(model->Evaluate(genes).Objective, 1, 1e-9);
    genes[0] = 0;
    genes.back() = 1e-3;  // the steepest axis weighs a million times the flattest
    const double steep = model->Evaluate(genes).Objective;
    EXPECT_GT(steep, 0);
  }
  auto ellipsoid = ModelCatalog::Create("ellipsoid10");
  std::vector<double> genes(10, 0.0);
  genes.back() = 1e-3;
  EXPECT_NEAR(ellipsoid->Evaluate(genes).Objective, 1, 1e-9);
}

}  // namespace
}  // namespace corvana::addin
