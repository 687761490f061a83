#pragma once

#include "addin/reports/ReportRun.h"
#include "addin/reports/ReportWorkbook.h"

namespace corvana::addin::reports {

// The model as the run left it, the first sheet of the run's workbook: objective, the solution
// kept in the adjustable cells, and the constraints.
class ModelSheet {
 public:
  static constexpr const char* kSheetName = "Model";
  static void Write(ReportWorkbook& workbook, const ReportRun& run);
};

}  // namespace corvana::addin::reports
