#include <gtest/gtest.h>

#include "suite/gdlib/gdlib8.h"
#include "tests/watcher/frontier_window/SeriesRun.h"

namespace corvana {
namespace {

TEST(FormProgressEFButtonsTest, RunButtonsTakeTheFocusOffThemselvesOnlyWhenTheyAct) {
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

}  // namespace
}  // namespace corvana
