// Writes the log of all trials of a run of 100,000 and of 1,000,000 trials over ten adjustable
// cells. The goal: a million trials in under 10 s, and peak memory the same for both lengths, since
// the sheet streams to disk. Beside it, the writer library alone with the same cells.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include <xlsxwriter.h>

#include "addin/reports/ReportWriter.h"
#include "suite/gdlib/gdlib8.h"

namespace {

namespace fs = std::filesystem;
using namespace corvana::addin::reports;

constexpr int kGenes = 10;

std::string Scratch() {
  static const std::string dir = [] {
    std::string pattern = fs::temp_directory_path().string() + "/corvana-bench-reports-XXXXXX";
    return std::string(mkdtemp(pattern.data()));
  }();
  return dir;
}

// A finished trial log of `trials` trials, made once per length.
std::string MakeLog(long trials) {
  const std::string path = Scratch() + "/trials-" + std::to_string(trials) + ".gdlog";
  if (fs::exists(path)) return path;
  const char* names[] = {"floor", "loss"};
  const std::int32_t hard[] = {1, 0}, hasValue[] = {1, 1};
  std::int32_t handle = 0;
  if (GdLogCreate(path.c_str(), 1, kGenes, 2, names, hard, hasValue, 0, &handle) != GdOk) return {};
  std::mt19937_64 random(1);
  std::uniform_real_distribution<double> unit(0, 1);
  double genes[kGenes], status[2], values[2], penalties[2] = {0, 0};
  for (long t = 1; t <= trials; ++t) {
    for (double& g : genes) g = unit(random);
    status[0] = unit(random) < 0.8 ? 1 : 0;
    status[1] = 1;
    values[0] = unit(random);
    values[1] = unit(random);
    GdLogRecord record{};
    record.Kind = GdLogKindTrial;
    record.TrialNumber = static_cast<std::int32_t>(t);
    record.ValueWithoutPenalties = record.ValueWithPenalties = unit(random);
    record.ConstraintStatus = status;
    record.ConstraintValues = values;
    record.ConstraintPenalties = penalties;
    record.GeneValues = genes;
    record.Info.ElapsedSeconds = t * 1e-4;
    record.Info.ConstrainingValueIndex = 1;
    GdLogAppendRecord(handle, 1, &record);
  }
  GdLogClose(handle);
  return path;
}

long PeakKilobytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with("VmHWM:")) return std::stol(line.substr(6));
  return -1;
}

void ResetPeak() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_WriteLogOfAllTrials(benchmark::State& state) {
  const long trials = state.range(0);
  ReportRun run;
  run.Model = "bench";
  run.Objective = "Maximize the bench value";
  run.Maximize = true;
  run.ValueFormat = "0.00%";
  for (int g = 1; g <= kGenes; ++g) run.GeneNames.push_back("Cell " + std::to_string(g));
  run.TrialLogPath = MakeLog(trials);
  if (run.TrialLogPath.empty()) {
    state.SkipWithError("cannot write the trial log");
    return;
  }
  ReportOptions options;
  options.AllTrials = true;
  options.Overwrite = true;
  options.Path = Scratch() + "/log.xlsx";
  long before = 0, peak = 0;
  std::uintmax_t bytes = 0;
  for (auto _ : state) {
    ResetPeak();
    before = PeakKilobytes();
    ReportWriter::Write(run, options);
    peak = PeakKilobytes();
    bytes = fs::file_size(options.Path);
  }
  state.counters["trials_per_s"] = benchmark::Counter(double(trials), benchmark::Counter::kIsRate);
  state.counters["peak_growth_MB"] = double(peak - before) / 1024;
  state.counters["file_MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_WriteLogOfAllTrials)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

// The spreadsheet writer library alone: the same cells (trial, result, valid, ten cells and two
// constraint texts a row) straight from memory into a streamed sheet, no trial log read. What the
// reports cannot go below while the library writes the workbook.
void BM_WriterLibraryAlone(benchmark::State& state) {
  const long trials = state.range(0);
  const std::string path = Scratch() + "/alone.xlsx";
  std::mt19937_64 random(1);
  std::uniform_real_distribution<double> unit(0, 1);
  using Clock = std::chrono::steady_clock;
  double rowsSeconds = 0, saveSeconds = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* workbook = workbook_new_opt(path.c_str(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, "Log of All Trials");
    for (lxw_row_t row = 1; row <= static_cast<lxw_row_t>(trials); ++row) {
      lxw_col_t col = 0;
      worksheet_write_number(sheet, row, col++, row, nullptr);
      worksheet_write_number(sheet, row, col++, unit(random), nullptr);
      worksheet_write_boolean(sheet, row, col++, 1, nullptr);
      for (int g = 0; g < kGenes; ++g) worksheet_write_number(sheet, row, col++, unit(random), nullptr);
      worksheet_write_string(sheet, row, col++, "met", nullptr);
      worksheet_write_string(sheet, row, col++, "met", nullptr);
    }
    const auto rowsWritten = Clock::now();
    if (workbook_close(workbook) != LXW_NO_ERROR) state.SkipWithError("the library could not write");
    rowsSeconds = std::chrono::duration<double>(rowsWritten - start).count();
    saveSeconds = std::chrono::duration<double>(Clock::now() - rowsWritten).count();
  }
  state.counters["trials_per_s"] = benchmark::Counter(double(trials), benchmark::Counter::kIsRate);
  // The two steps apart: the rows (numbers printed into the streamed sheet) and the save
  // (the sheet compressed into the workbook), which the library does at its fixed level.
  state.counters["rows_s"] = rowsSeconds;
  state.counters["save_s"] = saveSeconds;
}
BENCHMARK(BM_WriterLibraryAlone)->Arg(1000000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(Scratch());
  return 0;
}
