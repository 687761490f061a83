#include <cstdint>
#include <string>
#include <vector>

#include "common/ErrorTrap.h"
#include "common/Variant.h"
#include "watcher/common/DebugLogFile.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/engine/GdLib.h"
#include "watcher/ui/WindowUtilities.h"
#include "watcher/watcher_window/FormProgress.h"

// The constraint-solver tab: whether the best, the original and the latest trial meet each hard
// constraint, read from the trial log (three records a refresh, however long the run).

namespace corvana {

namespace {
constexpr int kColumnBest = 1;
constexpr int kColumnOriginal = 2;
constexpr int kColumnLatest = 3;

std::string TextOrPlaceholder(const Collection& texts, long index) {
  std::string text;
  if (index <= texts.Count()) ResumeNext([&] { text = texts.Item(index).ToString(); });
  return text.empty() ? "--" : text;
}
}  // namespace

void FormProgress::ConstraintSolverTab_Initialize() {
  ErrorInfo err;
  ResumeNext(err, [&] {
    WatcherManager& m = *m_Manager;
    ui::Grid& grid = SGGridConstraintSolver;
    ui::WindowUtilities::StyleGrid(grid);
    grid.ClearColumns();
    grid.ClearCells();
    grid.AddColumn(Res(4515), 4000);
    for (int id : {4303, 4304, 4305}) grid.AddColumn(Res(id), 1300);
    for (int c = kColumnBest; c <= kColumnLatest; ++c) grid.SetColumnAlignment(c, ui::Alignment::Center);
    const Collection& descriptions = m.Input_ConstraintSolver_HardConstraintDescriptions;
    for (long i = 1; i <= descriptions.Count(); ++i) {
      const std::string caption = TextOrPlaceholder(descriptions, i) + ", " +
                                  TextOrPlaceholder(m.Input_ConstraintSolver_HardConstraintFormulas, i);
      grid.SetCellText(static_cast<int>(i - 1), 0, caption);
      for (int c = kColumnBest; c <= kColumnLatest; ++c) grid.SetCellText(static_cast<int>(i - 1), c, "");
    }
  });
  if (err)
    Log("Error in ConstraintSolverTab_Initialize: " + err.Description + " (" + ErrorNumberText(err) + ")");
}

void FormProgress::ConstraintSolverTab_Update() {
  ErrorInfo err;
  ResumeNext(err, [&] {
    WatcherManager& m = *m_Manager;
    const std::string& path = m.Input_LogPath;
    Log("ConstraintSolverTab_Update, About to call GdLogGetRecordCountsWVB with LogPath: " + path);
    std::int32_t trialCount = 0, progressStepCount = 0;
    std::int16_t rc = GdLib::GdLogGetRecordCountsWVB(path, trialCount, progressStepCount);
    Log("ConstraintSolverTab_Update, GdLogGetRecordCountsWVB returned TrialCount=" +
        std::to_string(trialCount) + ", progressStepCount=" + std::to_string(progressStepCount) +
        ", rc=" + std::to_string(rc));
    if (rc != 0) GdLib::LogGdLibError("ConstraintSolverTab_Update", "GdLogGetRecordCountsWVB", rc, true);
    std::int32_t chromosomes = 0, genes = 0, constraints = 0, ef = 0;
    rc = GdLib::GdLogGetCountsWVB(path, chromosomes, genes, constraints, ef);
    if (rc != 0) GdLib::LogGdLibError("ConstraintSolverTab_Update", "GdLogGetCountsVB", rc, true);
    ResumeNext([&] { LabelProgressSolver.SetCaption(m.GetProgressStatusText()); });
    if (trialCount < 1) return;
    ConstraintSolverTab_UpdateOneColumn(1, kColumnOriginal);
    ConstraintSolverTab_UpdateOneColumn(trialCount, kColumnLatest);
    const auto best = static_cast<std::int32_t>(m.BestTrialNumber());
    if (best != 0) ConstraintSolverTab_UpdateOneColumn(best, kColumnBest);
  });
  if (err) Log("Error in ConstraintSolverTab_Update: " + err.Description + " (" + ErrorNumberText(err) + ")");
}

void FormProgress::ConstraintSolverTab_UpdateOneColumn(std::int32_t recordNum, int column) {
  const std::string& path = m_Manager->Input_LogPath;
  Log("ConstraintSolverTab_UpdateOneColumn, About to call GdLogReadRecordVB with LogPath=" + path +
      ", recordNum=" + std::to_string(recordNum));
  std::int32_t chromosomes = 0, genes = 0, constraints = 0, ef = 0;
  GdLib::GdLogGetCountsWVB(path, chromosomes, genes, constraints, ef);
  GdLib::LogRecordData record;
  record.ConstraintStatus.assign(static_cast<std::size_t>(std::max(0, constraints)), 0.0);
  record.ConstraintValues.assign(record.ConstraintStatus.size(), 0.0);
  record.GeneValues.assign(static_cast<std::size_t>(std::max(0, genes)), 0.0);
  const std::int16_t rc = GdLib::GdLogReadRecordWVB(path, recordNum, GdLogKindTrial, record);
  Log("ConstraintSolverTab_UpdateOneColumn, GdLogGetRecord returned valueWithPenalties=" +
      DoubleToText(record.ValueWithPenalties) + ", recalcNum=" + std::to_string(record.TrialNumber) +
      ", rc=" + std::to_string(rc));
  if (rc != 0) {
    // The column keeps what it showed.
    GdLib::LogGdLibError("ConstraintSolverTab_UpdateOneColumn", "GdLogGetRecord", rc, true);
    return;
  }
  const int rows = SGGridConstraintSolver.RowCount();
  int row = 0;
  for (std::int32_t i = 1; i <= constraints && row < rows; ++i) {
    std::string name;
    std::int32_t hardNotSoft = 0, hasValue = 0;
    if (g_LoggingEnabled)
      Log("About to call GdLogGetConstraintInfoVB with path=" + path +
          ", constraintNum=" + std::to_string(i));
    const std::int16_t crc = GdLib::GdLogGetConstraintInfoWVB(path, i, name, hardNotSoft, hasValue);
    if (g_LoggingEnabled)
      Log("GdLogGetConstraintInfoVB returned s=" + name + ", l_HardNotSoft=" + std::to_string(hardNotSoft) +
          ", rc=" + std::to_string(crc));
    if (crc != 0 || hardNotSoft == 0) continue;
    const bool met = record.ConstraintStatus[static_cast<std::size_t>(i - 1)] != 0;
    SGGridConstraintSolver.SetCellText(row++, column, Res(met ? 4520 : 4521));
  }
}

}  // namespace corvana
