// Runs with worker processes, inside the test process: the pool forks its workers from here.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>

#include "addin/RunLoop.h"
#include "addin/workers/WorkerPool.h"
#include "addin/workers/WorkerProcess.h"
#include "suite/gdlib/gdlib8.h"
#include "tests/support/PrivateSuiteFolders.h"
#include "tests/support/TwoGenePopulation.h"
#include "tests/support/WaitUntil.h"

namespace corvana::addin {
namespace {

using Clock = std::chrono::steady_clock;

const auto* const g_Environment = ::testing::AddGlobalTestEnvironment(new PrivateSuiteFolders);

const pid_t g_TestPid = ::getpid();

// Sum of squares of three genes; in a worker process it throws for every gene set whose first
// gene is above `ThrowAbove`, as a model with a broken formula would.
class SquaresModel : public Model {
 public:
  double ThrowAbove = 1e9;
  SquaresModel() {
    m_Name = "squares";
    m_ObjectiveText = "sum of squares";
    GeneGroup group{"x", SolvingMethod::Recipe, {}};
    for (const char* name : {"a", "b", "c"}) group.Genes.push_back({name, -5, 5, 3});
    m_Groups.push_back(group);
    SetRecalculationCost(0.3);
  }

 protected:
  Outcome Compute(std::span<const double> genes) const override {
    if (::getpid() != g_TestPid && genes[0] > ThrowAbove) throw std::runtime_error("#VALUE! in the model");
    Outcome o;
    for (double g : genes) o.Objective += g * g;
    o.SimMean = o.SimMin = o.SimMax = o.Objective;
    return o;
  }
};

class Watching : public RunObserver {
 public:
  std::function<void(long)> AtTrial;
  std::function<void()> AtIdle;
  std::int32_t Handle = 0;
  std::string LogPath;
  long LastTrial = 0;
  void OnRunCreated(std::int32_t handle, const char* path) override {
    Handle = handle;
    LogPath = path;
  }
  void OnTrial(long trial, const Evaluation&, bool) override {
    EXPECT_EQ(trial, LastTrial + 1) << "the trial log stays one ordered file";
    LastTrial = trial;
    if (AtTrial) AtTrial(trial);
  }
  void OnIdle(bool) override {
    if (AtIdle) AtIdle();
  }
};

std::set<std::string> PopulationSegments() {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/shm"))
    if (entry.path().filename().string().find("-pop-") != std::string::npos)
      names.insert(entry.path().filename().string());
  return names;
}

std::int32_t LogTrials(const std::string& path) {
  std::int32_t trials = -1, steps = -1;
  EXPECT_EQ(GdLogGetRecordCountsWVB(path.c_str(), &trials, &steps), GdOk);
  return trials;
}

class WorkerRun : public ::testing::Test {
 protected:
  // A run of `trials` trials whose organisms go to `count` worker processes.
  void Start(long trials, int count) {
    settings.Trials = trials;
    loop = std::make_unique<RunLoop>(model, settings, watching, interrupt);
    loop->Create();
    pool = std::make_unique<workers::WorkerPool>(model, loop->PopHandle(), count);
    loop->UseWorkers(pool.get());
  }

