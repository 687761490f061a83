// One TimerUpdate tick of the full window on a long run: with the progress tab shown for 10,000,
// 1,000,000 and 10,000,000 logged trials (a tick must not grow with the log), and with the
// population tab shown for 1,000 and 10,000 organisms of 100 genes (nor with the population).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "suite/gdlib/gdlib8.h"
#include "watcher/app/ProgressWindowFactory.h"
#include "watcher/controller/PlatformControllerServices.h"
#include "watcher/controller/WatcherGlobals.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/ui/testing/FakePlatform.h"
#include "watcher/watcher_window/FormProgress.h"
#include "wire/XLWatcherChannels.h"

namespace corvana {
namespace {

namespace fs = std::filesystem;

// The watched run, built once per shape: writing the log takes most of the set-up time.
struct LongRun {
  const int Trials;
  const int Genes;
  const int Organisms;
  fs::path Dir;
  ui::FakePlatform Platform;
  std::unique_ptr<WatcherManager> Manager;
  std::int32_t Pop = 0;
  std::int32_t Log = 0;

  LongRun(int trials, int geneCount, int organisms) : Trials(trials), Genes(geneCount), Organisms(organisms) {
    char pattern[] = "/tmp/corvana-win-bench-XXXXXX";
    Dir = mkdtemp(pattern);
    fs::create_directories(Dir / "runtime");
    setenv("ORRENDEL_RUNTIME_DIR", (Dir / "runtime").c_str(), 1);
    setenv("ORRENDEL_LOG_DIR", Dir.c_str(), 1);
    if (!std::getenv("ORRENDEL_SYSTEM_DIR")) setenv("ORRENDEL_SYSTEM_DIR", CORVANA_SYSTEM_DIR_PATH, 1);
    Manager = std::make_unique<WatcherManager>(std::make_shared<PlatformControllerServices>(Platform),
                                               std::make_shared<ProgressWindowFactory>(Platform));
    Manager->Initialize();

    std::vector<double> minimums(Genes, 0.0), maximums(Genes, 100.0);
    GdGroupSpec group{};
    group.SolvingMethod = GdMethodRecipe;
    group.GeneCount = Genes;
    group.Minimums = minimums.data();
    group.Maximums = maximums.data();
    group.CrossoverRate = 0.5;
    group.MutationRate = 0.1;
    GdPopCreate(&group, 1, Organisms, GdGoalMaximize, 11, &Pop);
    const std::string logPath = (Dir / "trials.log").string();
    GdLogCreate(logPath.c_str(), 1, Genes, 0, nullptr, nullptr, nullptr, 0, &Log);
    const std::int16_t optimizing = GdRunStatusOptimizing;
    GdPopSetRunStatus(Pop, optimizing);

    Manager->Input_PopHandle = Pop;
    Manager->Input_LogPath = logPath;
    Manager->Input_PopulationSize = Organisms;
    Manager->Input_OptimizationEngine = 1;
    Manager->Input_StatisticToOptimize = 12;
    for (int i = 1; i <= Genes; ++i) Manager->Input_AllGeneNamesCol.Add("Cell" + std::to_string(i));
    Manager->InitializeForms();

    // The run as the window lives through it: the log grows between ticks, so the window records
    // its progress steps as it would have (a tick every 250 trials).
    std::vector<double> genes(Genes, 1.0);
    GdLogRecord record{};
    record.GeneValues = genes.data();
    double best = 0;
    for (int trial = 1; trial <= Trials; ++trial) {
      // Improvements get rarer as the run goes on, as they do.
      const double value = trial % (1 + trial / 500) == 0 ? best + 1 : best - 1;
      genes[trial % Genes] = trial;
      record.Kind = GdLogKindTrial;
      record.TrialNumber = trial;
      record.ValueWithoutPenalties = record.ValueWithPenalties = value;
      record.Info.ValidTrialCount = trial;
      GdLogAppendRecord(Log, 1, &record);
      if (value > best || trial == 1) {
        best = value;
        record.Kind = GdLogKindProgressStep;
        GdLogAppendRecord(Log, 1, &record);
      }
      if (trial == 1) {
        const std::int32_t allShown = 1000, lastShown = 100;
        const std::int16_t ready = -1;
        GdWriteTempData(ChannelGraphAllTrialsInitialNumTrialsShown, &allShown, 4);
        GdWriteTempData(ChannelNumLastTrialsToShow, &lastShown, 4);
        GdWriteTempData(ChannelFirstTrialInfoAvailable, &ready, 2);
      }
      if (trial % 250 == 1) Form().TimerUpdate_Timer();
    }
    Form().TimerUpdate_Timer();
  }

  ~LongRun() {
    Manager->Dispose();
    GdLogClose(Log);
    GdPopFree(Pop);
    std::error_code ignored;
    fs::remove_all(Dir, ignored);
  }

  FormProgress& Form() { return dynamic_cast<FormProgress&>(*Manager->FullWindow()); }
};

// Resident memory of this process in MB, from the kernel's own figures ("VmRSS", "RssAnon").
double ResidentMegabytes(const std::string& key) {
  std::ifstream status("/proc/self/status");
  std::string name;
  double kilobytes = 0;
  while (status >> name) {
    if (name == key + ":") {
      status >> kilobytes;
      return kilobytes / 1024.0;
    }
    status.ignore(1 << 10, '\n');
  }
  return 0;
}

// One run at a time: the window and its log are large.
LongRun& Run(int trials, int genes, int organisms) {
  static std::unique_ptr<LongRun> run;
  if (!run || run->Trials != trials || run->Genes != genes || run->Organisms != organisms) {
    run.reset();
    run = std::make_unique<LongRun>(trials, genes, organisms);
  }
  return *run;
}

// Arguments: trials, genes, organisms.
void TickWithTab(benchmark::State& state, int tab) {
  LongRun& run = Run(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                     static_cast<int>(state.range(2)));
  FormProgress& form = run.Form();
  form.TabMain.SetSelectedIndex(tab);
  ui::Grid& grid = form.SGGridPopulation;
  for (auto _ : state) {
    form.TimerUpdate_Timer();
    // The rows in view, as the window system draws them after the tick.
    if (tab == FormProgress::TabPopulation)
      for (int row = grid.TopRow(); row < grid.TopRow() + grid.VisibleRows() && row < grid.RowCount(); ++row)
        benchmark::DoNotOptimize(grid.RowTexts(row));
  }
  state.counters["trials"] = run.Manager->LogTrialCount();
  state.counters["steps"] = static_cast<double>(form.Steps().Count());
  if (tab == FormProgress::TabPopulation) state.counters["rows"] = grid.RowCount();
  // What the run costs in memory: the Watcher's (and the writer's) heap must not grow with the log;
  // the mapped log pages are the page cache's, shown apart.
  state.counters["rss_mb"] = ResidentMegabytes("VmRSS");
  state.counters["rss_anon_mb"] = ResidentMegabytes("RssAnon");
}

void BM_TickProgressTab(benchmark::State& state) {
  TickWithTab(state, FormProgress::TabProgress);
}
void BM_TickPopulationTab(benchmark::State& state) {
  TickWithTab(state, FormProgress::TabPopulation);
}

// The progress tab shows no genes: ten keep the 10M-trial log near a gigabyte.
BENCHMARK(BM_TickProgressTab)
    ->Args({10000, 10, 1000})
    ->Args({1000000, 10, 1000})
    ->Args({10000000, 10, 1000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickPopulationTab)
    ->Args({10000, 100, 1000})
    ->Args({10000, 100, 10000})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvana

BENCHMARK_MAIN();
