#include "addin/reports/AllTrialsLog.h"

#include <algorithm>

#include "addin/reports/TrialColumns.h"

namespace corvana::addin::reports {

namespace {

constexpr const char* kSheetName = "Log of All Trials";
constexpr const char* kStep = "writing the log of all trials";

}  // namespace

std::vector<std::string> AllTrialsLog::SheetNames(std::int64_t trials, std::uint32_t rowsPerSheet) {
  const std::int64_t perSheet = std::max<std::int64_t>(1, std::int64_t{rowsPerSheet} - 1);
  const std::int64_t count = std::max<std::int64_t>(1, (trials + perSheet - 1) / perSheet);
  std::vector<std::string> names{kSheetName};
  for (std::int64_t i = 2; i <= count; ++i)
    names.push_back(std::string(kSheetName) + " (" + std::to_string(i) + ")");
  return names;
}

void AllTrialsLog::Write(ReportWorkbook& workbook, const TrialLogFile& log, const ReportRun& run,
                         std::uint32_t rowsPerSheet, const ReportProgress& onProgress) {
  const TrialColumns columns(log, run, workbook.Formats(), 0);
  const std::int64_t perSheet = std::max<std::int64_t>(1, std::int64_t{rowsPerSheet} - 1);
  const std::vector<std::string> names = SheetNames(log.Trials(), rowsPerSheet);
  TrialLogFile::Record record;
  std::int32_t trial = 0;
  for (const std::string& name : names) {
    lxw_worksheet* sheet = workbook.AddSheet(name);
    worksheet_set_landscape(sheet);
    worksheet_fit_to_pages(sheet, 1, 0);
    columns.WriteHeader(sheet, 0);
    // A streamed sheet takes a filter only over rows not yet written.
    const std::int64_t rows = std::min<std::int64_t>(perSheet, log.Trials() - trial);
    worksheet_autofilter(sheet, 0, columns.First(), static_cast<lxw_row_t>(rows), columns.Last());
    lxw_row_t row = 0;
    while (trial < log.Trials() && row < perSheet) {
      log.ReadTrial(++trial, record);
      columns.Write(sheet, ++row, record);
      if (onProgress && trial % 65536 == 0) onProgress(kStep, double(trial) / log.Trials());
    }
  }
  if (onProgress) onProgress(kStep, 1);
}

}  // namespace corvana::addin::reports
