#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>

#include "addin/Model.h"

namespace corvana::addin::workers {

// The body of one worker process: waits for the add-in's word, takes an organism from the
// population under its lock, evaluates it outside the lock and sends the result back. Never
// returns. An add-in that is gone (its pipe closed without a word to quit) leaves no population
// behind: the worker removes the segment its owner can no longer free.
class WorkerProcess {
 public:
  // Commands on the pipe from the add-in.
  static constexpr char kGo = 'G';
  static constexpr char kBound = 'B';  // followed by the new bound, a double
  static constexpr char kQuit = 'Q';

  // `atExit` runs before the process ends (a worker's own office must be stopped in order).
  [[noreturn]] static void Run(Model& model, std::int32_t popHandle, int worker, int fd, pid_t addin,
                               const std::function<void()>& atExit = {});
};

}  // namespace corvana::addin::workers