  SquaresModel model;
  RunSettings settings;
  Watching watching;
  std::atomic<bool> interrupt{false};
  std::unique_ptr<RunLoop> loop;
  std::unique_ptr<workers::WorkerPool> pool;
};

TEST_F(WorkerRun, AWorkerKilledMidRunIsNoticedAndNoTrialIsLost) {
  settings.KeepLog = true;
  Start(400, 3);
  Clock::time_point killedAt, noticedAt;
  watching.AtTrial = [&](long trial) {
    if (trial != 60) return;
    killedAt = Clock::now();
    ASSERT_EQ(::kill(pool->Pids().front(), SIGKILL), 0);
  };
  watching.AtIdle = [&] {
    if (pool->Lost() == 1 && noticedAt == Clock::time_point{}) noticedAt = Clock::now();
  };
  const RunResult result = loop->Run();
  EXPECT_EQ(pool->Lost(), 1);
  EXPECT_EQ(pool->Alive(), 2);
  // The dead worker's organism went to another: none is left waiting.
  for (int w = 0; w <= 3; ++w) {
    std::int32_t state = -1;
    ASSERT_EQ(GdPopGetWorkerState(loop->PopHandle(), w, &state, nullptr), GdOk);
    EXPECT_EQ(state, GdWorkerIdle) << "worker " << w;
  }
  pool.reset();
  loop.reset();
  ASSERT_NE(noticedAt, Clock::time_point{});
  EXPECT_LT(noticedAt - killedAt, std::chrono::seconds(1));
  EXPECT_EQ(result.StopReason, "trials");
  EXPECT_EQ(result.Optimizations.at(0).Trials, 400);
  EXPECT_EQ(LogTrials(watching.LogPath), 400);
  EXPECT_LT(result.Optimizations.at(0).BestValue, 1.0);
  // Other tests may run populations meanwhile: only this run's segment must be gone.
  const std::string ours = "-pop-" + std::to_string(watching.Handle);
  for (const auto& name : PopulationSegments()) EXPECT_FALSE(name.ends_with(ours)) << name << " was left";
  std::filesystem::remove(watching.LogPath);
}

TEST_F(WorkerRun, AModelThatThrowsInAWorkerFailsItsTrialsAndTheRunGoesOn) {
  model.ThrowAbove = 2;
  Start(200, 2);
  const OptimizationResult o = loop->Run().Optimizations.at(0);
  EXPECT_EQ(o.Trials, 200);
  EXPECT_LT(o.ValidTrials, 200) << "the failed trials count as invalid";
  EXPECT_GT(o.ValidTrials, 0);
  EXPECT_TRUE(o.BestIsValid);
  EXPECT_EQ(pool->Lost(), 0) << "a model that throws does not take its worker down";
}

TEST_F(WorkerRun, WhenEveryWorkerIsLostTheAddinEvaluatesTheRestItself) {
  Start(150, 2);
  watching.AtTrial = [&](long trial) {
    if (trial == 30)
      for (pid_t pid : pool->Pids()) ::kill(pid, SIGKILL);
  };
  const RunResult result = loop->Run();
  EXPECT_EQ(pool->Lost(), 2);
  EXPECT_EQ(result.Optimizations.at(0).Trials, 150);
}

TEST_F(WorkerRun, AnInterruptEndsTheRunAndThePoolEndsEveryWorker) {
  model.SetRecalculationCost(5);
  Start(100000, 2);
  const std::vector<pid_t> pids = pool->Pids();
  watching.AtTrial = [&](long trial) {
    if (trial == 20) interrupt = true;
  };
  EXPECT_EQ(loop->Run().StopReason, "interrupted");
  pool.reset();
  for (pid_t pid : pids) EXPECT_NE(::kill(pid, 0), 0) << "worker " << pid << " still runs";
}

TEST_F(WorkerRun, PausedAtOnceAsTheWatcherDoesAndResumed) {
  Start(300, 2);
  auto setStatus = [&](std::int16_t status) {
    ASSERT_EQ(GdPopLock(watching.Handle), GdOk);
    ASSERT_EQ(GdPopSetRunStatus(watching.Handle, status), GdOk);
    GdPopUnlock(watching.Handle);
  };
  int pausedIdles = 0;
  watching.AtTrial = [&](long trial) {
    if (trial == 100) setStatus(GdRunStatusPaused);
  };
  watching.AtIdle = [&] {
    if (GdPopGetRunStatus(watching.Handle) == GdRunStatusPaused && ++pausedIdles == 20)
      setStatus(GdRunStatusOptimizing);
  };
  const RunResult result = loop->Run();
  EXPECT_EQ(pausedIdles, 20);
  EXPECT_EQ(result.Optimizations.at(0).Trials, 300);
}

// A killed add-in's pipes close before the system counts it gone, and on a busy machine that can
// take a while: its worker waits for it to be gone and then removes the population it left.
TEST(WorkerOrphan, AnAddinSlowToEndStillLeavesNoPopulation) {
  int toTest[2], toAddin[2];
  ASSERT_EQ(::pipe(toTest), 0);
  ASSERT_EQ(::pipe(toAddin), 0);
  const pid_t addin = ::fork();
  ASSERT_GE(addin, 0);
  if (addin == 0) {
    std::int32_t handle = 0;
    int pair[2];
    if (!test::CreateTwoGenePopulation(1, 1, &handle) || ::socketpair(AF_UNIX, SOCK_STREAM, 0, pair) != 0)
      ::_exit(1);
    const pid_t worker = ::fork();
    if (worker == 0) {
      ::close(pair[0]);
      SquaresModel model;
      workers::WorkerProcess::Run(model, handle, 0, pair[1], ::getppid());
    }
    ::close(pair[1]);
    const std::int32_t ids[] = {handle, worker};
    if (::write(toTest[1], ids, sizeof ids) != sizeof ids) ::_exit(1);
    ::close(pair[0]);  // the pipe to the worker closes first...
    char end = 0;
    if (::read(toAddin[0], &end, 1) < 0) ::_exit(1);
    ::_exit(0);  // ...and the add-in ends when the test says, without freeing its population
  }
  std::int32_t ids[2] = {};
  ASSERT_EQ(::read(toTest[0], ids, sizeof ids), static_cast<ssize_t>(sizeof ids));
  const std::string suffix = "-pop-" + std::to_string(ids[0]);
  auto left = [&] {
    for (const auto& name : PopulationSegments())
      if (name.ends_with(suffix)) return true;
    return false;
  };
  auto workerGone = [&] {
    std::ifstream stat("/proc/" + std::to_string(ids[1]) + "/stat");
    std::string line;
    return !std::getline(stat, line) || line.substr(line.rfind(')') + 2, 1) == "Z";
  };
  EXPECT_TRUE(left());
  // While its add-in has not ended, the worker waits for it, longer than any fixed try would.
  EXPECT_FALSE(test::WaitUntil(workerGone, std::chrono::milliseconds(1500))) << "the worker gave up";
  ASSERT_EQ(::write(toAddin[1], "x", 1), 1);
  int status = 0;
  ::waitpid(addin, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_TRUE(test::WaitUntil([&] { return !left(); })) << "population " << ids[0] << " left behind";
  EXPECT_TRUE(test::WaitUntil(workerGone));
  for (int fd : {toTest[0], toTest[1], toAddin[0], toAddin[1]}) ::close(fd);
}

}  // namespace
}  // namespace corvana::addin
