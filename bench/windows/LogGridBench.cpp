// The log grid over a long trial log: scrolling to the end, to the middle and to a trial number
// must read only the rows drawn and cost the same at 10,000 and at 10,000,000 logged trials.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "suite/gdlib/gdlib8.h"
#include "watcher/app/ProgressWindowFactory.h"
#include "watcher/controller/PlatformControllerServices.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/log/ProgressDialogLogSvr.h"
#include "watcher/ui/Grid.h"
#include "watcher/ui/testing/FakePlatform.h"

namespace corvana {
namespace {

namespace fs = std::filesystem;

constexpr int kGenes = 10;
constexpr int kRowsInView = 30;

// One controller per process, as in the Watcher: every log is shown through it.
WatcherManager& Manager() {
  static ui::FakePlatform platform;
  static WatcherManager* manager = [] {
    auto* m = new WatcherManager(std::make_shared<PlatformControllerServices>(platform),
                                 std::make_shared<ProgressWindowFactory>(platform));
    m->Initialize();
    m->Input_StatisticToOptimize = 1;
    for (int i = 1; i <= kGenes; ++i) m->Input_AllGeneNamesCol.Add("Cell" + std::to_string(i));
    return m;
  }();
  return *manager;
}

struct LongLog {
  fs::path Dir;
  ui::Grid Grid{"SGGridLog"};
  ProgressDialogLogSvr Source;

  explicit LongLog(int trials) {
    char pattern[] = "/tmp/corvana-loggrid-bench-XXXXXX";
    Dir = mkdtemp(pattern);
    fs::create_directories(Dir / "runtime");
    setenv("ORRENDEL_RUNTIME_DIR", (Dir / "runtime").c_str(), 1);
    setenv("ORRENDEL_LOG_DIR", Dir.c_str(), 1);
    if (!std::getenv("ORRENDEL_SYSTEM_DIR")) setenv("ORRENDEL_SYSTEM_DIR", CORVANA_SYSTEM_DIR_PATH, 1);
    Manager();
    const std::string path = (Dir / "trials.log").string();
    const char* names[] = {"Risk", "Budget"};
    const std::int32_t hard[] = {1, 0}, hasValue[] = {1, 0};
    std::int32_t log = 0;
    GdLogCreate(path.c_str(), 1, kGenes, 2, names, hard, hasValue, 0, &log);
    std::vector<double> genes(kGenes, 1.0), status(2, 1.0), values(2, 0.5), penalties(2, 0.0);
    GdLogRecord record{};
    record.GeneValues = genes.data();
    record.ConstraintStatus = status.data();
    record.ConstraintValues = values.data();
    record.ConstraintPenalties = penalties.data();
    for (int trial = 1; trial <= trials; ++trial) {
      record.Kind = GdLogKindTrial;
      record.TrialNumber = trial;
      record.ValueWithPenalties = trial * 0.5;
      record.Info.ValidTrialCount = trial - trial / 3;
      record.Info.ConstrainingValueIndex = 1;
      genes[trial % kGenes] = trial;
      GdLogAppendRecord(log, 1, &record);
      if (trial % 1000 == 1) {
        record.Kind = GdLogKindProgressStep;
        GdLogAppendRecord(log, 1, &record);
      }
    }
    GdLogClose(log);
    Manager().Input_LogPath = path;
    Source.InitializeAndAddColumnsToGrid(Grid, Manager());
    Grid.SetVisibleRows(kRowsInView);
    Grid.SetDataSource(&Source);
  }
  ~LongLog() {
    Grid.SetDataSource(nullptr);
    Source.Dispose();
    std::error_code ignored;
    fs::remove_all(Dir, ignored);
  }

  // What a repaint does: every row in view, every cell.
  std::size_t Draw() {
    std::size_t cells = 0;
    for (int r = Grid.TopRow(); r < std::min(Grid.RowCount(), Grid.TopRow() + Grid.VisibleRows()); ++r)
      cells += Grid.RowTexts(r).size();
    return cells;
  }
};

LongLog& Log(int trials) {
  static std::map<int, std::unique_ptr<LongLog>> logs;
  auto& log = logs[trials];
  if (!log) log = std::make_unique<LongLog>(trials);
  return *log;
}

// range(1): 0 end, 1 middle, 2 go to a trial in the middle, 3 the end of the valid trials.
void BM_LogGridScroll(benchmark::State& state) {
  const int trials = static_cast<int>(state.range(0));
  LongLog& log = Log(trials);
  log.Source.SetValidTrialsOnly(state.range(1) == 3);
  log.Grid.RefreshRows();
  std::int64_t reads = 0, rounds = 0;
  int flip = 0;
  for (auto _ : state) {
    // Alternate between two places a page apart, so that every round draws rows it has not.
    const int offset = (flip ^= 1) ? kRowsInView : 0;
    const std::int64_t before = log.Source.RecordsRead();
    switch (state.range(1)) {
      case 0:
      case 3:
        log.Grid.RefreshRowCount();
        log.Grid.SetTopRow(log.Grid.RowCount() - kRowsInView - offset);
        break;
      case 1: log.Grid.SetTopRow(log.Grid.RowCount() / 2 + offset); break;
      case 2: log.Grid.SetTopRow(log.Source.RowOfTrial(trials / 2 + offset)); break;
    }
    benchmark::DoNotOptimize(log.Draw());
    reads += log.Source.RecordsRead() - before;
    ++rounds;
  }
  log.Source.SetValidTrialsOnly(false);
  state.counters["trials"] = trials;
  state.counters["rows drawn"] = kRowsInView;
  state.counters["records read"] = static_cast<double>(reads) / static_cast<double>(rounds);
}
BENCHMARK(BM_LogGridScroll)
    ->ArgNames({"trials", "where"})
    ->ArgsProduct({{10'000, 10'000'000}, {0, 1, 2, 3}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvana

BENCHMARK_MAIN();
