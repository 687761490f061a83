#include <algorithm>

#include "ControllerFixture.h"
#include "suite/gdlib/gdlib8.h"
#include "wire/XLWatcherChannels.h"

namespace corvana::test {
namespace {

using Calls = std::vector<std::string>;

class WindowShapeTest : public ControllerTest {
 protected:
  // A whole watched run as the add-in and the user drive it, in the shape asked for; returns the
  // calls the windows received.
  Calls DriveRun(bool efficientFrontier) {
    MakeManager(services);
    SetStatus(GdRunStatusOptimizing);
    Start(efficientFrontier);
    WriteLong(ChannelGraphAllTrialsInitialNumTrialsShown, 40);
    WriteLong(ChannelNumLastTrialsToShow, 8);
    WriteBoolean(ChannelFirstTrialInfoAvailable, true);
    manager->InitializeAfterFirstTrialIfReady();
    bool updateLastResult = true;
    manager->BothDialogs_Update(false, updateLastResult);
    manager->CommandPauseOptimization_ProcessClick();
    SetStatus(GdRunStatusPaused);
    manager->ProcessPausedMessageFromExcel();
    services->Answers.push_back(7);  // No: stay paused
    manager->CommandStopOptimization_ProcessClick();
    manager->CommandResumeOptimization_ProcessClick();
    manager->SwitchToWatcherWindow();
    manager->SetWatcherExcelUpdateButtonState(true);
    manager->SwitchToSmallWindow();
    manager->StopTimer();
    manager->Dispose();
    Calls calls = journal;
    journal.clear();
    return calls;
  }

  // The frontier windows' calls under the single-optimization windows' names; fails the test when
  // a call reached a window of the other shape.
  static Calls UnderSingleNames(const Calls& calls) {
    Calls renamed;
    for (const std::string& call : calls) {
      const bool frontier = call.rfind("smallEF.", 0) == 0 || call.rfind("fullEF.", 0) == 0;
      EXPECT_TRUE(frontier) << call;
      const auto dot = call.find('.');
      renamed.push_back(call.substr(0, dot - 2) + call.substr(dot));
    }
    return renamed;
  }
};

// A frontier pair of windows is only one more implementation of each kind: the controller takes
// the same path through a run for it as for the single-optimization pair.
TEST_F(WindowShapeTest, FrontierWindowsGoThroughTheSamePathAsTheSingleShape) {
  const Calls single = DriveRun(false);
  const Calls frontier = DriveRun(true);
  ASSERT_GT(single.size(), 20u);
  for (const char* call :
       {"small.Update", "full.Update False True", "small.GoToPausingConfig", "full.GoToPausingConfig",
        "small.UpdateRunPauseButtons", "full.GoToRunningConfig", "small.Dispose", "full.Dispose"})
    EXPECT_NE(std::find(single.begin(), single.end(), call), single.end()) << call;
  EXPECT_EQ(UnderSingleNames(frontier), single);
}

}  // namespace
}  // namespace corvana::test
