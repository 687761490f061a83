#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "addin/ModelCatalog.h"
#include "addin/RunLoop.h"
#include "suite/gdlib/gdlib8.h"
#include "tests/support/PrivateSuiteFolders.h"

namespace corvana::addin {
namespace {

const auto* const g_Environment = ::testing::AddGlobalTestEnvironment(new PrivateSuiteFolders);

// Plays the Watcher's part: changes the run status under the lock at chosen moments.
class SteeringObserver : public RunObserver {
 public:
  std::function<void(long)> AtTrial;
  std::function<void(int)> WhilePaused;  // gets the number of idle calls since the pause began
  std::function<bool(int)> SolverAnswer;
  std::int32_t Handle = 0;
  std::string LogPath;
  int PausedIdles = 0;
  long LastTrial = 0;
  long TrialWhenPaused = -1;
  std::vector<int> Optimizations;
  bool Stopped = false;

  void SetStatus(std::int16_t status) {
    ASSERT_EQ(GdPopLock(Handle), 0);
    EXPECT_EQ(GdPopSetRunStatus(Handle, status), 0);
    GdPopUnlock(Handle);
  }
  // Sets `status` once trial `trial` is done.
  void SetStatusAtTrial(long trial, std::int16_t status) {
    AtTrial = [this, trial, status](long done) {
      if (done == trial) SetStatus(status);
    };
  }
  // Sets `status` at the `idles`th idle call of a pause.
  void SetStatusWhilePaused(int idles, std::int16_t status) {
    WhilePaused = [this, idles, status](int paused) {
      if (paused == idles) SetStatus(status);
    };
  }
  void OnRunCreated(std::int32_t handle, const char* path) override {
    Handle = handle;
    LogPath = path;
  }
  void OnOptimizationStarted(int number) override { Optimizations.push_back(number); }
  void OnTrial(long trial, const Evaluation&, bool) override {
    EXPECT_EQ(trial, LastTrial + 1);
    LastTrial = trial;
    if (AtTrial) AtTrial(trial);
  }
  void OnIdle(bool paused) override {
    if (!paused) return;
    if (PausedIdles++ == 0) {
      TrialWhenPaused = LastTrial;
      EXPECT_EQ(GdPopGetRunStatus(Handle), GdRunStatusPaused);
    }
    EXPECT_EQ(LastTrial, TrialWhenPaused) << "no trial runs while paused";
    if (WhilePaused) WhilePaused(PausedIdles);
  }
  void OnRunStopped() override {
    Stopped = true;
    EXPECT_EQ(GdPopGetRunStatus(Handle), GdRunStatusStopped);
  }
  bool AskUseConstraintSolver(int violated) override { return SolverAnswer && SolverAnswer(violated); }
};

struct LogCounts {
  std::int32_t Trials = -1, Steps = -1;
};
LogCounts CountsOf(const std::string& path, int index = 0) {
  LogCounts c;
  EXPECT_EQ(GdLogGetRecordCounts2WVB(path.c_str(), &c.Trials, index, &c.Steps), 0);
  return c;
}

double ReadValue(const std::string& path, int record, int selector, std::vector<double>* genes = nullptr) {
  std::int32_t elapsed = 0, trial = 0;
  double without = 0, with = 0;
  double status[8], values[8], penalties[8], g[64];
  GdLogRecordInfo info{};
  EXPECT_EQ(GdLogReadRecordWVB(path.c_str(), record, selector, &elapsed, &without, &with, &trial, status,
                               values, penalties, 8, g, 64, &info),
            0);
  if (genes) genes->assign(g, g + genes->size());
  return with;
}

class RunLoopTest : public ::testing::Test {
 protected:
  RunResult RunModel(Model& model, SteeringObserver& observer) {
    RunLoop loop(model, m_Settings, observer, m_Interrupt);
    loop.Create();
    RunResult result = loop.Run();
    m_Handle = loop.PopHandle();
    return result;
  }
  RunSettings m_Settings = [] {
    RunSettings s;
    s.NoWatcher = true;
    s.Trials = 200;
    s.Population = 20;
    s.KeepLog = true;  // the tests read the log after the run
    return s;
  }();
  std::atomic<bool> m_Interrupt{false};
  std::int32_t m_Handle = 0;
};

TEST_F(RunLoopTest, RunsToTheTrialGoalAndLogsEveryTrialAndBest) {
  auto model = ModelCatalog::Create("portfolio");
  SteeringObserver observer;
  const RunResult r = RunModel(*model, observer);
  ASSERT_EQ(r.Optimizations.size(), 1u);
  const OptimizationResult& o = r.Optimizations[0];
  EXPECT_EQ(r.StopReason, "trials");
  EXPECT_EQ(o.Trials, 200);
  EXPECT_TRUE(observer.Stopped);

  const LogCounts counts = CountsOf(r.TrialLogPath);
  EXPECT_EQ(counts.Trials, 200);
  EXPECT_EQ(counts.Steps, o.ProgressSteps);
  ASSERT_GE(counts.Steps, 2);  // the original and at least one improvement

  // Trial 1 is the original solution; each progress step beats the one before; the last is the best.
  std::vector<double> genes(model->GeneCount());
  ReadValue(r.TrialLogPath, 1, GdLogKindTrial, &genes);
  EXPECT_EQ(genes, model->StartValues());
  double previous = -1e300;
  for (int step = 1; step <= counts.Steps; ++step) {
    const double value = ReadValue(r.TrialLogPath, step, GdLogKindProgressStep, &genes);
    EXPECT_GT(value, previous) << "step " << step;
    previous = value;
  }
  EXPECT_EQ(previous, o.BestValueWithPenalties);
  EXPECT_EQ(genes, o.BestSolution);
  EXPECT_EQ(r.KeptSolution, o.BestSolution);
  EXPECT_EQ(r.OriginalSolution, model->StartValues());
  ReadValue(r.TrialLogPath, counts.Trials, GdLogKindTrial, &genes);
  EXPECT_EQ(r.LastSolution, genes);
  // The population was freed with the run loop.
  EXPECT_LT(GdPopGetRunStatus(m_Handle), 0);
}

TEST_F(RunLoopTest, PauseWaitsWithoutTrialsThenRunResumes) {
  auto model = ModelCatalog::Create("routing");
  SteeringObserver observer;
  observer.SetStatusAtTrial(20, GdRunStatusMarkToPause);
  observer.SetStatusWhilePaused(5, GdRunStatusOptimizing);
  const RunResult r = RunModel(*model, observer);
  EXPECT_EQ(observer.TrialWhenPaused, 20);
  EXPECT_EQ(observer.PausedIdles, 5);
  EXPECT_EQ(r.Optimizations[0].Trials, 200);
  EXPECT_EQ(r.StopReason, "trials");
}

TEST_F(RunLoopTest, StopRequestsWhileRunningAndWhilePaused) {
  auto model = ModelCatalog::Create("spring");
  {
    SteeringObserver observer;
    observer.SetStatusAtTrial(30, GdRunStatusMarkToStop);
    const RunResult r = RunModel(*model, observer);
    EXPECT_EQ(r.StopReason, "user");
    EXPECT_EQ(r.Optimizations[0].Trials, 30);
    EXPECT_TRUE(observer.Stopped);
  }
  {
    SteeringObserver observer;
    observer.SetStatusAtTrial(12, GdRunStatusMarkToPause);
    observer.SetStatusWhilePaused(2, GdRunStatusMarkToStop);
    const RunResult r = RunModel(*model, observer);
    EXPECT_EQ(r.StopReason, "user");
    EXPECT_EQ(r.Optimizations[0].Trials, 12);
    EXPECT_EQ(CountsOf(r.TrialLogPath).Trials, 12);
  }
}

TEST_F(RunLoopTest, SeriesMovesOnByGoalAndByRequest) {
  auto model = ModelCatalog::Create("portfolio");
  m_Settings.Trials = 40;
  m_Settings.EfficientFrontier = {-0.20, -0.10, -0.05};
  SteeringObserver observer;
  observer.SetStatusAtTrial(50, GdRunStatusMarkToMoveToNextOptimization);  // 10 into the second
  const RunResult r = RunModel(*model, observer);
  ASSERT_EQ(r.Optimizations.size(), 3u);
  EXPECT_EQ(observer.Optimizations, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(r.Optimizations[0].Trials, 40);
  EXPECT_EQ(r.Optimizations[1].Trials, 10);
  EXPECT_EQ(r.Optimizations[2].Trials, 40);
  EXPECT_EQ(r.Optimizations[2].ConstrainingValue, -0.05);
  EXPECT_EQ(CountsOf(r.TrialLogPath, 2).Trials, 10);
  EXPECT_EQ(CountsOf(r.TrialLogPath, 3).Steps, r.Optimizations[2].ProgressSteps);
}

TEST_F(RunLoopTest, InterruptEndsBetweenTrialsWithTheLogComplete) {
  auto model = ModelCatalog::Create("portfolio");
  SteeringObserver observer;
  observer.AtTrial = [&](long trial) {
    if (trial == 25) m_Interrupt = true;
  };
  const RunResult r = RunModel(*model, observer);
  EXPECT_EQ(r.StopReason, "interrupted");
  EXPECT_EQ(CountsOf(r.TrialLogPath).Trials, 25);
  EXPECT_LT(GdPopGetRunStatus(m_Handle), 0);
}

TEST_F(RunLoopTest, TimeGoalStopsWithoutATrialGoal) {
  auto model = ModelCatalog::Create("routing");
  m_Settings.Trials.reset();
  m_Settings.Minutes = 0.2 / 60;
  SteeringObserver observer;
  const RunResult r = RunModel(*model, observer);
  EXPECT_EQ(r.StopReason, "time");
  EXPECT_GT(r.Optimizations[0].Trials, 0);
  EXPECT_GE(r.ElapsedSeconds, 0.2);
}

TEST_F(RunLoopTest, SpringDesignFindsAFeasibleDesignNearThePublishedOne) {
  auto model = ModelCatalog::Create("spring");
  m_Settings.Trials = 3000;
  m_Settings.Population = 60;
  SteeringObserver observer;
  int asked = 0;
  observer.SolverAnswer = [&](int violated) {
    asked = violated;
    return true;
  };
  const RunResult r = RunModel(*model, observer);
  const OptimizationResult& o = r.Optimizations[0];
  EXPECT_EQ(asked, 1);  // the first guess breaks the shear-stress limit
  EXPECT_TRUE(r.UsedConstraintSolver);
  EXPECT_TRUE(o.BestIsValid);
  EXPECT_GE(o.BestValue, *model->KnownBest() * 0.999);  // nobody beats the published optimum
  EXPECT_LT(o.BestValue, *model->KnownBest() * 2);
}

// One adjustable cell x in 0..10 starting at `start`; minimize x subject to x >= 5 (hard), each
// unit below costing `penalty`.
class FloorModel : public Model {
 public:
  FloorModel(double start, double penalty) {
    m_Name = "test";
    m_Groups.push_back({"x", SolvingMethod::Recipe, {{"x", 0, 10, start}}});
    m_Constraints.push_back({"Floor", "x >= 5", true, Comparison::AtLeast, 5, Statistic::Value, penalty});
  }

 protected:
  Outcome Compute(std::span<const double> genes) const override { return {genes[0], {genes[0]}}; }
};

TEST_F(RunLoopTest, InfeasibleStartAsksAboutTheConstraintSolver) {
  FloorModel model(0, 10);
  int asked = 0;
  SteeringObserver observer;
  observer.SolverAnswer = [&](int violated) {
    asked = violated;
    return true;
  };
  const RunResult r = RunModel(model, observer);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(r.Optimizations[0].BestIsValid);
  EXPECT_NEAR(r.Optimizations[0].BestValue, 5, 0.5);
}

// From x = 10, with a penalty too weak to outweigh what breaking the floor gains: every x below 5
// ranks above x = 5.
TEST_F(RunLoopTest, AnInvalidTrialNeverReplacesAValidBest) {
  FloorModel model(10, 0.1);
  m_Settings.Trials = 400;
  struct Counting : SteeringObserver {
    long Invalid = 0, InvalidSteps = 0;
    void OnTrial(long trial, const Evaluation& e, bool better) override {
      SteeringObserver::OnTrial(trial, e, better);
      Invalid += e.Valid ? 0 : 1;
      InvalidSteps += better && !e.Valid ? 1 : 0;
    }
  } counting;
  const RunResult r = RunModel(model, counting);
  EXPECT_GT(counting.Invalid, 0) << "the search tried below the floor";
  EXPECT_EQ(counting.InvalidSteps, 0);
  EXPECT_TRUE(r.Optimizations[0].BestIsValid);
  EXPECT_GE(r.Optimizations[0].BestValue, 5);
  EXPECT_LT(r.Optimizations[0].BestValue, 6);
}

TEST_F(RunLoopTest, ConstraintSolverRunCountsTheConstraintsNotMetAndEndsWhenNoneIs) {
  FloorModel model(0, 10);
  m_Settings.ConstraintSolver = true;
  m_Settings.Trials = 5000;
  SteeringObserver observer;
  bool asked = false;
  observer.SolverAnswer = [&](int) { return asked = true; };
  const RunResult r = RunModel(model, observer);
  EXPECT_FALSE(asked);  // the whole run is the solver's
  EXPECT_TRUE(r.UsedConstraintSolver);
  EXPECT_EQ(r.StopReason, "solved");
  const OptimizationResult& o = r.Optimizations[0];
  EXPECT_TRUE(o.BestIsValid);
  EXPECT_EQ(o.BestValue, 0);
  EXPECT_LT(o.Trials, 5000);
  // The original breaks the one constraint: one not met, and a fraction for how far from it.
  const double original = ReadValue(observer.LogPath, 1, GdLogKindTrial);
  EXPECT_GT(original, 1);
  EXPECT_LT(original, 2);
  // The last trial is the solution that ended the run.
  EXPECT_EQ(ReadValue(observer.LogPath, static_cast<int>(o.Trials), GdLogKindTrial), 0);
}

TEST_F(RunLoopTest, LogDeletedDuringTheRunIsReportedNotNamed) {
  auto model = ModelCatalog::Create("spring");
  m_Settings.Trials = 40;
  m_Settings.KeepLog = false;
  SteeringObserver observer;
  observer.AtTrial = [&](long trial) {
    if (trial != 10) return;
    std::filesystem::remove(observer.LogPath);
    std::ofstream(observer.LogPath) << "someone else's";
  };
  const RunResult r = RunModel(*model, observer);
  EXPECT_EQ(r.StopReason, "trials");
  EXPECT_EQ(r.TrialLogPath, "");
  EXPECT_EQ(r.TrialLogError, "The trial log " + observer.LogPath + " was deleted during the run.");
  EXPECT_TRUE(r.Optimizations[0].HasBest);
  // Removing the run's own log at the end leaves a file made later under its name alone.
  std::ifstream other(observer.LogPath);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(other), {}), "someone else's");
}

TEST_F(RunLoopTest, DefaultLogIsReadableDuringTheRunAndRemovedAfterIt) {
  auto model = ModelCatalog::Create("spring");
  m_Settings.Trials = 30;
  m_Settings.KeepLog = false;
  SteeringObserver observer;
  std::int32_t trialsSeen = -1;
  observer.AtTrial = [&](long trial) {
    if (trial == 20) trialsSeen = CountsOf(observer.LogPath).Trials;
  };
  const RunResult r = RunModel(*model, observer);
  EXPECT_EQ(trialsSeen, 20);
  EXPECT_EQ(r.TrialLogPath, "");
  EXPECT_EQ(std::filesystem::path(observer.LogPath).parent_path().filename(), "trials");
  EXPECT_FALSE(std::filesystem::exists(observer.LogPath));
}

}  // namespace
}  // namespace corvana::addin
