// Trials per second of the default model with one and two worker processes, in one run, with a
// recalculation cost that makes the model's evaluation the work worth sharing; the same for the
// portfolio workbook, whose workers each recalculate in an office of their own; and the best value
// after the same number of trials, with and without workers, over seeds 1 to 10.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "addin/ModelCatalog.h"
#include "addin/RunLoop.h"
#include "addin/workbook/WorkbookModel.h"
#include "addin/workers/WorkerPool.h"

namespace {

using namespace corvana::addin;
using Clock = std::chrono::steady_clock;

constexpr double kRecalcMs = 2;  // a small spreadsheet's recalculation
constexpr long kTrialsPerRun = 1000;

class Timing : public RunObserver {
 public:
  void OnTrial(long t, const Evaluation&, bool) override {
    if (t == 1) First = Clock::now();
    Last = Clock::now();
  }
  Clock::time_point First, Last;
};

struct Outcome {
  double Seconds = 0;
  double Best = 0;
};

// One run; `workers` 1 evaluates in the add-in itself, as `corvana-addin run` does by default.
Outcome RunOnce(int workers, long trials, double recalcMs, unsigned long seed) {
  auto model = ModelCatalog::Create("portfolio");
  model->SetRecalculationCost(recalcMs);
  RunSettings settings;
  settings.Trials = trials;
  settings.Seed = seed;
  settings.ShowEndOptions = false;
  Timing timing;
  std::atomic<bool> interrupt{false};
  RunLoop loop(*model, settings, timing, interrupt);
  loop.Create();
  std::unique_ptr<workers::WorkerPool> pool;
  if (workers > 1) {
    pool = std::make_unique<workers::WorkerPool>(*model, loop.PopHandle(), workers);
    loop.UseWorkers(pool.get());
  }
  const RunResult result = loop.Run();
  return {std::chrono::duration<double>(timing.Last - timing.First).count(),
          result.Optimizations.at(0).BestValue};
}

// The portfolio workbook (1,000 simulated years a trial), timed from its first trial to its last,
// so that the offices' start-up is left out.
double WorkbookRunSeconds(int workers, long trials) {
  std::atomic<bool> interrupt{false};
  WorkbookModel model(CORVANA_EXAMPLES_DIR "/portfolio.ods", interrupt);
  RunSettings settings;
  settings.Trials = trials;
  settings.Seed = 1;
  settings.ShowEndOptions = false;
  Timing timing;
  RunLoop loop(model, settings, timing, interrupt);
  loop.Create();
  std::unique_ptr<workers::WorkerPool> pool;
  if (workers > 1) {
    pool = std::make_unique<workers::WorkerPool>(
        model, loop.PopHandle(), workers,
        workers::WorkerLaunch::ForWorkbook(CORVANA_ADDIN, CORVANA_EXAMPLES_DIR "/portfolio.ods"));
    loop.UseWorkers(pool.get());
  }
  loop.Run();
  return std::chrono::duration<double>(timing.Last - timing.First).count();
}

void BM_WorkbookTrialsPerSecond(benchmark::State& state) {
  constexpr long kTrials = 3000;
  const int workers = static_cast<int>(state.range(0));
  for (auto _ : state) state.SetIterationTime(WorkbookRunSeconds(workers, kTrials));
  state.SetItemsProcessed(state.iterations() * kTrials);
}
BENCHMARK(BM_WorkbookTrialsPerSecond)
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_TrialsPerSecond(benchmark::State& state) {
  const int workers = static_cast<int>(state.range(0));
  for (auto _ : state) state.SetIterationTime(RunOnce(workers, kTrialsPerRun, kRecalcMs, 1).Seconds);
  state.SetItemsProcessed(state.iterations() * kTrialsPerRun);
}
BENCHMARK(BM_TrialsPerSecond)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// Same answers: the mean and spread of the best value after 1000 trials over seeds 1..10, for
// one process and for two workers. The counters are the figures; within noise means the means
// differ by less than the standard error of their difference, twice over.
void BM_SameAnswers(benchmark::State& state) {
  const int workers = static_cast<int>(state.range(0));
  double sum = 0, squares = 0;
  int runs = 0;
  for (auto _ : state) {
    for (unsigned long seed = 1; seed <= 10; ++seed) {
      const double best = RunOnce(workers, kTrialsPerRun, 0, seed).Best;
      sum += best;
      squares += best * best;
      ++runs;
    }
  }
  const double mean = sum / runs;
  state.counters["best_mean"] = mean;
  state.counters["best_sd"] = std::sqrt(std::max(0.0, squares / runs - mean * mean));
}
BENCHMARK(BM_SameAnswers)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  // A private suite scope, so that the benchmark never meets a real run.
  char pattern[] = "/tmp/corvana-workers-bench-XXXXXX";
  const char* dir = ::mkdtemp(pattern);
  if (dir) {
    ::setenv("ORRENDEL_RUNTIME_DIR", dir, 1);
    ::setenv("ORRENDEL_LOG_DIR", dir, 1);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (dir) std::system((std::string("rm -rf ") + dir).c_str());
  return 0;
}
