#include <gtest/gtest.h>

#include "suite/gdlib/gdlib8.h"
#include "tests/watcher/frontier_window/SeriesRun.h"

namespace corvana {
namespace {

TEST(FormProgressEFEventsTest, RunButtonsTakeTheFocusOffThemselvesOnlyWhenTheyAct) {
  SeriesRun run({10, 20});
  run.StartRunning();
  FormProgressEF& form = run.Full();
  int focusMoves = 0;
  form.TabMain.SetObserver(
      [&](ui::Control&, std::string_view property) { focusMoves += property == "Focus"; });

  form.CommandPause_Click();
  EXPECT_EQ(focusMoves, 1);
  EXPECT_EQ(run.Status(), GdRunStatusMarkToPause);
  form.CommandRun_Click();
  EXPECT_EQ(focusMoves, 2);
  EXPECT_EQ(run.Status(), GdRunStatusOptimizing);

  // Grey buttons after Stop: a click neither acts nor moves the focus.
  form.ControlsAfterStopClickedDisableEnable(false);
  form.CommandPause_Click();
  form.CommandStop_Click();
  EXPECT_EQ(focusMoves, 2);
  EXPECT_EQ(run.Status(), GdRunStatusOptimizing);
  form.ControlsAfterStopClickedDisableEnable(true);

  // A click raised while the window itself switches its buttons is ignored as well.
  form.CommandRun.SetObserver([&](ui::Control&, std::string_view property) {
    if (property == "Pressed") form.CommandStop_Click();
  });
  form.GoToPausingConfig();
  form.CommandRun.SetObserver(nullptr);
  EXPECT_EQ(focusMoves, 2);
  EXPECT_EQ(run.Status(), GdRunStatusOptimizing);
  EXPECT_FALSE(run.Manager.WaitingAfterStopClicked);

  form.GoToRunningConfig();
  form.CommandStop_Click();
  EXPECT_EQ(focusMoves, 3);
  EXPECT_TRUE(run.Manager.WaitingAfterStopClicked);
}

TEST(FormProgressEFEventsTest, AnotherLogTypeHasTheShownRowsReadAfresh) {
  SeriesRun run({10, 20, 30});
  run.StartRunning();
  run.LogTrial(2, 2, true);
  run.LogTrial(3, 3, true);
  run.Tick();
  FormProgressEF& form = run.Full();
  int rowReloads = 0;  // what tells the toolkit to drop the rows it holds
  form.SGGridLog.SetObserver(
      [&](ui::Control&, std::string_view property) { rowReloads += property == "Cells"; });

  // The second and the third value have one progress step each: as many rows, other trials.
  form.ComboLogType.UserSelect(2);
  EXPECT_EQ(run.Manager.IDForGdLogReadRecordVB, 2);
  ASSERT_EQ(form.SGGridLog.RowCount(), 1);
  EXPECT_EQ(form.SGGridLog.CellText(0, 0), "2");
  EXPECT_EQ(rowReloads, 1);
  form.ComboLogType.UserSelect(3);
  EXPECT_EQ(run.Manager.IDForGdLogReadRecordVB, 3);
  ASSERT_EQ(form.SGGridLog.RowCount(), 1);
  EXPECT_EQ(form.SGGridLog.CellText(0, 0), "3");
  EXPECT_EQ(rowReloads, 2);
  form.ComboLogType.UserSelect(0);
  EXPECT_EQ(run.Manager.IDForGdLogReadRecordVB, 0);
  EXPECT_EQ(form.SGGridLog.RowCount(), 3);
  EXPECT_EQ(rowReloads, 3);
}

}  // namespace
}  // namespace corvana
