#include <cstdlib>
#include <filesystem>

#include "ControllerFixture.h"
#include "common/ComError.h"
#include "common/ErrorTrap.h"
#include "suite/gdlib/gdlib8.h"
#include "suite/objectlib/SuiteFolders.h"
#include "suite/objectlib/SurvivalMutex.h"
#include "watcher/common/Utilities.h"
#include "watcher/common/WatcherOLShared.h"
#include "watcher/controller/EFGraph.h"
#include "watcher/controller/MainModule.h"
#include "watcher/controller/PlatformControllerServices.h"
#include "watcher/controller/SurvivalChecker.h"
#include "watcher/controller/WatcherGlobals.h"
#include "watcher/ui/testing/FakePlatform.h"

namespace corvana::test {
namespace {

using Calls = std::vector<std::string>;

class ManagerLifecycleTest : public ControllerTest {};

TEST_F(ManagerLifecycleTest, SecondOptimizationIsRefusedAndTheFirstKeepsItsState) {
  Start();
  manager->Input_AllGeneNamesCol.Add("A1");
  const auto server = g_ResourceServer;
  WatcherManager second(services, factory);
  try {
    second.Initialize();
    FAIL() << "a second Initialize must fail";
  } catch (const ComError& e) {
    EXPECT_EQ(e.Code(), 0x8004000Au);
    EXPECT_EQ(e.Description(),
              "Cannot optimize, because optimization is under way in another copy of Excel.");
  }
  EXPECT_EQ(g_WatcherManager, manager.get());
  EXPECT_EQ(g_ResourceServer, server);
  EXPECT_TRUE(g_OptimizationUnderWay);
  second.Dispose();  // the refused controller cannot end the running optimization
  EXPECT_TRUE(g_OptimizationUnderWay);
  EXPECT_EQ(g_ResourceServer, server);
  EXPECT_EQ(manager->Input_AllGeneNamesCol.Count(), 1);

  manager->Dispose();
  EXPECT_FALSE(g_OptimizationUnderWay);
  EXPECT_EQ(g_WatcherManager, nullptr);
  EXPECT_EQ(g_ResourceServer, nullptr);
  WatcherManager third(services, factory);
  third.Initialize();
  EXPECT_EQ(g_WatcherManager, &third);
  third.Dispose();
  EXPECT_THROW(third.Initialize(), ComError);  // a disposed controller is not reused
}

// The survival mutex, once taken, is held until the process ends: only a fresh process can see
// Initialize fail to take it.
TEST_F(ManagerLifecycleTest, InitializeThatCannotTakeTheSurvivalMutexLeavesTheProcessFree) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        const std::string lockFile =
            SurvivalMutex::LockFilePath(SuiteFolders::RuntimeDirectory(), kWatcherSurvivalMutex);
        std::filesystem::create_directories(lockFile);  // a lock file that cannot be opened
        const bool refused = !ResumeNext([&] { manager->Initialize(); });
        const bool free = !g_OptimizationUnderWay && !g_ResourceServer && !g_WatcherManager;
        std::filesystem::remove(lockFile);
        MakeManager(services);
        const bool retried = ResumeNext([&] { manager->Initialize(); }) && g_OptimizationUnderWay;
        std::exit(refused && free && retried ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(ManagerLifecycleTest, AnOrganismTheEngineCannotReadHasNoObjective) {
  Start();
  double value = 0, objective = 0;
  std::int32_t flags = 0;
  const std::int16_t code = GdOrgGetResult(popHandle, 11, &value, &objective, 0, &flags);
  ASSERT_NE(code, 0);  // the population has 10 organisms
  EXPECT_EQ(manager->getGendaraResult(11), 0);
  EXPECT_TRUE(Logged("Error calling GdOrgGetResult in getGendaraResult: " + std::to_string(code)));
}

TEST_F(ManagerLifecycleTest, InitializeReplacesCollectionsAndFormsNeedIt) {
  EXPECT_THROW(manager->InitializeForms(), ComError);
  EXPECT_TRUE(journal.empty());
  manager->Input_GroupNames.Add("stale");
  manager->IDForGdLogReadRecordVB = 5;
  manager->Initialize();
  EXPECT_EQ(manager->Input_GroupNames.Count(), 0);
  EXPECT_EQ(manager->IDForGdLogReadRecordVB, 0);
  manager->Input_MainHelpFilePath = "corvana.hlp";
  manager->InitializeForms();
  EXPECT_EQ(journal, (Calls{"small.Initialize", "full.Initialize"}));
  EXPECT_EQ(services->HelpFile, "corvana.hlp");
  EXPECT_THROW(manager->InitializeForms(), ComError);
}

TEST_F(ManagerLifecycleTest, DisposeTouchesOnlyTheActiveShapeAndWritesNoPictureWithoutTrials) {
  Start(true);
  manager->Input_Application = std::make_shared<FakeAddinApplication>();
  manager->Dispose();
  EXPECT_EQ(journal, (Calls{"fullEF.Hide", "fullEF.Unload", "fullEF.Dispose", "smallEF.Hide",
                            "smallEF.Unload", "smallEF.Dispose"}));
  EXPECT_EQ(manager->Input_Application, nullptr);
  EXPECT_EQ(manager->FullWindow(), nullptr);
  journal.clear();
  manager->Dispose();  // once only
  EXPECT_TRUE(journal.empty());
}

TEST_F(ManagerLifecycleTest, DisposeSavesTheProgressGraphWhenThereAreTrials) {
  manager->Input_LogPath =
      WriteTrialLog({true, true, true, true, true, true, true, true, true, true, true, true}, 3);
  manager->Input_ProgressGraphPath = dir + "/progress.png";
  manager->Input_Application = std::make_shared<FakeAddinApplication>();
  Start();
  const std::string axisTitle = Utilities::GetResourceString(5200);
  manager->Dispose();
  const auto saved = CallsOf("full.SaveAllTrialsGraphPicture");
  ASSERT_EQ(saved.size(), 1u);
  // 12 trials round up to 20; the axis is at least 10 long.
  EXPECT_EQ(saved[0], "full.SaveAllTrialsGraphPicture " + axisTitle + " 20 " + dir + "/progress.png 640x480");
}

TEST_F(ManagerLifecycleTest, StopTimerAndWindowQueriesAddressTheActiveShape) {
  Start(true);
  manager->StopTimer();
  EXPECT_EQ(journal, (Calls{"fullEF.StopTimer True", "fullEF.TimerUpdate off"}));
  EXPECT_EQ(manager->GetTopPropertyOfVisibleForm(), 1235);  // the small window's Top, rounded
  manager->WatcherShown = true;
  EXPECT_EQ(manager->GetTopPropertyOfVisibleForm(), 99);
  factory->Full->GraphDialogOpen = true;
  EXPECT_TRUE(manager->OrrGraphModalDialogBeingDisplayed());
  manager->Input_EFPerformAnalysis = false;  // the other shape was never created
  EXPECT_FALSE(manager->OrrGraphModalDialogBeingDisplayed());
}

TEST_F(ManagerLifecycleTest, SwitchingWindowsAndTheColourGraphTimer) {
  Start();
  auto host = std::make_shared<FakeHostApplication>(journal);
  manager->Input_ExcelApplication = host;
  factory->Full->ColorTabSelected = true;
  manager->SwitchToWatcherWindow();
  EXPECT_TRUE(manager->WatcherShown);
  EXPECT_EQ(journal, (Calls{"host.SetForeground", "small.Hide", "small.TopMost False", "full.TopMost True",
                            "full.Show", "full.Activate", "full.EnableColorGraphTimer"}));
  journal.clear();
  manager->SwitchToSmallWindow();
  EXPECT_FALSE(manager->WatcherShown);
  EXPECT_EQ(journal, (Calls{"host.SetForeground", "full.Hide", "full.TopMost False", "small.TopMost True",
                            "small.Show", "small.Activate"}));
  EXPECT_TRUE(ReadBoolean(10));
}

TEST_F(ManagerLifecycleTest, ShowWatcherModallyPreparesTheHostAndEndsWithDispose) {
  Start();
  auto host = std::make_shared<FakeHostApplication>(journal);
  manager->Input_ExcelApplication = host;
  manager->Input_ExcelAppHwnd = 77;
  bool modalFlagWhileShown = false;
  factory->Full->WhileModal = [&] { modalFlagWhileShown = g_ModalDialogShown; };
  manager->ShowWatcherModally();
  EXPECT_TRUE(modalFlagWhileShown);
  EXPECT_FALSE(g_ModalDialogShown);
  EXPECT_FALSE(host->Property);  // switched off, not restored
  EXPECT_TRUE(host->Enabled);    // disabled while modal, enabled again
  EXPECT_EQ(services->Tied, (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{22, 77}}));
  const Calls expected{"small.Hide",
                       "host.BooleanProperty 1033",
                       "host.SetBooleanProperty False",
                       "host.EnableWindow False",
                       "full.Show modal",
                       "full.modal loop ended",
                       "host.EnableWindow True",
                       "host.SetForeground",
                       "full.Hide",
                       "full.Unload",
                       "full.Dispose",
                       "small.Hide",
                       "small.Unload",
                       "small.Dispose"};
  EXPECT_EQ(journal, expected);
  EXPECT_TRUE(manager->Disposed());
  EXPECT_FALSE(g_OptimizationUnderWay);
}

TEST_F(ManagerLifecycleTest, ShowWatcherModallyInTheFrontierShapeUsesOnlyItsWindows) {
  Start(true);
  auto host = std::make_shared<FakeHostApplication>(journal);
  manager->Input_ExcelApplication = host;
  manager->Input_ExcelAppHwnd = 77;
  manager->ShowWatcherModally();
  for (const std::string& call : journal)
    EXPECT_TRUE(call.rfind("smallEF.", 0) == 0 || call.rfind("fullEF.", 0) == 0 ||
                call.rfind("host.", 0) == 0)
        << call;
  EXPECT_EQ(CallsOf("fullEF.Show modal").size(), 1u);
  EXPECT_EQ(services->Tied, (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{22, 77}}));
  EXPECT_TRUE(Logged("ShowWatcherModally, m_FormProgressSmallEF.Visible: True"));
  EXPECT_TRUE(Logged("ShowWatcherModally, after hide command, m_FormProgressSmallEF.Visible: False"));
  EXPECT_TRUE(manager->Disposed());
}

TEST_F(ManagerLifecycleTest, ShutdownDuringTheModalWindowKeepsItAliveUntilItsLoopEnds) {
  Start();
  // The add-in's process ends while the window is modal: the survival check disposes everything.
  factory->Full->WhileModal = [&] { manager->Dispose(); };
  manager->ShowWatcherModally();
  EXPECT_TRUE(manager->Disposed());
  EXPECT_EQ(CallsOf("full.modal loop ended").size(), 1u);
  EXPECT_EQ(CallsOf("full.Dispose").size(), 1u);
  EXPECT_EQ(manager->FullWindow(), nullptr);
}

TEST_F(ManagerLifecycleTest, YesNoQueriesFollowTheSuppressionRule) {
  Start();
  manager->Input_DisplayAlerts = false;
  EXPECT_FALSE(manager->DisplayYesNoQuery("q", true, false));
  EXPECT_TRUE(manager->DisplayYesNoQueryWithHelp("q", "", 1, true, true));
  EXPECT_TRUE(services->Messages.empty());
  services->Answers = {7, 3};
  EXPECT_FALSE(manager->DisplayYesNoQuery("q", false, true));  // not suppressible: asked anyway
  EXPECT_FALSE(manager->DisplayYesNoQueryWithHelp("q", "", 1, false, true));
  EXPECT_EQ(services->Messages.size(), 2u);
  manager->DisplayMessage("m", true);
  EXPECT_EQ(services->Messages.size(), 2u);
  manager->DisplayMessage("m", false);
  EXPECT_EQ(services->Messages.back().Buttons, 4096);
}

// The question with help as the program shows it: through the UI platform's dialog with captions.
class PlatformQuestionTest : public ControllerTest {
 protected:
  ui::FakePlatform platform;  // outlives TearDown, which still reaches the services
};

TEST_F(PlatformQuestionTest, HelpButtonShowsHelpAndAsksAgainUntilAnswered) {
  MakeManager(std::make_shared<PlatformControllerServices>(platform));
  Start();
  auto help = std::make_shared<FakeHelpHost>();
  manager->Input_NETApplication = help;
  platform.QueueMessageBoxAnswer(1);  // Help
  platform.QueueMessageBoxAnswer(2);  // Yes
  EXPECT_TRUE(manager->DisplayYesNoQueryWithHelp("Run the solver?", "other.chm", 11200, true, false));
  EXPECT_EQ(help->Shown, std::vector<std::int32_t>{11200});
  ASSERT_EQ(platform.Messages().size(), 2u);
  for (const auto& shown : platform.Messages()) {
    EXPECT_EQ(shown.Text, "Run the solver?");
    EXPECT_EQ(shown.Title, "Corvana");
    EXPECT_EQ(shown.Captions, (std::vector<std::string>{"Help", "Yes", "No"}));
  }
  EXPECT_FALSE(g_MessageBoxShown);

  // The third button and a dialog closed without a choice both answer No, without help.
  platform.QueueMessageBoxAnswer(3);
  EXPECT_FALSE(manager->DisplayYesNoQueryWithHelp("Run the solver?", "", 11200, false, true));
  EXPECT_FALSE(manager->DisplayYesNoQueryWithHelp("Run the solver?", "", 11200, false, true));
  EXPECT_EQ(platform.Messages().size(), 4u);
  EXPECT_EQ(help->Shown.size(), 1u);
}

TEST_F(ManagerLifecycleTest, ProgressStatusTextVariants) {
  manager->Input_LogPath = WriteTrialLog({true, true, true}, 2);
  Start();
  using Utilities::GetResourceString;
  const std::string runTime = GetResourceString(2454, Utilities::FormatElapsedTime(manager->ElapsedTicks()));
  const std::string best = GetResourceString(2464, manager->FormatTargetValue(manager->BestObjectiveValue()),
                                             manager->BestTrialNumber());
  const std::string original = GetResourceString(2465, manager->FormatTargetValue(10));
  EXPECT_EQ(manager->OriginalObjectiveValue(), 10);
  EXPECT_EQ(manager->GetProgressStatusText(),
            best + " " + original + " " + GetResourceString(2461, 3.0) + " " + runTime);
  EXPECT_TRUE(manager->LogHasProgressSteps());

  manager->Input_ConstraintSolverMode = true;
  manager->Input_ConstraintSolver_HardConstraintDescriptions = Collection({"a", "b"});
  const std::string gap = "    ";
  EXPECT_EQ(
      manager->GetProgressStatusText(),
      GetResourceString(4510, std::int32_t{2}) + gap +
          GetResourceString(2464, Utilities::ConstraintSolverValueText(manager->BestObjectiveValue(), true),
                            manager->BestTrialNumber()) +
          gap + GetResourceString(2465, Utilities::ConstraintSolverValueText(10, true)) + gap +
          GetResourceString(2461, 3.0) + gap + runTime);

  manager->Input_EFPerformAnalysis = true;
  WriteDouble(13, 42);
  EXPECT_EQ(manager->GetProgressStatusText(), GetResourceString(2461, 42.0) + " " + runTime);
}

TEST_F(ManagerLifecycleTest, FiguresAreZeroBeforeTheFirstTrialAndAnInvalidTrialShowsBothCounts) {
  Start();
  EXPECT_EQ(manager->LogTrialCount(), 0);
  EXPECT_EQ(manager->LogValidTrialCount(), 0);
  EXPECT_FALSE(manager->LogHasProgressSteps());
  EXPECT_FALSE(manager->GetProgressStatusText().empty());

  manager->Input_LogPath = WriteTrialLog({true, false, true}, 1);
  const std::string text = manager->GetProgressStatusText();
  EXPECT_NE(text.find(Utilities::GetResourceString(2462, 3.0, 2.0)), std::string::npos) << text;
  EXPECT_EQ(manager->LogValidTrialCount(), 2);
}

TEST_F(ManagerLifecycleTest, EfficientFrontierChartIsBlueOrReportsItsError) {
  struct Graph : EFGraph {
    void SetSeriesColor(int, std::int32_t color) override { Color = color; }
    std::int32_t SeriesColor(int) const override { return Color; }
    std::int32_t Color = 0;
  };
  Start(true);
  auto host = std::make_shared<FakeHostApplication>(journal);
  EXPECT_TRUE(manager->EFGraphChartInExcel(host, {":1.7", "/r/1"}, {":1.7", "/r/2"}).IsNothing());
  EXPECT_EQ(services->Messages.size(), 1u);  // no graph registered
  auto graph = std::make_shared<Graph>();
  g_EFGraph = graph;
  const HostObjectRef chart = manager->EFGraphChartInExcel(host, {":1.7", "/r/1"}, {":1.7", "/r/2"});
  EXPECT_EQ(chart.Path, "/host/Chart/1");
  EXPECT_EQ(graph->Color, 16711680);
  EXPECT_EQ(journal.back(), "host.CreateChart /r/2 /r/1 2 16711680");
}

TEST_F(ManagerLifecycleTest, SurvivalCheckPollsRearmsAndEndsTheProcess) {
  SurvivalMutex addin(g_AddinSurvivalMutex);
  addin.Take();
  g_StartedByCom = true;
  Start();
  EXPECT_EQ(services->RunningIntervals(), std::vector<int>{1000});
  auto host = std::make_shared<FakeHostApplication>(journal);
  manager->Input_ExcelApplication = host;
  manager->Input_ExcelMajorVersion = 16;
  manager->Input_ExcelAppHwnd = 5;
  manager->Input_ExcelProcessID = 900;
  services->Foreground = 6;
  services->Processes[6] = 900;  // another window of the host's process is in front

  ASSERT_TRUE(services->Fire(1000));
  EXPECT_EQ(services->RunningIntervals(), std::vector<int>{1000});
  EXPECT_TRUE(journal.empty());

  g_ModalDialogShown = true;
  ASSERT_TRUE(services->Fire(1000));
  EXPECT_EQ(services->RunningIntervals(), std::vector<int>{100});  // faster while modal
  EXPECT_EQ(journal, Calls{"host.Run Corvana.xla!OptDoEvents"});
  EXPECT_EQ(services->Ordered, (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{5, 6}}));

