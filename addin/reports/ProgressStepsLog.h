#pragma once

#include "addin/reports/ReportRun.h"
#include "addin/reports/ReportWorkbook.h"
#include "addin/reports/TrialLogFile.h"

namespace corvana::addin::reports {

// The log of progress steps: one row per trial that improved the best, and a step chart of the best
// against the trials. A run with no progress step gets the headers and no chart.
class ProgressStepsLog {
 public:
  static constexpr const char* kSheetName = "Log of Progress Steps";
  static void Write(ReportWorkbook& workbook, const TrialLogFile& log, const ReportRun& run);
};

}  // namespace corvana::addin::reports
