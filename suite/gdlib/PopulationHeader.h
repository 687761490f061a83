#pragma once

#include <pthread.h>

#include <cstdint>

#include "suite/gdlib/gdlib8.h"

namespace gdlib {

// The value of an organism slot before its result is in.
inline constexpr double kNoValue = -1.001e300;

// Marks a population segment that is completely set up.
inline constexpr std::uint64_t kPopulationMagic = 0x31504f5044474443ull;  // "CGDGDPOP1" (little-endian)

// The start of a population segment, the same in every process that maps it. Groups, gene
// ranges, initial genes and organisms follow at the offsets it gives.
struct PopulationHeader {
  std::uint64_t Magic;
  std::uint64_t Bytes;
  std::int32_t OwnerPid;
  std::int32_t Handle;
  std::int32_t Freed;      // atomic: set by the owner's free before the segment goes
  std::int32_t RunStatus;  // atomic
  std::int64_t Timer;      // atomic: running: 2 * start + 1; stopped: 2 * elapsed (ms)
  pthread_mutex_t Mutex;
  std::int32_t StepInProgress;  // set under the lock while organisms are rearranged
  std::int32_t PopulationSize;
  std::int32_t GroupCount;
  std::int32_t GeneTotal;
  std::int32_t Goal;
  std::int32_t EvaluatedCount;
  std::int32_t InitialGiven;  // the original solution has been handed out
  std::int32_t HasBest;
  std::int32_t HasInitialGenes;
  std::int32_t Stagnation;
  std::int64_t TrialCount;
  std::uint64_t RngState;
  std::uint64_t GroupsOffset;
  std::uint64_t RangesOffset;
  std::uint64_t InitialOffset;
  std::uint64_t OrganismsOffset;
  std::uint64_t OrganismStride;  // doubles: value, objective, flags, genes
  std::uint64_t SearchOffset;    // the steady-state step's own state
  std::uint64_t WorkersOffset;   // kWorkerSlots worker records
  std::uint64_t WorkerStride;    // bytes of a worker record with its pending context and child
  std::int64_t NextTicket;       // organisms handed out so far
  // The step under the lock, for a locker that finds its holder dead: whose, and for a take,
  // which requeued organism it was moving (-1: a child bred afresh).
  std::int32_t StepWorker;
  std::int32_t StepSource;
  std::int32_t StepTaking;
  std::int32_t Reserved;
};

// Worker slots: 0 is the owner's own trials, 1..GD_MAX_WORKERS the worker processes.
inline constexpr std::int32_t kWorkerSlots = GD_MAX_WORKERS + 1;

// The organism a worker is evaluating. Its pending context and the child's record follow.
struct WorkerRecord {
  std::int32_t State;   // GdWorker...
  std::int32_t Pid;     // the process that took it
  std::int64_t Ticket;  // order of hand-out: a requeued organism goes before newer ones
};

// One group of genes in a population segment.
struct GroupRecord {
  std::int32_t Method;
  std::int32_t GeneCount;
  std::int32_t FirstGene;
  std::int32_t GroupCount;
  std::int32_t AutoMutation;
  std::int32_t Reserved;
  double Budget;
  double CrossoverRate;
  double MutationRate;
  double CurrentMutationRate;
};

}  // namespace gdlib
