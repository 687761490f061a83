#include "suite/gdlib/Population.h"

#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <random>
#include <vector>

#include "suite/gdlib/GdError.h"
#include "suite/gdlib/GeneticOperators.h"
#include "suite/gdlib/PopulationGuard.h"
#include "suite/gdlib/PopulationHeader.h"
#include "suite/gdlib/PopulationSegment.h"
#include "suite/gdlib/SteadyStateStep.h"

namespace gdlib {

namespace {
std::int64_t NowMs() {
  timespec ts{};
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  return std::int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

template <class T>
std::atomic_ref<T> Atomic(T& field) {
  return std::atomic_ref<T>(field);
}

std::mutex g_MapMutex;
// Never destroyed, so that calls made while the host process exits still find it.
std::map<std::int32_t, std::shared_ptr<Population>>& Mapped() {
  static auto* map = new std::map<std::int32_t, std::shared_ptr<Population>>;
  return *map;
}

void CheckRate(double rate, const char* what) {
  if (!(rate >= 0 && rate <= 1)) Fail(GdErrInvalidArgument, std::string(what) + " must be between 0 and 1.");
}

}  // namespace

Population::Population(std::int32_t handle, void* base, std::size_t bytes, bool owner)
    : m_Handle(handle), m_Base(base), m_Bytes(bytes), m_Owner(owner) {}

Population::~Population() {
  ::munmap(m_Base, m_Bytes);
}

PopulationHeader& Population::Header() const {
  return *static_cast<PopulationHeader*>(m_Base);
}

GroupRecord& Population::Group(std::int32_t group) const {
  if (group < 1 || group > Header().GroupCount)
    Fail(GdErrInvalidArgument, "Chromosome " + std::to_string(group) + " is outside 1.." +
                                   std::to_string(Header().GroupCount) + ".");
  return reinterpret_cast<GroupRecord*>(static_cast<char*>(m_Base) + Header().GroupsOffset)[group - 1];
}

double* Population::OrganismSlot(std::int32_t slot) const {
  const PopulationHeader& h = Header();
  return reinterpret_cast<double*>(static_cast<char*>(m_Base) + h.OrganismsOffset) +
         static_cast<std::size_t>(slot - 1) * h.OrganismStride;
}

WorkerRecord& Population::Worker(std::int32_t worker) const {
  if (worker < 0 || worker >= kWorkerSlots)
    Fail(GdErrInvalidArgument,
         "Worker " + std::to_string(worker) + " is outside 0.." + std::to_string(GD_MAX_WORKERS) + ".");
  const PopulationHeader& h = Header();
  return *reinterpret_cast<WorkerRecord*>(static_cast<char*>(m_Base) + h.WorkersOffset +
                                          static_cast<std::size_t>(worker) * h.WorkerStride);
}

void* Population::WorkerPending(std::int32_t worker) const {
  return &Worker(worker) + 1;
}

double* Population::WorkerChild(std::int32_t worker) const {
  const PopulationHeader& h = Header();
  const std::size_t pending = SteadyStateStep::PendingBytes(h.GroupCount, h.GeneTotal);
  return reinterpret_cast<double*>(static_cast<char*>(WorkerPending(worker)) + (pending + 7) / 8 * 8);
}

void Population::CheckOrganism(std::int32_t organism) const {
  if (organism < 1 || organism > Header().PopulationSize)
    Fail(GdErrInvalidArgument, "Organism " + std::to_string(organism) + " is outside 1.." +
                                   std::to_string(Header().PopulationSize) + ".");
}

void Population::CheckAlive() const {
  if (Atomic(Header().Freed).load()) Fail(GdErrPopulationGone, "The population has been freed.");
}

std::shared_ptr<Population> Population::Create(std::span<const GdGroupSpec> groups,
                                               std::int32_t populationSize, std::int32_t goal,
                                               std::uint64_t seed) {
  if (groups.empty()) Fail(GdErrInvalidArgument, "A population needs at least one group of genes.");
  if (populationSize < 2 || populationSize > 100000)
    Fail(GdErrInvalidArgument, "The population size must be between 2 and 100000.");
  if (goal != GdGoalMaximize && goal != GdGoalMinimize)
    Fail(GdErrInvalidArgument, "The goal must be 1 (maximize) or 2 (minimize).");
  std::int64_t geneTotal = 0;
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const GdGroupSpec& s = groups[g];
    std::string which = "Group " + std::to_string(g + 1) + ": ";
    if (s.GeneCount < 1 || s.GeneCount > 1000000)
      Fail(GdErrInvalidArgument, which + "the gene count is invalid.");
    CheckRate(s.CrossoverRate, "The crossover rate");
    CheckRate(s.MutationRate, "The mutation rate");
    geneTotal += s.GeneCount;
    switch (s.SolvingMethod) {
      case GdMethodRecipe:
      case GdMethodBudget: {
        if (!s.Minimums || !s.Maximums) Fail(GdErrNullPointer, which + "the ranges are missing.");
        double lo = 0, hi = 0;
        for (std::int32_t i = 0; i < s.GeneCount; ++i) {
          if (!(std::isfinite(s.Minimums[i]) && std::isfinite(s.Maximums[i]) &&
                s.Minimums[i] <= s.Maximums[i]))
            Fail(GdErrInvalidArgument, which + "gene " + std::to_string(i + 1) + " has an invalid range.");
          lo += s.Minimums[i];
          hi += s.Maximums[i];
        }
        if (s.SolvingMethod == GdMethodBudget && !(s.Budget >= lo && s.Budget <= hi))
          Fail(GdErrInvalidArgument, which + "the budget cannot be met within the ranges.");
        break;
      }
      case GdMethodOrder: break;
      case GdMethodGrouping:
        if (s.GroupCount < 1) Fail(GdErrInvalidArgument, which + "grouping needs at least one group.");
        break;
      default:
        Fail(GdErrInvalidArgument, which + "unknown solving method " + std::to_string(s.SolvingMethod) + ".");
    }
  }
  if (geneTotal > 1000000) Fail(GdErrInvalidArgument, "Too many genes.");

