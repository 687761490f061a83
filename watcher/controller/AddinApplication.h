#pragma once

#include <cstdint>

#include "watcher/controller/HostObjectRef.h"

namespace corvana {

// The add-in's own application object (Input_Application). Calls raise ComError on failure.
class AddinApplication {
 public:
  virtual ~AddinApplication() = default;
  virtual HostObjectRef Reference() const = 0;

  // Size in pixels of the progress-graph picture written at Dispose.
  virtual void ProgressGraphPictureSize(std::int32_t& width, std::int32_t& height) = 0;
  virtual void ConstraintSolverFixSeed() = 0;
  // The user's end-of-run choices from the stopping tab.
  virtual void EndOfRunChoices(bool generateOptimizationSummary, bool writeLogOfAllTrials,
                               bool writeLogOfProgressSteps, std::int32_t solutionToKeep,
                               std::int32_t reportPlacement) = 0;
};

}  // namespace corvana
