#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "suite/gdlib/GeneticOperators.h"

namespace gdlib {

// One group as the step sees it: its shape and rates, and the automatic rate it adapts.
struct GroupState {
  GroupShape Shape;
  std::int32_t FirstGene;
  bool AutoMutation;
  double CrossoverRate;
  double MutationRate;          // the user's rate; with automatic mutation the starting rate
  double* CurrentMutationRate;  // the automatic rate in force
};

// The steady-state step of the genetic algorithm: which organisms breed, what the child is made
// of, what the child's result teaches the search, and whom the child replaces.
//
// Organisms are records of the population segment (value with penalties, objective, flags,
// genes), ranked in slots 1..N with N the best. The step keeps a state of its own in the segment
// (see StateBytes): a step size per recipe gene, what jumps and steps of recipe genes have gained,
// the probe of the automatic mutation rate and the pending child's mother. It draws every random
// number from the population's generator, so the same seed and settings repeat the same run.
class SteadyStateStep {
 public:
  SteadyStateStep(double* organisms, std::uint64_t stride, std::int32_t size, std::vector<GroupState> groups,
                  void* state, bool maximize, std::uint64_t& rngState);

  static std::size_t StateBytes(std::int32_t groupCount, std::int32_t geneTotal);
  static void InitializeState(void* state, std::int32_t groupCount, std::int32_t geneTotal);

  // What Learn and Insert need of one bred child (its mother, the rate probes, which genes were
  // stepped). Several children can be out for evaluation at once; each keeps its own copy.
  static std::size_t PendingBytes(std::int32_t groupCount, std::int32_t geneTotal);
  void SavePending(void* pending) const;
  void RestorePending(const void* pending);
  // A child not bred from a mother (drawn at random, the original solution) teaches nothing.
  void ForgetPending();

  // Feasibility rules: a result beats none; a feasible organism beats an infeasible one; two
  // feasible ones compare by value, two infeasible ones by their violation (the penalty the model
  // added to the objective), the smaller the better.
  static bool Better(const double* a, const double* b, bool maximize);

  // Breeds the child from the `evaluated` best-ranked organisms.
  void Breed(double* child, std::int32_t evaluated);
  // Adapts step sizes and automatic rates to whether the evaluated child beat its mother, and the
  // share of jumps to what the child gained on the population's best.
  void Learn(const double* child);
  // Puts an evaluated child in its rank, in place of its mother when it beats her, else of the
  // worst organism when it beats that; never a copy of an organism already there. A population
  // whose best has stopped improving starts afresh.
  void Insert(const double* child, std::int32_t& evaluated);

 private:
  struct State;
  void Restart(std::int32_t& evaluated);
  void LearnJumpShare(const double* child);
  bool ClearlyBetter(const double* a, const double* b) const;
  double* Slot(std::int32_t slot) const;
  std::span<GeneStep> Steps(const GroupState& group) const;
  double& Probe(std::size_t group) const;

  double* m_Organisms;
  std::uint64_t m_Stride;
  std::int32_t m_Size;
  std::vector<GroupState> m_Groups;
  State* m_State;
  bool m_Maximize;
  Rng m_Rng;
};

}  // namespace gdlib
