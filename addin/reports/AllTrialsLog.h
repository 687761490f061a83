#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "addin/reports/ReportRun.h"
#include "addin/reports/ReportWorkbook.h"
#include "addin/reports/TrialLogFile.h"

namespace corvana::addin::reports {

// The log of all trials: one row per trial, streamed, going on to a further sheet whenever one is
// full.
class AllTrialsLog {
 public:
  // The sheets a log of `trials` rows fills when a sheet holds `rowsPerSheet` rows, header included.
  static std::vector<std::string> SheetNames(std::int64_t trials, std::uint32_t rowsPerSheet);
  // `onProgress` gets the share of the rows written, now and then.
  static void Write(ReportWorkbook& workbook, const TrialLogFile& log, const ReportRun& run,
                    std::uint32_t rowsPerSheet, const ReportProgress& onProgress);
};

}  // namespace corvana::addin::reports
