#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace corvana::addin::reports {

// Engine settings of one group of adjustable cells as the run ended.
struct ReportGroup {
  std::string Name;
  std::string Method;
  int Genes = 0;
  double CrossoverRate = 0;
  double MutationRate = 0;  // the rate in force at the end
  bool AutoMutation = false;
};

struct ReportConstraint {
  std::string Name;
  std::string Formula;
  bool Hard = true;
};

// What the reports tell about a run besides what its trial log holds.
struct ReportRun {
  std::string Model;
  std::string Objective;
  bool Maximize = false;
  std::string ValueFormat = "General";  // number format of the objective cell
  std::vector<std::string> GeneNames;
  std::vector<ReportGroup> Groups;
  std::vector<ReportConstraint> Constraints;
  int Population = 0;
  int Optimizations = 1;                   // more than one: a series, one optimization per constraining value
  std::vector<double> ConstrainingValues;  // a series: the value of each optimization, in run order
  std::string ConstraintName;              // a series: the constraint whose bound the values are
  std::string StopReason;
  double ElapsedSeconds = 0;
  std::chrono::system_clock::time_point Ended;
  std::string TrialLogPath;
  std::string KeptSolutionName;  // "best", "original" or "last"
  std::vector<double> KeptSolution;
};

// Which reports to write and where.
struct ReportOptions {
  bool Summary = false;
  bool AllTrials = false;
  bool ProgressSteps = false;
  bool NewWorkbook = false;  // the reports go to a second file instead of the run's workbook
  std::string Path;          // the run's workbook
  bool Overwrite = false;
  // Rows of one sheet, the header row included; a longer log of all trials goes on.
  std::uint32_t RowsPerSheet = 1048576;
};

// Told what the reports are doing: the step, and the share of it done, or -1 for a step that cannot
// measure itself (the writer library saving a workbook, which takes most of a long log's time).
using ReportProgress = std::function<void(const std::string& step, double share)>;

}  // namespace corvana::addin::reports
