#include "watcher/watcher_window/SolutionTable.h"

#include <gtest/gtest.h>

#include "common/ComError.h"

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
  try {
    SolutionTable::SummaryTableRowPosition(-3);
    FAIL() << "no error raised";
  } catch (const ComError& e) {
    EXPECT_EQ(e.Code(), 0x80040014u);
    EXPECT_EQ(e.Source(), "SummaryTableRowPosition");
    EXPECT_EQ(e.Description(), "WhichSolution");
  }
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

}  // namespace
}  // namespace corvana
