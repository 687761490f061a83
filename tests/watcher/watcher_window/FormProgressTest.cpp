#include "watcher/watcher_window/FormProgress.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "suite/gdlib/gdlib8.h"
#include "tests/watcher/watcher_window/WatcherRun.h"
#include "watcher/common/Utilities.h"
#include "watcher/common/WatcherOLShared.h"
#include "watcher/engine/GdLib.h"
#include "watcher/graph/OGrGraph.h"
#include "wire/XLWatcherChannels.h"

namespace corvana {
namespace {

using Utilities::GetResourceString;

TEST(FormProgressTest, WaitsForTheFirstTrialThenTurnsToTheRunningLook) {
  WatcherRun run;
  FormProgress& form = run.Full();
  EXPECT_TRUE(form.TimerUpdate.Enabled());
  for (int tab : {1, 2, 3, 4}) EXPECT_FALSE(form.TabMain.Item(tab).Enabled) << tab;
  EXPECT_FALSE(form.TabMain.Item(6).Enabled);
  EXPECT_FALSE(form.OrrGraphAllTrials.Visible());
  EXPECT_EQ(form.LabelProgressStatus.Caption(), GetResourceString(4037));

  // Trials are logged but the add-in has not said so yet: nothing changes, nothing is told.
  run.RunTrials(3);
  run.Tick();
  EXPECT_FALSE(form.InitializedAfterFirstTrial());
  EXPECT_EQ(form.LabelProgressStatus.Caption(), GetResourceString(4037));
  EXPECT_FALSE(run.ReadBoolean(ChannelWatcherInitializedAfterFirstTrial));

  run.SendFirstTrialInfo(100, 50);
  run.Tick();
  EXPECT_TRUE(form.InitializedAfterFirstTrial());
  EXPECT_TRUE(run.ReadBoolean(ChannelWatcherInitializedAfterFirstTrial));
  for (int tab : {1, 2, 3, 4}) EXPECT_TRUE(form.TabMain.Item(tab).Enabled) << tab;
  EXPECT_TRUE(form.OrrGraphAllTrials.Visible());
  EXPECT_TRUE(form.OrrGraphLastTrials.Visible());
  EXPECT_EQ(form.GraphLastTrials()->XAxis().CustomMin(), -50);
  EXPECT_EQ(form.GraphLastTrials()->XAxis().CustomMax(), 0);
  EXPECT_EQ(form.GraphAllTrials()->XAxis().CustomMax(), 100);
  EXPECT_EQ(form.GraphAllTrials()->XAxis().TitleText(), GetResourceString(4041));
  EXPECT_EQ(form.LabelProgressStatus.Caption(), run.Manager.GetProgressStatusText());
  EXPECT_EQ(form.Steps().Count(), 1u);
}

TEST(FormProgressTest, TickRunsItsStepsInOrder) {
  WatcherRun run;
  run.Start(2);
  run.NewLogLines();
  run.Tick();
  EXPECT_TRUE(InOrder(run.NewLogLines(), {"WATCHER: entering TimerUpdate_Timer, Me.StopTimer=False",
                                          "WATCHER: entering TimerUpdate_Timer, past Me.StopTimer check",
                                          "FormProgress.Update: Entering",
                                          "WATCHER: exiting TimerUpdate_Timer, past Me.StopTimer check"}));
  // The inconsistent-constraints check answers every tick, -1 when nothing was asked.
  EXPECT_EQ(run.ReadLong(ChannelAskUserAboutInconsistentConstraints), -1);
}

// The diagnostic log pairs every entry line of the update cycle with its exit line, also when
// the cycle finds nothing to do.
TEST(FormProgressTest, UpdateWithoutAManagerStillWritesItsExitLine) {
  WatcherRun run;
  FormProgress& form = run.Full();
  form.Dispose();  // the manager lets the window go
  run.NewLogLines();
  bool updateLastResult = false;
  form.Update(true, updateLastResult);
  EXPECT_EQ(run.NewLogLines(),
            (std::vector<std::string>{"FormProgress.Update: Entering", "FormProgress.Update: Exiting"}));
}

TEST(FormProgressTest, DisposeLetsTheLogGridsSourceAndTheManagerGo) {
  WatcherRun run;
  run.Start(2);
  FormProgress& form = run.Full();
  ASSERT_NE(form.LogServer(), nullptr);
  run.NewLogLines();
  form.Dispose();
  EXPECT_EQ(form.LogServer(), nullptr);
  EXPECT_EQ(form.SGGridLog.DataSource(), nullptr);
  EXPECT_TRUE(InOrder(run.NewLogLines(), {"WATCHER, FormProgress.Dispose: Set m_Manager = Nothing",
                                          "WATCHER, FormProgress.Dispose: Set m_LogServer = Nothing"}));
}

TEST(FormProgressTest, TickWritesItsExitLineOnce) {
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

TEST(FormProgressTest, StopTimerMakesTheTickALoneLogLine) {
  WatcherRun run;
  run.Start(2);
  run.Full().SetStopTimer(true);
  run.RunTrials(2);
  const std::string before = run.Full().LabelProgressStatus.Caption();
  run.NewLogLines();
  run.Tick();
  EXPECT_EQ(run.NewLogLines(),
            (std::vector<std::string>{"WATCHER: entering TimerUpdate_Timer, Me.StopTimer=True"}));
  EXPECT_EQ(run.Full().LabelProgressStatus.Caption(), before);
}

TEST(FormProgressTest, ChannelTenOnExactlyTheThreeTicksAfterAResume) {
  WatcherRun run;
  run.Start(2);
  run.Full().GoToPausingConfig();
  run.SetStatus(GdRunStatusPaused);
  run.Full().CommandRun_Click();
  EXPECT_EQ(run.Status(), GdRunStatusOptimizing);
  EXPECT_EQ(run.Full().ButtonConfiguration(), RunState::Running);
  std::vector<bool> written;
  for (int tick = 0; tick < 5; ++tick) {
    run.WriteBoolean(ChannelWatcherWindowChanged, false);
    run.Tick();
    written.push_back(run.ReadBoolean(ChannelWatcherWindowChanged));
  }
  EXPECT_EQ(written, (std::vector<bool>{true, true, true, false, false}));

  // A stopped run does not use up the countdown.
  run.Full().SetResumeSignalTicks(3);
  run.SetStatus(GdRunStatusStopped);
  run.WriteBoolean(ChannelWatcherWindowChanged, false);
  run.Tick();
  EXPECT_FALSE(run.ReadBoolean(ChannelWatcherWindowChanged));
  EXPECT_EQ(run.Full().ResumeSignalTicks(), 3);
}

TEST(FormProgressTest, PausedRunIsHandledOnlyWhenThePauseWasAskedFor) {
  WatcherRun run;
  run.Start(2);
  // Paused without a pending request from this window: nothing, not even a refresh.
  run.SetStatus(GdRunStatusPaused);
  run.RunTrials(3);
  run.Tick();
  EXPECT_EQ(run.Full().ButtonConfiguration(), RunState::Running);
  EXPECT_EQ(run.Full().SGGridSummary.CellText(2, 0), "2");  // last row still from before

  // Pause clicked: MarkToPause now, the windows follow once the add-in has paused.
  run.SetStatus(GdRunStatusOptimizing);
  run.Full().CommandPause_Click();
  EXPECT_EQ(run.Status(), GdRunStatusMarkToPause);
  EXPECT_TRUE(run.Manager.WaitingAfterPauseClicked);
  run.SetStatus(GdRunStatusPaused);
  run.WriteBoolean(ChannelWatcherWindowChanged, false);
  run.Tick();
  EXPECT_EQ(run.Full().ButtonConfiguration(), RunState::Pausing);
  EXPECT_TRUE(run.Full().CommandPause.Pressed());
  EXPECT_FALSE(run.Full().CommandRun.Pressed());
  EXPECT_TRUE(run.ReadBoolean(ChannelWatcherWindowChanged));
  EXPECT_FALSE(run.Manager.WaitingAfterPauseClicked);
  EXPECT_EQ(run.Full().SGGridSummary.CellText(2, 0), "5");
}

TEST(FormProgressTest, PausedMultiProcessRunIsLeftAlone) {
  WatcherRun run({.MultiProcess = true});
  run.Start(2);
  run.SetStatus(GdRunStatusPaused);
  run.Manager.WaitingAfterPauseClicked = true;
  run.Tick();
  EXPECT_TRUE(run.Manager.WaitingAfterPauseClicked);
  EXPECT_EQ(run.Full().ButtonConfiguration(), RunState::Running);
}

TEST(FormProgressTest, StopWhileRunningAsksOnlyOnceThePauseArrives) {
  WatcherRun run;
  run.Start(2);
  run.Full().CommandStop_Click();
  EXPECT_EQ(run.Status(), GdRunStatusMarkToPause);
  EXPECT_TRUE(run.Full().CommandRun.PictureKey() == ui::GreyPicture(ui::PictureKeys::kRun));
  EXPECT_TRUE(run.Platform.Messages().empty());
  run.Platform.QueueMessageBoxAnswer(ui::MsgBox::kYes);
  run.SetStatus(GdRunStatusPaused);
  run.Tick();
  ASSERT_EQ(run.Platform.Messages().size(), 1u);
  EXPECT_EQ(run.Status(), GdRunStatusMarkToStop);
}

TEST(FormProgressTest, RunButtonsTakeTheFocusOffThemselvesBeforeActing) {
  WatcherRun run;
  run.Start(2);
  int focusMoves = 0;
  run.Full().TabMain.SetObserver([&](ui::Control&, std::string_view property) {
    if (property == "Focus") ++focusMoves;
  });
  run.Full().CommandPause_Click();
  EXPECT_EQ(focusMoves, 1);
  run.Full().CommandRun_Click();
  EXPECT_EQ(focusMoves, 2);
  run.NewLogLines();
  run.Full().CommandStop_Click();
  EXPECT_EQ(focusMoves, 3);
  EXPECT_TRUE(
      InOrder(run.NewLogLines(),
              {"FormProgress.CommandStop_Click: SendFocusAway returned",
               "FormProgress.CommandStop_Click: m_Manager.CommandStopOptimization_ProcessClick returned"}));
}

TEST(FormProgressTest, EndOfRunWithoutOptionsStopsForGoodAfterOneForcedRefresh) {
  WatcherRun run;
  run.Start(4);
  run.RunTrials(2);
  run.SetStatus(GdRunStatusStopped);
  run.NewLogLines();
  run.Tick();
  FormProgress& form = run.Full();
  EXPECT_TRUE(form.StopTimer());
  EXPECT_FALSE(form.TimerUpdate.Enabled());
  // Forced: the population table was filled although the progress tab is selected.
  EXPECT_EQ(form.SGGridPopulation.RowCount(), 5);
  EXPECT_FALSE(form.SGGridPopulation.CellText(0, 0).empty());
  EXPECT_EQ(form.SGGridSummary.CellText(2, 0), "6");
  EXPECT_FALSE(run.ReadBoolean(ChannelWatcherSentCommandToShowItModally));
  EXPECT_EQ(form.ButtonConfiguration(), RunState::Running);
  const auto lines = run.NewLogLines();
  EXPECT_TRUE(Contains(lines, "TimerUpdate_Timer: status is GdRunStatusStopped"));
  EXPECT_FALSE(Contains(lines, "TimerUpdate_Timer: about to call m_Manager.ReadStoppingOptionsFromWatcher"));
}

TEST(FormProgressTest, EndOfRunWithOptionsAsksTheAddinToShowTheWindow) {
  WatcherRun run({.ShowOptionsAtEnd = true});
  run.Start(4);
  run.WriteBoolean(ChannelStopGenerateOptimizationSummary, true);
  run.WriteBoolean(ChannelStopWriteLogOfAllTrials, true);
  run.WriteLong(ChannelStopSolutionToKeep, -5);
  run.SetStatus(GdRunStatusStopped);
  run.Tick();
  FormProgress& form = run.Full();
  EXPECT_TRUE(run.Manager.Stop_AtEndGenerateOptimizationSummary);
  EXPECT_EQ(run.Manager.Stop_SolutionToKeep, -5);
  EXPECT_EQ(form.ButtonConfiguration(), RunState::Stopping);
  EXPECT_EQ(form.TabMain.SelectedIndex(), FormProgress::TabStoppingOptions);
  EXPECT_TRUE(form.TabMain.Item(6).Enabled);
  EXPECT_TRUE(form.CommandOK.Visible());
  EXPECT_FALSE(form.CommandRun.Visible());
  EXPECT_TRUE(form.CheckGenerateOptimizationSummary.Checked());
  EXPECT_TRUE(form.CheckWriteLogOfAllTrials.Checked());
  EXPECT_TRUE(run.Manager.WatcherShown);
  EXPECT_FALSE(form.Visible());
  EXPECT_TRUE(run.ReadBoolean(ChannelWatcherSentCommandToShowItModally));

  // Locked in the stopping configuration: neither the minimize button nor the menu reacts.
  form.CommandMinimizeWatcher_Click();
  EXPECT_TRUE(run.Manager.WatcherShown);
  form.CommandExcelUpdate_Click();
  EXPECT_TRUE(run.Platform.CallsOf("PopupMenu").empty());

  // The user's OK writes the choices and ends the modal display.
  run.Platform.QueueModalAction([&](ui::Form&) {
    form.CheckGenerateOptimizationSummary.SetValue(ui::kUnchecked);
    form.CommandOK_Click();
  });
  form.Show(true);
  EXPECT_FALSE(form.Visible());
  EXPECT_FALSE(run.Manager.Stop_AtEndGenerateOptimizationSummary);
  EXPECT_TRUE(run.Manager.Stop_AtEndWriteLogOfAllTrials);
  EXPECT_EQ(run.Platform.CallsOf("RunModal").size(), 1u);
}

TEST(FormProgressTest, StoppingStatusNamesWhyAndLocksWhatCannotBeWritten) {
  struct Case {
    std::vector<std::pair<double, bool>> Trials;  // value, new best
    bool Solver;
    std::vector<long> Status;  // resources, joined by a blank
    bool StepsEnabled;
    bool RestoreEnabled;
  };
  const std::vector<Case> cases = {
      // Nothing improved on record: no log of progress steps can be written.
      {{{5, false}, {6, false}}, false, {4060}, false, false},
      {{{5, true}, {3, false}}, false, {4057}, true, false},
      {{{5, true}, {7, true}}, false, {4059}, true, true},
      // A constraint-solver run whose best does not meet every hard constraint says that too; its
      // value counts the constraints not met, whatever their number.
      {{{3.5, true}, {2.25, true}}, true, {4059, 4058}, true, true},
      {{{3.5, true}, {0, true}}, true, {4059}, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Status.front());
    WatcherRun run({.ShowOptionsAtEnd = true});
    for (const auto& [value, best] : c.Trials) run.LogTrial(value, best);
    run.Manager.Input_ConstraintSolverMode = c.Solver;
    run.Manager.Input_NumConstraints = 2;
    FormProgress& form = run.Full();
    form.GoToStoppingConfig();
    std::string expected;
    for (long id : c.Status)
      expected += (expected.empty() ? "" : " ") +
                  (id == 4060 ? GetResourceString(id, "Corvana") : GetResourceString(id));
    EXPECT_EQ(form.LabelStoppingStatus.Caption(), expected);
    EXPECT_EQ(form.CheckWriteLogOfProgressSteps.Enabled(), c.StepsEnabled);
    if (!c.StepsEnabled) {
      EXPECT_FALSE(form.CheckWriteLogOfProgressSteps.Checked());
    }
    EXPECT_EQ(form.CheckRestoreOriginal.Enabled(), c.RestoreEnabled);
    // A box the user cannot change leaves the solution to keep as it was, whatever it shows.
    run.Manager.Stop_SolutionToKeep = -5;
    form.CheckRestoreOriginal.SetValue(ui::kChecked);
    form.CommandOK_Click();
    EXPECT_EQ(run.Manager.Stop_SolutionToKeep, c.RestoreEnabled ? -2 : -5);
  }
}

TEST(FormProgressTest, EveryStoppingChoiceReachesTheManager) {
  for (bool fixedByAddin : {false, true}) {
    SCOPED_TRACE(fixedByAddin);
    WatcherRun run({.ShowOptionsAtEnd = true, .Inputs = [&](WatcherManager& inputs) {
                      inputs.Input_ConstraintSolverMode = true;
                      inputs.Input_ConstraintSolver_FixedSeed = fixedByAddin;
                    }});
    run.LogTrial(5, true);
    run.LogTrial(7, true);
    WatcherManager& m = run.Manager;
    FormProgress& form = run.Full();
    form.GoToStoppingConfig();
    EXPECT_TRUE(form.LabelGeneratorSeed.Visible());
    EXPECT_FALSE(form.CheckFixSeed.Checked());
    EXPECT_EQ(form.CheckFixSeed.Enabled(), !fixedByAddin);
    form.CheckRestoreOriginal.SetValue(ui::kChecked);
    form.CheckGenerateOptimizationSummary.SetValue(ui::kChecked);
    form.CheckWriteLogOfAllTrials.SetValue(ui::kChecked);
    form.CheckWriteLogOfProgressSteps.SetValue(ui::kChecked);
    form.ComboReportPlacement.SetListIndex(1);
    form.CheckFixSeed.SetValue(ui::kChecked);
    form.CommandOK_Click();
    EXPECT_EQ(m.Stop_SolutionToKeep, -2);
    EXPECT_TRUE(m.Stop_AtEndGenerateOptimizationSummary);
    EXPECT_TRUE(m.Stop_AtEndWriteLogOfAllTrials);
    EXPECT_TRUE(m.Stop_AtEndWriteLogOfProgressSteps);
    EXPECT_EQ(m.ReportPlacement, 1);
    // A seed the add-in fixed itself is not the user's to choose.
    EXPECT_EQ(m.Stop_ConstraintSolver_FixSeed, !fixedByAddin);
  }
}

TEST(FormProgressTest, StoppedBeforeTheFirstTrialOrByTheAddinTheTimerStops) {
  for (bool started : {false, true}) {
    SCOPED_TRACE(started);
    WatcherRun run;
    if (started) {
      run.Start(1);
      run.WriteBoolean(ChannelOLToldWatcherToStopTimer, true);
    } else {
      run.SetStatus(GdRunStatusStopped);
    }
    run.Tick();
    EXPECT_TRUE(run.Full().StopTimer());
    EXPECT_FALSE(run.Full().TimerUpdate.Enabled());
    EXPECT_EQ(run.Full().InitializedAfterFirstTrial(), started);
    EXPECT_TRUE(!started || run.ReadBoolean(ChannelWatcherStoppedTimer));
  }
}

TEST(FormProgressTest, GraphsFollowTheProgressStepsAndTheAxisDoubles) {
  WatcherRun run;
  run.LogTrial(5, true);
  run.Start(0, 10, 4);
  FormProgress& form = run.Full();
  // One step; the flat line reaches the trial under way.
  for (int i = 0; i < 7; ++i) run.LogTrial(5, false);
  run.Tick();
  EXPECT_EQ(form.Steps().Count(), 1u);
  const auto& all = form.GraphAllTrials()->Curves().at(0).Data();
  EXPECT_EQ(all.X, (std::vector<double>{1, 8}));
  EXPECT_EQ(all.Y, (std::vector<double>{5, 5}));
  EXPECT_EQ(form.AllTrialsAxisMax(), 10);

  // A new best at trial 9, then the count passes the axis end: 11 trials -> 22 -> 30.
  run.LogTrial(9, true);
  run.LogTrial(8, false);
  run.LogTrial(7, false);
  run.Tick();
  EXPECT_EQ(form.Steps().Count(), 2u);
  EXPECT_EQ(form.AllTrialsAxisMax(), 30);
  EXPECT_EQ(form.GraphAllTrials()->XAxis().CustomMax(), 30);
  // Last 4 trials of 11: the step at trial 9 sits at -3, the earlier one only marks the left edge.
  const auto& last = form.GraphLastTrials()->Curves().at(0).Data();
  // Steps are recorded at the trial count of the update that saw them (the best came at 9, seen at 11).
  EXPECT_EQ(last.X, (std::vector<double>{-4, -1, 0}));
  EXPECT_EQ(last.Y, (std::vector<double>{5, 9, 9}));

  // The best unchanged between updates adds no step.
  run.Tick();
  EXPECT_EQ(form.Steps().Count(), 2u);
}

TEST(FormProgressTest, GraphsAreRefreshedOnlyWhileTheirTabIsShown) {
  WatcherRun run;
  run.Start(3);
  FormProgress& form = run.Full();
  form.TabMain.UserSelect(FormProgress::TabSummary);
  const auto revision = form.GraphAllTrials()->Revision();
  const auto populationRows = [&] {
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < form.SGGridPopulation.RowCount(); ++row)
      rows.push_back(form.SGGridPopulation.RowTexts(row));
    return rows;
  };
  const auto population = populationRows();
  run.RunTrials(3);
  run.Tick();
  EXPECT_EQ(form.GraphAllTrials()->Revision(), revision);
  // The summary is refreshed whichever tab is shown; the population table is not.
  EXPECT_EQ(form.SGGridSummary.CellText(2, 0), "6");
  EXPECT_EQ(populationRows(), population);
  form.TabMain.UserSelect(FormProgress::TabPopulation);
  run.Tick();
  EXPECT_NE(populationRows(), population);
  form.TabMain.UserSelect(FormProgress::TabProgress);
  run.Tick();
  EXPECT_NE(form.GraphAllTrials()->Revision(), revision);
}

TEST(FormProgressTest, SummaryRowsAndTheirColumns) {
  WatcherRun run;
  FormProgress& form = run.Full();
  ASSERT_EQ(form.SGGridSummary.ColumnCount(), 5);
  EXPECT_EQ(form.SGGridSummary.Column(2).Caption, "Cell1");
  EXPECT_EQ(
      form.SGGridSummary.RowHeaders(),
      (std::vector<std::string>{GetResourceString(4303), GetResourceString(4304), GetResourceString(4305)}));

  // Before a best exists the best row stays empty; original and last are filled.
  run.LogTrial(3, false);
  run.Start(0);
  EXPECT_EQ(form.SGGridSummary.RowTexts(0), (std::vector<std::string>{"", "", "", "", ""}));
  EXPECT_EQ(form.SGGridSummary.RowTexts(1), (std::vector<std::string>{"1", "3", "1", "1", "1"}));
  EXPECT_EQ(form.SGGridSummary.RowTexts(2), (std::vector<std::string>{"1", "3", "1", "1", "1"}));

  run.LogTrial(4, true);
  run.LogTrial(2, false);
  run.Tick();
  EXPECT_EQ(form.SGGridSummary.RowTexts(0), (std::vector<std::string>{"2", "4", "1", "1", "1"}));
  EXPECT_EQ(form.SGGridSummary.CellText(2, 0), "3");
  EXPECT_EQ(form.SGGridSummary.CellText(2, 1), "2");
}

TEST(FormProgressTest, GeneNamesOfTheWrongLengthShowWhatTheyCan) {
  for (int names : {1, 5, 0}) {  // three genes
    SCOPED_TRACE(names);
    WatcherRun run({.GeneNames = std::vector<std::string>(names, "Cell")});
    run.Start(2);
    FormProgress& form = run.Full();
    EXPECT_EQ(form.SGGridSummary.ColumnCount(), 2 + names);
    EXPECT_EQ(form.SGGridSummary.RowTexts(1).size(), 2u + names);
    // The genes fill the columns they have names for; extra names' columns stay empty.
    for (int c = 2; c < 2 + names; ++c) EXPECT_EQ(form.SGGridSummary.CellText(1, c).empty(), c >= 5) << c;
    form.TabMain.UserSelect(FormProgress::TabPopulation);
    run.Tick();
    EXPECT_EQ(form.SGGridPopulation.ColumnCount(), 1 + names);
    EXPECT_EQ(form.SGGridPopulation.CellText(0, 1).empty(), names == 0);
  }
}

TEST(FormProgressTest, PopulationTableShowsTheLastOrganismFirst) {
  WatcherRun run;
  run.Start(12);
  FormProgress& form = run.Full();
  form.TabMain.UserSelect(FormProgress::TabPopulation);
  run.NewLogLines();
  run.Tick();
  ASSERT_EQ(form.SGGridPopulation.RowCount(), 5);
  EXPECT_EQ(form.SGGridPopulation.RowHeaders().front(), "1");
  for (int row = 0; row < 5; ++row) {
    const std::int32_t organism = 5 - row;
    std::vector<double> genes;
    ASSERT_EQ(GdLib::GdOrgGetGenes(run.PopHandle(), organism, genes), 0);
    EXPECT_EQ(form.SGGridPopulation.CellText(row, 0),
              run.Manager.FormatTargetValue(run.Manager.getGendaraResult(organism)));
    for (std::size_t g = 0; g < genes.size(); ++g)
      EXPECT_EQ(form.SGGridPopulation.CellText(row, static_cast<int>(g) + 1),
                WatcherOLShared::FormatNumberDefault(genes[g]).ToString());
  }
  bool timed = false;
  for (const auto& line : run.NewLogLines())
    timed |= line.rfind("Population table update, firststage = ", 0) == 0;
  EXPECT_TRUE(timed);
}

TEST(FormProgressTest, BadInputKeepsTheWindowRunning) {
  WatcherRun run;
  run.Start(5);
  FormProgress& form = run.Full();
  form.TabMain.UserSelect(FormProgress::TabPopulation);

  // The population handle goes bad: the tick goes on and the table keeps what it can show.
  run.FreePopulation();
  run.LogTrial(99, true);
  run.NewLogLines();
  run.Tick();
  EXPECT_TRUE(form.TimerUpdate.Enabled());
  EXPECT_EQ(form.SGGridSummary.CellText(0, 1), "99");
  EXPECT_EQ(form.SGGridPopulation.RowCount(), 5);
  EXPECT_EQ(form.SGGridPopulation.CellText(0, 1), "");
  EXPECT_TRUE(Contains(run.NewLogLines(), "WATCHER: exiting TimerUpdate_Timer, past Me.StopTimer check"));

  // The log shrinks, then disappears: the controls keep their last texts.
  const std::string last = form.SGGridSummary.CellText(2, 0);
  std::filesystem::resize_file(run.LogPath(), 16);
  run.Tick();
  EXPECT_TRUE(form.TimerUpdate.Enabled());
  std::filesystem::remove(run.LogPath());
  run.Tick();
  run.Tick();
  EXPECT_TRUE(form.TimerUpdate.Enabled());
  EXPECT_EQ(form.SGGridSummary.CellText(2, 0), last);
}

TEST(FormProgressTest, CloseBoxAndMenus) {
  WatcherRun run;
  FormProgress& form = run.Full();
  form.Show(false);
  EXPECT_FALSE(form.GetForm().BackendCloseRequest(ui::kUnloadFormControlMenu));
  EXPECT_FALSE(form.GetForm().BackendCloseRequest(ui::kUnloadAppTaskManager));
  EXPECT_TRUE(form.Visible());

  // The Excel-updating menu ticks exactly the current mode; dismissing it changes nothing.
  run.Manager.ShowExcelRecalculations = 2;
  run.Platform.QueuePopupMenuKey("");
  form.CommandExcelUpdate_Click();
  int ticked = 0;
  for (const auto& e : form.m_ExcelUpdatingMenu.Entries()) ticked += e.Checked;
  EXPECT_EQ(ticked, 1);
  EXPECT_TRUE(form.m_ExcelUpdatingMenu.Entry("mnuExcelUpdating_Best").Checked);
  EXPECT_EQ(run.Manager.ShowExcelRecalculations, 2);
  run.Platform.QueuePopupMenuKey("mnuExcelUpdating_Off");
  form.CommandExcelUpdate_Click();
  EXPECT_EQ(run.Manager.ShowExcelRecalculations, 3);
  EXPECT_EQ(run.ReadLong(ChannelShowExcelRecalculations), 3);

  // The grid menu copies the grid it was opened on.
  run.Start(2);
  run.Platform.QueuePopupMenuKey("mnuGridPopup_Copy");
  form.SGGridSummary.MouseUp(ui::kRightButton, 0, 100, 100);
  EXPECT_NE(run.Platform.ClipboardText().find("\t"), std::string::npos);

  // Help follows the selected tab.
  form.TabMain.UserSelect(FormProgress::TabLog);
  EXPECT_EQ(form.HelpContextID(), 11110);
}

}  // namespace
}  // namespace corvana