  PopulationSegment::ReclaimStale();

  const std::uint64_t stride = 3 + static_cast<std::uint64_t>(geneTotal);
  const std::uint64_t groupsOffset = (sizeof(PopulationHeader) + 63) / 64 * 64;
  const std::uint64_t rangesOffset = groupsOffset + groups.size() * sizeof(GroupRecord);
  const std::uint64_t initialOffset = rangesOffset + geneTotal * sizeof(gdlib::GeneRange);
  const std::uint64_t organismsOffset = initialOffset + geneTotal * sizeof(double);
  // Organisms 1..N, then the best so far.
  const std::uint64_t searchOffset = organismsOffset + (populationSize + 1) * stride * sizeof(double);
  const auto groupCount = static_cast<std::int32_t>(groups.size());
  const std::uint64_t workersOffset =
      (searchOffset + SteadyStateStep::StateBytes(groupCount, static_cast<std::int32_t>(geneTotal)) + 63) /
      64 * 64;
  const std::uint64_t workerStride =
      (sizeof(WorkerRecord) +
       (SteadyStateStep::PendingBytes(groupCount, static_cast<std::int32_t>(geneTotal)) + 7) / 8 * 8 +
       stride * sizeof(double) + 63) /
      64 * 64;
  const std::uint64_t bytes = workersOffset + kWorkerSlots * workerStride;

  std::int32_t handle = 0;
  void* base = PopulationSegment::Create(bytes, handle);
  std::shared_ptr<Population> population(new Population(handle, base, bytes, true));

