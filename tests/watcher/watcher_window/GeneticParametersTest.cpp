#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "suite/gdlib/gdlib8.h"
#include "tests/watcher/watcher_window/WatcherRun.h"
#include "watcher/common/Utilities.h"
#include "watcher/common/WatcherOLShared.h"
#include "watcher/graph/OGrGraph.h"
#include "watcher/rate_dialog/FormRate.h"
#include "watcher/watcher_window/FormProgress.h"

namespace corvana {
namespace {

using Utilities::GetResourceString;

double Crossover(WatcherRun& run, int group) {
  double rate = -1;
  EXPECT_EQ(GdChrGetCrossoverRate(run.PopHandle(), group, &rate), 0);
  return rate;
}

// The fixed mutation rate of a group; isAuto tells whether the engine adapts it itself.
double Mutation(WatcherRun& run, int group, bool* isAuto = nullptr) {
  std::int32_t automatic = 0;
  double rate = -1;
  EXPECT_EQ(GdChrGetMutationMode(run.PopHandle(), group, &automatic, &rate), 0);
  if (isAuto) *isAuto = automatic != 0;
  return rate;
}

// The lock is recursive: only another thread can tell whether the window left it held.
bool LockIsFree(std::int32_t pop) {
  auto taken = std::make_shared<std::promise<void>>();
  std::future<void> done = taken->get_future();
  std::thread([pop, taken] {
    GdPopLock(pop);
    GdPopUnlock(pop);
    taken->set_value();
  }).detach();
  if (done.wait_for(std::chrono::seconds(20)) == std::future_status::ready) return true;
  while (done.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) GdPopUnlock(pop);
  return false;
}

// Types into the open rate dialog and presses one of its buttons.
void AnswerRateDialog(ui::Form& dialog, const std::string& text, const char* button) {
  dialog.Get<ui::TextBox>("TextRate").UserSetText(text);
  dialog.Get<ui::Button>(button).UserClick();
}

TEST(GeneticParametersTest, ShowTheEngineRatesOnScrollBarsOfAHundredSteps) {
  WatcherRun run;
  FormProgress& form = run.Full();
  for (auto* bar : {&form.ScrollCrossover, &form.ScrollMutation}) EXPECT_TRUE(bar->Enabled());
  EXPECT_EQ(form.ScrollCrossover.Value(), 50);
  EXPECT_EQ(form.TextCrossover.Text(), "0.5000");
  EXPECT_EQ(form.ScrollMutation.Value(), 10);
  EXPECT_EQ(form.TextMutation.Text(), "0.1000");
  EXPECT_TRUE(form.CommandMutation.Enabled());
  EXPECT_FALSE(form.CommandCrossover.Caption().empty());

  // A rate changed elsewhere shows at the next refresh, which reads under the population lock.
  ASSERT_EQ(GdChrSetCrossoverRate(run.PopHandle(), 1, 0.73), 0);
  run.Start(2);
  run.NewLogLines();
  run.Tick();
  EXPECT_EQ(form.ScrollCrossover.Value(), 73);
  EXPECT_EQ(form.TextCrossover.Text(), "0.7300");
  const std::string h = std::to_string(run.PopHandle());
  EXPECT_TRUE(InOrder(run.NewLogLines(), {"GeneticParameters_Update: about to call GdPopLock(" + h + ")",
                                          "GeneticParameters_Update: GdPopUnlock returned"}));
}

TEST(GeneticParametersTest, CrossoverAtZeroSnapsToTheFloorForEveryGroup) {
  WatcherRun run({.Groups = 2});
  FormProgress& form = run.Full();
  int focus = 0;  // no backend watches the fake's controls
  form.SGGridSummary.SetObserver(
      [&](ui::Control&, std::string_view property) { focus += property == "Focus"; });
  run.NewLogLines();

  form.ScrollCrossover.UserSetValue(0);
  EXPECT_EQ(form.ScrollCrossover.Value(), 1);
  EXPECT_EQ(form.TextCrossover.Text(), "0.0100");
  EXPECT_DOUBLE_EQ(Crossover(run, 1), 0.01);
  EXPECT_DOUBLE_EQ(Crossover(run, 2), 0.01);
  EXPECT_EQ(focus, 1);  // the bar lets go of the keyboard
  // The mutation setting went out as it was shown.
  EXPECT_DOUBLE_EQ(Mutation(run, 2), 0.1);

  const std::string h = std::to_string(run.PopHandle());
  EXPECT_TRUE(
      InOrder(run.NewLogLines(), {"GeneticParameters_SendValuesToGdLib: about to call GdPopLock(" + h + ")",
                                  "GeneticParameters_SendValuesToGdLib: GdPopLock returned",
                                  "GeneticParameters_SendValuesToGdLib: about to call GdPopUnlock(" + h + ")",
                                  "GeneticParameters_SendValuesToGdLib: GdPopUnlock returned"}));
  EXPECT_TRUE(LockIsFree(run.PopHandle()));

  form.ScrollCrossover.UserSetValue(37);
  EXPECT_DOUBLE_EQ(Crossover(run, 2), 0.37);
}

TEST(GeneticParametersTest, MutationAtZeroIsSentAsZero) {
  WatcherRun run({.Groups = 2});
  FormProgress& form = run.Full();
  form.ScrollMutation.UserSetValue(0);
  EXPECT_EQ(form.ScrollMutation.Value(), 0);
  EXPECT_EQ(form.TextMutation.Text(), "0");
  for (int g : {1, 2}) {
    bool isAuto = true;
    EXPECT_EQ(Mutation(run, g, &isAuto), 0.0) << g;
    EXPECT_FALSE(isAuto);
  }
}

TEST(GeneticParametersTest, AutomaticMutationShowsTheEnginesRateAndIsNeverWritten) {
  WatcherRun run({.AutoMutation = true});
  FormProgress& form = run.Full();
  double current = 0;
  ASSERT_EQ(GdChrGetCurrentMutationRate(run.PopHandle(), 1, &current), 0);
  EXPECT_EQ(form.TextMutation.Text(), "Auto=" + WatcherOLShared::FormatNumberDefault(current).ToString());
  EXPECT_FALSE(form.ScrollMutation.Enabled());
  EXPECT_FALSE(form.CommandMutation.Enabled());
  EXPECT_TRUE(form.ScrollCrossover.Enabled());

  form.ScrollCrossover.UserSetValue(80);
  bool isAuto = false;
  Mutation(run, 1, &isAuto);
  EXPECT_TRUE(isAuto);
  EXPECT_DOUBLE_EQ(Crossover(run, 1), 0.8);
}

TEST(GeneticParametersTest, RateDialogSendsTheTypedRateWhileTheWindowStepsBack) {
  WatcherRun run({.Groups = 2});
  FormProgress& form = run.Full();
  const ui::WindowId watcher = form.GetForm().Id();
  ui::WindowId owner = 0;
  std::string prompt, shown;
  run.Platform.QueueModalAction([&](ui::Form& dialog) {
    owner = dialog.OwnerWindow();
    prompt = dialog.Get<ui::Label>("LabelRate").Caption();
    shown = dialog.Get<ui::TextBox>("TextRate").Text();
    // Not top-most while the dialog is up, so that the dialog is never hidden behind it.
    EXPECT_FALSE(run.Platform.TopMostState(watcher));
    AnswerRateDialog(dialog, "0.25", "CommandOK");
  });
  run.Platform.ClearCalls();
  form.CommandCrossover.UserClick();
  EXPECT_EQ(owner, watcher);
  EXPECT_EQ(prompt, GetResourceString(4200));
  EXPECT_EQ(shown, "0.5000");
  EXPECT_EQ(form.ScrollCrossover.Value(), 25);
  EXPECT_EQ(form.TextCrossover.Text(), "0.2500");
  EXPECT_DOUBLE_EQ(Crossover(run, 1), 0.25);
  EXPECT_DOUBLE_EQ(Crossover(run, 2), 0.25);
  EXPECT_TRUE(run.Platform.TopMostState(watcher));
  EXPECT_EQ(form.RateDialog(), nullptr);  // released once answered

  run.Platform.QueueModalAction([&](ui::Form& dialog) {
    prompt = dialog.Get<ui::Label>("LabelRate").Caption();
    AnswerRateDialog(dialog, "0,5", "CommandOK");  // a comma is read as the decimal separator
  });
  form.CommandMutation.UserClick();
  EXPECT_EQ(prompt, GetResourceString(4202));
  EXPECT_EQ(form.ScrollMutation.Value(), 50);
  EXPECT_DOUBLE_EQ(Mutation(run, 2), 0.5);
}

TEST(GeneticParametersTest, CancelledOrClosedDialogSendsNothing) {
  WatcherRun run;
  FormProgress& form = run.Full();
  run.Platform.QueueModalAction([](ui::Form& dialog) { AnswerRateDialog(dialog, "0.9", "CommandCancel"); });
  run.NewLogLines();
  form.CommandCrossover.UserClick();
  run.Platform.QueueModalAction([](ui::Form& dialog) {
    dialog.Get<ui::TextBox>("TextRate").UserSetText("0.9");
    dialog.BackendCloseRequest();
  });
  form.CommandMutation.UserClick();
  EXPECT_EQ(form.ScrollCrossover.Value(), 50);
  EXPECT_EQ(form.ScrollMutation.Value(), 10);
  EXPECT_DOUBLE_EQ(Crossover(run, 1), 0.5);
  EXPECT_DOUBLE_EQ(Mutation(run, 1), 0.1);
  for (const auto& line : run.NewLogLines())
    EXPECT_EQ(line.find("GeneticParameters_SendValuesToGdLib"), std::string::npos) << line;
  EXPECT_TRUE(run.Platform.TopMostState(form.GetForm().Id()));
}

TEST(GeneticParametersTest, OutOfRangeEntryKeepsTheDialogOpen) {
  WatcherRun run;
  FormProgress& form = run.Full();
  std::vector<bool> openAfter;
  run.Platform.QueueModalAction([&](ui::Form& dialog) {
    for (const char* bad : {"1.5", "often", "0.001"}) {
      AnswerRateDialog(dialog, bad, "CommandOK");
      openAfter.push_back(dialog.Visible());
    }
    AnswerRateDialog(dialog, "1", "CommandOK");  // both bounds are accepted
  });
  form.CommandCrossover.UserClick();
  EXPECT_EQ(openAfter, (std::vector<bool>{true, true, true}));
  ASSERT_EQ(run.Platform.Messages().size(), 3u);
  EXPECT_EQ(run.Platform.Messages()[0].Text, GetResourceString(4201));
  EXPECT_EQ(run.Platform.Messages()[0].Title, "Corvana");
  EXPECT_DOUBLE_EQ(Crossover(run, 1), 1.0);
  EXPECT_EQ(form.ScrollCrossover.Value(), 100);
}

TEST(GeneticParametersTest, StoppingConfigurationClosesTheDialogAndDisablesTheControls) {
  WatcherRun run;
  FormProgress& form = run.Full();
  // The run stops while the user still looks at the dialog.
  run.Platform.QueueModalAction([&](ui::Form& dialog) {
    dialog.Get<ui::TextBox>("TextRate").UserSetText("0.3");
    form.GoToStoppingConfig();
    EXPECT_FALSE(dialog.Visible());
  });
  form.CommandCrossover.UserClick();
  EXPECT_DOUBLE_EQ(Crossover(run, 1), 0.5);
  for (ui::Control* c : std::initializer_list<ui::Control*>{&form.ScrollCrossover, &form.ScrollMutation,
                                                            &form.CommandCrossover, &form.CommandMutation})
    EXPECT_FALSE(c->Enabled()) << c->Name();
  EXPECT_FALSE(run.Platform.TopMostState(form.GetForm().Id()));
  // A last refresh does not bring the mutation controls back.
  form.GeneticParameters_Update();
  EXPECT_FALSE(form.ScrollMutation.Enabled());
  EXPECT_FALSE(form.CommandMutation.Enabled());
}

TEST(GeneticParametersTest, EngineErrorInTheGroupLoopIsLoggedAndTheLockReleased) {
  WatcherRun run({.Groups = 2});
  FormProgress& form = run.Full();
  run.Manager.Input_GroupNames.Add("NoSuchGroup");  // group 3 is unknown to the engine
  run.NewLogLines();
  form.ScrollCrossover.UserSetValue(64);
  EXPECT_DOUBLE_EQ(Crossover(run, 1), 0.64);
  EXPECT_DOUBLE_EQ(Crossover(run, 2), 0.64);
  const auto lines = run.NewLogLines();
  bool reported = false;
  for (const auto& line : lines)
    reported |= line.rfind(
                    "Error in method: GeneticParameters_SendValuesToGdLib, GdLib method: "
                    "GdChrSetCrossoverRate, group=3, error number",
                    0) == 0;
  EXPECT_TRUE(reported);
  EXPECT_TRUE(Contains(lines, "GeneticParameters_SendValuesToGdLib: GdPopUnlock returned"));
  EXPECT_TRUE(LockIsFree(run.PopHandle()));

  // The same for a refresh whose engine reads fail: the population is gone.
  run.FreePopulation();
  form.GeneticParameters_Update();
  EXPECT_EQ(form.ScrollCrossover.Value(), 64);
}

TEST(GeneticParametersTest, RateChangesAreMarkedOnTheAllTrialsGraph) {
  WatcherRun run;
  FormProgress& form = run.Full();
  form.ScrollCrossover.UserSetValue(20);  // before the first trial: nothing to mark it on
  EXPECT_TRUE(form.RateMarkers().empty());

  run.Start(6);
  form.ScrollCrossover.UserSetValue(30);
  form.ScrollMutation.UserSetValue(5);  // the same trial: one marker, named with both new rates
  ASSERT_EQ(form.RateMarkers().size(), 1u);
  const auto& graph = *form.GraphAllTrials();
  EXPECT_TRUE(graph.LegendVisible());
  const OGrCurve* marker = graph.CurveByID(form.RateMarkers()[0].second);
  ASSERT_NE(marker, nullptr);
  EXPECT_EQ(marker->Name(), GetResourceString(4023) + " 0.3000, " + GetResourceString(4024) + " 0.0500");
  EXPECT_EQ(marker->Data().X, (std::vector<double>{6, 6}));

  // Later progress stretches the marker over every best value drawn.
  run.RunTrials(30);
  run.Tick();
  form.ScrollCrossover.UserSetValue(40);
  EXPECT_EQ(form.RateMarkers().size(), 2u);
  const auto& best = graph.Curves().front().Data().Y;
  const auto [low, high] = std::minmax_element(best.begin(), best.end());
  marker = graph.CurveByID(form.RateMarkers()[0].second);  // the curve list has grown
  ASSERT_NE(marker, nullptr);
  EXPECT_EQ(marker->Data().Y, (std::vector<double>{*low, *high}));
}

TEST(GeneticParametersTest, ChangeMadeBeforeTheGraphShowsItsFirstTrialIsMarkedOnceItDoes) {
  WatcherRun run;
  FormProgress& form = run.Full();
  run.RunTrials(6);  // trials in the log, but the window has not yet shown them
  form.ScrollCrossover.UserSetValue(25);
  EXPECT_TRUE(form.RateMarkers().empty());
  run.SendFirstTrialInfo(100, 50);
  run.Tick();
  ASSERT_EQ(form.RateMarkers().size(), 1u);
  const auto& graph = *form.GraphAllTrials();
  const OGrCurve* marker = graph.CurveByID(form.RateMarkers()[0].second);
  ASSERT_NE(marker, nullptr);
  EXPECT_EQ(marker->Data().X, (std::vector<double>{6, 6}));
  // Over a best that has not moved yet the marker is still a line, not a dot.
  ASSERT_EQ(marker->Data().Y.size(), 2u);
  EXPECT_LT(marker->Data().Y[0], marker->Data().Y[1]);
  EXPECT_EQ(marker->Name().rfind(GetResourceString(4023) + " 0.2500, ", 0), 0u);
  // The legend names the progress curve as well, never an empty entry.
  EXPECT_EQ(graph.Curves().front().Name(), GetResourceString(4303));
}

TEST(FormRateTest, ReturnsTheTypedRateOnlyWhenConfirmed) {
  WatcherRun run;  // binds the resource server the texts come from
  ui::FakePlatform& platform = run.Platform;
  FormRate dialog(platform);
  bool crossover = false;
  double rate = 7;
  std::string shown;
  platform.QueueModalAction([&](ui::Form& f) {
    shown = f.Get<ui::TextBox>("TextRate").Text();
    AnswerRateDialog(f, "0.5", "CommandOK");
  });
  EXPECT_TRUE(dialog.ShowDialog(crossover, 0.05, rate));
  EXPECT_EQ(shown, "0.0500");
  EXPECT_EQ(rate, 0.5);

  platform.QueueModalAction([&](ui::Form& f) {
    shown = f.Get<ui::TextBox>("TextRate").Text();
    AnswerRateDialog(f, "0.2", "CommandCancel");
  });
  EXPECT_FALSE(dialog.ShowDialog(crossover, 1, rate));
  EXPECT_EQ(shown, "1");
  EXPECT_EQ(rate, 0.5);
  EXPECT_TRUE(dialog.Cancelled());

  // Enter in the text box is OK.
  platform.QueueModalAction([&](ui::Form& f) {
    f.Get<ui::TextBox>("TextRate").UserSetText("0.75");
    f.Get<ui::TextBox>("TextRate").UserKeyPress(13);
  });
  EXPECT_TRUE(dialog.ShowDialog(crossover, 0.5, rate));
  EXPECT_EQ(rate, 0.75);
}

}  // namespace
}  // namespace corvana
