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
void Crossover(const GroupShape& shape, std::span<const double> a, std::span<const double> b,
               std::span<double> child, Rng& rng);
// Changes each gene with probability `rate`; returns how many genes changed.
int Mutate(const GroupShape& shape, double rate, std::span<double> genes, Rng& rng);

}  // namespace GeneticOperators
}  // namespace gdlib
