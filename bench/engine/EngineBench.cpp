// Engine costs that the Watcher and the optimizing side pay on every tick or trial. The record
// read and the count query must not grow with the log: compare the 10 thousand and 10 million
// rows of each in one run.
#include <malloc.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "suite/gdlib/gdlib8.h"

namespace {

constexpr std::int32_t kGenes = 2;

// Trial logs of a given length, written once per run and removed at exit.
class Logs {
 public:
  static Logs& Instance() {
    static Logs logs;
    return logs;
  }
  ~Logs() {
    for (auto& [count, log] : m_Logs) GdLogClose(log.Handle);
    std::error_code ignored;
    std::filesystem::remove_all(m_Dir, ignored);
  }

  struct Log {
    std::string Path;
    std::int32_t Handle = 0;
  };

  const Log& Get(std::int64_t records) {
    auto it = m_Logs.find(records);
    if (it != m_Logs.end()) return it->second;
    Log log;
    log.Path = m_Dir + "/bench-" + std::to_string(records) + ".log";
    GdLogCreate(log.Path.c_str(), 1, kGenes, 0, nullptr, nullptr, nullptr, 0, &log.Handle);
    for (std::int64_t i = 1; i <= records; ++i) Append(log, static_cast<std::int32_t>(i));
    // Index it once, as the Watcher's first tick does.
    std::int32_t trials = 0, steps = 0;
    GdLogGetRecordCountsWVB(log.Path.c_str(), &trials, &steps);
    return m_Logs.emplace(records, log).first->second;
  }

  static void Append(const Log& log, std::int32_t trial) {
    double genes[kGenes] = {trial * 0.5, -trial * 0.25};
    GdLogRecord record{};
    record.Kind = trial % 100 == 0 ? GdLogKindProgressStep : GdLogKindTrial;
    record.TrialNumber = trial;
    record.ValueWithPenalties = record.ValueWithoutPenalties = trial;
    record.GeneValues = genes;
    record.Info.ValidTrialCount = trial;
    GdLogAppendRecord(log.Handle, 1, &record);
  }

 private:
  Logs() {
    std::string pattern = (std::filesystem::temp_directory_path() / "engine-bench.XXXXXX").string();
    m_Dir = ::mkdtemp(pattern.data());
  }
  std::string m_Dir;
  std::map<std::int64_t, Log> m_Logs;
};

// Reads records of a log: the latest ones in turn (what the windows and read-outs ask for on
// every tick), or anywhere in the log (where the page cache of a long log is cold).
void ReadRecords(benchmark::State& state, bool anywhere) {
  const Logs::Log& log = Logs::Instance().Get(state.range(0));
  std::int32_t trials = 0, steps = 0;
  GdLogGetRecordCountsWVB(log.Path.c_str(), &trials, &steps);
  std::mt19937 random(1);
  std::uniform_int_distribution<std::int32_t> pick(1, trials);
  double genes[kGenes];
  GdLogRecordInfo info{};
  double value = 0;
  std::int32_t latest = 0;
  for (auto _ : state) {
    std::int32_t record = anywhere ? pick(random) : trials - (latest++ % 64);
    std::int16_t rc = GdLogReadRecordWVB(log.Path.c_str(), record, 0, nullptr, nullptr, &value, nullptr,
                                         nullptr, nullptr, nullptr, 0, genes, kGenes, &info);
    benchmark::DoNotOptimize(rc);
    benchmark::DoNotOptimize(value);
  }
}

void BM_LogReadRecord(benchmark::State& state) {
  ReadRecords(state, false);
}
BENCHMARK(BM_LogReadRecord)->Arg(10'000)->Arg(10'000'000)->Unit(benchmark::kMicrosecond);

void BM_LogReadRecordAnywhere(benchmark::State& state) {
  ReadRecords(state, true);
}
BENCHMARK(BM_LogReadRecordAnywhere)->Arg(10'000)->Arg(10'000'000)->Unit(benchmark::kMicrosecond);

void BM_LogCountAfterOneAppend(benchmark::State& state) {
  const Logs::Log& log = Logs::Instance().Get(state.range(0));
  std::int32_t trials = 0, steps = 0;
  GdLogGetRecordCountsWVB(log.Path.c_str(), &trials, &steps);
  std::int32_t next = trials + steps + 1;
  for (auto _ : state) {
    state.PauseTiming();
    Logs::Append(log, next++);
    state.ResumeTiming();
    std::int16_t rc = GdLogGetRecordCountsWVB(log.Path.c_str(), &trials, &steps);
    benchmark::DoNotOptimize(rc);
  }
}
BENCHMARK(BM_LogCountAfterOneAppend)->Arg(10'000)->Arg(10'000'000)->Unit(benchmark::kMicrosecond);

// What indexing a log costs in memory: the reader must stay flat however long the log grows.
void BM_LogIndexMemory(benchmark::State& state) {
  auto heapInUse = [] {
    const struct mallinfo2 m = ::mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd);
  };
  // Benchmark calls this more than once per size: only the first call writes and indexes the log.
  static std::map<std::int64_t, double> grownBySize;
  const double before = heapInUse();
  const Logs::Log& log = Logs::Instance().Get(state.range(0));
  const double grown = grownBySize.emplace(state.range(0), heapInUse() - before).first->second;
  std::int32_t trials = 0, steps = 0;
  for (auto _ : state) benchmark::DoNotOptimize(GdLogGetRecordCountsWVB(log.Path.c_str(), &trials, &steps));
  state.counters["heap_bytes"] = grown;
  state.counters["heap_bytes_per_record"] = grown / static_cast<double>(state.range(0));
}
BENCHMARK(BM_LogIndexMemory)->Arg(20'000)->Arg(2'000'000)->Unit(benchmark::kMicrosecond);

void BM_PopLockUnlock(benchmark::State& state) {
  double lo[] = {0, 0}, hi[] = {1, 1};
  GdGroupSpec group{GdMethodRecipe, 2, lo, hi, 0, 0, 0, 0.5, 0.1};
  std::int32_t pop = 0;
  GdPopCreate(&group, 1, 50, GdGoalMinimize, 1, &pop);
  for (auto _ : state) {
    GdPopLock(pop);
    GdPopUnlock(pop);
  }
  GdPopFree(pop);
}
BENCHMARK(BM_PopLockUnlock);

// One steady-state trial on a trivial objective: draw the organism, evaluate, report.
void BM_GaTrial(benchmark::State& state) {
  const std::int32_t genes = static_cast<std::int32_t>(state.range(0));
  std::vector<double> lo(static_cast<std::size_t>(genes), -5), hi(static_cast<std::size_t>(genes), 5);
  GdGroupSpec group{GdMethodRecipe, genes, lo.data(), hi.data(), 0, 0, 1, 0.6, 0.05};
  std::int32_t pop = 0;
  GdPopCreate(&group, 1, 100, GdGoalMinimize, 1, &pop);
  std::vector<double> values(static_cast<std::size_t>(genes));
  std::int32_t count = 0;
  double best = HUGE_VAL;
  for (auto _ : state) {
    GdPopNextOrganism(pop, values.data(), genes, &count);
    double sum = 0;
    for (double v : values) sum += v * v;
    best = std::min(best, sum);
    GdPopReportResult(pop, sum, sum, 1, nullptr);
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["best"] = best;
  GdPopFree(pop);
}
BENCHMARK(BM_GaTrial)->Arg(10)->Arg(100);

}  // namespace

BENCHMARK_MAIN();
