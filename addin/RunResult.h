#pragma once

#include <optional>
#include <string>
#include <vector>

namespace corvana::addin {

// The user's end-of-run choices as the Watcher hands them back.
struct StopChoices {
  bool ShownToUser = false;
  int SolutionToKeep = -1;  // -1 best, -2 original, -5 last
  bool GenerateOptimizationSummary = false;
  bool WriteLogOfAllTrials = false;
  bool WriteLogOfProgressSteps = false;
  int ReportPlacement = 0;
  bool FixSeed = false;
};

// A workbook of reports the add-in wrote, with its sheets in order.
struct ReportFile {
  std::string Path;
  std::vector<std::string> Sheets;
};

// One optimization of a run (a series has one per constraining value).
struct OptimizationResult {
  std::optional<double> ConstrainingValue;
  long Trials = 0;
  long ValidTrials = 0;
  long ProgressSteps = 0;
  bool HasBest = false;
  double BestValue = 0;               // objective of the best solution, without penalties
  double BestValueWithPenalties = 0;  // what the engine ranked by
  bool BestIsValid = false;           // every hard constraint met
  std::vector<double> BestSolution;
};

struct RunResult {
  std::string Model;
  std::string Objective;
  std::vector<std::string> GeneNames;
  std::optional<double> KnownBest;
  std::vector<OptimizationResult> Optimizations;
  std::string StopReason;  // "trials", "time", "user", "interrupted", "error"
  double ElapsedSeconds = 0;
  std::string TrialLogPath;           // empty: no log is left (removed at the end, or deleted during the run)
  std::string TrialLogError;          // why the log is gone when it went missing during the run
  std::string Error;                  // the engine failure that ended the run early ("error" stop reason)
  bool UsedConstraintSolver = false;  // the user let the engine meet the hard constraints first
  int WorkerProcesses = 0;            // started for the run (0: the add-in evaluated every trial)
  int WorkersLost = 0;                // died during the run; their organisms went to the others
  bool WatcherAttached = false;
  std::string WatcherError;  // why the run went on without the Watcher, when it did
  std::optional<StopChoices> Choices;
  std::vector<double> OriginalSolution;  // trial 1
  std::vector<double> LastSolution;      // the latest trial
  // The solution left in the workbook, per the user's choice (the best one by default).
  std::vector<double> KeptSolution;
  int ShowExcelRecalculations = 1;      // the updating mode the user left the host in
  std::string ScriptError;              // why the scripted user gave up, when it did
  std::string FrontierChartPath;        // the chart of the frontier the Watcher made, when it did
  std::string FrontierChartError;       // why the chart asked for was not made
  std::vector<ReportFile> ReportFiles;  // the reports written at the end
  std::string ReportError;              // why they were not, when they were not
};

}  // namespace corvana::addin
