#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "suite/gdlib/gdlib8.h"
#include "tests/watcher/watcher_window/WatcherRun.h"
#include "watcher/watcher_window/FormProgress.h"

namespace corvana {
namespace {

using namespace std::chrono_literals;

TEST(PopulationTabTest, RowsDrawnWhileTheOptimizingSideHoldsThePopulationWaitForIt) {
  WatcherRun run;
  run.Start(5);
  FormProgress& form = run.Full();
  form.TabMain.UserSelect(FormProgress::TabPopulation);
  run.Tick();  // binds the rows; none is read before the grid draws it
  ASSERT_EQ(form.SGGridPopulation.RowCount(), 5);
  const std::string expected = run.Manager.FormatTargetValue(run.Manager.getGendaraResult(5));

  // The optimizing side (another thread: the lock is recursive) holds the population.
  std::promise<void> locked, release;
  std::thread optimizing([&, pop = run.PopHandle()] {
    GdPopLock(pop);
    locked.set_value();
    release.get_future().wait();
    GdPopUnlock(pop);
  });
  locked.get_future().wait();
  auto drawn = std::async(std::launch::async, [&] { return form.SGGridPopulation.RowTexts(0); });
  // While the lock is held the row cannot be read, however long the wait.
  const bool readUnderTheirLock = drawn.wait_for(300ms) == std::future_status::ready;
  release.set_value();
  optimizing.join();
  EXPECT_FALSE(readUnderTheirLock);
  ASSERT_EQ(drawn.wait_for(20s), std::future_status::ready);
  const std::vector<std::string> row = drawn.get();
  ASSERT_FALSE(row.empty());
  EXPECT_EQ(row[0], expected);
  EXPECT_FALSE(row[1].empty());  // the genes came with it
}

}  // namespace
}  // namespace corvana