  manager->Input_ExcelMajorVersion = 14;  // no window ordering for this host version
  ASSERT_TRUE(services->Fire(100));
  EXPECT_EQ(services->Ordered.size(), 1u);

  addin.Release();
  ASSERT_TRUE(services->Fire(100));
  EXPECT_TRUE(services->RunningIntervals() == std::vector<int>{500});  // only the self-destruct timer
  EXPECT_TRUE(manager->Disposed());
  EXPECT_EQ(services->ExitCode, -1);
  ASSERT_TRUE(services->Fire(500));
  EXPECT_EQ(services->ExitCode, 0);
}

// A question of this process that a window of the host's process covers is brought back in front;
// one already in front, or a window of another process in front, is left alone.
TEST_F(ManagerLifecycleTest, SurvivalCheckKeepsAQuestionInFrontOfTheHost) {
  SurvivalMutex addin(g_AddinSurvivalMutex);
  addin.Take();
  g_StartedByCom = true;
  Start();
  manager->Input_ExcelProcessID = 900;
  services->TopLevelWindows["Corvana"] = 30;
  services->Processes[30] = 4242;  // the question is this process's own window
  services->Processes[6] = 900;
  services->Processes[8] = 555;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> orderedWhileAsked;
  services->DuringMessage = [&] {
    for (std::uint64_t foreground : {6, 30, 8}) {
      services->Foreground = foreground;
      ASSERT_TRUE(services->Fire(1000));
    }
    orderedWhileAsked = services->Ordered;
  };
  manager->DisplayYesNoQuery("q", false, true);
  EXPECT_EQ(orderedWhileAsked, (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{6, 30}}));

  services->Foreground = 6;  // the question has gone: nothing to keep in front
  ASSERT_TRUE(services->Fire(1000));
  EXPECT_EQ(services->Ordered.size(), 1u);
}

