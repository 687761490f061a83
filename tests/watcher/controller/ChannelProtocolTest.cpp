#include "ControllerFixture.h"
#include "watcher/common/Utilities.h"
#include "wire/XLWatcherChannels.h"

namespace corvana::test {
namespace {

using Calls = std::vector<std::string>;

class ChannelProtocolTest : public ControllerTest {};

TEST_F(ChannelProtocolTest, FirstTrialHandShakeWaitsForTheFlag) {
  Start();
  WriteLong(ChannelGraphAllTrialsInitialNumTrialsShown, 50);
  WriteLong(ChannelNumLastTrialsToShow, 20);
  manager->InitializeAfterFirstTrialIfReady();
  EXPECT_TRUE(journal.empty());
  EXPECT_FALSE(manager->GotInitializedAfterFirstTrial);
  EXPECT_FALSE(ReadBoolean(ChannelWatcherInitializedAfterFirstTrial));

  WriteBoolean(ChannelFirstTrialInfoAvailable, true);
  manager->InitializeAfterFirstTrialIfReady();
  EXPECT_EQ(journal, (Calls{"full.InitializeAfterFirstTrial 50 20", "small.InitializeAfterFirstTrial"}));
  EXPECT_TRUE(manager->GotInitializedAfterFirstTrial);
  EXPECT_TRUE(ReadBoolean(ChannelWatcherInitializedAfterFirstTrial));
  EXPECT_TRUE(Logged("WatcherManager.InitializeAfterFirstTrialIfReady: Ready"));
}

TEST_F(ChannelProtocolTest, BadFirstTrialCountsAreLoggedAndStillUsed) {
  Start(true);
  WriteLong(ChannelGraphAllTrialsInitialNumTrialsShown, 0);
  WriteLong(ChannelNumLastTrialsToShow, -3);
  WriteBoolean(ChannelFirstTrialInfoAvailable, true);
  manager->InitializeAfterFirstTrialIfReady();
  EXPECT_TRUE(
      Logged("ERROR: GetFirstTrialInfoSentByXL, p_GraphAllTrialsInitialNumTrialsShown=0, "
             "p_NumLastTrialsToShow=-3"));
  EXPECT_EQ(journal, (Calls{"fullEF.InitializeAfterFirstTrial 0 -3", "smallEF.InitializeAfterFirstTrial"}));
}

TEST_F(ChannelProtocolTest, SolverQuestionIsAskedOnceWithTheRightText) {
  Start();
  WriteLong(ChannelAskUserAboutSolver, 3);
  services->Answers.push_back(2);  // the Yes button
  manager->CheckForXLRequestToAskUserAboutSolverAndProcess();
  ASSERT_EQ(services->Messages.size(), 1u);
  EXPECT_EQ(services->Messages[0].Text, Utilities::SolverQuestionText(3));
  EXPECT_EQ(ReadLong(ChannelAskUserAboutSolver), -1);
  EXPECT_EQ(journal, (Calls{"small.TopMost False", "small.TopMost True"}));

  WriteLong(ChannelAskUserAboutSolver, 1);
  manager->CheckForXLRequestToAskUserAboutSolverAndProcess();
  EXPECT_EQ(services->Messages.size(), 1u);
  EXPECT_EQ(ReadLong(ChannelAskUserAboutSolver), 1);  // not answered again
}

TEST_F(ChannelProtocolTest, SolverHelpButtonShowsHelpAndAsksAgain) {
  Start();
  auto help = std::make_shared<FakeHelpHost>();
  manager->Input_NETApplication = help;
  factory->Small->Visibility = false;
  WriteLong(ChannelAskUserAboutSolver, 1);
  services->Answers = {1, 3};  // help, then No
  manager->CheckForXLRequestToAskUserAboutSolverAndProcess();
  EXPECT_EQ(services->Messages.size(), 2u);
  EXPECT_EQ(services->Messages[0].Text, Utilities::SolverQuestionText(1));
  EXPECT_EQ(help->Shown, std::vector<std::int32_t>{11200});
  EXPECT_EQ(ReadLong(ChannelAskUserAboutSolver), -2);
  EXPECT_TRUE(journal.empty());  // an invisible window keeps its z-order
}

TEST_F(ChannelProtocolTest, SolverQuestionWithAlertsOffAnswersYesOnce) {
  Start();
  manager->Input_DisplayAlerts = false;
  WriteLong(ChannelAskUserAboutSolver, 2);
  manager->CheckForXLRequestToAskUserAboutSolverAndProcess();
  EXPECT_TRUE(services->Messages.empty());
  EXPECT_EQ(ReadLong(ChannelAskUserAboutSolver), -1);
  WriteLong(ChannelAskUserAboutSolver, 2);
  manager->CheckForXLRequestToAskUserAboutSolverAndProcess();
  EXPECT_EQ(ReadLong(ChannelAskUserAboutSolver), 2);  // asked once only
}

// In the efficient-frontier shape the question has no window to go with: the answer is No.
TEST_F(ChannelProtocolTest, SolverQuestionInTheEfficientFrontierShapeIsNo) {
  Start(true);
  WriteLong(ChannelAskUserAboutSolver, 1);
  manager->CheckForXLRequestToAskUserAboutSolverAndProcess();
  EXPECT_TRUE(services->Messages.empty());
  EXPECT_EQ(ReadLong(ChannelAskUserAboutSolver), -2);
}

TEST_F(ChannelProtocolTest, InconsistentConstraintsAlwaysGetsAnAnswer) {
  Start();
  WriteLong(ChannelAskUserAboutInconsistentConstraints, 0);
  manager->CheckForXLRequestToAskUserWhetherToRunWithPotentiallyInconsistentConstraintsAndProcessTheRequest();
  EXPECT_EQ(ReadLong(ChannelAskUserAboutInconsistentConstraints), -1);
  EXPECT_TRUE(services->Messages.empty());

  WriteLong(ChannelAskUserAboutInconsistentConstraints, 1);
  services->Answers.push_back(7);
  manager->CheckForXLRequestToAskUserWhetherToRunWithPotentiallyInconsistentConstraintsAndProcessTheRequest();
  ASSERT_EQ(services->Messages.size(), 1u);
  EXPECT_EQ(services->Messages[0].Text, Utilities::GetResourceString(5201));
  EXPECT_EQ(ReadLong(ChannelAskUserAboutInconsistentConstraints), -2);
}

TEST_F(ChannelProtocolTest, StoppingOptionsSignalsAndFiguresGoThroughTheirChannels) {
  Start();
  WriteBoolean(ChannelStopGenerateOptimizationSummary, true);
  WriteBoolean(ChannelStopWriteLogOfAllTrials, false);
  WriteBoolean(ChannelStopWriteLogOfProgressSteps, true);
  WriteLong(ChannelStopSolutionToKeep, -5);
  manager->ReadStoppingOptionsFromWatcher();
  EXPECT_TRUE(manager->Stop_AtEndGenerateOptimizationSummary);
  EXPECT_FALSE(manager->Stop_AtEndWriteLogOfAllTrials);
  EXPECT_TRUE(manager->Stop_AtEndWriteLogOfProgressSteps);
  EXPECT_EQ(manager->Stop_SolutionToKeep, -5);

  manager->ChannelWatcherSentCommandToShowItModally();
  EXPECT_TRUE(ReadBoolean(ChannelWatcherSentCommandToShowItModally));
  EXPECT_TRUE(Logged("GdWriteTempData returned, Err: "));
  manager->SendShowExcelRecalculationsToXL(2);
  EXPECT_EQ(ReadLong(ChannelShowExcelRecalculations), 2);
  EXPECT_FALSE(manager->OLToldWatcherToStopTimer());
  WriteBoolean(ChannelOLToldWatcherToStopTimer, true);
  EXPECT_TRUE(manager->OLToldWatcherToStopTimer());
  EXPECT_FALSE(manager->TellOLWatcherStoppedTimer());
  EXPECT_TRUE(ReadBoolean(ChannelWatcherStoppedTimer));

  // The run's figures are read as doubles.
  WriteDouble(ChannelNumIterations, 250);
  WriteDouble(ChannelNumIterationsInCompletedSimulation, 1000);
  WriteDouble(ChannelNumTrialUnderWay, 17.5);
  EXPECT_EQ(manager->NumIterations(), 250);
  EXPECT_EQ(manager->NumIterationsInCompletedSimulation(), 1000);
  EXPECT_EQ(manager->NumTrialUnderWay(), 17.5);
  EXPECT_TRUE(Logged("WatcherManger, NumTrialUnderWay, GdReadTempData returned: 17.5"));
}

}  // namespace
}  // namespace corvana::test
