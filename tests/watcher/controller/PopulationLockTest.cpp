#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "ControllerFixture.h"
#include "suite/gdlib/gdlib8.h"

namespace corvana::test {
namespace {

class PopulationLockTest : public ControllerTest {
 protected:
  // The population's lock is recursive: this thread could always take it again, so only another
  // thread can tell that the controller left it held. Gives up after the deadline and frees a
  // held lock so the waiting thread ends before the population does.
  bool LockIsFree() {
    auto taken = std::make_shared<std::promise<void>>();
    std::future<void> done = taken->get_future();
    std::thread([pop = popHandle, taken] {
      GdPopLock(pop);
      GdPopUnlock(pop);
      taken->set_value();
    }).detach();
    if (done.wait_for(std::chrono::seconds(20)) == std::future_status::ready) return true;
    while (done.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) GdPopUnlock(popHandle);
    return false;
  }
};

TEST_F(PopulationLockTest, UpdateReleasesTheLockEvenWhenAWindowFails) {
  Start();
  bool updateLastResult = true;
  manager->BothDialogs_Update(true, updateLastResult);
  EXPECT_TRUE(LockIsFree());

  factory->Small->FailUpdate = true;
  factory->Full->FailUpdate = true;
  manager->BothDialogs_Update(true, updateLastResult);
  EXPECT_TRUE(LockIsFree());
}

TEST_F(PopulationLockTest, RunButtonsReleaseTheLockWhateverTheAnswer) {
  Start();
  manager->CommandPauseOptimization_ProcessClick();
  EXPECT_TRUE(LockIsFree());

  SetStatus(GdRunStatusPaused);
  manager->ProcessPausedMessageFromExcel();
  services->Answers.push_back(7);  // No
  manager->CommandStopOptimization_ProcessClick();
  EXPECT_TRUE(LockIsFree());

  services->Answers.push_back(6);  // Yes
  manager->CommandStopOptimization_ProcessClick();
  EXPECT_EQ(Status(), GdRunStatusMarkToStop);
  EXPECT_TRUE(LockIsFree());
}

}  // namespace
}  // namespace corvana::test
