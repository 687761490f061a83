#pragma once

#include <string>
#include <vector>

#include "addin/reports/ReportRun.h"
#include "addin/reports/ReportWorkbook.h"
#include "addin/reports/TrialLogFile.h"

namespace corvana::addin::reports {

// The optimization summary: what ran, how it ended, the engine's settings, the best, original and
// last solutions, every constraint met or not, and a chart of the progress steps.
class SummarySheet {
 public:
  static constexpr const char* kSheetName = "Optimization Summary";
  // `trialSheets`: where the log of all trials went, when it was written.
  static void Write(ReportWorkbook& workbook, const TrialLogFile& log, const ReportRun& run,
                    const std::vector<std::string>& trialSheets);
};

}  // namespace corvana::addin::reports
