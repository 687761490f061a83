#pragma once

#include "addin/reports/ReportRun.h"
#include "addin/reports/ReportWorkbook.h"
#include "addin/reports/TrialLogFile.h"

namespace corvana::addin::reports {

// The efficient frontier of a series: one row per constraining value whose optimization found a
// best (the value, the best, its trial), in rising order of the value, and a chart of the best
// against the value. A series with no best anywhere gets the headers and no chart.
class FrontierSheet {
 public:
  static constexpr const char* kSheetName = "Efficient Frontier";
  static void Write(ReportWorkbook& workbook, const TrialLogFile& log, const ReportRun& run);
};

}  // namespace corvana::addin::reports
