// One TimerUpdate tick of the efficient-frontier window with its progress tab shown, over a
// series of ten constraining values (ten curves) logged to 10,000 and 1,000,000 trials: the tick
// reads a frontier record per value and must not grow with the log.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "suite/gdlib/gdlib8.h"
#include "watcher/app/ProgressWindowFactory.h"
#include "watcher/controller/PlatformControllerServices.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/frontier_window/FormProgressEF.h"
#include "watcher/graph/OGrGraph.h"
#include "watcher/ui/testing/FakePlatform.h"
#include "wire/XLWatcherChannels.h"

namespace corvana {
namespace {

namespace fs = std::filesystem;

constexpr int kValues = 10;
constexpr int kGenes = 8;

struct Series {
  const int Trials;
  fs::path Dir;
  ui::FakePlatform Platform;
  std::unique_ptr<WatcherManager> Manager;
  std::int32_t Pop = 0;
  std::int32_t Log = 0;

  explicit Series(int trials) : Trials(trials) {
    char pattern[] = "/tmp/corvana-ef-bench-XXXXXX";
    Dir = mkdtemp(pattern);
    fs::create_directories(Dir / "runtime");
    setenv("ORRENDEL_RUNTIME_DIR", (Dir / "runtime").c_str(), 1);
    setenv("ORRENDEL_LOG_DIR", Dir.c_str(), 1);
    if (!std::getenv("ORRENDEL_SYSTEM_DIR")) setenv("ORRENDEL_SYSTEM_DIR", CORVANA_SYSTEM_DIR_PATH, 1);
    Manager = std::make_unique<WatcherManager>(std::make_shared<PlatformControllerServices>(Platform),
                                               std::make_shared<ProgressWindowFactory>(Platform));
    Manager->Initialize();
    std::vector<double> minimums(kGenes, 0.0), maximums(kGenes, 1.0);
    GdGroupSpec group{};
    group.SolvingMethod = GdMethodRecipe;
    group.GeneCount = kGenes;
    group.Minimums = minimums.data();
    group.Maximums = maximums.data();
    GdPopCreate(&group, 1, 50, GdGoalMaximize, 11, &Pop);
    const std::string logPath = (Dir / "series.log").string();
    GdLogCreate(logPath.c_str(), 1, kGenes, 0, nullptr, nullptr, nullptr, 1, &Log);
    GdPopSetRunStatus(Pop, GdRunStatusOptimizing);

    Manager->Input_PopHandle = Pop;
    Manager->Input_LogPath = logPath;
    Manager->Input_OptimizationEngine = 1;
    Manager->Input_StatisticToOptimize = 12;
    Manager->Input_EFConstrainedStatistic = 12;
    Manager->Input_EFPerformAnalysis = true;
    Manager->Input_EFNumConstrainingValues = kValues;
    Manager->Input_EFConstraintDisplayFormula_LHSide = "Risk";
    Manager->Input_EFConstraintOperatorAsString = "<=";
    Collection values;
    for (int i = 1; i <= kValues; ++i) values.Add(0.01 * i);
    Manager->Input_EFCollectionOfConstrainingValues_OptimizationOrder_Final = values;
    Manager->Input_EFCollectionOfConstrainingValues_OptimizationOrder_Initial = values;
    for (int i = 1; i <= kGenes; ++i) Manager->Input_AllGeneNamesCol.Add("Weight" + std::to_string(i));
    Manager->InitializeForms();

    // Ten optimizations one after the other, a tick every 250 trials as the window lives through it.
    std::vector<double> genes(kGenes, 0.1);
    GdLogRecord record{};
    record.GeneValues = genes.data();
    const int perValue = Trials / kValues;
    for (int trial = 1; trial <= Trials; ++trial) {
      const int index = std::min(kValues, 1 + (trial - 1) / perValue);
      const int local = trial - (index - 1) * perValue;
      const bool improves = local == 1 || local % (1 + local / 500) == 0;
      record.Kind = GdLogKindTrial;
      record.TrialNumber = trial;
      record.ValueWithoutPenalties = record.ValueWithPenalties = improves ? local : 0;
      record.Info.ValidTrialCount = trial;
      record.Info.ConstrainingValueIndex = index;
      GdLogAppendRecord(Log, index, &record);
      if (improves) {
        record.Kind = GdLogKindProgressStep;
        GdLogAppendRecord(Log, index, &record);
      }
      if (trial == 1) {
        const std::int32_t allShown = 1000;
        const std::int16_t ready = -1;
        GdWriteTempData(ChannelGraphAllTrialsInitialNumTrialsShown, &allShown, 4);
        GdWriteTempData(ChannelFirstTrialInfoAvailable, &ready, 2);
      }
      if (trial % 250 == 1) Form().TimerUpdate_Timer();
    }
    Form().TimerUpdate_Timer();
  }

  ~Series() {
    Manager->Dispose();
    GdLogClose(Log);
    GdPopFree(Pop);
    std::error_code ignored;
    fs::remove_all(Dir, ignored);
  }

  FormProgressEF& Form() { return dynamic_cast<FormProgressEF&>(*Manager->FullWindow()); }
};

Series& Run(int trials) {
  static std::unique_ptr<Series> run;
  if (!run || run->Trials != trials) {
    run.reset();
    run = std::make_unique<Series>(trials);
  }
  return *run;
}

void BM_FrontierTick(benchmark::State& state) {
  Series& run = Run(static_cast<int>(state.range(0)));
  FormProgressEF& form = run.Form();
  form.TabMain.SetSelectedIndex(FormProgressEF::TabProgress);
  for (auto _ : state) form.TimerUpdate_Timer();
  state.counters["trials"] = run.Manager->LogTrialCount();
  state.counters["curves"] = form.ProgressGraph()->CurveCount();
  state.counters["frontier_points"] =
      form.EFGraph()->CurveCount() ? static_cast<double>(form.EFGraph()->Curves()[0].Data().Size()) : 0;
}

BENCHMARK(BM_FrontierTick)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvana

BENCHMARK_MAIN();
