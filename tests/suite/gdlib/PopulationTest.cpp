#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <numeric>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "GdLibTestSupport.h"
#include "suite/gdlib/gdlib8.h"

using namespace gdtest;

namespace {

// True while the process sits in a futex wait: blocked on a lock, not just slow to get there.
bool WaitsOnAFutex(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/syscall");
  long number = -1;
  return in >> number && number == SYS_futex;
}

// Runs `trials` trials of `objective` and returns the best value reported.
template <class Objective>
double RunTrials(std::int32_t pop, int trials, Objective objective) {
  std::vector<double> genes(64);
  std::int32_t count = 0;
  double best = HUGE_VAL;
  for (int t = 0; t < trials; ++t) {
    EXPECT_EQ(GdPopNextOrganism(pop, genes.data(), 64, &count), 0);
    std::vector<double> g(genes.begin(), genes.begin() + count);
    double value = objective(g);
    best = std::min(best, value);
    EXPECT_EQ(GdPopReportResult(pop, value, value, 1, nullptr), 0);
  }
  return best;
}

}  // namespace

TEST(Population, TheGeneticAlgorithmImprovesAndRanksOrganisms) {
  std::int32_t pop = CreateRecipePopulation(4, 30);
  std::vector<double> start = {5, 5, 5, 5};
  ASSERT_EQ(GdPopSetInitialGenes(pop, start.data(), 4), 0);
  std::vector<double> genes(4);
  std::int32_t count = 0;
  ASSERT_EQ(GdPopNextOrganism(pop, genes.data(), 4, &count), 0);
  EXPECT_EQ(genes, start) << "the first trial is the original solution";
  ASSERT_EQ(GdPopReportResult(pop, Sphere(genes), Sphere(genes), 1, nullptr), 0);

  double best = RunTrials(pop, 3000, Sphere);
  EXPECT_LT(best, 0.05);
  EXPECT_EQ(GdPopGetTrialCount(pop), 3001);

  ExpectRanked(pop);  // organism N is the best, organism 1 the worst
  double bestValue = 0;
  ASSERT_EQ(GdPopGetBest(pop, genes.data(), 4, &bestValue), 0);
  EXPECT_DOUBLE_EQ(bestValue, best);
  EXPECT_EQ(GdPopFree(pop), 0);
}

TEST(Population, BadRatesAreRefusedAndTheMutationRateInForceIsReported) {
  std::int32_t pop = CreateRecipePopulation(3, 10);
  EXPECT_EQ(GdChrSetCrossoverRate(pop, 1, 1.5), GdErrInvalidArgument);
  EXPECT_EQ(GdChrSetCrossoverRate(pop, 2, 0.5), GdErrInvalidArgument);

  // Automatic mutation adapts its rate from the start and reports the rate in force.
  ASSERT_EQ(GdChrSetMutationMode(pop, 1, -1), 0);
  std::int32_t isAuto = 0;
  double rate = 0;
  ASSERT_EQ(GdChrGetMutationMode(pop, 1, &isAuto, &rate), 0);
  EXPECT_EQ(isAuto, 1);
  RunTrials(pop, 300, [](const std::vector<double>&) { return 1.0; });
  double current = 0;
  ASSERT_EQ(GdChrGetCurrentMutationRate(pop, 1, &current), 0);
  EXPECT_NE(current, rate);

  ASSERT_EQ(GdChrSetMutationMode(pop, 1, 0.02), 0);
  ASSERT_EQ(GdChrGetMutationMode(pop, 1, &isAuto, &rate), 0);
  EXPECT_EQ(isAuto, 0);
  EXPECT_EQ(rate, 0.02);
  ASSERT_EQ(GdChrGetCurrentMutationRate(pop, 1, &current), 0);
  EXPECT_EQ(current, 0.02);
  EXPECT_EQ(GdPopFree(pop), 0);
}

