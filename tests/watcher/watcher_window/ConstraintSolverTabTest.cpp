#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/watcher/watcher_window/WatcherRun.h"
#include "watcher/common/Utilities.h"
#include "watcher/ui/Grid.h"
#include "watcher/watcher_window/FormProgress.h"

namespace corvana {
namespace {

using Utilities::GetResourceString;

// A constraint-solver run whose solver tab reads a trial log of its own.
class ConstraintSolverTab : public ::testing::Test {
 protected:
  ConstraintSolverTab() {
    WatcherManager& m = m_Run.Manager;
    m.Input_LogPath = m_Run.LogPath() + ".solver";
    m.Input_ConstraintSolverMode = true;
    m.Input_ConstraintSolver_HardConstraintDescriptions = Collection({Variant("Weight"), Variant("Cost")});
    m.Input_ConstraintSolver_HardConstraintFormulas = Collection({Variant("B2<=10"), Variant("C2<=5")});
  }

  FormProgress& Form() { return m_Run.Full(); }
  ui::Grid& Grid() { return Form().SGGridConstraintSolver; }

  WatcherRun m_Run;
};

TEST_F(ConstraintSolverTab, RecordReadsAreLoggedWithTheirValuesAndAFailedReadKeepsTheColumn) {
  TrialLogWriter log(m_Run.Manager.Input_LogPath, 1, {{"Weight", 1, true}, {"Cost", 1, true}});
  log.Append({.Value = 2.5, .Status = {0, 1}}, false);
  log.Append({.Value = 12, .Status = {1, 1}}, true);
  Form().ConstraintSolverTab_Initialize();
  m_Run.NewLogLines();
  Form().ConstraintSolverTab_Update();
  const auto lines = m_Run.NewLogLines();
  const std::string read = "ConstraintSolverTab_UpdateOneColumn, GdLogGetRecord returned valueWithPenalties=";
  EXPECT_TRUE(Contains(lines, read + "2.5, recalcNum=1, rc=0"));
  EXPECT_TRUE(Contains(lines, read + "12, recalcNum=2, rc=0"));
  const std::string met = GetResourceString(4520), notMet = GetResourceString(4521);
  const auto shown = [&] { return std::vector<std::string>{Grid().CellText(0, 2), Grid().CellText(1, 2)}; };
  ASSERT_EQ(shown(), (std::vector<std::string>{notMet, met}));  // the original solution

  // A record the log does not hold: reported, and the column shows what it showed.
  Form().ConstraintSolverTab_UpdateOneColumn(99, 2);
  EXPECT_EQ(shown(), (std::vector<std::string>{notMet, met}));
  bool reported = false;
  for (const std::string& line : m_Run.NewLogLines())
    reported |=
        line.rfind("Error in method: ConstraintSolverTab_UpdateOneColumn, GdLib method: GdLogGetRecord", 0) ==
        0;
  EXPECT_TRUE(reported);
}

TEST_F(ConstraintSolverTab, OnlySoftConstraintsLeaveTheGridWithoutRows) {
  TrialLogWriter log(m_Run.Manager.Input_LogPath, 1, {{"Soft", 0, true}});
  log.Append({.Value = 1}, true);
  m_Run.Manager.Input_ConstraintSolver_HardConstraintDescriptions = Collection();
  m_Run.Manager.Input_ConstraintSolver_HardConstraintFormulas = Collection();
  Form().ConstraintSolverTab_Initialize();
  Form().ConstraintSolverTab_Update();
  EXPECT_EQ(Grid().RowCount(), 0);
  EXPECT_EQ(Grid().ColumnCount(), 4);
}

}  // namespace
}  // namespace corvana