  PopulationHeader& h = population->Header();
  h.Bytes = bytes;
  h.OwnerPid = ::getpid();
  h.Handle = handle;
  h.RunStatus = GdRunStatusOptimizing;
  h.Timer = 2 * NowMs() + 1;
  h.PopulationSize = populationSize;
  h.GroupCount = static_cast<std::int32_t>(groups.size());
  h.GeneTotal = static_cast<std::int32_t>(geneTotal);
  h.Goal = goal;
  h.RngState = seed;
  h.GroupsOffset = groupsOffset;
  h.RangesOffset = rangesOffset;
  h.InitialOffset = initialOffset;
  h.OrganismsOffset = organismsOffset;
  h.OrganismStride = stride;
  h.SearchOffset = searchOffset;
  h.WorkersOffset = workersOffset;
  h.WorkerStride = workerStride;
  h.StepWorker = -1;
  h.StepSource = -1;
  SteadyStateStep::InitializeState(static_cast<char*>(base) + searchOffset, h.GroupCount, h.GeneTotal);

  pthread_mutexattr_t attr;
  ::pthread_mutexattr_init(&attr);
  ::pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED);
  ::pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST);
  ::pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
  ::pthread_mutex_init(&h.Mutex, &attr);
  ::pthread_mutexattr_destroy(&attr);

  auto* ranges = reinterpret_cast<gdlib::GeneRange*>(static_cast<char*>(base) + rangesOffset);
  std::int32_t first = 0;
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const GdGroupSpec& s = groups[g];
    GroupRecord& r = population->Group(static_cast<std::int32_t>(g + 1));
    r.Method = s.SolvingMethod;
    r.GeneCount = s.GeneCount;
    r.FirstGene = first;
    r.GroupCount = s.GroupCount;
    r.AutoMutation = s.AutoMutation ? 1 : 0;
    r.Budget = s.Budget;
    r.CrossoverRate = s.CrossoverRate;
    r.MutationRate = s.MutationRate;
    r.CurrentMutationRate = s.MutationRate;
    for (std::int32_t i = 0; i < s.GeneCount; ++i) {
      if (s.SolvingMethod == GdMethodRecipe || s.SolvingMethod == GdMethodBudget)
        ranges[first + i] = {s.Minimums[i], s.Maximums[i]};
      else if (s.SolvingMethod == GdMethodOrder)
        ranges[first + i] = {1, double(s.GeneCount)};
      else
        ranges[first + i] = {1, double(s.GroupCount)};
    }
    first += s.GeneCount;
  }
  // Every organism starts valid (so a reader sees sensible genes) but without a result.
  Rng rng(h.RngState);
  for (std::int32_t slot = 1; slot <= populationSize + 1; ++slot) {
    double* o = population->OrganismSlot(slot);
    o[0] = kNoValue;
    o[1] = kNoValue;
    o[2] = 0;
    for (std::int32_t g = 1; g <= h.GroupCount; ++g) {
      GroupRecord& r = population->Group(g);
      GroupShape shape{r.Method, r.Budget, r.GroupCount, {ranges + r.FirstGene, std::size_t(r.GeneCount)}};
      GeneticOperators::Randomize(shape, {o + 3 + r.FirstGene, std::size_t(r.GeneCount)}, rng);
    }
  }
  Atomic(h.Magic).store(kPopulationMagic);

  std::lock_guard lock(g_MapMutex);
  Mapped()[handle] = population;
  return population;
}

std::shared_ptr<Population> Population::Open(std::int32_t handle) {
  std::lock_guard lock(g_MapMutex);
  auto& map = Mapped();
  if (auto it = map.find(handle); it != map.end()) {
    if (!Atomic(it->second->Header().Freed).load()) return it->second;
    map.erase(it);
    Fail(GdErrPopulationGone, "Population " + std::to_string(handle) + " has been freed.");
  }
  if (handle <= 0) Fail(GdErrUnknownHandle, "There is no population " + std::to_string(handle) + ".");
  std::size_t bytes = 0;
  void* base = PopulationSegment::Open(handle, bytes);
  std::shared_ptr<Population> population(new Population(handle, base, bytes, false));
  const PopulationHeader& h = population->Header();
  if (Atomic(const_cast<std::uint64_t&>(h.Magic)).load() != kPopulationMagic || h.Bytes != bytes)
    Fail(GdErrUnknownHandle, "Population " + std::to_string(handle) + " is not ready.");
  population->CheckAlive();
  map[handle] = population;
  return population;
}

