#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "GdLibTestSupport.h"
#include "suite/gdlib/gdlib8.h"

using namespace gdtest;

namespace {

std::vector<double> Take(std::int32_t pop, std::int32_t worker) {
  std::vector<double> genes(64);
  std::int32_t count = 0;
  EXPECT_EQ(GdPopTakeOrganism(pop, worker, genes.data(), 64, &count), GdOk);
  genes.resize(count);
  return genes;
}

void Report(std::int32_t pop, std::int32_t worker, const std::vector<double>& genes) {
  const double value = Sphere(genes);
  EXPECT_EQ(GdPopReportOrganism(pop, worker, value, value, 1, nullptr), GdOk);
}

std::int32_t StateOf(std::int32_t pop, std::int32_t worker) {
  std::int32_t state = -1;
  EXPECT_EQ(GdPopGetWorkerState(pop, worker, &state, nullptr), GdOk);
  return state;
}

// Set by the dying child's own loop around each engine call.
volatile sig_atomic_t g_InEngineCall = 0;

void DieInsideACall(int) {
  if (g_InEngineCall) ::_exit(42);
  // Not inside a call this time: try again a little later.
  itimerval again{{0, 0}, {0, 37}};
  ::setitimer(ITIMER_REAL, &again, nullptr);
}

}  // namespace

TEST(Workers, SeveralOrganismsAreOutAtOnceAndEachResultCounts) {
  std::int32_t pop = CreateRecipePopulation(4, 8);
  ASSERT_EQ(GdPopSetInitialGenes(pop, std::vector<double>(4, 0.5).data(), 4), GdOk);
  // The original solution goes to the first taker only.
  std::vector<double> first = Take(pop, 1), second = Take(pop, 2);
  EXPECT_EQ(first, std::vector<double>(4, 0.5));
  EXPECT_NE(second, first);
  EXPECT_EQ(StateOf(pop, 1), GdWorkerEvaluating);
  std::int32_t pid = 0;
  ASSERT_EQ(GdPopGetWorkerState(pop, 2, nullptr, &pid), GdOk);
  EXPECT_EQ(pid, ::getpid());
  // Results come back in any order.
  Report(pop, 2, second);
  Report(pop, 1, first);
  EXPECT_EQ(StateOf(pop, 1), GdWorkerIdle);
  EXPECT_EQ(GdPopGetTrialCount(pop), 2);
  EXPECT_EQ(GdPopReportOrganism(pop, 1, 0, 0, 1, nullptr), GdErrNoPendingOrganism);
  EXPECT_EQ(GdPopTakeOrganism(pop, GD_MAX_WORKERS + 1, first.data(), 4, &pid), GdErrInvalidArgument);

  // Four workers breeding and reporting out of step still improve the population and keep it
  // in rank.
  std::vector<std::vector<double>> out(5);
  std::mt19937 order(7);
  double best = HUGE_VAL;
  for (int round = 0; round < 400; ++round) {
    const std::int32_t w = 1 + static_cast<std::int32_t>(order() % 4);
    if (!out[w].empty()) {
      best = std::min(best, Sphere(out[w]));
      Report(pop, w, out[w]);
    }
    out[w] = Take(pop, w);
  }
  EXPECT_LT(best, 1.0);
  ExpectRanked(pop);
  EXPECT_EQ(GdPopFree(pop), GdOk);
}

TEST(Workers, TheOrganismOfAWorkerThatDiedGoesToTheNextTaker) {
  std::int32_t pop = CreateRecipePopulation(3, 6);
  for (int t = 0; t < 10; ++t) Report(pop, 0, Take(pop, 0));
  const std::vector<double> lost = Take(pop, 3);
  const std::vector<double> older = Take(pop, 1);
  // Requeued in reverse order of hand-out: the oldest still goes first.
  ASSERT_EQ(GdPopRequeueOrganism(pop, 1), GdOk);
  ASSERT_EQ(GdPopRequeueOrganism(pop, 3), GdOk);
  EXPECT_EQ(StateOf(pop, 3), GdWorkerRequeued);
  EXPECT_EQ(Take(pop, 2), lost);
  EXPECT_EQ(StateOf(pop, 3), GdWorkerIdle);
  EXPECT_EQ(Take(pop, 4), older);
  // A worker with nothing out is requeued as a no-op; a fresh take then breeds again.
  ASSERT_EQ(GdPopRequeueOrganism(pop, 5), GdOk);
  EXPECT_EQ(StateOf(pop, 5), GdWorkerIdle);
  Report(pop, 2, lost);
  Report(pop, 4, older);
  EXPECT_EQ(GdPopGetTrialCount(pop), 12);
  EXPECT_EQ(GdPopFree(pop), GdOk);
}

// A worker process that dies inside an engine call, with the lock held in the middle of a take or
// a report, leaves a population the next locker repairs: ranked, no organism lost that was handed
// out, and the run goes on.
TEST(Workers, AWorkerDyingInsideAStepLeavesAConsistentPopulation) {
  // Large enough that a step takes long and the dying child spends nearly all its time in one.
  std::int32_t pop = CreateRecipePopulation(60, 400);
  for (int t = 0; t < 450; ++t) Report(pop, 0, Take(pop, 0));
  std::mt19937 random(3);
  int diedInside = 0;
  for (int round = 0; round < 12; ++round) {
    pid_t child = Fork([pop, delay = 200 + static_cast<int>(random() % 3000)] {
      struct sigaction action {};
      action.sa_handler = DieInsideACall;
      ::sigaction(SIGALRM, &action, nullptr);
      itimerval timer{{0, 0}, {0, delay}};
      ::setitimer(ITIMER_REAL, &timer, nullptr);
      std::vector<double> genes(64);
      std::int32_t count = 0;
      for (;;) {
        g_InEngineCall = 1;
        GdPopTakeOrganism(pop, 1, genes.data(), 64, &count);
        g_InEngineCall = 0;
        const double value = Sphere({genes.begin(), genes.begin() + count});
        g_InEngineCall = 1;
        GdPopReportOrganism(pop, 1, value, value, 1, nullptr);
        g_InEngineCall = 0;
      }
      return 0;
    });
    const int code = Wait(child);
    ASSERT_EQ(code, 42);
    ++diedInside;
    // What the owner does when it notices the dead worker: lock (the repair), requeue, go on.
    ASSERT_EQ(GdPopLock(pop), GdOk);
    ExpectRanked(pop);
    const std::int32_t state = StateOf(pop, 1);
    EXPECT_TRUE(state == GdWorkerIdle || state == GdWorkerEvaluating || state == GdWorkerRequeued) << state;
    ASSERT_EQ(GdPopRequeueOrganism(pop, 1), GdOk);
    ASSERT_EQ(GdPopUnlock(pop), GdOk);
    const std::int64_t before = GdPopGetTrialCount(pop);
    for (int t = 0; t < 5; ++t) Report(pop, 2, Take(pop, 2));
    EXPECT_EQ(GdPopGetTrialCount(pop), before + 5);
    for (std::int32_t w = 1; w <= 2; ++w) EXPECT_EQ(StateOf(pop, w), GdWorkerIdle);
  }
  EXPECT_EQ(diedInside, 12);
  EXPECT_EQ(GdPopFree(pop), GdOk);
}
