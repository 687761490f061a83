#include "suite/gdlib/GeneticOperators.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "suite/gdlib/gdlib8.h"

namespace gdlib {

std::uint64_t Rng::Next() {
  // splitmix64
  std::uint64_t z = (m_State += 0x9e3779b97f4a7c15ull);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
  return z ^ (z >> 31);
}

double Rng::Uniform() {
  return static_cast<double>(Next() >> 11) * 0x1.0p-53;
}

std::int32_t Rng::Below(std::int32_t n) {
  return n <= 1 ? 0 : static_cast<std::int32_t>(Next() % static_cast<std::uint64_t>(n));
}

double Rng::Gaussian() {
  double u = 1.0 - Uniform();  // (0, 1]
  return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * M_PI * Uniform());
}

namespace GeneticOperators {
namespace {

std::int32_t Size(std::span<double> genes) {
  return static_cast<std::int32_t>(genes.size());
}

// Moves the budget genes toward the fixed sum in one step: each gene moves in proportion to the
// room it has in the needed direction, so no gene leaves its range and the sum lands exactly
// whenever the ranges allow it.
void RepairBudget(const GroupShape& shape, std::span<double> genes) {
  double sum = 0;
  for (std::size_t i = 0; i < genes.size(); ++i) {
    genes[i] = std::clamp(genes[i], shape.Ranges[i].Minimum, shape.Ranges[i].Maximum);
    sum += genes[i];
  }
  double diff = shape.Budget - sum;
  if (diff == 0) return;
  double room = 0;
  for (std::size_t i = 0; i < genes.size(); ++i)
    room += diff > 0 ? shape.Ranges[i].Maximum - genes[i] : genes[i] - shape.Ranges[i].Minimum;
  if (room <= 0) return;
  double share = std::min(1.0, std::abs(diff) / room);
  for (std::size_t i = 0; i < genes.size(); ++i) {
    double r = diff > 0 ? shape.Ranges[i].Maximum - genes[i] : genes[i] - shape.Ranges[i].Minimum;
    genes[i] += (diff > 0 ? share : -share) * r;
  }
}

void RepairOrder(std::span<double> genes) {
  const std::int32_t n = Size(genes);
  std::vector<char> seen(static_cast<std::size_t>(n) + 1, 0);
  std::vector<std::size_t> duplicates;
  for (std::size_t i = 0; i < genes.size(); ++i) {
    double v = std::round(genes[i]);
    if (std::isfinite(v) && v >= 1 && v <= n && !seen[static_cast<std::size_t>(v)]) {
      seen[static_cast<std::size_t>(v)] = 1;
      genes[i] = v;
    } else {
      duplicates.push_back(i);
    }
  }
  std::int32_t next = 1;
  for (std::size_t i : duplicates) {
    while (seen[static_cast<std::size_t>(next)]) ++next;
    seen[static_cast<std::size_t>(next)] = 1;
    genes[i] = next;
  }
}

// Three ways, drawn per child: each gene from either parent, which keeps good genes whole; a point
// on the line through both parents, a little beyond them, which follows a ridge or a constraint's
// boundary across the genes; or parent a moved by the difference of b and c, a step as long and in
// the direction the population itself spreads, which walks along a curved valley.
void RecipeCrossover(const GroupShape& shape, std::span<const double> a, std::span<const double> b,
                     std::span<const double> c, std::span<double> child, Rng& rng) {
  const std::int32_t n = Size(child);
  const double how = rng.Uniform();
  if (how < 0.25) {
    for (std::int32_t i = 0; i < n; ++i) child[i] = (rng.Next() & 1) ? a[i] : b[i];
    return;
  }
  if (how < 0.5) {
    const double t = -0.25 + 1.5 * rng.Uniform();
    for (std::int32_t i = 0; i < n; ++i) child[i] = a[i] + t * (b[i] - a[i]);
  } else {
    const double f = 0.5 + 0.5 * rng.Uniform();
    const std::int32_t always = rng.Below(n);
    for (std::int32_t i = 0; i < n; ++i)
      child[i] = i == always || rng.Uniform() < 0.9 ? a[i] + f * (b[i] - c[i]) : a[i];
  }
  for (std::int32_t i = 0; i < n; ++i)
    child[i] = std::clamp(child[i], shape.Ranges[i].Minimum, shape.Ranges[i].Maximum);
}

}  // namespace

void Randomize(const GroupShape& shape, std::span<double> genes, Rng& rng) {
  switch (shape.Method) {
    case GdMethodOrder: {
      std::iota(genes.begin(), genes.end(), 1.0);
      for (std::int32_t i = Size(genes) - 1; i > 0; --i) std::swap(genes[i], genes[rng.Below(i + 1)]);
      return;
    }
    case GdMethodGrouping:
      for (double& g : genes) g = 1 + rng.Below(shape.GroupCount);
      return;
    default:
      for (std::size_t i = 0; i < genes.size(); ++i)
        genes[i] =
            shape.Ranges[i].Minimum + rng.Uniform() * (shape.Ranges[i].Maximum - shape.Ranges[i].Minimum);
      if (shape.Method == GdMethodBudget) RepairBudget(shape, genes);
  }
}

void Repair(const GroupShape& shape, std::span<double> genes) {
  switch (shape.Method) {
    case GdMethodOrder: RepairOrder(genes); return;
    case GdMethodGrouping:
      for (double& g : genes)
        g = std::isfinite(g) ? std::clamp(std::round(g), 1.0, double(shape.GroupCount)) : 1;
      return;
    case GdMethodBudget: RepairBudget(shape, genes); return;
    default:
      for (std::size_t i = 0; i < genes.size(); ++i) {
        double v = std::isfinite(genes[i]) ? genes[i] : shape.Ranges[i].Minimum;
        genes[i] = std::clamp(v, shape.Ranges[i].Minimum, shape.Ranges[i].Maximum);
      }
  }
}

void Crossover(const GroupShape& shape, std::span<const double> a, std::span<const double> b,
               std::span<const double> c, std::span<double> child, Rng& rng) {
  const std::int32_t n = Size(child);
  switch (shape.Method) {
    case GdMethodOrder: {
      // Order crossover: a slice of parent a in place, the rest in parent b's order.
      std::int32_t lo = rng.Below(n), hi = rng.Below(n);
      if (lo > hi) std::swap(lo, hi);
      std::vector<char> used(static_cast<std::size_t>(n) + 1, 0);
      for (std::int32_t i = lo; i <= hi; ++i) {
        child[i] = a[i];
        used[static_cast<std::size_t>(a[i])] = 1;
      }
      std::int32_t from = 0;
      for (std::int32_t i = 0; i < n; ++i) {
        if (i >= lo && i <= hi) continue;
        while (used[static_cast<std::size_t>(b[from])]) ++from;
        child[i] = b[from];
        used[static_cast<std::size_t>(b[from])] = 1;
      }
      return;
    }
    case GdMethodBudget: {
      // A blend of two budgets keeps the sum and the ranges.
      double t = rng.Uniform();
      for (std::int32_t i = 0; i < n; ++i) child[i] = t * a[i] + (1 - t) * b[i];
      RepairBudget(shape, child);
      return;
    }
    case GdMethodGrouping:
      for (std::int32_t i = 0; i < n; ++i) child[i] = (rng.Next() & 1) ? a[i] : b[i];
      return;
    default: RecipeCrossover(shape, a, b, c, child, rng);
  }
}

namespace {

// The width of a recipe gene's jump, as a share of its range.
constexpr double kJumpWidth = 0.1;

// Changes gene i; false when the change happened to leave the genes as they were.
bool MutateGene(const GroupShape& shape, std::int32_t i, double jumpShare, std::span<double> genes,
                std::span<GeneStep> steps, Rng& rng) {
  const std::int32_t n = Size(genes);
  switch (shape.Method) {
    case GdMethodOrder: {
      std::int32_t j = rng.Below(n);
      if (j == i) return false;
      std::swap(genes[i], genes[j]);
      return true;
    }
    case GdMethodGrouping: {
      double v = 1 + rng.Below(shape.GroupCount);
      if (v == genes[i]) return false;
      genes[i] = v;
      return true;
    }
    case GdMethodBudget: {
      // Move an amount from one gene to another: the sum stays, both stay in range.
      std::int32_t j = rng.Below(n);
      if (j == i) return false;
      const GeneRange& ri = shape.Ranges[i];
      const GeneRange& rj = shape.Ranges[j];
      double up = std::min(ri.Maximum - genes[i], genes[j] - rj.Minimum);
      double down = std::min(genes[i] - ri.Minimum, rj.Maximum - genes[j]);
      double t = -down + rng.Uniform() * (up + down);
      genes[i] += t;
      genes[j] -= t;
      return true;
    }
    default: {
      const GeneRange& r = shape.Ranges[i];
      double width = r.Maximum - r.Minimum;
      // A step of the gene's own size, which the search adapts; or a jump, mostly near but now and
      // then far across the range, so that a gene caught in a local basin while the others sit
      // right can move to another basin on its own, and a run never stops exploring.
      const bool hasStep = i < static_cast<std::int32_t>(steps.size());
      double step = hasStep ? steps[i].Step : 0.1;
      const bool jump = rng.Uniform() < jumpShare;
      double v = jump ? genes[i] + kJumpWidth * width * std::tan(M_PI * (rng.Uniform() - 0.5))
                      : genes[i] + step * width * rng.Gaussian();
      // A jump that would leave the range lands anywhere in it rather than piling up on its bounds.
      if (jump && !(v >= r.Minimum && v <= r.Maximum)) v = r.Minimum + rng.Uniform() * width;
      genes[i] = std::clamp(v, r.Minimum, r.Maximum);
      if (hasStep) steps[i].Mutated = jump ? GeneStep::Jumped : std::max(steps[i].Mutated, GeneStep::Stepped);
      return true;
    }
  }
}

}  // namespace

int Mutate(const GroupShape& shape, double rate, bool atLeastOne, double jumpShare, std::span<double> genes,
           std::span<GeneStep> steps, Rng& rng) {
  const std::int32_t n = Size(genes);
  int changed = 0;
  for (GeneStep& s : steps) s.Mutated = 0;
  for (std::int32_t i = 0; i < n; ++i)
    if (rng.Uniform() < rate && MutateGene(shape, i, jumpShare, genes, steps, rng)) ++changed;
  // A few tries suffice: only a one-gene order or one-group grouping can never change.
  for (std::int32_t attempt = 0; atLeastOne && changed == 0 && attempt < 8; ++attempt)
    if (MutateGene(shape, rng.Below(n), jumpShare, genes, steps, rng)) ++changed;
  return changed;
}

}  // namespace GeneticOperators
}  // namespace gdlib