void Population::Free(std::int32_t handle) {
  std::shared_ptr<Population> population = Open(handle);
  if (!population->m_Owner) Fail(GdErrNotOwner, "Only the process that created a population frees it.");
  Atomic(population->Header().Freed).store(1);
  PopulationSegment::Remove(handle);
  std::lock_guard lock(g_MapMutex);
  Mapped().erase(handle);
}

void Population::ReleaseAll() {
  std::map<std::int32_t, std::shared_ptr<Population>> map;
  {
    std::lock_guard lock(g_MapMutex);
    map.swap(Mapped());
  }
  for (auto& [handle, population] : map) {
    if (!population->m_Owner) continue;
    Atomic(population->Header().Freed).store(1);
    PopulationSegment::Remove(handle);
  }
}

void Population::Lock() {
  CheckAlive();
  AfterLock(::pthread_mutex_lock(&Header().Mutex));
}

bool Population::TryLock(std::int32_t milliseconds) {
  CheckAlive();
  if (milliseconds < 0) Fail(GdErrInvalidArgument, "The time to wait for the lock is negative.");
  timespec until{};
  ::clock_gettime(CLOCK_REALTIME, &until);
  until.tv_sec += milliseconds / 1000;
  until.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000;
  if (until.tv_nsec >= 1000000000) {
    until.tv_nsec -= 1000000000;
    ++until.tv_sec;
  }
  const int rc = ::pthread_mutex_timedlock(&Header().Mutex, &until);
  if (rc == ETIMEDOUT) return false;
  AfterLock(rc);
  return true;
}

void Population::AfterLock(int rc) {
  PopulationHeader& h = Header();
  if (rc == EOWNERDEAD) {
    // The holder died; whatever it was doing is now ours to put right.
    if (h.StepInProgress) RepairAfterDeadHolder();
    ::pthread_mutex_consistent(&h.Mutex);
    rc = 0;
  }
  if (rc != 0) FailErrno("Cannot lock population " + std::to_string(m_Handle), rc);
}

void Population::Unlock() {
  int rc = ::pthread_mutex_unlock(&Header().Mutex);
  if (rc == EPERM) Fail(GdErrNotOwner, "The population lock is not held by this caller.");
  if (rc != 0) FailErrno("Cannot unlock population " + std::to_string(m_Handle), rc);
}

void Population::RepairAfterDeadHolder() {
  PopulationHeader& h = Header();
  // An interrupted insertion may have left organisms out of order or one copied over another;
  // sorting again restores the ranking, and the interrupted child is dropped.
  std::vector<std::vector<double>> organisms;
  for (std::int32_t slot = 1; slot <= h.PopulationSize; ++slot) {
    const double* o = OrganismSlot(slot);
    organisms.emplace_back(o, o + h.OrganismStride);
  }
  const bool maximize = h.Goal == GdGoalMaximize;
  std::stable_sort(organisms.begin(), organisms.end(), [&](const auto& a, const auto& b) {
    return SteadyStateStep::Better(b.data(), a.data(), maximize);
  });
  h.EvaluatedCount = 0;
  for (std::int32_t slot = 1; slot <= h.PopulationSize; ++slot) {
    std::copy(organisms[slot - 1].begin(), organisms[slot - 1].end(), OrganismSlot(slot));
    if (static_cast<std::int32_t>(organisms[slot - 1][2]) & GdOrgFlagEvaluated) ++h.EvaluatedCount;
  }
  if (h.StepWorker >= 0 && h.StepWorker < kWorkerSlots) {
    WorkerRecord& worker = Worker(h.StepWorker);
    // A take that had finished moving a requeued organism over (or was taking back its own)
    // keeps it for the next taker; one that had not leaves it where it was; a half-bred child
    // was never handed out.
    const bool moved = h.StepTaking && h.StepSource >= 0 && h.StepSource < kWorkerSlots &&
                       (h.StepSource == h.StepWorker || Worker(h.StepSource).State == GdWorkerIdle);
    worker.State = moved ? GdWorkerRequeued : GdWorkerIdle;
    worker.Pid = 0;
  }
  h.StepWorker = -1;
  h.StepSource = -1;
  h.StepInProgress = 0;
}

