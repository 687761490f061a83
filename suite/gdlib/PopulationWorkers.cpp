// The population's side of worker processes: an organism bred for each worker, taken, reported
// or requeued when its worker is gone.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "suite/gdlib/GdError.h"
#include "suite/gdlib/GeneticOperators.h"
#include "suite/gdlib/Population.h"
#include "suite/gdlib/PopulationGuard.h"
#include "suite/gdlib/PopulationHeader.h"
#include "suite/gdlib/SteadyStateStep.h"

namespace gdlib {

void Population::BreedInto(std::int32_t worker) {
  PopulationHeader& h = Header();
  double* child = WorkerChild(worker);
  child[0] = kNoValue;
  child[1] = kNoValue;
  child[2] = 0;
  SteadyStateStep step = Step();
  if (!h.InitialGiven && h.HasInitialGenes) {
    const auto* initial = reinterpret_cast<const double*>(static_cast<char*>(m_Base) + h.InitialOffset);
    std::copy(initial, initial + h.GeneTotal, child + 3);
    h.InitialGiven = 1;
    step.ForgetPending();
  } else if (h.EvaluatedCount < h.PopulationSize) {
    Rng rng(h.RngState);
    auto* ranges = reinterpret_cast<const gdlib::GeneRange*>(static_cast<char*>(m_Base) + h.RangesOffset);
    for (std::int32_t g = 1; g <= h.GroupCount; ++g) {
      GroupRecord& r = Group(g);
      GroupShape shape{r.Method, r.Budget, r.GroupCount, {ranges + r.FirstGene, std::size_t(r.GeneCount)}};
      GeneticOperators::Randomize(shape, {child + 3 + r.FirstGene, std::size_t(r.GeneCount)}, rng);
    }
    step.ForgetPending();
  } else {
    step.Breed(child, h.EvaluatedCount);
  }
  step.SavePending(WorkerPending(worker));
}

void Population::TakeOrganism(std::int32_t worker, std::span<double> genes) {
  Worker(worker);  // checks the number before the lock is taken
  Guard guard(*this, true, worker, true);
  PopulationHeader& h = Header();
  if (static_cast<std::int32_t>(genes.size()) < h.GeneTotal)
    Fail(GdErrBufferTooSmall, "The gene buffer holds " + std::to_string(genes.size()) + " of " +
                                  std::to_string(h.GeneTotal) + " genes.");
  WorkerRecord& mine = Worker(worker);
  // The oldest organism whose worker died goes first, so that no trial is lost with a worker.
  std::int32_t source = -1;
  for (std::int32_t w = 0; w < kWorkerSlots; ++w) {
    const WorkerRecord& r = Worker(w);
    if (r.State == GdWorkerRequeued && (source < 0 || r.Ticket < Worker(source).Ticket)) source = w;
  }
  h.StepSource = source;
  if (source >= 0 && source != worker) {
    const std::size_t bytes = reinterpret_cast<char*>(WorkerChild(worker)) +
                              h.OrganismStride * sizeof(double) - static_cast<char*>(WorkerPending(worker));
    std::memcpy(WorkerPending(worker), WorkerPending(source), bytes);
    mine.Ticket = Worker(source).Ticket;
    Worker(source).State = GdWorkerIdle;
    Worker(source).Pid = 0;
  } else if (source < 0) {
    BreedInto(worker);
    mine.Ticket = ++h.NextTicket;
  }
  mine.Pid = ::getpid();
  mine.State = GdWorkerEvaluating;
  const double* child = WorkerChild(worker);
  std::copy(child + 3, child + 3 + h.GeneTotal, genes.begin());
}

bool Population::ReportOrganism(std::int32_t worker, double valueWithoutPenalties, double valueWithPenalties,
                                bool feasible) {
  Worker(worker);
  Guard guard(*this, true, worker, false);
  PopulationHeader& h = Header();
  WorkerRecord& mine = Worker(worker);
  if (mine.State != GdWorkerEvaluating)
    Fail(GdErrNoPendingOrganism,
         "Worker " + std::to_string(worker) + " has no organism waiting for its result.");
  double* child = WorkerChild(worker);
  child[0] = valueWithPenalties;
  child[1] = valueWithoutPenalties;
  child[2] = GdOrgFlagEvaluated | (feasible ? GdOrgFlagFeasible : 0);
  ++h.TrialCount;
  double* best = OrganismSlot(h.PopulationSize + 1);
  bool newBest = !std::isnan(valueWithPenalties) &&
                 (!h.HasBest || SteadyStateStep::Better(child, best, h.Goal == GdGoalMaximize));
  if (newBest) {
    std::copy(child, child + h.OrganismStride, best);
    h.HasBest = 1;
    h.Stagnation = 0;
  } else {
    ++h.Stagnation;
  }
  SteadyStateStep step = Step();
  step.RestorePending(WorkerPending(worker));
  step.Learn(child);
  step.Insert(child, h.EvaluatedCount);
  mine.State = GdWorkerIdle;
  mine.Pid = 0;
  return newBest;
}

void Population::RequeueOrganism(std::int32_t worker) {
  Worker(worker);
  Guard guard(*this, false);
  WorkerRecord& r = Worker(worker);
  if (r.State != GdWorkerEvaluating) return;
  r.State = GdWorkerRequeued;
  r.Pid = 0;
}

void Population::WorkerState(std::int32_t worker, std::int32_t& state, std::int32_t& pid) const {
  CheckAlive();
  const WorkerRecord& r = Worker(worker);
  state = r.State;
  pid = r.Pid;
}

}  // namespace gdlib
