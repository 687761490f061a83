#pragma once

#include <cstdint>

#include "addin/Model.h"

namespace corvana::addin {

// What the run loop tells the side that watches it (the Watcher driver, the progress line).
// Every call comes from the run loop's thread, between trials, never under the population lock.
class RunObserver {
 public:
  virtual ~RunObserver() = default;

  // The population and trial log exist; nothing has been evaluated yet.
  virtual void OnRunCreated(std::int32_t /*popHandle*/, const char* /*logPath*/) {}
  // Optimization `number` (1-based) of the run begins; a single optimization is number 1.
  virtual void OnOptimizationStarted(int /*number*/) {}
  // Trials up to `trialNumber` have been handed to worker processes (multi-process runs).
  virtual void OnTrialUnderWay(long /*trialNumber*/) {}
  // A trial has been evaluated and logged.
  virtual void OnTrial(long /*trialNumber*/, const Evaluation& /*evaluation*/, bool /*isNewBest*/) {}
  // Called between trials and repeatedly while paused: the place to serve callbacks and poll.
  virtual void OnIdle(bool /*paused*/) {}
  // The run has stopped (status Stopped is set); the trial log is complete.
  virtual void OnRunStopped() {}
  // Asks the user whether to let the engine find a solution that meets the `violated` hard
  // constraints first. Returns the answer; false when nobody can be asked.
  virtual bool AskUseConstraintSolver(int /*violated*/) { return false; }
};

}  // namespace corvana::addin