TEST(Population, BadInputGivesCodesNotCrashes) {
  double lo = 1, hi = 0;
  GdGroupSpec inverted{GdMethodRecipe, 1, &lo, &hi, 0, 0, 0, 0.5, 0.1};
  std::int32_t pop = 0;
  EXPECT_EQ(GdPopCreate(&inverted, 1, 10, GdGoalMaximize, 1, &pop), GdErrInvalidArgument);
  double los[] = {0, 0}, his[] = {1, 1};
  GdGroupSpec budget{GdMethodBudget, 2, los, his, 5, 0, 0, 0.5, 0.1};
  EXPECT_EQ(GdPopCreate(&budget, 1, 10, GdGoalMaximize, 1, &pop), GdErrInvalidArgument)
      << "budget above the ranges";
  GdGroupSpec unknown{9, 2, los, his, 0, 0, 0, 0.5, 0.1};
  EXPECT_EQ(GdPopCreate(&unknown, 1, 10, GdGoalMaximize, 1, &pop), GdErrInvalidArgument);
  EXPECT_EQ(GdPopCreate(nullptr, 1, 10, GdGoalMaximize, 1, &pop), GdErrNullPointer);

  EXPECT_EQ(GdPopLock(123), GdErrUnknownHandle);
  EXPECT_EQ(GdPopGetRunStatus(-5), GdErrUnknownHandle);
  EXPECT_EQ(GdPopGetTimerValue(0), GdErrUnknownHandle);

  pop = CreateRecipePopulation(3, 10);
  double genes[3];
  std::int32_t count = 0;
  EXPECT_EQ(GdPopReportResult(pop, 1, 1, 1, nullptr), GdErrNoPendingOrganism);
  EXPECT_EQ(GdPopNextOrganism(pop, genes, 2, &count), GdErrBufferTooSmall);
  EXPECT_EQ(GdPopNextOrganism(pop, nullptr, 3, &count), GdErrNullPointer);
  EXPECT_EQ(GdOrgGetGenes(pop, 11, genes, 3, &count), GdErrInvalidArgument);
  EXPECT_EQ(GdOrgGetGenes(pop, 1, genes, 1, &count), GdErrBufferTooSmall);
  EXPECT_EQ(GdPopSetRunStatus(pop, 8), GdErrInvalidArgument);
  EXPECT_EQ(GdPopSetRunStatus(pop, 1), GdErrInvalidArgument);
  EXPECT_EQ(GdPopUnlock(pop), GdErrNotOwner) << "unlocking a lock nobody holds";
  double value = 0;
  EXPECT_EQ(GdGeneGetValue(pop, 1, 4, 1, &value), GdErrInvalidArgument);
  EXPECT_EQ(GdPopGetBest(pop, genes, 3, &value), GdErrRecordOutOfRange);
  EXPECT_EQ(GdPopFree(pop), 0);
  EXPECT_EQ(GdPopFree(pop), GdErrUnknownHandle);
}

TEST(Population, StatusAndTimerFollowTheRun) {
  std::int32_t pop = CreateRecipePopulation(2, 4);
  EXPECT_EQ(GdPopGetRunStatus(pop), GdRunStatusOptimizing);
  ASSERT_EQ(GdPopSetRunStatus(pop, GdRunStatusPaused), 0);
  std::int32_t paused = GdPopGetTimerValue(pop);
  ASSERT_GE(paused, 0);
  const auto pausedAt = std::chrono::steady_clock::now();
  ASSERT_TRUE(
      WaitUntil([&] { return std::chrono::steady_clock::now() - pausedAt > std::chrono::milliseconds(20); }));
  EXPECT_EQ(GdPopGetTimerValue(pop), paused) << "the timer stands still while paused";
  ASSERT_EQ(GdPopSetRunStatus(pop, GdRunStatusOptimizing), 0);
  EXPECT_TRUE(WaitUntil([&] { return GdPopGetTimerValue(pop) > paused; }));
  for (std::int16_t status = 2; status <= 7; ++status) {
    ASSERT_EQ(GdPopSetRunStatus(pop, status), 0);
    EXPECT_EQ(GdPopGetRunStatus(pop), status);
  }
  EXPECT_EQ(GdPopFree(pop), 0);
}

TEST(PopulationAcrossProcesses, TheOtherSideSeesStatusAndGenes) {
  std::int32_t pop = CreateRecipePopulation(3, 8);
  RunTrials(pop, 20, Sphere);
  WriteInt(30, 0);
  pid_t child = Fork([pop] {
    // The other process: steer the run and report what it reads.
    if (GdPopLock(pop) != 0) return 1;
    std::int32_t size = GdPopGetSize(pop);
    double value = 0, objective = 0;
    std::int32_t flags = 0;
    if (GdOrgGetResult(pop, size, &value, &objective, 0, &flags) != 0 || !(flags & GdOrgFlagEvaluated))
      return 2;
    if (GdChrSetCrossoverRate(pop, 1, 0.75) != 0) return 3;
    if (GdPopSetRunStatus(pop, GdRunStatusMarkToPause) != 0) return 4;
    if (GdPopUnlock(pop) != 0) return 5;
    std::int32_t done = 1;
    GdWriteTempData(30, &done, 4);
    return 0;
  });
  EXPECT_EQ(Wait(child), 0);
  EXPECT_EQ(ReadInt(30), 1);
  EXPECT_EQ(GdPopGetRunStatus(pop), GdRunStatusMarkToPause);
  double rate = 0;
  ASSERT_EQ(GdChrGetCrossoverRate(pop, 1, &rate), 0);
  EXPECT_EQ(rate, 0.75);
  EXPECT_EQ(GdPopFree(pop), 0);
}

TEST(PopulationAcrossProcesses, AHeldLockBlocksTheOtherSide) {
  std::int32_t pop = CreateRecipePopulation(2, 4);
  WriteInt(31, 0);
  ASSERT_EQ(GdPopLock(pop), 0);
  pid_t child = Fork([pop] {
    std::int32_t state = 2;  // about to lock
    GdWriteTempData(31, &state, 4);
    if (GdPopLock(pop) != 0) return 1;
    state = 1;
    GdWriteTempData(31, &state, 4);
    GdPopUnlock(pop);
    return 0;
  });
  // The other side is seen asleep on the lock itself, not merely not yet through it.
  EXPECT_TRUE(WaitUntil([child] { return ReadInt(31) == 2 && WaitsOnAFutex(child); }));
  EXPECT_EQ(ReadInt(31), 2) << "the other side got the lock while this side held it";
  ASSERT_EQ(GdPopUnlock(pop), 0);
  EXPECT_TRUE(WaitUntil([] { return ReadInt(31) == 1; }));
  EXPECT_EQ(Wait(child), 0);
  EXPECT_EQ(GdPopFree(pop), 0);
}

