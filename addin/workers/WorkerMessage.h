#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "addin/TrialWorkers.h"

namespace corvana::addin::workers {

// A worker's evaluated trial on the pipe to the add-in: a 4-byte length, then the figures.
class WorkerMessage {
 public:
  static std::string Encode(const FinishedTrial& trial);
  // Takes one whole message off the front of `buffer`; nothing while it is incomplete.
  static std::optional<FinishedTrial> Decode(std::string& buffer);
};

}  // namespace corvana::addin::workers
