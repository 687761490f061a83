#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "addin/Model.h"
#include "addin/TrialWorkers.h"

namespace corvana::addin::workers {

// The worker processes of one run, started from the add-in (each a copy of it that attaches to
// the run's population by its handle). A worker that dies is noticed by its closed result pipe;
// its organism goes back to the population's queue for the next taker. Destroying the pool ends
// every worker: a word to quit, then, after a second, SIGKILL.
class WorkerPool : public TrialWorkers {
 public:
  WorkerPool(Model& model, std::int32_t popHandle, int count);
  ~WorkerPool() override;
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  int Processes() const override { return static_cast<int>(m_Workers.size()); }
  int Alive() const override;
  int Lost() const override { return m_Lost; }
  int Busy() const override;
  void Dispatch(long outstanding) override;
  void Poll(std::chrono::milliseconds wait) override;
  std::vector<FinishedTrial> TakeFinished() override;
  void SetFirstConstraintBound(double bound) override;

  std::vector<pid_t> Pids() const;  // of the workers still alive

 private:
  struct Worker {
    int Number = 0;  // the engine's worker number, 1..
    pid_t Pid = -1;
    int Fd = -1;  // the add-in's end of the worker's socket pair
    bool Alive = false;
    bool Busy = false;
    bool RequeuePending = false;  // its organism waits for the lock to go back to the queue
    std::string Received;
  };
  void Start(Model& model);
  void Send(Worker& worker, const std::string& bytes);
  void Died(Worker& worker);
  void RequeuePending();
  void Stop();

  std::int32_t m_PopHandle;
  std::vector<Worker> m_Workers;
  std::vector<FinishedTrial> m_Finished;
  int m_Lost = 0;
  bool m_Stopped = false;
};

}  // namespace corvana::addin::workers
