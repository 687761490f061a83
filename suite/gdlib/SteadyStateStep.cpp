#include "suite/gdlib/SteadyStateStep.h"

#include <algorithm>
#include <cmath>

#include "suite/gdlib/PopulationHeader.h"
#include "suite/gdlib/gdlib8.h"

namespace gdlib {

namespace {

constexpr double kFirstStep = 0.1;  // share of the range
constexpr double kSmallestStep = 1e-12;
constexpr double kLargestStep = 0.5;
// A mutation that beats the mother widens the genes' steps, one that fails narrows them, so that
// about one mutation in five succeeds: steps shrink near an optimum and grow on a long slope.
constexpr double kStepWiden = 0.2;
constexpr double kStepNarrow = 0.05;
// Automatic mutation probes a rate a factor of sqrt(2) above or below the current one for each
// child and moves toward the probe that succeeds more often.
constexpr double kProbe = 0.5;  // log2 of the factor
constexpr double kRateLearnOnSuccess = 0.1;
constexpr double kRateLearnOnFailure = 0.025;
constexpr double kAutoRateFloor = 0.01;
constexpr double kAutoRateCeiling = 0.5;

// The share of recipe mutations that jump rather than step follows what each kind has gained:
// each child with a jumped gene, and each other child, adds to its kind's running mean how far it
// clearly improved on the population's best (relative, at most 1; 0 when it did not). While jumps
// gain no more than steps the share stays at its least; it grows with the ratio of their gains up
// to its most. On a slope or near a smooth optimum steps do the work and jumps stay rare; where
// only a gene leaving its basin helps, as on a grid of local minima, jumps take over.
constexpr double kLeastJumpShare = 0.05;
constexpr double kMostJumpShare = 0.5;
constexpr double kGainMemory = 0.005;  // weight of the newest child in the running means

// A population whose best has not improved for this many trials per organism has settled in one
// basin; it starts afresh, while the best found so far stays the run's best.
constexpr std::int32_t kStallPerOrganism = 20;
constexpr std::int32_t kLeastStall = 1000;
// A gain smaller than this share of the value is a crawl along a ridge, not progress.
constexpr double kClearGain = 1e-5;

bool Evaluated(const double* o) {
  return static_cast<std::int32_t>(o[2]) & GdOrgFlagEvaluated;
}

bool Feasible(const double* o) {
  return static_cast<std::int32_t>(o[2]) & GdOrgFlagFeasible;
}

}  // namespace

struct SteadyStateStep::State {
  double MotherValue;  // the pending child's mother: value, objective, flags
  double MotherObjective;
  double MotherFlags;
  std::int32_t MotherSlot;  // 0: none
  std::int32_t Stall;       // trials since the population's best last improved
  double JumpGain;          // running mean gain of the children with jumped genes
  double StepGain;          // and of the others
  // Then a probe per group and a step per gene.
};

std::size_t SteadyStateStep::StateBytes(std::int32_t groupCount, std::int32_t geneTotal) {
  return sizeof(State) + static_cast<std::size_t>(groupCount) * sizeof(double) +
         static_cast<std::size_t>(geneTotal) * sizeof(GeneStep);
}

void SteadyStateStep::InitializeState(void* state, std::int32_t groupCount, std::int32_t geneTotal) {
  auto* s = static_cast<State*>(state);
  *s = State{};
  auto* probes = reinterpret_cast<double*>(s + 1);
  std::fill(probes, probes + groupCount, 0.0);
  auto* steps = reinterpret_cast<GeneStep*>(probes + groupCount);
  std::fill(steps, steps + geneTotal, GeneStep{kFirstStep, 0, 0});
}

namespace {
// The mother's figures and slot, as State begins.
struct PendingMother {
  double Value;
  double Objective;
  double Flags;
  std::int32_t Slot;
  std::int32_t Reserved;
};
}  // namespace

std::size_t SteadyStateStep::PendingBytes(std::int32_t groupCount, std::int32_t geneTotal) {
  return sizeof(PendingMother) + static_cast<std::size_t>(groupCount) * sizeof(double) +
         static_cast<std::size_t>(geneTotal) * sizeof(std::int32_t);
}

void SteadyStateStep::SavePending(void* pending) const {
  auto* mother = static_cast<PendingMother*>(pending);
  *mother = {m_State->MotherValue, m_State->MotherObjective, m_State->MotherFlags, m_State->MotherSlot, 0};
  auto* probes = reinterpret_cast<double*>(mother + 1);
  for (std::size_t g = 0; g < m_Groups.size(); ++g) probes[g] = Probe(g);
  auto* mutated = reinterpret_cast<std::int32_t*>(probes + m_Groups.size());
  for (const GroupState& group : m_Groups) {
    std::span<GeneStep> steps = Steps(group);
    for (std::size_t i = 0; i < group.Shape.Ranges.size(); ++i)
      mutated[group.FirstGene + i] = steps.empty() ? 0 : steps[i].Mutated;
  }
}

void SteadyStateStep::RestorePending(const void* pending) {
  const auto* mother = static_cast<const PendingMother*>(pending);
  m_State->MotherValue = mother->Value;
  m_State->MotherObjective = mother->Objective;
  m_State->MotherFlags = mother->Flags;
  // Other children may have moved organisms since; the slot is where the mother was bred from.
  m_State->MotherSlot = mother->Slot;
  const auto* probes = reinterpret_cast<const double*>(mother + 1);
  for (std::size_t g = 0; g < m_Groups.size(); ++g) Probe(g) = probes[g];
  const auto* mutated = reinterpret_cast<const std::int32_t*>(probes + m_Groups.size());
  for (const GroupState& group : m_Groups) {
    std::span<GeneStep> steps = Steps(group);
    for (std::size_t i = 0; i < steps.size(); ++i) steps[i].Mutated = mutated[group.FirstGene + i];
  }
}

void SteadyStateStep::ForgetPending() {
  m_State->MotherSlot = 0;
  for (std::size_t g = 0; g < m_Groups.size(); ++g) Probe(g) = 0;
  for (const GroupState& group : m_Groups)
    for (GeneStep& s : Steps(group)) s.Mutated = 0;
}

SteadyStateStep::SteadyStateStep(double* organisms, std::uint64_t stride, std::int32_t size,
                                 std::vector<GroupState> groups, void* state, bool maximize,
                                 std::uint64_t& rngState)
    : m_Organisms(organisms),
      m_Stride(stride),
      m_Size(size),
      m_Groups(std::move(groups)),
      m_State(static_cast<State*>(state)),
      m_Maximize(maximize),
      m_Rng(rngState) {}

double* SteadyStateStep::Slot(std::int32_t slot) const {
  return m_Organisms + static_cast<std::size_t>(slot - 1) * m_Stride;
}

double& SteadyStateStep::Probe(std::size_t group) const {
  return reinterpret_cast<double*>(m_State + 1)[group];
}

std::span<GeneStep> SteadyStateStep::Steps(const GroupState& group) const {
  if (group.Shape.Method != GdMethodRecipe) return {};
  auto* steps = reinterpret_cast<GeneStep*>(reinterpret_cast<double*>(m_State + 1) + m_Groups.size());
  return {steps + group.FirstGene, group.Shape.Ranges.size()};
}

bool SteadyStateStep::Better(const double* a, const double* b, bool maximize) {
  const bool ra = Evaluated(a) && !std::isnan(a[0]), rb = Evaluated(b) && !std::isnan(b[0]);
  if (ra != rb) return ra;
  if (!ra) return false;
  if (Feasible(a) != Feasible(b)) return Feasible(a);
  if (!Feasible(a)) {
    const double va = std::abs(a[0] - a[1]), vb = std::abs(b[0] - b[1]);
    if (va != vb) return va < vb;
  }
  return maximize ? a[0] > b[0] : a[0] < b[0];
}

bool SteadyStateStep::ClearlyBetter(const double* a, const double* b) const {
  if (!Better(a, b, m_Maximize)) return false;
  if (!Evaluated(b) || Feasible(a) != Feasible(b)) return true;
  const double ma = Feasible(a) ? a[0] : std::abs(a[0] - a[1]);
  const double mb = Feasible(b) ? b[0] : std::abs(b[0] - b[1]);
  return std::abs(ma - mb) > kClearGain * std::abs(mb);
}

void SteadyStateStep::Breed(double* child, std::int32_t evaluated) {
  // Tournaments among the organisms with results (slots are ranked, higher is better): of four
  // for the mother, whose line the child continues, of two for the father; the third organism,
  // whose difference from the father steps the child, is anyone.
  const std::int32_t lowest = m_Size - evaluated + 1;
  auto pick = [&] { return std::max(lowest + m_Rng.Below(evaluated), lowest + m_Rng.Below(evaluated)); };
  const std::int32_t motherSlot = std::max(pick(), pick());
  std::int32_t fatherSlot = pick();
  if (fatherSlot == motherSlot && evaluated > 1) fatherSlot = pick();
  const double* mother = Slot(motherSlot);
  const double* father = Slot(fatherSlot);
  const double* other = Slot(lowest + m_Rng.Below(evaluated));
  const double jumpGain = m_State->JumpGain, stepGain = m_State->StepGain;
  const double jumpShare = jumpGain <= stepGain ? kLeastJumpShare
                           : jumpGain >= stepGain * (kMostJumpShare / kLeastJumpShare)
                               ? kMostJumpShare
                               : kLeastJumpShare * jumpGain / stepGain;
  m_State->MotherValue = mother[0];
  m_State->MotherObjective = mother[1];
  m_State->MotherFlags = mother[2];
  m_State->MotherSlot = motherSlot;
  for (std::size_t g = 0; g < m_Groups.size(); ++g) {
    const GroupState& group = m_Groups[g];
    const std::size_t count = group.Shape.Ranges.size();
    std::span<const double> a{mother + 3 + group.FirstGene, count};
    std::span<const double> b{father + 3 + group.FirstGene, count};
    std::span<const double> o{other + 3 + group.FirstGene, count};
    std::span<double> c{child + 3 + group.FirstGene, count};
    if (m_Rng.Uniform() < group.CrossoverRate)
      GeneticOperators::Crossover(group.Shape, a, b, o, c, m_Rng);
    else
      std::copy(a.begin(), a.end(), c.begin());
    double rate = group.MutationRate;
    Probe(g) = 0;
    if (group.AutoMutation) {
      Probe(g) = (m_Rng.Next() & 1) ? kProbe : -kProbe;
      rate = std::min(1.0, *group.CurrentMutationRate * std::exp2(Probe(g)));
    }
    // The user's rate is used as it is; the engine's own rate never spends a trial on a copy.
    GeneticOperators::Mutate(group.Shape, rate, group.AutoMutation, jumpShare, c, Steps(group), m_Rng);
  }
}

void SteadyStateStep::Learn(const double* child) {
  if (!m_State->MotherSlot) return;
  const double mother[3] = {m_State->MotherValue, m_State->MotherObjective, m_State->MotherFlags};
  const bool success = Better(child, mother, m_Maximize);
  LearnJumpShare(child);
  // A child worth exactly its mother moved genes on a plateau (a gene the model rounds): its
  // steps are too small to tell, so they grow.
  const bool tie = !success && child[0] == mother[0] && child[1] == mother[1] && child[2] == mother[2];
  for (std::size_t g = 0; g < m_Groups.size(); ++g) {
    const GroupState& group = m_Groups[g];
    for (GeneStep& s : Steps(group)) {
      // A jump tells nothing about whether the gene's step is right.
      if (s.Mutated != GeneStep::Stepped) {
        s.Mutated = 0;
        continue;
      }
      const double change = success || tie ? kStepWiden : -kStepNarrow;
      s.Step = std::clamp(s.Step * std::exp(change), kSmallestStep, kLargestStep);
      s.Mutated = 0;
    }
    if (group.AutoMutation && Probe(g) != 0) {
      const double learn = success ? kRateLearnOnSuccess : -kRateLearnOnFailure;
      const double toward = Probe(g) > 0 ? learn : -learn;
      *group.CurrentMutationRate =
          std::clamp(*group.CurrentMutationRate * std::exp2(toward), kAutoRateFloor, kAutoRateCeiling);
      Probe(g) = 0;
    }
  }
}

void SteadyStateStep::LearnJumpShare(const double* child) {
  bool jumped = false;
  for (const GroupState& group : m_Groups)
    for (const GeneStep& s : Steps(group)) jumped = jumped || s.Mutated == GeneStep::Jumped;
  const double* best = Slot(m_Size);
  double gain = 0;
  if (Evaluated(best) && ClearlyBetter(child, best)) {
    if (Feasible(child) != Feasible(best)) {
      gain = 1;
    } else {
      const double mc = Feasible(child) ? child[0] : std::abs(child[0] - child[1]);
      const double mb = Feasible(best) ? best[0] : std::abs(best[0] - best[1]);
      gain = std::min(1.0, std::abs(mb - mc) / std::max(std::abs(mb), 1e-300));
    }
  }
  double& mean = jumped ? m_State->JumpGain : m_State->StepGain;
  mean += kGainMemory * (gain - mean);
}

void SteadyStateStep::Insert(const double* child, std::int32_t& evaluated) {
  if (ClearlyBetter(child, Slot(m_Size)))
    m_State->Stall = 0;
  else if (++m_State->Stall >= std::max(kLeastStall, kStallPerOrganism * m_Size) && evaluated == m_Size) {
    Restart(evaluated);
    return;
  }
  // A child that beats its mother takes her place, so that one good line does not crowd out the
  // others and the population keeps the spread its differences step by; one that does not may
  // still take the place of the worst.
  const std::int32_t mother = m_State->MotherSlot;
  m_State->MotherSlot = 0;
  std::int32_t from = 1;
  if (evaluated < m_Size) {
    ++evaluated;
  } else {
    from = mother && Better(child, Slot(mother), m_Maximize) ? mother : 1;
    if (!Better(child, Slot(from), m_Maximize)) return;
    // A copy adds nothing and crowds out the variety the search lives on.
    const std::size_t genes = m_Stride - 3;
    for (std::int32_t slot = 1; slot <= m_Size; ++slot) {
      const double* o = Slot(slot);
      if (o[0] == child[0] && std::equal(child + 3, child + 3 + genes, o + 3)) return;
    }
  }
  std::copy(child, child + m_Stride, Slot(from));
  // Bubble the newcomer up to its rank; slot N is the best.
  for (std::int32_t slot = from; slot < m_Size; ++slot) {
    double* here = Slot(slot);
    double* above = Slot(slot + 1);
    if (Evaluated(above) && !Better(here, above, m_Maximize)) break;
    std::swap_ranges(here, here + m_Stride, above);
  }
}

}  // namespace gdlib

namespace gdlib {

void SteadyStateStep::Restart(std::int32_t& evaluated) {
  for (std::int32_t slot = 1; slot <= m_Size; ++slot) {
    double* o = Slot(slot);
    o[0] = o[1] = kNoValue;
    o[2] = 0;
  }
  evaluated = 0;
  m_State->Stall = 0;
  for (const GroupState& group : m_Groups)
    for (GeneStep& s : Steps(group)) s.Step = kFirstStep;
}

}  // namespace gdlib
