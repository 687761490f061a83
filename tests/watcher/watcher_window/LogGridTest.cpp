#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "suite/objectlib/MarkerValues.h"
#include "tests/support/ThrowsComError.h"
#include "tests/watcher/watcher_window/WatcherRun.h"
#include "watcher/common/Utilities.h"
#include "watcher/common/WatcherOLShared.h"
#include "watcher/engine/GdLib.h"
#include "watcher/log/ProgressDialogLogSvr.h"
#include "watcher/ui/Grid.h"
#include "watcher/watcher_window/FormProgress.h"

namespace corvana {
namespace {

using Utilities::GetResourceString;

// The grid over a trial log of its own beside a run's manager.
class LogGrid : public ::testing::Test {
 protected:
  LogGrid() { m_Run.Manager.Input_LogPath = m_Run.LogPath() + ".grid"; }

  std::string Path() const { return m_Run.Manager.Input_LogPath; }
  void Bind() {
    m_Source.InitializeAndAddColumnsToGrid(m_Grid, m_Run.Manager);
    m_Grid.SetDataSource(&m_Source);
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const auto& c : m_Grid.Columns()) captions.push_back(c.Caption);
    return captions;
  }

  WatcherRun m_Run;
  ui::Grid m_Grid{"SGGridLog"};
  ProgressDialogLogSvr m_Source;
};

TEST_F(LogGrid, StatisticColumnsComeAndGoInCaptionsAndRowsAlike) {
  TrialLogWriter log(Path(), 2, {{"Risk <= 5", 0, true}, {"Budget", 1, false}});
  log.Append({.Value = 10, .Genes = {1, 1.1}, .Status = {0, 1}, .Values = {7.5, 0}, .ElapsedSeconds = 1},
             true);
  for (int statistic : {1, 12}) {
    SCOPED_TRACE(statistic);
    m_Run.Manager.Input_StatisticToOptimize = statistic;
    m_Run.Manager.Input_AllGeneNamesCol = Collection({Variant("Stocks"), Variant("Bonds")});
    Bind();
    const bool statistics = statistic != 12;
    std::vector<std::string> expected = {GetResourceString(4401), GetResourceString(4402),
                                         GetResourceString(4403), GetResourceString(4404)};
    if (statistics)
      for (int id = 4405; id <= 4408; ++id) expected.push_back(GetResourceString(id));
    for (const char* name : {"Stocks", "Bonds", "Risk <= 5", "Budget"}) expected.push_back(name);
    EXPECT_EQ(Captions(), expected);
    const auto row = m_Grid.RowTexts(0);
    ASSERT_EQ(row.size(), expected.size());
    const std::size_t genes = statistics ? 8 : 4;
    EXPECT_EQ(row[0], "1");
    EXPECT_EQ(row[1], "00:00:01");
    EXPECT_EQ(row[genes], "1");
    EXPECT_EQ(row[genes + 1], "1.1000");
    // A group-one constraint with a value, not met: its value and the mark.
    EXPECT_EQ(row[genes + 2], "7.5000*");
    // Group two, without a value: met or not met in words.
    EXPECT_EQ(row[genes + 3], GetResourceString(4410));
  }
}

TEST_F(LogGrid, ColumnBudgetKeepsWhatFitsAndSaysSo) {
  TrialLogWriter log(Path(), 1020, {{"Hard one", 0, true}});
  log.Append({.Value = 1}, true);
  Bind();
  EXPECT_EQ(m_Grid.ColumnCount(), 1024 - 4);  // eight fixed (four of them statistics, left out)
  EXPECT_EQ(m_Source.NumColumns(), 1024);
  EXPECT_EQ(m_Source.NumColumnsLeftOut(), 5);  // four genes and the constraint
  EXPECT_EQ(m_Grid.RowTexts(0).size(), static_cast<std::size_t>(m_Grid.ColumnCount()));

  // The window says so above its grid.
  m_Run.Manager.Input_LogPath = Path();
  FormProgress& form = m_Run.Full();
  form.LoggingTab_Bind();
  EXPECT_TRUE(form.LabelLogColumnsLeftOut.Visible());
  EXPECT_EQ(form.LabelLogColumnsLeftOut.Caption(), GetResourceString(4051, 5));
}

TEST_F(LogGrid, EngineNoValueShowsTheCommonMissingText) {
  TrialLogWriter log(Path(), 1);
  log.Append({.Value = kEngineNoValue}, false);
  log.Append({.Value = kMissingValue}, false);
  log.Append({.Value = 3}, true);
  Bind();
  EXPECT_EQ(m_Grid.CellText(0, 3), WatcherOLShared::GetCommonString(1));
  EXPECT_EQ(m_Grid.CellText(1, 3), WatcherOLShared::GetCommonString(1));
  EXPECT_EQ(m_Grid.CellText(2, 3), "3");
}

TEST_F(LogGrid, ProgressStepsViewShowsOnlyImprovingTrials) {
  TrialLogWriter log(Path(), 1);
  log.Append({.Value = 1}, false);  // the log may start without a step
  Bind();
  m_Run.Manager.IDForGdLogReadRecordVB = 1;
  m_Grid.RefreshRows();
  EXPECT_EQ(m_Grid.RowCount(), 0);
  EXPECT_TRUE(m_Grid.RowTexts(0).empty() || m_Grid.RowTexts(0)[0].empty());

  log.Append({.Value = 5}, true);
  log.Append({.Value = 2}, false);
  log.Append({.Value = 9}, true);
  m_Grid.RefreshRows();
  ASSERT_EQ(m_Grid.RowCount(), 2);
  EXPECT_EQ(m_Grid.CellText(0, 0), "2");
  EXPECT_EQ(m_Grid.CellText(1, 0), "4");
  EXPECT_EQ(m_Source.RowOfTrial(3), 1);
  m_Run.Manager.IDForGdLogReadRecordVB = 0;
  m_Grid.RefreshRows();
  EXPECT_EQ(m_Grid.RowCount(), 4);
}

TEST_F(LogGrid, RowPastTheEndOfAGrowingLogIsEmptyAndHarmless) {
  TrialLogWriter log(Path(), 2);
  log.Append({.Value = 1}, true);
  Bind();
  std::vector<Variant> values;
  m_Source.IsgGridDataSource_GetRowData(5, 0, values);
  EXPECT_TRUE(values.empty());
  log.Append({.Value = 2}, true);  // the writer goes on
  m_Source.IsgGridDataSource_GetRowData(1, 0, values);
  ASSERT_FALSE(values.empty());
  EXPECT_EQ(values[0].ToString(), "2");
}

TEST_F(LogGrid, ValidTrialsOnlyAndGoToTrialReadOnlyWhatTheyNeed) {
  TrialLogWriter log(Path(), 1);
  for (int t = 1; t <= 2000; ++t)
    log.Append({.Value = double(t), .ValidTrials = t - t / 3}, false);  // every third invalid
  Bind();
  m_Source.SetValidTrialsOnly(true);
  m_Grid.RefreshRows();
  EXPECT_EQ(m_Grid.RowCount(), 2000 - 666);
  // Row 2 is trial 4 (trial 3 was invalid); walking on reads one head per row.
  EXPECT_EQ(m_Grid.CellText(2, 0), "4");
  const auto before = m_Source.RecordsRead();
  EXPECT_EQ(m_Grid.CellText(3, 0), "5");
  EXPECT_EQ(m_Grid.CellText(4, 0), "7");
  EXPECT_LE(m_Source.RecordsRead() - before, 6);
  // Trial 1500 is invalid: the row after it shows 1501.
  const std::int32_t row = m_Source.RowOfTrial(1500);
  EXPECT_EQ(m_Grid.CellText(row, 0), "1501");
  EXPECT_EQ(m_Source.RowOfTrial(2001), -1);
}

TEST_F(LogGrid, ConstraintSolverTabMarksEachHardConstraintForThreeSolutions) {
  TrialLogWriter log(Path(), 1, {{"Soft", 0, true}, {"Weight", 1, true}, {"Cost", 1, true}});
  log.Append({.Value = 2, .Status = {1, 0, 0}}, false);  // original: neither hard constraint met
  WatcherManager& m = m_Run.Manager;
  m.Input_ConstraintSolverMode = true;
  m.Input_ConstraintSolver_HardConstraintDescriptions = Collection({Variant("Weight"), Variant("Cost")});
  m.Input_ConstraintSolver_HardConstraintFormulas = Collection({Variant("B2<=10"), Variant("")});
  FormProgress& form = m_Run.Full();
  ui::Grid& grid = form.SGGridConstraintSolver;
  form.ConstraintSolverTab_Initialize();
  ASSERT_EQ(grid.RowCount(), 2);
  EXPECT_EQ(grid.CellText(0, 0), "Weight, B2<=10");
  EXPECT_EQ(grid.CellText(1, 0), "Cost, --");
  EXPECT_EQ(grid.Column(1).Caption, GetResourceString(4303));
  const std::string met = GetResourceString(4520), notMet = GetResourceString(4521);

  // No best trial yet: only the original and the latest columns are filled.
  form.ConstraintSolverTab_Update();
  EXPECT_EQ(grid.RowTexts(0), (std::vector<std::string>{"Weight, B2<=10", "", notMet, notMet}));

  log.Append({.Value = 1, .Status = {1, 1, 0}}, true);   // the best: Weight met
  log.Append({.Value = 2, .Status = {0, 0, 1}}, false);  // the latest: Cost met
  form.ConstraintSolverTab_Update();
  EXPECT_EQ(grid.RowTexts(0), (std::vector<std::string>{"Weight, B2<=10", met, notMet, notMet}));
  EXPECT_EQ(grid.RowTexts(1), (std::vector<std::string>{"Cost, --", notMet, notMet, met}));
}

TEST_F(LogGrid, MissingLogFileRaisesTheUsersText) {
  EXPECT_THAT(
      [this] { m_Source.InitializeAndAddColumnsToGrid(m_Grid, m_Run.Manager); },
      test::ThrowsComError(0x8004000Au, testing::_, "No log information available to show in Watcher."));
}

TEST(LogGridWindow, UpdateBindsTheGridAndTheComboSwitchesTheView) {
  WatcherRun run;
  FormProgress& form = run.Full();
  run.Start(30);
  ASSERT_NE(form.LogServer(), nullptr);
  EXPECT_EQ(form.SGGridLog.DataSource(), form.LogServer());
  EXPECT_EQ(form.SGGridLog.RowCount(), 30);
  form.SGGridLog.SetVisibleRows(10);
  form.SGGridLog.ScrollToLastRows();
  run.RunTrials(5);
  run.Tick();
  EXPECT_EQ(form.SGGridLog.RowCount(), 35);
  EXPECT_EQ(form.SGGridLog.TopRow(), 25);  // the newest rows stay in view
  // The toolkit laying the grid out afresh puts its view at the top: the next refresh follows on.
  form.SGGridLog.SetTopRow(0);
  run.RunTrials(1);
  run.Tick();
  EXPECT_EQ(form.SGGridLog.TopRow(), 26);
  // The user scrolled back: the grid stays there until he scrolls to the end again.
  form.SGGridLog.UserScroll(4);
  run.RunTrials(2);
  run.Tick();
  EXPECT_EQ(form.SGGridLog.TopRow(), 4);
  form.SGGridLog.UserScroll(28);
  run.RunTrials(2);
  run.Tick();
  EXPECT_EQ(form.SGGridLog.TopRow(), 30);

  // The user moved up: the grid stays where the user put it, by trial number.
  form.TextGoToTrial.SetText("3");
  form.CommandGoToTrial_Click();
  EXPECT_EQ(form.SGGridLog.TopRow(), 2);
  run.RunTrials(5);
  run.Tick();
  EXPECT_EQ(form.SGGridLog.TopRow(), 2);
  form.TextGoToTrial.SetText("three");
  form.CommandGoToTrial_Click();
  EXPECT_EQ(form.SGGridLog.TopRow(), 2);

  form.ComboLogType.UserSelect(1);
  EXPECT_EQ(run.Manager.IDForGdLogReadRecordVB, 1);
  EXPECT_EQ(form.SGGridLog.RowCount(), GdLib::Log_GetProgressStepCount(run.LogPath()));
  EXPECT_GE(form.SGGridLog.RowCount(), 1);
  EXPECT_FALSE(form.CheckValidTrialsOnly.Enabled());
}

TEST(LogGridWidths, LanguageWithoutARowAndBadColumn) {
  EXPECT_EQ(ProgressDialogLogSvr::GetInitialColumnWidth(5, 12), 1200);  // no row of its own
  EXPECT_THROW(ProgressDialogLogSvr::GetInitialColumnWidth(8, 9), ComError);
}

}  // namespace
}  // namespace corvana
