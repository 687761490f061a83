#pragma once

#include <cstdint>
#include <span>

namespace gdlib {

// A small, fast generator whose whole state is one word, so it lives in the shared population.
class Rng {
 public:
  explicit Rng(std::uint64_t& state) : m_State(state) {}
  std::uint64_t Next();
  double Uniform();                    // [0, 1)
  std::int32_t Below(std::int32_t n);  // [0, n)
  double Gaussian();

 private:
  std::uint64_t& m_State;
};

struct GeneRange {
  double Minimum;
  double Maximum;
};

// The step size a recipe gene mutates with, as a share of its range, adapted by the search; and
// how the pending child's gene was mutated (GeneStep::Stepped or Jumped, 0: not at all), so the
// step and the share of jumps learn from the child's result.
struct GeneStep {
  static constexpr std::int32_t Stepped = 1;
  static constexpr std::int32_t Jumped = 2;
  double Step;
  std::int32_t Mutated;
  std::int32_t Reserved;
};

// The genes of one group and how they may change.
struct GroupShape {
  std::int32_t Method;      // GdMethod...
  double Budget;            // budget: the fixed sum
  std::int32_t GroupCount;  // grouping: values 1..GroupCount
  std::span<const GeneRange> Ranges;
};

// Per-method genetic operators. Every result is a valid member of its group: within the ranges,
// a permutation of 1..n, group numbers 1..GroupCount, or a budget whose sum is the fixed sum.
namespace GeneticOperators {

void Randomize(const GroupShape& shape, std::span<double> genes, Rng& rng);
// Makes arbitrary values valid (clamps, rounds, fixes the sum or the permutation).
void Repair(const GroupShape& shape, std::span<double> genes);
// Recombines parents a and b; recipe groups also use a third organism c, whose difference from b
// is a step whose size and direction follow the shape of the population.
void Crossover(const GroupShape& shape, std::span<const double> a, std::span<const double> b,
               std::span<const double> c, std::span<double> child, Rng& rng);
// Changes each gene with probability `rate`; returns how many genes changed. A recipe gene either
// moves by its step (one per gene) or, with probability `jumpShare`, jumps: a heavy-tailed move
// (Cauchy, a tenth of the range wide; anywhere in the range when it would leave it) that lets one
// gene leave its basin on its own; it marks in its step how it moved. With `atLeastOne` a child
// that would come out unchanged gets one gene changed, so no trial is spent on a copy.
int Mutate(const GroupShape& shape, double rate, bool atLeastOne, double jumpShare, std::span<double> genes,
           std::span<GeneStep> steps, Rng& rng);

}  // namespace GeneticOperators
}  // namespace gdlib
