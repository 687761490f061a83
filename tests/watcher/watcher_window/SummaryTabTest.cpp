#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tests/watcher/watcher_window/WatcherRun.h"
#include "watcher/common/Utilities.h"
#include "watcher/watcher_window/FormProgress.h"

namespace corvana {
namespace {

using Utilities::GetResourceString;

std::vector<std::string> GridInitializeLines(const std::vector<std::string>& lines) {
  std::vector<std::string> found;
  for (const auto& line : lines)
    if (line.rfind("WATCHER: GridInitialize, ", 0) == 0) found.push_back(line);
  return found;
}

TEST(SummaryTabTest, GridsWithoutGeneNamesHaveOnlyTheFixedColumnsAndTheLogSaysWhy) {
  {
    WatcherRun named;
    FormProgress& form = named.Full();
    ASSERT_EQ(form.SGGridSummary.ColumnCount(), 5);
    EXPECT_EQ(form.SGGridSummary.Column(0).Caption, GetResourceString(4046));
    EXPECT_EQ(form.SGGridSummary.Column(1).Caption, GetResourceString(4047));
    ASSERT_EQ(form.SGGridPopulation.ColumnCount(), 4);  // no trial column
    EXPECT_EQ(form.SGGridPopulation.Column(0).Caption, GetResourceString(4047));
    const auto lines = GridInitializeLines(named.NewLogLines());
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "WATCHER: GridInitialize, after calculating numGenesInTable, =3"),
              2);
    for (const auto& line : lines) EXPECT_EQ(line.find("Is Nothing"), std::string::npos) << line;
  }

  WatcherRun unnamed({.GeneNames = std::vector<std::string>{}});
  EXPECT_EQ(unnamed.Full().SGGridSummary.ColumnCount(), 2);
  EXPECT_EQ(unnamed.Full().SGGridPopulation.ColumnCount(), 1);
  const std::vector<std::string> table = {
      "WATCHER: GridInitialize, before adding columns",
      "WATCHER: GridInitialize, before calculating numGenesInTable",
      "WATCHER: GridInitialize, m_Manager.Input_AllGeneNamesCol Is Nothing",
      "WATCHER: GridInitialize, after calculating numGenesInTable, =0",
      "WATCHER: GridInitialize, about to loop over variables to add columns",
      "WATCHER: GridInitialize, after adding columns"};
  std::vector<std::string> both = table;
  both.insert(both.end(), table.begin(), table.end());  // the summary's, then the population's
  EXPECT_EQ(GridInitializeLines(unnamed.NewLogLines()), both);
}

TEST(SummaryTabTest, ObjectiveTakesTheTargetCellsFormatOnlyInTheCellsUnits) {
  // statistic, the original's objective as the summary shows it
  const std::vector<std::pair<std::int32_t, std::string>> cases = {
      {12, "0.25"},    // the plain value: the cell's own format
      {11, "25.0%"},   // a probability is a percentage whatever the cell's format
      {3, "0.2500"}};  // a statistic not in the cell's units: the plain number rules
  for (const auto& [statistic, shown] : cases) {
    SCOPED_TRACE(statistic);
    WatcherRun run({.Inputs = [statistic = statistic](WatcherManager& m) {
      m.Input_StatisticToOptimize = statistic;
      m.Input_TargetCellNumberFormat = "0.00";
    }});
    run.LogTrial(0.25, true);
    run.Start(0);
    EXPECT_EQ(run.Full().SGGridSummary.CellText(1, 1), shown);
  }
}

}  // namespace
}  // namespace corvana