std::int16_t Population::RunStatus() const {
  CheckAlive();
  return static_cast<std::int16_t>(Atomic(Header().RunStatus).load());
}

void Population::SetRunStatus(std::int16_t status) {
  if (status < GdRunStatusOptimizing || status > GdRunStatusMarkToMoveToNextOptimization)
    Fail(GdErrInvalidArgument, "Run status " + std::to_string(status) + " is outside 2..7.");
  Guard guard(*this, false);
  PopulationHeader& h = Header();
  Atomic(h.RunStatus).store(status);
  std::int64_t timer = Atomic(h.Timer).load();
  bool running = timer & 1;
  std::int64_t now = NowMs();
  if (running && (status == GdRunStatusPaused || status == GdRunStatusStopped))
    Atomic(h.Timer).store(2 * (now - timer / 2));
  else if (!running && status == GdRunStatusOptimizing)
    Atomic(h.Timer).store(2 * (now - timer / 2) + 1);
}

std::int32_t Population::TimerMilliseconds() const {
  CheckAlive();
  std::int64_t timer = Atomic(Header().Timer).load();
  std::int64_t ms = (timer & 1) ? NowMs() - timer / 2 : timer / 2;
  return static_cast<std::int32_t>(std::min<std::int64_t>(ms, INT32_MAX));
}

std::int32_t Population::Size() const {
  CheckAlive();
  return Header().PopulationSize;
}
std::int32_t Population::GroupCount() const {
  CheckAlive();
  return Header().GroupCount;
}
std::int32_t Population::GeneTotal() const {
  CheckAlive();
  return Header().GeneTotal;
}
std::int32_t Population::GeneCount(std::int32_t group) const {
  CheckAlive();
  return Group(group).GeneCount;
}
std::int32_t Population::SolvingMethod(std::int32_t group) const {
  CheckAlive();
  return Group(group).Method;
}
std::int64_t Population::TrialCount() const {
  CheckAlive();
  return Header().TrialCount;
}

void Population::SetInitialGenes(std::span<const double> genes) {
  if (!m_Owner) Fail(GdErrNotOwner, "Only the optimizing side sets the initial genes.");
  Guard guard(*this, false);
  PopulationHeader& h = Header();
  if (static_cast<std::int32_t>(genes.size()) != h.GeneTotal)
    Fail(GdErrInvalidArgument,
         "Expected " + std::to_string(h.GeneTotal) + " genes, got " + std::to_string(genes.size()) + ".");
  if (h.TrialCount > 0) Fail(GdErrInvalidArgument, "The initial genes are set before the first trial.");
  auto* initial = reinterpret_cast<double*>(static_cast<char*>(m_Base) + h.InitialOffset);
  std::copy(genes.begin(), genes.end(), initial);
  auto* ranges = reinterpret_cast<const gdlib::GeneRange*>(static_cast<char*>(m_Base) + h.RangesOffset);
  for (std::int32_t g = 1; g <= h.GroupCount; ++g) {
    GroupRecord& r = Group(g);
    GroupShape shape{r.Method, r.Budget, r.GroupCount, {ranges + r.FirstGene, std::size_t(r.GeneCount)}};
    GeneticOperators::Repair(shape, {initial + r.FirstGene, std::size_t(r.GeneCount)});
  }
  h.HasInitialGenes = 1;
}

SteadyStateStep Population::Step() {
  PopulationHeader& h = Header();
  auto* ranges = reinterpret_cast<const gdlib::GeneRange*>(static_cast<char*>(m_Base) + h.RangesOffset);
  std::vector<GroupState> groups;
  for (std::int32_t g = 1; g <= h.GroupCount; ++g) {
    GroupRecord& r = Group(g);
    GroupShape shape{r.Method, r.Budget, r.GroupCount, {ranges + r.FirstGene, std::size_t(r.GeneCount)}};
    groups.push_back(
        {shape, r.FirstGene, r.AutoMutation != 0, r.CrossoverRate, r.MutationRate, &r.CurrentMutationRate});
  }
  return SteadyStateStep(OrganismSlot(1), h.OrganismStride, h.PopulationSize, std::move(groups),
                         static_cast<char*>(m_Base) + h.SearchOffset, h.Goal == GdGoalMaximize, h.RngState);
}

