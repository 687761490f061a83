#include "watcher/watcher_window/FormProgress.h"

#include "common/ErrorTrap.h"
#include "suite/objectlib/MarkerValues.h"
#include "watcher/common/ClassicFormat.h"
#include "watcher/common/Utilities.h"
#include "watcher/common/WatcherOLShared.h"
#include "watcher/controller/WatcherManager.h"
#include "watcher/engine/GdLib.h"
#include "watcher/ui/WindowUtilities.h"

// The summary tab: best, original and last solutions, and the grids the tables share.

namespace corvana {

namespace {
constexpr int kRowCaptions[] = {4303, 4304, 4305};
}  // namespace

void FormProgress::GridInitialize(ui::Grid& grid, bool isPopulationTable) {
  ErrorInfo err;
  ResumeNext(err, [&] {
    ui::WindowUtilities::StyleGrid(grid);
    grid.ClearColumns();
    grid.ClearCells();
    Log("WATCHER: GridInitialize, before adding columns");
    if (!isPopulationTable) grid.AddColumn(Res(4046), 1200);
    grid.AddColumn(Res(4047), 1000);
    Log("WATCHER: GridInitialize, before calculating numGenesInTable");
    const Collection& names = m_Manager->Input_AllGeneNamesCol;
    // An add-in that passed no names leaves the collection empty.
    if (names.Count() == 0) Log("WATCHER: GridInitialize, m_Manager.Input_AllGeneNamesCol Is Nothing");
    Log("WATCHER: GridInitialize, after calculating numGenesInTable, =" + std::to_string(names.Count()));
    Log("WATCHER: GridInitialize, about to loop over variables to add columns");
    for (const Variant& name : names.Items()) {
      std::string caption;
      ResumeNext([&] { caption = name.ToString(); });
      grid.AddColumn(caption, 1000);
    }
    Log("WATCHER: GridInitialize, after adding columns");
    auto table = std::make_unique<SolutionTable>(names, m_Manager->Input_AdjustableCellsFormatAsDateCol);
    std::vector<std::string> headers;
    if (isPopulationTable) {
      for (std::int32_t i = 1; i <= m_Manager->Input_PopulationSize; ++i)
        headers.push_back(std::to_string(i));
      // Bound again by the next update: the grid must not draw from the source being replaced.
      grid.SetDataSource(nullptr);
      m_PopulationTable = NewPopulationSource(std::move(*table));
    } else {
      for (int id : kRowCaptions) headers.push_back(Res(id));
      m_SummaryRows.assign(3, table->EmptySummaryRow());
      m_SummaryTable = std::move(table);
    }
    grid.SetRowHeaders(std::move(headers));
  });
  if (err) Log("Error in GridInitialize: " + err.Description + " (" + ErrorNumberText(err) + ")");
}

std::string FormProgress::ObjectiveText(double value) {
  WatcherManager& m = *m_Manager;
  if (m.Input_ConstraintSolverMode) return Utilities::ConstraintSolverValueText(value, false);
  const std::string& format = m.Input_TargetCellNumberFormat;
  // Formats beyond plain digit patterns (sections, colours, "General") go by the shared rules.
  const bool plainPattern =
      !format.empty() && format != "General" && format.find_first_of("[;\"@*_\\") == std::string::npos;
  // A statistic in other units than the cell's (a probability among them) is not shown in its format.
  bool inCellUnits = true;
  ResumeNext([&] {
    inCellUnits = WatcherOLShared::StatisticIsInTheSameUnitsAsRandomVariable(m.Input_StatisticToOptimize);
  });
  if (!plainPattern || !inCellUnits || IsSpecialValue(value) || m.Input_TargetCellValuesTreatedAsDates)
    return m.FormatTargetValue(value);
  return ClassicFormat::Apply(value, format);
}

void FormProgress::SummaryTable_Update() {
  ErrorInfo first;
  const std::vector<std::string> shown = m_SummaryRows;
  for (std::int32_t which : {GdLib::kWhichBest, GdLib::kWhichOriginal, GdLib::kWhichLast}) {
    ErrorInfo err;
    if (!ResumeNext(err, [&] { SummaryTable_UpdateRow(which); }) && !first) first = err;
  }
  // Loading redraws the grid: not when every row reads as it did.
  if (m_SummaryRows.size() == 3 && (m_SummaryRows != shown || SGGridSummary.RowCount() != 3))
    SGGridSummary.LoadText(m_SummaryRows[0] + '\r' + m_SummaryRows[1] + '\r' + m_SummaryRows[2]);
  if (first) RaiseError(first.Number, first.Source, first.Description);
}

void FormProgress::SummaryTable_UpdateRow(std::int32_t whichSolution) {
  WatcherManager& m = *m_Manager;
  if (whichSolution == GdLib::kWhichBest && !m_HasBest) return;
  const long position = SolutionTable::SummaryTableRowPosition(whichSolution);
  double trial = 1;
  if (whichSolution == GdLib::kWhichBest) trial = m.BestTrialNumber();
  if (whichSolution == GdLib::kWhichLast) trial = m_TrialCount;
  const std::string objective = ObjectiveText(m.ObjectiveValueForSolution(whichSolution));
  m_Values.clear();
  if (!m.AdjustableCellValuesForSolution(whichSolution, m_Values)) m_Values.clear();
  if (m_SummaryRows.size() != 3) m_SummaryRows.assign(3, m_SummaryTable->EmptySummaryRow());
  m_SummaryRows[position - 1] = m_SummaryTable->SummaryRow(DoubleToText(trial), objective, m_Values);
}

}  // namespace corvana
