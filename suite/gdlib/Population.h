#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "suite/gdlib/gdlib8.h"

namespace gdlib {

struct PopulationHeader;
class SteadyStateStep;

// One population in POSIX shared memory, mapped into this process. The optimizing side creates
// and frees it; any process of the same suite scope opens it by handle to lock, read and steer it.
//
// The process-shared mutex is robust and recursive: a holder that dies leaves it to the next
// locker, which repairs a half-done step (the step-in-progress flag says so), and the optimizing
// side may call the GA while it holds the lock itself.
//
// Several worker processes may evaluate organisms at once: each has a record of its own in the
// segment with the organism it took and what the step needs to learn from its result.
class Population {
 public:
  // Creates a population (and reclaims segments whose owner died). Throws GdError.
  static std::shared_ptr<Population> Create(std::span<const GdGroupSpec> groups, std::int32_t populationSize,
                                            std::int32_t goal, std::uint64_t seed);
  // The mapping of a handle in this process, opened on first use. Throws GdErrUnknownHandle or
  // GdErrPopulationGone.
  static std::shared_ptr<Population> Open(std::int32_t handle);
  // Frees a population this process created: the segment disappears.
  static void Free(std::int32_t handle);
  // Frees every population this process created and unmaps the others (library shutdown).
  static void ReleaseAll();

  ~Population();
  std::int32_t Handle() const noexcept { return m_Handle; }

  void Lock();
  // Lock that gives up after `milliseconds`; false when it did.
  bool TryLock(std::int32_t milliseconds);
  void Unlock();

  std::int16_t RunStatus() const;
  void SetRunStatus(std::int16_t status);
  std::int32_t TimerMilliseconds() const;

  std::int32_t Size() const;
  std::int32_t GroupCount() const;
  std::int32_t GeneTotal() const;
  std::int32_t GeneCount(std::int32_t group) const;
  std::int32_t SolvingMethod(std::int32_t group) const;
  std::int64_t TrialCount() const;

  void SetInitialGenes(std::span<const double> genes);
  // Hands worker `worker` (0: the owner's own trials) an organism: a requeued one first, else a
  // child bred afresh (or, until every organism has a result, drawn at random).
  void TakeOrganism(std::int32_t worker, std::span<double> genes);
  bool ReportOrganism(std::int32_t worker, double valueWithoutPenalties, double valueWithPenalties,
                      bool feasible);
  void RequeueOrganism(std::int32_t worker);
  void WorkerState(std::int32_t worker, std::int32_t& state, std::int32_t& pid) const;
  double Best(std::span<double> genes) const;

  void OrganismResult(std::int32_t organism, double& value, double& objective, std::int32_t& flags) const;
  void OrganismGenes(std::int32_t organism, std::span<double> genes) const;
  double GeneValue(std::int32_t group, std::int32_t gene, std::int32_t organism) const;
  void GeneRange(std::int32_t group, std::int32_t gene, double& minimum, double& maximum) const;
  double CrossoverRate(std::int32_t group) const;
  void SetCrossoverRate(std::int32_t group, double rate);
  double CurrentMutationRate(std::int32_t group) const;
  void MutationMode(std::int32_t group, bool& isAuto, double& rate) const;
  void SetMutationMode(std::int32_t group, double rate);

 private:
  Population(std::int32_t handle, void* base, std::size_t bytes, bool owner);
  class Guard;  // locks the population for one call and marks a step in progress

  struct WorkerRecord& Worker(std::int32_t worker) const;
  void* WorkerPending(std::int32_t worker) const;
  double* WorkerChild(std::int32_t worker) const;
  void BreedInto(std::int32_t worker);
  void AfterLock(int rc);

  PopulationHeader& Header() const;
  struct GroupRecord& Group(std::int32_t group) const;
  double* OrganismSlot(std::int32_t slot) const;  // slot 1..N, the best N+1
  void CheckOrganism(std::int32_t organism) const;
  void CheckAlive() const;
  void RepairAfterDeadHolder();
  SteadyStateStep Step();  // the GA step over this population's records

  std::int32_t m_Handle;
  void* m_Base;
  std::size_t m_Bytes;
  bool m_Owner;
};

}  // namespace gdlib
