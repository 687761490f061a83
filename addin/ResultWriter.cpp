#include "addin/ResultWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace corvana::addin {

namespace {

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
          out += buffer;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

// Shortest text that reads back as the same double; JSON has no infinities or NaN.
std::string Number(double value) {
  if (!std::isfinite(value)) return "null";
  char buffer[32];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return ec == std::errc() ? std::string(buffer, end) : "null";
}

std::string Bool(bool value) {
  return value ? "true" : "false";
}

std::string Numbers(const std::vector<double>& values) {
  std::string out = "[";
  for (std::size_t i = 0; i < values.size(); ++i) out += (i ? ", " : "") + Number(values[i]);
  return out + "]";
}

std::string Solution(const std::vector<std::string>& names, const std::vector<double>& values) {
  std::string out = "{";
  for (std::size_t i = 0; i < values.size() && i < names.size(); ++i)
    out += (i ? ", " : "") + Quote(names[i]) + ": " + Number(values[i]);
  return out + "}";
}

}  // namespace

std::string ResultWriter::ToJson(const RunResult& r) {
  std::string out = "{\n";
  out += "  \"model\": " + Quote(r.Model) + ",\n";
  out += "  \"objective\": " + Quote(r.Objective) + ",\n";
  out += "  \"known_best\": " + (r.KnownBest ? Number(*r.KnownBest) : "null") + ",\n";
  const OptimizationResult* last = r.Optimizations.empty() ? nullptr : &r.Optimizations.back();
  out += "  \"best_value\": " + (last && last->HasBest ? Number(last->BestValue) : "null") + ",\n";
  out +=
      "  \"best_solution\": " + (last && last->HasBest ? Solution(r.GeneNames, last->BestSolution) : "null") +
      ",\n";
  long trials = 0, valid = 0, steps = 0;
  for (const auto& o : r.Optimizations) {
    trials += o.Trials;
    valid += o.ValidTrials;
    steps += o.ProgressSteps;
  }
  out += "  \"trials\": " + std::to_string(trials) + ",\n";
  out += "  \"valid_trials\": " + std::to_string(valid) + ",\n";
  out += "  \"progress_steps\": " + std::to_string(steps) + ",\n";
  out += "  \"constraint_solver_used\": " + Bool(r.UsedConstraintSolver) + ",\n";
  out += "  \"stop_reason\": " + Quote(r.StopReason) + ",\n";
  out += "  \"elapsed_seconds\": " + Number(r.ElapsedSeconds) + ",\n";
  out += "  \"trial_log\": " + (r.TrialLogPath.empty() ? "null" : Quote(r.TrialLogPath)) + ",\n";
  if (!r.TrialLogError.empty()) out += "  \"trial_log_error\": " + Quote(r.TrialLogError) + ",\n";
  if (!r.Error.empty()) out += "  \"error\": " + Quote(r.Error) + ",\n";
  out += "  \"workers\": {\"processes\": " + std::to_string(r.WorkerProcesses) +
         ", \"lost\": " + std::to_string(r.WorkersLost) + "},\n";
  out += "  \"watcher\": {\"attached\": " + Bool(r.WatcherAttached) +
         (r.WatcherError.empty() ? "" : ", \"error\": " + Quote(r.WatcherError)) + "},\n";
  out += "  \"optimizations\": [";
  for (std::size_t i = 0; i < r.Optimizations.size(); ++i) {
    const auto& o = r.Optimizations[i];
    out += std::string(i ? "," : "") + "\n    {";
    out += "\"constraining_value\": " + (o.ConstrainingValue ? Number(*o.ConstrainingValue) : "null");
    out +=
        ", \"trials\": " + std::to_string(o.Trials) + ", \"valid_trials\": " + std::to_string(o.ValidTrials);
    out += ", \"progress_steps\": " + std::to_string(o.ProgressSteps);
    out += ", \"best_value\": " + (o.HasBest ? Number(o.BestValue) : "null");
    out += ", \"best_value_with_penalties\": " + (o.HasBest ? Number(o.BestValueWithPenalties) : "null");
    out += ", \"best_is_valid\": " + Bool(o.BestIsValid);
    out += ", \"best_solution\": " + (o.HasBest ? Numbers(o.BestSolution) : "null") + "}";
  }
  out += r.Optimizations.empty() ? "],\n" : "\n  ],\n";
  // A series: one point per constraining value with a best, in rising order of the value.
  std::vector<const OptimizationResult*> points;
  for (const auto& o : r.Optimizations)
    if (o.ConstrainingValue && o.HasBest) points.push_back(&o);
  if (!points.empty()) {
    std::stable_sort(points.begin(), points.end(), [](const auto* a, const auto* b) {
      return *a->ConstrainingValue < *b->ConstrainingValue;
    });
    out += "  \"frontier\": [";
    for (std::size_t i = 0; i < points.size(); ++i)
      out += std::string(i ? ", " : "") +
             "{\"constraining_value\": " + Number(*points[i]->ConstrainingValue) +
             ", \"best_value\": " + Number(points[i]->BestValue) +
             ", \"best_is_valid\": " + Bool(points[i]->BestIsValid) + "}";
    out += "],\n";
  }
  if (r.Choices) {
    const auto& c = *r.Choices;
    out += "  \"end_of_run\": {\"shown_to_user\": " + Bool(c.ShownToUser) +
           ", \"solution_to_keep\": " + std::to_string(c.SolutionToKeep) +
           ", \"generate_optimization_summary\": " + Bool(c.GenerateOptimizationSummary) +
           ", \"write_log_of_all_trials\": " + Bool(c.WriteLogOfAllTrials) +
           ", \"write_log_of_progress_steps\": " + Bool(c.WriteLogOfProgressSteps) +
           ", \"report_placement\": " + std::to_string(c.ReportPlacement) +
           ", \"fix_seed\": " + Bool(c.FixSeed) + "},\n";
  } else {
    out += "  \"end_of_run\": null,\n";
  }
  out += "  \"show_excel_recalculations\": " + std::to_string(r.ShowExcelRecalculations) + ",\n";
  if (!r.ScriptError.empty()) out += "  \"script_error\": " + Quote(r.ScriptError) + ",\n";
  if (!r.FrontierChartPath.empty()) out += "  \"frontier_chart\": " + Quote(r.FrontierChartPath) + ",\n";
  if (!r.FrontierChartError.empty())
    out += "  \"frontier_chart_error\": " + Quote(r.FrontierChartError) + ",\n";
  out += "  \"reports\": [";
  for (std::size_t i = 0; i < r.ReportFiles.size(); ++i) {
    out += std::string(i ? ", " : "") + "{\"path\": " + Quote(r.ReportFiles[i].Path) + ", \"sheets\": [";
    for (std::size_t k = 0; k < r.ReportFiles[i].Sheets.size(); ++k)
      out += (k ? ", " : "") + Quote(r.ReportFiles[i].Sheets[k]);
    out += "]}";
  }
  out += "],\n";
  if (!r.ReportError.empty()) out += "  \"reports_error\": " + Quote(r.ReportError) + ",\n";
  out += "  \"kept_solution\": " + Solution(r.GeneNames, r.KeptSolution) + "\n";
  return out + "}\n";
}

}  // namespace corvana::addin
