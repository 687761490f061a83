#pragma once

#include <string>

#include "addin/RunResult.h"

namespace corvana::addin {

// Renders a run's result as one JSON document.
class ResultWriter {
 public:
  static std::string ToJson(const RunResult& result);
};

}  // namespace corvana::addin
