#pragma once

#include <optional>
#include <string>
#include <vector>

namespace corvana::addin {

// What the user asked for on the command line.
struct RunSettings {
  std::string ModelName = "portfolio";
  std::optional<long> Trials;     // stop after this many trials
  std::optional<double> Minutes;  // stop after this much run time
  int Population = 50;
  unsigned long Seed = 1;                 // the engine's random seed: the same seed repeats the same run
  std::vector<double> EfficientFrontier;  // constraining values of a series; empty: one optimization
  bool NoWatcher = false;
  std::string ScriptPath;         // act as a user through the Watcher's automation interface
  std::string ProgressGraphPath;  // the Watcher saves its progress graph here at the end
  std::string FrontierChartPath;  // a series: the Watcher charts the frontier here (SVG) at the end
  std::string TrialLogPath;       // empty: a new file in the trial-log folder, removed at the end
  bool KeepLog = false;           // keep the default trial log after the run
  bool ShowEndOptions = true;     // ask the user at the end which solution to keep
  std::string ReportsPath;        // the run's workbook; empty: beside the trial log
  bool Overwrite = false;         // reports may replace existing files
  std::string WorkbookPath;       // optimize this workbook instead of a built-in model
  std::string SaveAsPath;         // save the optimized workbook here instead of over itself
  bool PopulationGiven = false;   // --population overrides the workbook's own setting
  int Workers = 1;                // worker processes; 1: the add-in evaluates every trial itself
  double RecalcMs = 0;            // CPU time each recalculation of a built-in model costs
  bool ConstraintSolver = false;  // search only for a solution that meets every hard constraint

  // Trials when neither goal is given.
  static constexpr long kDefaultTrials = 2000;
};

}  // namespace corvana::addin
