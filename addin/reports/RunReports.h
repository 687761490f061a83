#pragma once

#include <cstdint>
#include <string>

#include "addin/Model.h"
#include "addin/RunResult.h"
#include "addin/RunSettings.h"
#include "addin/reports/ReportRun.h"

namespace corvana::addin::reports {

// The add-in's end of the reports: what the user chose, written once the run has stopped.
class RunReports {
 public:
  // Writes the chosen reports and names them in `result`. One that cannot be written is told on
  // standard error and in the result; the run's result stands either way. `trialLogPath` is the
  // run's log, which stays on disk until the run loop goes even when the result no longer names it.
  static void Write(const Model& model, const RunSettings& settings, std::int32_t popHandle,
                    const std::string& trialLogPath, RunResult& result);
  // The run as the reports tell it; the engine settings come from the population, which must live.
  static ReportRun Describe(const Model& model, const RunSettings& settings, std::int32_t popHandle,
                            const RunResult& result);
};

}  // namespace corvana::addin::reports