double Population::Best(std::span<double> genes) const {
  CheckAlive();
  const PopulationHeader& h = Header();
  if (!h.HasBest) Fail(GdErrRecordOutOfRange, "No organism has a result yet.");
  if (static_cast<std::int32_t>(genes.size()) < h.GeneTotal)
    Fail(GdErrBufferTooSmall, "The gene buffer is too small.");
  const double* best = OrganismSlot(h.PopulationSize + 1);
  std::copy(best + 3, best + 3 + h.GeneTotal, genes.begin());
  return best[0];
}

void Population::OrganismResult(std::int32_t organism, double& value, double& objective,
                                std::int32_t& flags) const {
  CheckAlive();
  CheckOrganism(organism);
  const double* o = OrganismSlot(organism);
  value = o[0];
  objective = o[1];
  flags = static_cast<std::int32_t>(o[2]);
}

void Population::OrganismGenes(std::int32_t organism, std::span<double> genes) const {
  CheckAlive();
  CheckOrganism(organism);
  if (static_cast<std::int32_t>(genes.size()) < Header().GeneTotal)
    Fail(GdErrBufferTooSmall, "The gene buffer holds " + std::to_string(genes.size()) + " of " +
                                  std::to_string(Header().GeneTotal) + " genes.");
  const double* o = OrganismSlot(organism);
  std::copy(o + 3, o + 3 + Header().GeneTotal, genes.begin());
}

double Population::GeneValue(std::int32_t group, std::int32_t gene, std::int32_t organism) const {
  CheckAlive();
  CheckOrganism(organism);
  const GroupRecord& r = Group(group);
  if (gene < 1 || gene > r.GeneCount)
    Fail(GdErrInvalidArgument,
         "Gene " + std::to_string(gene) + " is outside 1.." + std::to_string(r.GeneCount) + ".");
  return OrganismSlot(organism)[3 + r.FirstGene + gene - 1];
}

void Population::GeneRange(std::int32_t group, std::int32_t gene, double& minimum, double& maximum) const {
  CheckAlive();
  const GroupRecord& r = Group(group);
  if (gene < 1 || gene > r.GeneCount)
    Fail(GdErrInvalidArgument,
         "Gene " + std::to_string(gene) + " is outside 1.." + std::to_string(r.GeneCount) + ".");
  auto* ranges =
      reinterpret_cast<const gdlib::GeneRange*>(static_cast<char*>(m_Base) + Header().RangesOffset);
  minimum = ranges[r.FirstGene + gene - 1].Minimum;
  maximum = ranges[r.FirstGene + gene - 1].Maximum;
}

double Population::CrossoverRate(std::int32_t group) const {
  CheckAlive();
  return Group(group).CrossoverRate;
}

void Population::SetCrossoverRate(std::int32_t group, double rate) {
  CheckRate(rate, "The crossover rate");
  Guard guard(*this, false);
  Group(group).CrossoverRate = rate;
}

double Population::CurrentMutationRate(std::int32_t group) const {
  CheckAlive();
  const GroupRecord& r = Group(group);
  return r.AutoMutation ? r.CurrentMutationRate : r.MutationRate;
}

void Population::MutationMode(std::int32_t group, bool& isAuto, double& rate) const {
  CheckAlive();
  const GroupRecord& r = Group(group);
  isAuto = r.AutoMutation != 0;
  rate = r.MutationRate;
}

void Population::SetMutationMode(std::int32_t group, double rate) {
  if (!(rate < 0)) CheckRate(rate, "The mutation rate");
  Guard guard(*this, false);
  GroupRecord& r = Group(group);
  if (rate < 0) {
    r.AutoMutation = 1;
    r.CurrentMutationRate = r.MutationRate;
  } else {
    r.AutoMutation = 0;
    r.MutationRate = rate;
    r.CurrentMutationRate = rate;
  }
}

}  // namespace gdlib
