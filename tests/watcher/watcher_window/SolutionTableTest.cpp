#include "watcher/watcher_window/SolutionTable.h"

#include <gtest/gtest.h>

#include <set>

#include "common/ComError.h"
#include "tests/support/ThrowsComError.h"
#include "watcher/ui/Grid.h"
#include "watcher/watcher_window/PopulationTableSource.h"

namespace corvana {
namespace {

Collection Names(int n) {
  Collection c;
  for (int i = 1; i <= n; ++i) c.Add("Gene" + std::to_string(i));
  return c;
}

TEST(SolutionTableTest, RowPositionsAndUnknownSelector) {
  EXPECT_EQ(SolutionTable::SummaryTableRowPosition(-1), 1);
  EXPECT_EQ(SolutionTable::SummaryTableRowPosition(-2), 2);
  EXPECT_EQ(SolutionTable::SummaryTableRowPosition(-5), 3);
  EXPECT_THAT([] { SolutionTable::SummaryTableRowPosition(-3); },
              test::ThrowsComError(0x80040014u, "SummaryTableRowPosition", "WhichSolution"));
}

TEST(SolutionTableTest, SummaryRowFollowsTheGeneColumnsWhateverTheLog) {
  SolutionTable table{Names(3), Collection()};
  EXPECT_EQ(table.NumGenesInTable(), 3u);
  EXPECT_EQ(table.SummaryRow("12", "3.5000", {1, 2.5, 3}), "12\t3.5000\t1\t2.5000\t3");
  // Fewer values than names: the missing cells stay empty; more: the extra values are not shown.
  EXPECT_EQ(table.SummaryRow("13", "4", {1}), "13\t4\t1\t\t");
  EXPECT_EQ(table.SummaryRow("13", "4", {1, 2, 3, 4, 5}), "13\t4\t1\t2\t3");
  EXPECT_EQ(table.EmptySummaryRow(), "\t\t\t\t");
  // No gene names: only the fixed columns.
  SolutionTable none{Collection(), Collection()};
  EXPECT_EQ(none.SummaryRow("1", "9", {1, 2}), "1\t9");
}

TEST(SolutionTableTest, DateColumnsShowDates) {
  Collection asDate;
  asDate.Add(false);
  asDate.Add(true);  // a third flag is missing: a plain number
  SolutionTable table(Names(3), asDate);
  EXPECT_EQ(table.GeneText(0, 45000), "45000");
  EXPECT_EQ(table.GeneText(1, 45000), "3/15/2023");
  EXPECT_EQ(table.GeneText(2, 45000), "45000");
  // A flag that is not a Boolean counts as a plain number rather than failing the table.
  Collection odd;
  odd.Add("not a flag");
  EXPECT_EQ(SolutionTable(Names(1), odd).GeneText(0, 2), "2");
}

// A population whose reads are counted: organism i's objective is 10 i, its genes i and i + 0.5;
// the genes of organisms in `unreadable` fail.
struct CountedPopulation {
  std::vector<std::int32_t> ObjectivesAsked;
  std::vector<std::int32_t> GenesAsked;
  std::set<std::int32_t> Unreadable;

