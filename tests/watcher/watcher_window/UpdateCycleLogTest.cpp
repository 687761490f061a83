#include <gtest/gtest.h>

#include "WatcherRun.h"
#include "watcher/watcher_window/FormProgress.h"

namespace corvana {
namespace {

// The diagnostic log pairs every entry line of the update cycle with its exit line, also when
// the cycle finds nothing to do.
TEST(UpdateCycleLogTest, UpdateWithoutAManagerStillWritesItsExitLine) {
  WatcherRun run;
  FormProgress& form = run.Full();
  form.Dispose();  // the manager lets the window go
  run.NewLogLines();
  bool updateLastResult = false;
  form.Update(true, updateLastResult);
  EXPECT_EQ(run.NewLogLines(),
            (std::vector<std::string>{"FormProgress.Update: Entering", "FormProgress.Update: Exiting"}));
}

TEST(UpdateCycleLogTest, TickWritesItsExitLineOnce) {
  WatcherRun run;
  run.RunTrials(2);
  run.NewLogLines();
  run.Tick();
  const auto lines = run.NewLogLines();
  const long exited = IndexOf(lines, "WATCHER: exiting TimerUpdate_Timer, past Me.StopTimer check");
  ASSERT_GE(exited, 0);
  EXPECT_EQ(exited, static_cast<long>(lines.size()) - 1) << "the exit line is the tick's last";
  EXPECT_EQ(IndexOf(lines, lines[exited], exited + 1), -1);
}

}  // namespace
}  // namespace corvana
