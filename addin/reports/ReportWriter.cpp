#include "addin/reports/ReportWriter.h"

#include <filesystem>

#include "addin/reports/AllTrialsLog.h"
#include "addin/reports/FrontierSheet.h"
#include "addin/reports/ModelSheet.h"
#include "addin/reports/ProgressStepsLog.h"
#include "addin/reports/ReportError.h"
#include "addin/reports/ReportWorkbook.h"
#include "addin/reports/SummarySheet.h"
#include "addin/reports/TrialLogFile.h"

namespace corvana::addin::reports {

namespace fs = std::filesystem;

namespace {

void WriteReports(ReportWorkbook& workbook, const TrialLogFile& log, const ReportRun& run,
                  const ReportOptions& options, const ReportProgress& onProgress) {
  const std::vector<std::string> trialSheets =
      options.AllTrials ? AllTrialsLog::SheetNames(log.Trials(), options.RowsPerSheet)
                        : std::vector<std::string>{};
  if (options.Summary) SummarySheet::Write(workbook, log, run, trialSheets);
  if (options.Summary && log.IsSeries() && !run.ConstrainingValues.empty())
    FrontierSheet::Write(workbook, log, run);
  if (options.AllTrials) AllTrialsLog::Write(workbook, log, run, options.RowsPerSheet, onProgress);
  if (options.ProgressSteps) ProgressStepsLog::Write(workbook, log, run);
}

ReportFile Close(ReportWorkbook& workbook, const ReportProgress& onProgress) {
  if (onProgress) onProgress("saving " + fs::path(workbook.Path()).filename().string(), -1);
  workbook.Close();
  return {workbook.Path(), workbook.Sheets()};
}

}  // namespace

std::string ReportWriter::DefaultPath(const std::string& trialLogPath) {
  return fs::path(trialLogPath).replace_extension(".xlsx").string();
}

std::string ReportWriter::NewWorkbookPath(const std::string& runWorkbookPath) {
  const fs::path path(runWorkbookPath);
  return (path.parent_path() / (path.stem().string() + "-reports.xlsx")).string();
}

std::vector<ReportFile> ReportWriter::Write(const ReportRun& run, const ReportOptions& options,
                                            const ReportProgress& onProgress) {
  if (!options.Summary && !options.AllTrials && !options.ProgressSteps) return {};
  const std::string reportsPath = options.NewWorkbook ? NewWorkbookPath(options.Path) : options.Path;
  std::error_code ec;
  for (const std::string& path : {options.Path, reportsPath})
    if (fs::equivalent(path, run.TrialLogPath, ec))
      throw ReportError("cannot write " + path + ": it is the trial log the reports are read from");
  ReportWorkbook::CheckWritable(options.Path, options.Overwrite);
  if (options.NewWorkbook) ReportWorkbook::CheckWritable(reportsPath, options.Overwrite);
  const TrialLogFile log(run.TrialLogPath);

  std::vector<ReportFile> files;
  {
    ReportWorkbook workbook(options.Path, run.ValueFormat);
    ModelSheet::Write(workbook, run);
    if (!options.NewWorkbook) WriteReports(workbook, log, run, options, onProgress);
    files.push_back(Close(workbook, onProgress));
  }
  if (options.NewWorkbook) {
    ReportWorkbook workbook(reportsPath, run.ValueFormat);
    WriteReports(workbook, log, run, options, onProgress);
    files.push_back(Close(workbook, onProgress));
  }
  return files;
}

}  // namespace corvana::addin::reports
