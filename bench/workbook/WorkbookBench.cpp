// Trials per second of workbook models, each trial a round trip to the office, next to the
// built-in model they mirror. Wall-clock time: the office works in its own process. Goals: 300/s
// for the portfolio workbook, 2,000/s for a tiny one.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <list>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "addin/SpringDesignModel.h"
#include "addin/workbook/WorkbookModel.h"
#include "addin/workbook/WorkbookWriter.h"

namespace {

using namespace corvana::addin;

const std::filesystem::path kExamples = CORVANA_EXAMPLES_DIR;
std::atomic<bool> g_Stop{false};

// Solutions spread over the model's bounds, drawn before timing.
std::vector<std::vector<double>> Solutions(const Model& model) {
  std::mt19937_64 random(7);
  std::vector<std::vector<double>> solutions(256);
  for (auto& genes : solutions)
    for (const auto& group : model.Groups())
      for (const auto& gene : group.Genes)
        genes.push_back(std::uniform_real_distribution<double>(gene.Min, gene.Max)(random));
  return solutions;
}

void Trials(benchmark::State& state, const Model& model) {
  const auto solutions = Solutions(model);
  std::size_t i = 0;
  for (auto _ : state) {
    try {
      benchmark::DoNotOptimize(model.Evaluate(solutions[i++ % solutions.size()]));
    } catch (const std::runtime_error&) {
      // an invalid trial costs the same round trip
    }
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_SpringBuiltIn(benchmark::State& state) {
  Trials(state, SpringDesignModel());
}

void BM_SpringWorkbook(benchmark::State& state) {
  static WorkbookModel model(kExamples / "spring.ods", g_Stop);
  Trials(state, model);
}

void BM_PortfolioWorkbook(benchmark::State& state) {
  static WorkbookModel model(kExamples / "portfolio.ods", g_Stop);
  Trials(state, model);
}

// Two adjustable cells, one formula: the cost of the round trip itself.
void BM_TinyWorkbook(benchmark::State& state) {
  static const std::unique_ptr<WorkbookModel> model = [] {
    char folder[] = "/tmp/corvana-bench.XXXXXX";
    if (!mkdtemp(folder)) throw std::runtime_error("no temporary folder");
    const std::filesystem::path path = std::filesystem::path(folder) / "tiny.ods";
    {
      WorkbookWriter w;
      w.NewWorkbook({"Model"});
      w.Set("Model.B2", "1");
      w.Set("Model.B3", "1");
      w.Set("Model.C2", "0");
      w.Set("Model.D2", "10");
      w.Set("Model.B5", "=(B2-3)^2+(B3-4)^2");
      w.Set("Model.B6", "min");
      w.NameModel({.Adjustable = "$Model.$B$2:$B$3",
                   .Lower = "$Model.$C$2",
                   .Upper = "$Model.$D$2",
                   .Objective = "$Model.$B$5",
                   .Goal = "$Model.$B$6"});
      w.Save(path);
    }
    auto opened = std::make_unique<WorkbookModel>(path, g_Stop);
    std::filesystem::remove_all(folder);
    return opened;
  }();
  Trials(state, *model);
}

BENCHMARK(BM_SpringBuiltIn);
BENCHMARK(BM_SpringWorkbook)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_PortfolioWorkbook)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_TinyWorkbook)->MinTime(2.0)->UseRealTime();

}  // namespace

// CORVANA_BENCH_WORKBOOKS=a.ods:b.ods measures these workbooks too, e.g. two formulations of one
// model side by side in one run.
int main(int argc, char** argv) {
  // Opened on first use and closed before the end, so that their offices close the workbooks and
  // leave no lock files. A list: each benchmark keeps a reference to its own model.
  std::list<std::unique_ptr<WorkbookModel>> extra;
  if (const char* list = std::getenv("CORVANA_BENCH_WORKBOOKS")) {
    std::string paths = list;
    for (std::size_t start = 0; start < paths.size();) {
      const std::size_t end = std::min(paths.find(':', start), paths.size());
      const std::filesystem::path path = paths.substr(start, end - start);
      start = end + 1;
      if (path.empty()) continue;
      auto& model = extra.emplace_back();
      benchmark::RegisterBenchmark(("BM_Workbook/" + path.string()).c_str(),
                                   [path, &model](benchmark::State& state) {
                                     if (!model) model = std::make_unique<WorkbookModel>(path, g_Stop);
                                     Trials(state, *model);
                                   })
          ->MinTime(2.0)
          ->UseRealTime();
    }
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  extra.clear();
  return 0;
}