TEST(PopulationAcrossProcesses, ATryGivesUpWhileTheHolderLivesAndKillingItFreesTheLockAtOnce) {
  std::int32_t pop = CreateRecipePopulation(2, 6);
  RunTrials(pop, 30, Sphere);
  WriteInt(32, 0);
  pid_t child = Fork([pop] {
    GdPopLock(pop);
    std::int32_t locked = 1;
    GdWriteTempData(32, &locked, 4);
    for (;;) ::pause();
    return 0;
  });
  ASSERT_TRUE(WaitUntil([] { return ReadInt(32) == 1; }));
  EXPECT_EQ(GdPopTryLock(pop, 20), GdErrTimeout) << "a try with a deadline gives up while the holder lives";
  ::kill(child, SIGKILL);
  EXPECT_EQ(Wait(child), 128 + SIGKILL);
  EXPECT_EQ(GdPopLock(pop), 0);
  EXPECT_EQ(GdPopUnlock(pop), 0);
  EXPECT_EQ(GdPopTryLock(pop, 1000), GdOk);
  EXPECT_EQ(GdPopUnlock(pop), GdOk);
  // The population still works after the recovery.
  RunTrials(pop, 10, Sphere);
  EXPECT_EQ(GdPopGetTrialCount(pop), 40);
  EXPECT_EQ(GdPopFree(pop), 0);
}

TEST(PopulationAcrossProcesses, SegmentsGoWithTheirOwner) {
  std::int32_t pop = CreateRecipePopulation(2, 4);
  EXPECT_TRUE(SegmentExists(pop));
  ASSERT_EQ(GdPopFree(pop), 0);
  EXPECT_FALSE(SegmentExists(pop)) << "a freed population leaves its segment behind";

  // An owner that dies without freeing: the next population created in the scope reclaims it.
  WriteInt(33, 0);
  pid_t child = Fork([] {
    std::int32_t handle = CreateRecipePopulation(2, 4);
    GdWriteTempData(33, &handle, 4);
    return 0;
  });
  EXPECT_EQ(Wait(child), 0);
  std::int32_t orphan = ReadInt(33);
  ASSERT_GT(orphan, 0);
  EXPECT_TRUE(SegmentExists(orphan));
  std::int32_t next = CreateRecipePopulation(2, 4);
  EXPECT_FALSE(SegmentExists(orphan));
  EXPECT_EQ(GdPopFree(next), 0);

  // A killed run of a throwaway runtime folder: no later run there will reclaim its segment, so
  // a run in any other folder does.
  TempDir elsewhere;
  int channel[2];
  ASSERT_EQ(::pipe(channel), 0);
  child = Fork([&] {
    ::setenv("ORRENDEL_RUNTIME_DIR", elsewhere.Path().c_str(), 1);
    std::int32_t handle = CreateRecipePopulation(2, 4);
    if (::write(channel[1], &handle, sizeof handle) != sizeof handle) return 1;
    ::kill(::getpid(), SIGKILL);
    return 2;
  });
  ::close(channel[1]);
  orphan = 0;
  ASSERT_EQ(::read(channel[0], &orphan, sizeof orphan), static_cast<ssize_t>(sizeof orphan));
  ::close(channel[0]);
  EXPECT_EQ(Wait(child), 128 + SIGKILL);
  EXPECT_TRUE(SegmentExists(orphan));
  next = CreateRecipePopulation(2, 4);
  EXPECT_FALSE(SegmentExists(orphan)) << "the dead run's segment outlived it";
  EXPECT_EQ(GdPopFree(next), 0);
}

TEST(PopulationAcrossProcesses, AFreedPopulationIsGoneForTheOtherSide) {
  WriteInt(34, 0);
  WriteInt(35, 0);
  pid_t child = Fork([] {
    std::int32_t handle = CreateRecipePopulation(2, 4);
    GdWriteTempData(34, &handle, 4);
    WaitUntil([] {
      std::int32_t go = 0;
      GdReadTempData(35, &go, 4);
      return go == 1;
    });
    return GdPopFree(handle) == 0 ? 0 : 1;
  });
  ASSERT_TRUE(WaitUntil([] { return ReadInt(34) != 0; }));
  std::int32_t pop = ReadInt(34);
  EXPECT_EQ(GdPopGetRunStatus(pop), GdRunStatusOptimizing);
  EXPECT_EQ(GdPopFree(pop), GdErrNotOwner);
  WriteInt(35, 1);
  EXPECT_EQ(Wait(child), 0);
  EXPECT_EQ(GdPopGetRunStatus(pop), GdErrPopulationGone);
  EXPECT_EQ(GdPopLock(pop), GdErrUnknownHandle) << "after the first report the handle is forgotten";
}
