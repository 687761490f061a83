#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

#include "addin/Model.h"
#include "addin/RunObserver.h"
#include "addin/RunResult.h"
#include "addin/RunSettings.h"
#include "addin/TrialWorkers.h"

namespace corvana::addin {

// The optimization itself: a population in the engine, one trial at a time, every trial and new
// best appended to the trial log, the run status honoured between trials. The population and the
// log live until this object is destroyed, so the Watcher can still read them after the run; a
// default log (no --trial-log, no --keep-log) is removed then.
class RunLoop {
 public:
  RunLoop(Model& model, const RunSettings& settings, RunObserver& observer,
          const std::atomic<bool>& interrupt);
  ~RunLoop();
  RunLoop(const RunLoop&) = delete;
  RunLoop& operator=(const RunLoop&) = delete;

  // Creates the population and the trial log. Raises a ComError on an engine failure.
  void Create();
  // Runs to the end (goal reached, stopped by the user or interrupted) and sets status Stopped.
  RunResult Run();

  // Evaluates trials in these worker processes from now on (after Create, before Run).
  void UseWorkers(TrialWorkers* workers) { m_Workers = workers; }

  std::int32_t PopHandle() const { return m_PopHandle; }
  const std::string& LogPath() const { return m_LogPath; }

 private:
  enum class Next { Continue, NextOptimization, Stop };
  struct LogFile {
    dev_t Device = 0;
    ino_t Inode = 0;
    bool operator==(const LogFile&) const = default;
  };
  void RunOptimizations(RunResult& result);
  bool RemovesLog() const;
  bool LogStillThere() const;
  Next FollowRunStatus();
  void SetStatus(std::int16_t status);
  bool GoalReached() const;
  void RunTrial(OptimizationResult& result, int optimization);
  void RunWorkerTrials(OptimizationResult& result, int optimization);
  void DrainWorkers(OptimizationResult& result, int optimization);
  void RecordTrial(OptimizationResult& o, int optimization, int worker, std::vector<double> genes,
                   Evaluation e);
  Evaluation FailedEvaluation() const;
  // The engine's goal: a constraint-solver run minimizes the constraints not met.
  bool Maximize() const;
  Evaluation CountNotMet(Evaluation e) const;
  void LockServingObserver();
  void AppendRecord(std::int32_t kind, long trial, const std::vector<double>& genes, const Evaluation& e,
                    int optimization);
  double ActiveSeconds() const;

  Model& m_Model;
  TrialWorkers* m_Workers = nullptr;
  const RunSettings& m_Settings;
  RunObserver& m_Observer;
  const std::atomic<bool>& m_Interrupt;

  std::int32_t m_PopHandle = 0;
  std::int32_t m_LogHandle = 0;
  std::string m_LogPath;
  LogFile m_LogFile;           // the file created, told apart from one made later under its name
  bool m_SolverPhase = false;  // rank by hard-constraint violation until a valid trial appears
  long m_Trial = 0;            // trials of the whole run
  long m_ValidTrials = 0;
  std::vector<double> m_LastGenes;
  long m_TrialsThisOptimization = 0;
  std::string m_StopReason;

  // Run time of the optimization under way, pauses excluded.
  std::chrono::steady_clock::time_point m_OptimizationStart;
  std::chrono::steady_clock::duration m_Paused{};
  std::chrono::steady_clock::time_point m_RunStart;
};

}  // namespace corvana::addin
