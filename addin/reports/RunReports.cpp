#include "addin/reports/RunReports.h"

#include <unistd.h>
#include <filesystem>

#include <algorithm>
#include <cstdio>
#include <exception>

#include "addin/reports/ReportWriter.h"
#include "suite/gdlib/gdlib8.h"

namespace corvana::addin::reports {

namespace {

std::string MethodText(SolvingMethod method) {
  switch (method) {
    case SolvingMethod::Recipe: return "recipe";
    case SolvingMethod::Order: return "order";
    case SolvingMethod::Budget: return "budget";
  }
  return "recipe";
}

std::string KeptText(int choice) {
  if (choice == -2) return "original";
  if (choice == -5) return "last";
  return "best";
}

}  // namespace

ReportRun RunReports::Describe(const Model& model, const RunSettings& settings, std::int32_t popHandle,
                               const RunResult& result) {
  ReportRun run;
  run.Model = result.Model;
  run.Objective = result.Objective;
  run.Maximize = model.Maximize();
  run.ValueFormat = model.NumberFormat();
  run.GeneNames = result.GeneNames;
  run.Population = settings.Population;
  run.Optimizations = std::max<int>(1, static_cast<int>(result.Optimizations.size()));
  run.ConstrainingValues = settings.EfficientFrontier;
  if (!settings.EfficientFrontier.empty() && !model.Constraints().empty())
    run.ConstraintName = model.Constraints().front().Name;
  run.StopReason = result.StopReason;
  run.ElapsedSeconds = result.ElapsedSeconds;
  run.Ended = std::chrono::system_clock::now();
  run.TrialLogPath = result.TrialLogPath;
  run.KeptSolutionName = KeptText(result.Choices ? result.Choices->SolutionToKeep : -1);
  run.KeptSolution = result.KeptSolution;
  for (const Constraint& c : model.Constraints()) run.Constraints.push_back({c.Name, c.Formula, c.Hard});
  std::int32_t chromosome = 0;
  for (const GeneGroup& g : model.Groups()) {
    ReportGroup group{g.Name, MethodText(g.Method), static_cast<int>(g.Genes.size())};
    ++chromosome;
    // The Watcher may have changed the rates during the run: the population has the last word.
    std::int32_t isAuto = 0;
    double fixedRate = 0;
    if (GdChrGetCrossoverRate(popHandle, chromosome, &group.CrossoverRate) == GdOk &&
        GdChrGetMutationMode(popHandle, chromosome, &isAuto, &fixedRate) == GdOk &&
        GdChrGetCurrentMutationRate(popHandle, chromosome, &group.MutationRate) == GdOk)
      group.AutoMutation = isAuto != 0;
    run.Groups.push_back(group);
  }
  return run;
}

void RunReports::Write(const Model& model, const RunSettings& settings, std::int32_t popHandle,
                       const std::string& trialLogPath, RunResult& result) {
  if (!result.Choices) return;
  ReportOptions options;
  options.Summary = result.Choices->GenerateOptimizationSummary;
  options.AllTrials = result.Choices->WriteLogOfAllTrials;
  options.ProgressSteps = result.Choices->WriteLogOfProgressSteps;
  options.NewWorkbook = result.Choices->ReportPlacement == 1;
  // A default trial log lives in a state folder and goes with the run; its reports belong with the
  // user, in the current folder.
  const std::string logPath =
      settings.TrialLogPath.empty()
          ? (std::filesystem::current_path() / std::filesystem::path(trialLogPath).filename()).string()
          : trialLogPath;
  options.Path = settings.ReportsPath.empty() ? ReportWriter::DefaultPath(logPath) : settings.ReportsPath;
  options.Overwrite = settings.Overwrite;
  const bool terminal = isatty(fileno(stderr)) != 0;
  // One line, rewritten in place and cleared at the end.
  auto progress = [terminal](const std::string& step, double share) {
    if (!terminal) return;
    if (share >= 0)
      std::fprintf(stderr, "\r\033[Kcorvana-addin: %s: %3.0f%%", step.c_str(), share * 100);
    else
      std::fprintf(stderr, "\r\033[Kcorvana-addin: %s...", step.c_str());
    std::fflush(stderr);
  };
  try {
    ReportRun run = Describe(model, settings, popHandle, result);
    run.TrialLogPath = trialLogPath;
    result.ReportFiles = ReportWriter::Write(run, options, progress);
    if (terminal) std::fprintf(stderr, "\r\033[K");
  } catch (const std::exception& e) {
    if (terminal) std::fprintf(stderr, "\r\033[K");
    result.ReportError = e.what();
    std::fprintf(stderr, "corvana-addin: reports not written: %s\n", e.what());
  }
}

}  // namespace corvana::addin::reports