  PopulationTableSource Source(int genes) {
    return PopulationTableSource(
        SolutionTable(Names(genes), Collection()),
        [this](std::int32_t i) {
          ObjectivesAsked.push_back(i);
          return std::to_string(i * 10);
        },
        [this](std::int32_t i, std::vector<double>& values) {
          GenesAsked.push_back(i);
          if (Unreadable.count(i)) return false;
          values = {double(i), double(i) + 0.5};
          return true;
        });
  }
  void Forget() {
    ObjectivesAsked.clear();
    GenesAsked.clear();
  }
};

void AddColumns(ui::Grid& grid, int genes) {
  grid.AddColumn("Objective", 1000);
  for (int g = 1; g <= genes; ++g) grid.AddColumn("Gene" + std::to_string(g), 1000);
}

std::vector<std::vector<std::string>> RowsInView(const ui::Grid& grid) {
  std::vector<std::vector<std::string>> rows;
  for (int row = grid.TopRow(); row < grid.TopRow() + grid.VisibleRows() && row < grid.RowCount(); ++row)
    rows.push_back(grid.RowTexts(row));
  return rows;
}

TEST(PopulationTableSourceTest, ShowsTheLastOrganismFirstWithItsObjectiveAndGenes) {
  CountedPopulation population;
  population.Unreadable = {2};
  PopulationTableSource source = population.Source(3);  // three columns, two genes read
  EXPECT_TRUE(source.SetPopulation(3, 1));
  ui::Grid grid("SGGridPopulation");
  AddColumns(grid, 3);
  grid.SetDataSource(&source);
  ASSERT_EQ(grid.RowCount(), 3);
  EXPECT_EQ(grid.RowTexts(0), (std::vector<std::string>{"30", "3", "3.5000", ""}));
  // Unreadable genes leave the row its objective; the engine fails alike for every organism, so
  // organism 1's genes are not asked for in this generation.
  EXPECT_EQ(grid.RowTexts(1), (std::vector<std::string>{"20", "", "", ""}));
  EXPECT_EQ(grid.RowTexts(2), (std::vector<std::string>{"10", "", "", ""}));
  EXPECT_EQ(population.GenesAsked, (std::vector<std::int32_t>{3, 2}));
  // The next generation reads genes again.
  population.Unreadable.clear();
  EXPECT_TRUE(source.SetPopulation(3, 2));
  EXPECT_EQ(grid.CellText(2, 1), "1");
  EXPECT_EQ(grid.CellText(5, 0), "");
  EXPECT_TRUE(source.SetPopulation(0, 3));
  grid.RefreshRows();
  EXPECT_EQ(grid.RowCount(), 0);
}

TEST(PopulationTableSourceTest, ReadsAndFormatsOnlyTheRowsDrawnAndOnlyOncePerGeneration) {
  CountedPopulation population;
  PopulationTableSource source = population.Source(2);
  source.SetPopulation(10000, 7);
  ui::Grid grid("SGGridPopulation");
  AddColumns(grid, 2);
  grid.SetVisibleRows(20);
  grid.SetDataSource(&source);
  EXPECT_EQ(grid.RowCount(), 10000);
  EXPECT_TRUE(population.ObjectivesAsked.empty());  // binding reads nothing

  const auto first = RowsInView(grid);
  ASSERT_EQ(first.size(), 20u);
  EXPECT_EQ(first.front()[0], "100000");
  EXPECT_EQ(population.ObjectivesAsked.size(), 20u);
  EXPECT_EQ(population.GenesAsked.size(), 20u);
  EXPECT_EQ(population.GenesAsked.front(), 10000);
  EXPECT_EQ(population.GenesAsked.back(), 9981);

  // Drawn again in the same generation: nothing read or formatted.
  population.Forget();
  EXPECT_FALSE(source.SetPopulation(10000, 7));
  EXPECT_EQ(RowsInView(grid), first);
  EXPECT_TRUE(population.ObjectivesAsked.empty());
  EXPECT_TRUE(population.GenesAsked.empty());

  // Scrolled: only the rows newly in view are read.
  grid.SetTopRow(10);
  RowsInView(grid);
  EXPECT_EQ(population.GenesAsked.size(), 10u);
  EXPECT_EQ(population.GenesAsked.front(), 9980);

  // A new generation drops what was kept; the rows in view are read once more, and only they.
  population.Forget();
  EXPECT_TRUE(source.SetPopulation(10000, 8));
  RowsInView(grid);
  RowsInView(grid);
  EXPECT_EQ(population.ObjectivesAsked.size(), 20u);
  EXPECT_EQ(population.GenesAsked.size(), 20u);
}

}  // namespace
}  // namespace corvana
