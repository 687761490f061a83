#pragma once

#include <string>
#include <vector>

#include "addin/RunResult.h"
#include "addin/reports/ReportRun.h"

namespace corvana::addin::reports {

// Writes the reports the user chose at the end of a run. "In New Worksheets" adds them to the run's
// workbook after its model sheet; "In a New Workbook" puts them in a second file beside it.
class ReportWriter {
 public:
  // The run's workbook when none is named: beside the trial log, named after it.
  static std::string DefaultPath(const std::string& trialLogPath);
  // The new workbook beside the run's workbook.
  static std::string NewWorkbookPath(const std::string& runWorkbookPath);

  // The files written, each with its sheets; none when no report was chosen. Raises ReportError
  // before writing anything when a file cannot be written or exists and may not be replaced.
  // `onProgress` hears of the log of all trials being written and of each workbook being saved.
  static std::vector<ReportFile> Write(const ReportRun& run, const ReportOptions& options,
                                       const ReportProgress& onProgress = {});
};

}  // namespace corvana::addin::reports
