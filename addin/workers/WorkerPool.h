#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "addin/Model.h"
#include "addin/TrialWorkers.h"

namespace corvana::addin::workers {

// How a worker comes to evaluate: by default a fork of the add-in that evaluates with the add-in's
// own model. A model that lives in another process (a workbook in its office) cannot be shared by a
// fork: then each worker is the program started afresh with `Command` (its own model, its own
// office), given "--pop-handle H --worker N --fd 3 --addin PID" and its end of the socket as fd 3.
struct WorkerLaunch {
  std::vector<std::string> Command;  // empty: fork and use the add-in's model
  // How long a worker told to quit may take to end (stopping its own office) before SIGKILL.
  std::chrono::milliseconds QuitGrace{1000};

  // Workers of a workbook run: `program worker --workbook FILE ...`, each starting and stopping an
  // office of its own.
  static WorkerLaunch ForWorkbook(const std::string& program, const std::string& workbook) {
    return {{program, "worker", "--workbook", workbook}, std::chrono::seconds(20)};
  }
};

// The worker processes of one run, started from the add-in (each attaches to the run's population
// by its handle). A worker that dies is noticed by its closed result pipe; its organism goes back
// to the population's queue for the next taker. Destroying the pool ends every worker: a word to
// quit, then, after the launch's grace, SIGKILL.
class WorkerPool : public TrialWorkers {
 public:
  WorkerPool(Model& model, std::int32_t popHandle, int count, WorkerLaunch launch = {});
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
  [[noreturn]] void Exec(const Worker& worker, int fd, pid_t addin) const;
  void Send(Worker& worker, const std::string& bytes);
  void Died(Worker& worker);
  void RequeuePending();
  void Stop();

  std::int32_t m_PopHandle;
  WorkerLaunch m_Launch;
  std::vector<Worker> m_Workers;
  std::vector<FinishedTrial> m_Finished;
  int m_Lost = 0;
  bool m_Stopped = false;
};

}  // namespace corvana::addin::workers
