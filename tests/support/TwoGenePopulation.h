#pragma once

#include <cstdint>

#include "suite/gdlib/gdlib8.h"

namespace corvana::test {

// The smallest run a Watcher can watch: one recipe group of two genes in 0..maximum, ten
// organisms, maximized, already optimizing. False (and *handle left alone) on failure.
inline bool CreateTwoGenePopulation(double maximum, std::int32_t seed, std::int32_t* handle) {
  const double minimums[] = {0, 0}, maximums[] = {maximum, maximum};
  GdGroupSpec group{};
  group.SolvingMethod = GdMethodRecipe;
  group.GeneCount = 2;
  group.Minimums = minimums;
  group.Maximums = maximums;
  group.CrossoverRate = 0.5;
  group.MutationRate = 0.1;
  std::int32_t created = 0;
  if (GdPopCreate(&group, 1, 10, GdGoalMaximize, seed, &created) != 0) return false;
  if (GdPopSetRunStatus(created, GdRunStatusOptimizing) != 0) {
    GdPopFree(created);
    return false;
  }
  *handle = created;
  return true;
}

}  // namespace corvana::test
