#include "ControllerFixture.h"
#include "suite/gdlib/gdlib8.h"
#include "watcher/common/Utilities.h"
#include "watcher/controller/WatcherGlobals.h"
#include "wire/XLWatcherChannels.h"

namespace corvana::test {
namespace {

using Calls = std::vector<std::string>;

class RunControlTest : public ControllerTest {};

TEST_F(RunControlTest, PauseMarksAndTheWindowsFollowOnlyWhenPaused) {
  Start();
  manager->CommandPauseOptimization_ProcessClick();
  EXPECT_EQ(Status(), GdRunStatusMarkToPause);
  EXPECT_TRUE(manager->WaitingAfterPauseClicked);
  EXPECT_TRUE(journal.empty());
  EXPECT_FALSE(ReadBoolean(ChannelWatcherWindowChanged));

  SetStatus(GdRunStatusPaused);  // the add-in reached the pause
  manager->ProcessPausedMessageFromExcel();
  EXPECT_FALSE(manager->WaitingAfterPauseClicked);
  EXPECT_EQ(journal, (Calls{"small.Update", "full.Update True True", "small.GoToPausingConfig",
                            "full.GoToPausingConfig"}));
  EXPECT_TRUE(ReadBoolean(ChannelWatcherWindowChanged));
  EXPECT_EQ(Status(), GdRunStatusPaused);

  journal.clear();
  manager->CommandResumeOptimization_ProcessClick();
  EXPECT_EQ(Status(), GdRunStatusOptimizing);
  EXPECT_EQ(journal,
            (Calls{"small.GoToRunningConfig", "full.GoToRunningConfig", "full.SetResumeSignalTicks 3"}));
}

TEST_F(RunControlTest, StopWhileRunningAsksOnlyOncePausedNoResumesAndYesMarksToStop) {
  Start();
  manager->CommandStopOptimization_ProcessClick();
  EXPECT_EQ(Status(), GdRunStatusMarkToPause);
  EXPECT_TRUE(manager->WaitingAfterStopClicked);
  EXPECT_TRUE(services->Messages.empty());
  EXPECT_EQ(journal, (Calls{"small.ControlsAfterStopClickedDisableEnable False",
                            "full.ControlsAfterStopClickedDisableEnable False"}));
  EXPECT_TRUE(Logged("CommandStopOptimization_ProcessClick, RUNNING"));

  journal.clear();
  SetStatus(GdRunStatusPaused);
  services->Answers.push_back(7);  // No
  manager->ProcessPausedMessageFromExcel();
  ASSERT_EQ(services->Messages.size(), 1u);
  EXPECT_EQ(services->Messages[0].Text, Utilities::StopQuestionText(false));
  EXPECT_EQ(services->Messages[0].Buttons, 4);
  EXPECT_EQ(services->Titles[0], "Corvana");
  EXPECT_EQ(Status(), GdRunStatusOptimizing);
  EXPECT_FALSE(manager->WaitingAfterStopClicked);
  EXPECT_EQ(journal, (Calls{"small.Update", "full.Update True True",
                            "small.ControlsAfterStopClickedDisableEnable True",
                            "full.ControlsAfterStopClickedDisableEnable True", "small.UpdateRunPauseButtons",
                            "full.UpdateRunPauseButtons", "full.SetResumeSignalTicks 3"}));

  // Asked again and answered Yes: marked to stop, and the question is no longer on screen.
  manager->CommandStopOptimization_ProcessClick();
  SetStatus(GdRunStatusPaused);
  services->Answers.push_back(6);
  manager->ProcessPausedMessageFromExcel();
  EXPECT_EQ(Status(), GdRunStatusMarkToStop);
  EXPECT_FALSE(g_MessageBoxShown);
}

TEST_F(RunControlTest, StopWhilePausedAsksAtOnceAndNoLeavesItPausedUnlessAlertsAreOff) {
  Start();
  SetStatus(GdRunStatusPaused);
  factory->Full->Configuration = RunState::Pausing;
  services->Answers.push_back(7);
  manager->CommandStopOptimization_ProcessClick();
  EXPECT_EQ(services->Messages.size(), 1u);
  EXPECT_EQ(Status(), GdRunStatusPaused);
  EXPECT_FALSE(manager->WaitingAfterStopClicked);
  EXPECT_EQ(journal, (Calls{"small.UpdateRunPauseButtons", "full.UpdateRunPauseButtons"}));

  journal.clear();
  services->Answers.push_back(6);
  manager->CommandStopOptimization_ProcessClick();
  EXPECT_EQ(Status(), GdRunStatusMarkToStop);
  EXPECT_EQ(journal, (Calls{"small.ControlsAfterStopClickedDisableEnable False",
                            "full.ControlsAfterStopClickedDisableEnable False"}));

  // With alerts off the answer is Yes without asking.
  SetStatus(GdRunStatusPaused);
  manager->Input_DisplayAlerts = false;
  manager->CommandStopOptimization_ProcessClick();
  EXPECT_EQ(services->Messages.size(), 2u);
  EXPECT_EQ(Status(), GdRunStatusMarkToStop);
}

TEST_F(RunControlTest, NothingHappensOnceStopped) {
  Start();
  SetStatus(GdRunStatusStopped);
  manager->CommandPauseOptimization_ProcessClick();
  manager->CommandStopOptimization_ProcessClick();
  EXPECT_EQ(Status(), GdRunStatusStopped);
  EXPECT_FALSE(manager->WaitingAfterPauseClicked);
  EXPECT_FALSE(manager->WaitingAfterStopClicked);
  EXPECT_TRUE(journal.empty());
  EXPECT_TRUE(services->Messages.empty());
  // The lock was released both times: a refresh can take it again.
  bool updateLastResult = false;
  manager->BothDialogs_Update(false, updateLastResult);
  EXPECT_EQ(journal, (Calls{"small.Update", "full.Update False False"}));
}

TEST_F(RunControlTest, MultiProcessPausesDirectlyAndStopHoldsRefreshesOff) {
  manager->Input_MCoreOptimization = true;
  Start();
  manager->CommandPauseOptimization_ProcessClick();
  EXPECT_EQ(Status(), GdRunStatusPaused);
  EXPECT_FALSE(manager->WaitingAfterPauseClicked);
  EXPECT_EQ(journal, (Calls{"small.Update", "full.Update True True", "small.GoToPausingConfig",
                            "full.GoToPausingConfig"}));
  EXPECT_TRUE(ReadBoolean(ChannelWatcherWindowChanged));

  SetStatus(GdRunStatusOptimizing);
  journal.clear();
  bool stopRequestedDuringQuestion = false;
  services->DuringMessage = [&] {
    stopRequestedDuringQuestion = g_StopRequested;
    bool updateLastResult = false;
    manager->BothDialogs_Update(false, updateLastResult);  // a tick while the question is up
  };
  services->Answers.push_back(7);
  manager->CommandStopOptimization_ProcessClick();
  EXPECT_TRUE(stopRequestedDuringQuestion);
  EXPECT_FALSE(g_StopRequested);
  EXPECT_EQ(Status(), GdRunStatusOptimizing);
  EXPECT_EQ(journal, (Calls{"small.UpdateRunPauseButtons", "full.UpdateRunPauseButtons"}));

  journal.clear();
  services->DuringMessage = nullptr;
  services->Answers.push_back(6);
  manager->CommandStopOptimization_ProcessClick();
  EXPECT_EQ(Status(), GdRunStatusMarkToStop);
}

TEST_F(RunControlTest, EfficientFrontierMovesOnOrResumesAtTheLastOptimization) {
  Start(true);
  manager->Input_EFNumConstrainingValues = 3;
  manager->Input_EFCollectionOfConstrainingValues_OptimizationOrder_Final = Collection({10.0, 20.0, 30.0});
  SetStatus(GdRunStatusPaused);
  WriteDouble(ChannelEFNumOptimizationUnderWay, 1);
  manager->WaitingAfterEFNextOptimizationClicked = true;
  services->Answers.push_back(6);
  manager->ProcessPausedMessageFromExcel();
  ASSERT_EQ(services->Messages.size(), 1u);
  EXPECT_EQ(
      services->Messages[0].Text,
      Utilities::MoveOnQuestionText(manager->Input_EFCollectionOfConstrainingValues_OptimizationOrder_Final));
  EXPECT_EQ(Status(), GdRunStatusMarkToMoveToNextOptimization);
  EXPECT_FALSE(manager->WaitingAfterEFNextOptimizationClicked);
  EXPECT_EQ(journal,
            (Calls{"fullEF.SetResumeSignalTicks 3", "smallEF.ControlsAfterStopClickedDisableEnable True",
                   "fullEF.ControlsAfterStopClickedDisableEnable True", "smallEF.UpdateRunPauseButtons",
                   "fullEF.UpdateRunPauseButtons"}));

  SetStatus(GdRunStatusPaused);
  services->Answers.push_back(7);
  manager->WaitingAfterEFNextOptimizationClicked = true;
  manager->ProcessPausedMessageFromExcel();
  EXPECT_EQ(Status(), GdRunStatusOptimizing);

  SetStatus(GdRunStatusPaused);
  WriteDouble(ChannelEFNumOptimizationUnderWay, 3);
  manager->WaitingAfterEFNextOptimizationClicked = true;
  manager->ProcessPausedMessageFromExcel();
  EXPECT_EQ(services->Messages.size(), 2u);  // no question for the last one
  EXPECT_EQ(Status(), GdRunStatusOptimizing);
  EXPECT_TRUE(CallsOf("small.").empty());
  EXPECT_TRUE(CallsOf("full.").empty());
}

}  // namespace
}  // namespace corvana::test
