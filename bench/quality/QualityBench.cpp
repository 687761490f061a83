// Quality of the search: each benchmark model runs with several seeds for a fixed number of trials,
// and the table shows how far the best valid result ended from the published optimum.
//
//   quality_bench [--trials N] [--seeds N] [--population N] [--models a,b,...] [--verbose]

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "addin/ModelCatalog.h"
#include "suite/gdlib/gdlib8.h"

using corvana::addin::Model;
using corvana::addin::ModelCatalog;

namespace {

struct Outcome {
  double Gap = HUGE_VAL;  // relative to the optimum; absolute when the optimum is 0
  long TrialsToOnePercent = -1;
  std::vector<double> Best;
};

double Gap(double value, double optimum) {
  return optimum == 0 ? std::abs(value) : (value - optimum) / std::abs(optimum);
}

void Check(std::int16_t rc, const char* what) {
  if (rc >= 0) return;
  std::fprintf(stderr, "%s failed: %d\n", what, rc);
  std::exit(1);
}

// One run as the add-in makes it: the same group settings, ranked by the value with penalties.
Outcome RunOnce(const Model& model, long trials, int population, std::uint64_t seed) {
  std::vector<std::vector<double>> mins, maxs;
  std::vector<GdGroupSpec> groups;
  for (const auto& group : model.Groups()) {
    GdGroupSpec groupSpec{};
    groupSpec.SolvingMethod = static_cast<std::int32_t>(group.Method);
    groupSpec.GeneCount = static_cast<std::int32_t>(group.Genes.size());
    auto& lo = mins.emplace_back();
    auto& hi = maxs.emplace_back();
    for (const auto& gene : group.Genes) {
      lo.push_back(gene.Min);
      hi.push_back(gene.Max);
      groupSpec.Budget += gene.Start;
    }
    groupSpec.Minimums = lo.data();
    groupSpec.Maximums = hi.data();
    groupSpec.AutoMutation = 1;
    groupSpec.CrossoverRate = 0.5;
    groupSpec.MutationRate = 0.1;
    groups.push_back(groupSpec);
  }
  std::int32_t pop = 0;
  Check(GdPopCreate(groups.data(), static_cast<std::int32_t>(groups.size()), population,
                    model.Maximize() ? GdGoalMaximize : GdGoalMinimize, seed, &pop),
        "GdPopCreate");
  std::vector<double> genes = model.StartValues();
  Check(GdPopSetInitialGenes(pop, genes.data(), static_cast<std::int32_t>(genes.size())),
        "GdPopSetInitialGenes");
  const double optimum = *model.KnownBest();
  Outcome outcome;
  double best = HUGE_VAL;
  std::int32_t count = 0;
  for (long t = 1; t <= trials; ++t) {
    Check(GdPopNextOrganism(pop, genes.data(), static_cast<std::int32_t>(genes.size()), &count),
          "GdPopNextOrganism");
    const auto e = model.Evaluate(genes);
    Check(GdPopReportResult(pop, e.Objective, e.ObjectiveWithPenalties, e.Valid ? 1 : 0, nullptr),
          "GdPopReportResult");
    if (!e.Valid) continue;
    const double value = model.Maximize() ? -e.Objective : e.Objective;
    if (value >= best) continue;
    best = value;
    outcome.Best = genes;
    const bool close = optimum == 0 ? best <= 1e-2 : Gap(best, optimum) <= 0.01;
    if (close && outcome.TrialsToOnePercent < 0) outcome.TrialsToOnePercent = t;
  }
  outcome.Gap = Gap(model.Maximize() ? -best : best, optimum);
  Check(GdPopFree(pop), "GdPopFree");
  return outcome;
}

std::string Percent(double gap) {
  char text[32];
  if (!std::isfinite(gap)) return "none valid";
  std::snprintf(text, sizeof text, "%.3f %%", 100 * gap);
  return text;
}

std::string Absolute(double gap) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2e", gap);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  long trials = 20000;
  int seeds = 10, population = 50;
  bool verbose = false;  // each run's gap and best genes too
  std::vector<std::string> names = {"spring",      "speed-reducer", "pressure-vessel", "rastrigin10",
                                    "rastrigin30", "ellipsoid10",   "ellipsoid30"};
  for (int i = 1; i < argc; i += 2) {
    if (!std::strcmp(argv[i], "--verbose")) {
      verbose = true;
      --i;
      continue;
    }
    if (i + 1 == argc) break;
    if (!std::strcmp(argv[i], "--trials"))
      trials = std::atol(argv[i + 1]);
    else if (!std::strcmp(argv[i], "--seeds"))
      seeds = std::atoi(argv[i + 1]);
    else if (!std::strcmp(argv[i], "--population"))
      population = std::atoi(argv[i + 1]);
    else if (!std::strcmp(argv[i], "--models")) {
      names.clear();
      std::stringstream list(argv[i + 1]);
      for (std::string name; std::getline(list, name, ',');) names.push_back(name);
    }
  }
  Check(GdInit3(1, 0, 0, ""), "GdInit3");
  std::printf("%ld trials, seeds 1..%d, population %d\n\n", trials, seeds, population);
  std::printf("%-16s %14s %14s %14s %14s  %s\n", "model", "optimum", "median gap", "worst gap",
              "median to 1%", "reached 1%");
  for (const auto& name : names) {
    const auto model = ModelCatalog::Create(name);
    std::vector<Outcome> runs;
    for (int seed = 1; seed <= seeds; ++seed) {
      runs.push_back(RunOnce(*model, trials, population, seed));
      if (!verbose) continue;
      std::printf("  seed %d: gap %.6g, to 1%% %ld, genes", seed, runs.back().Gap,
                  runs.back().TrialsToOnePercent);
      for (double g : runs.back().Best) std::printf(" %.7g", g);
      std::printf("\n");
    }
    std::vector<double> gaps;
    std::vector<long> reached;
    for (const auto& r : runs) {
      gaps.push_back(r.Gap);
      reached.push_back(r.TrialsToOnePercent < 0 ? trials + 1 : r.TrialsToOnePercent);
    }
    std::sort(gaps.begin(), gaps.end());
    std::sort(reached.begin(), reached.end());
    const double median = (gaps[(gaps.size() - 1) / 2] + gaps[gaps.size() / 2]) / 2;
    const long medianReached = reached[(reached.size() - 1) / 2];
    const long reachedCount =
        std::count_if(runs.begin(), runs.end(), [](auto& r) { return r.TrialsToOnePercent > 0; });
    const bool absolute = *model->KnownBest() == 0;
    std::printf("%-16s %14.7g %14s %14s %14s  %ld/%d\n", name.c_str(), *model->KnownBest(),
                (absolute ? Absolute(median) : Percent(median)).c_str(),
                (absolute ? Absolute(gaps.back()) : Percent(gaps.back())).c_str(),
                medianReached > trials ? "-" : std::to_string(medianReached).c_str(), reachedCount, seeds);
  }
  std::printf(
      "\nGaps are relative to the optimum; for an optimum of 0 they are the value itself, and\n"
      "\"1%%\" means a value of at most 0.01.\n");
  GdFree();
  return 0;
}