TEST_F(ManagerLifecycleTest, EndingAfterTheAddinDiedUnloadsWithoutTouchingTheEngineOrTheAddin) {
  // The add-in answers the picture size; once it is gone it must not be asked.
  struct CountingAddin : FakeAddinApplication {
    void ProgressGraphPictureSize(std::int32_t& width, std::int32_t& height) override {
      ++Asked;
      FakeAddinApplication::ProgressGraphPictureSize(width, height);
    }
    int Asked = 0;
  };
  manager->Input_LogPath = WriteTrialLog({true, true, true}, 3);
  manager->Input_ProgressGraphPath = dir + "/progress.png";
  auto addin = std::make_shared<CountingAddin>();
  manager->Input_Application = addin;
  g_StartedByCom = true;
  Start();
  journal.clear();

  ASSERT_TRUE(services->Fire(1000));  // no process holds the add-in's mutex
  EXPECT_EQ(addin->Asked, 0);
  EXPECT_TRUE(CallsOf("full.SaveAllTrialsGraphPicture").empty());
  EXPECT_EQ(journal, (Calls{"full.Hide", "full.Unload", "full.Dispose", "small.Hide", "small.Unload",
                            "small.Dispose"}));
  EXPECT_TRUE(manager->Disposed());
  EXPECT_EQ(manager->Input_Application, nullptr);
  EXPECT_EQ(addin.use_count(), 1) << "the add-in's object is still held";
}

TEST_F(ManagerLifecycleTest, StandAloneRunsNoSurvivalCheck) {
  Start();
  EXPECT_TRUE(services->RunningIntervals().empty());
  EXPECT_FALSE(g_FormSurvival);
  EXPECT_EQ(manager->WatcherProcessID(), 4242);
}

}  // namespace
}  // namespace corvana::test
