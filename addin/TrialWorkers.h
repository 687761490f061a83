#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "addin/Model.h"

namespace corvana::addin {

// A trial a worker process has evaluated, waiting for the run loop to record it.
struct FinishedTrial {
  int Worker = 0;  // the engine's worker number
  std::vector<double> Genes;
  Evaluation Result;
  bool Failed = false;  // the model threw; Error says what
  std::string Error;
};

// Worker processes that take organisms from the run's population and evaluate them, while the run
// loop alone records the results, writes the trial log and serves the Watcher.
class TrialWorkers {
 public:
  virtual ~TrialWorkers() = default;
  virtual int Processes() const = 0;  // started
  virtual int Alive() const = 0;
  virtual int Lost() const = 0;  // died during the run
  virtual int Busy() const = 0;  // organisms out for evaluation or evaluated and not yet taken
  // Lets idle workers take organisms until `outstanding` are out (or every worker is busy).
  virtual void Dispatch(long outstanding) = 0;
  // Reads what the workers sent and notices the ones that died, waiting up to `wait` for either.
  virtual void Poll(std::chrono::milliseconds wait) = 0;
  // The evaluated trials; the caller reports each to the engine before the next Dispatch.
  virtual std::vector<FinishedTrial> TakeFinished() = 0;
  // A series moves the first constraint's bound between optimizations; no organism is out then.
  virtual void SetFirstConstraintBound(double bound) = 0;
};

}  // namespace corvana::addin
