#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "addin/CommandLine.h"
#include "addin/ConsoleObserver.h"
#include "addin/ModelCatalog.h"
#include "addin/ResultWriter.h"
#include "addin/RunLoop.h"
#include "addin/ScriptRunner.h"
#include "addin/UserScript.h"
#include "addin/WatcherDriver.h"
#include "addin/reports/RunReports.h"
#include "addin/workbook/WorkbookError.h"
#include "addin/workbook/WorkbookModel.h"
#include "addin/workers/WorkerPool.h"
#include "addin/workers/WorkerProcess.h"
#include "common/ComError.h"
#include "suite/gdlib/gdlib8.h"

namespace {

std::atomic<bool> g_Interrupted{false};

void OnInterrupt(int) {
  g_Interrupted = true;
}

// Ctrl-C and a polite kill end the run between two trials, so the trial log stays complete and
// the shared population is freed.
void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

// The solution the user chose to keep: -2 the original, -5 the last trial, otherwise the best.
std::vector<double> KeptSolution(const corvana::addin::RunResult& r, int choice) {
  if (choice == -2) return r.OriginalSolution;
  if (choice == -5) return r.LastSolution;
  return r.KeptSolution;
}

// A private folder for files on their way elsewhere.
std::filesystem::path StagingFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "corvana-addin-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
  return pattern;
}

// A worker process of a workbook run (started by the add-in's worker pool, never by a user): its
// own office with the same workbook, evaluating organisms of the add-in's population.
//   corvana-addin worker --workbook FILE --pop-handle H --worker N --fd FD --addin PID
int RunWorkbookWorker(const std::vector<std::string>& args) {
  using namespace corvana::addin;
  std::string workbook;
  long popHandle = 0, worker = 0, fd = -1, addin = 0;
  for (std::size_t i = 1; i + 1 < args.size(); i += 2) {
    const std::string& option = args[i];
    const std::string& value = args[i + 1];
    if (option == "--workbook") {
      workbook = value;
      continue;
    }
    long number = std::strtol(value.c_str(), nullptr, 10);
    if (option == "--pop-handle") popHandle = number;
    if (option == "--worker") worker = number;
    if (option == "--fd") fd = number;
    if (option == "--addin") addin = number;
  }
  if (workbook.empty() || worker < 1 || fd < 0 || addin <= 0) {
    std::cerr << "corvana-addin worker: started by the add-in only\n";
    return 2;
  }
  // A copy of its own: the add-in's office holds the workbook open, and a second office cannot
  // open a file another one has open for writing.
  std::atomic<bool> stop{false};
  std::unique_ptr<WorkbookModel> model;
  std::filesystem::path folder;
  const auto cleanUp = [&] {
    model.reset();
    std::error_code ignored;
    if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
  };
  try {
    folder = StagingFolder();
    const std::filesystem::path copy = folder / std::filesystem::path(workbook).filename();
    std::filesystem::copy_file(workbook, copy);
    model = std::make_unique<WorkbookModel>(copy, stop);
  } catch (const std::exception& e) {
    std::cerr << "corvana-addin: worker " << worker << ": " << e.what() << "\n";
    cleanUp();
    return 1;  // the add-in sees the socket close and goes on without this worker
  }
  WorkbookModel& evaluator = *model;
  workers::WorkerProcess::Run(evaluator, static_cast<std::int32_t>(popHandle), static_cast<int>(worker),
                              static_cast<int>(fd), static_cast<pid_t>(addin), cleanUp);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace corvana::addin;
  if (argc > 1 && std::string(argv[1]) == "worker")
    return RunWorkbookWorker(std::vector<std::string>(argv + 1, argv + argc));
  CommandLine commandLine;
  try {
    commandLine = CommandLine::Parse(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const UsageError& e) {
    std::cerr << "corvana-addin: " << e.what() << "\nTry 'corvana-addin --help'.\n";
    return 2;
  }
  if (commandLine.HelpRequested) {
    std::cout << CommandLine::UsageText();
    return 0;
  }
  RunSettings settings = commandLine.Settings;
  QCoreApplication app(argc, argv);
  InstallInterruptHandler();

  try {
    std::unique_ptr<Model> model;
    WorkbookModel* workbook = nullptr;
    if (settings.WorkbookPath.empty()) {
      model = ModelCatalog::Create(settings.ModelName);
    } else {
      try {
        model = std::make_unique<WorkbookModel>(settings.WorkbookPath, g_Interrupted);
        workbook = static_cast<WorkbookModel*>(model.get());
        workbook->ApplyRunDefaults(settings);
      } catch (const WorkbookError& e) {
        std::cerr << "corvana-addin: " << e.what() << "\n";
        return 2;
      }
    }
    std::unique_ptr<WatcherDriver> driver;
    std::unique_ptr<ScriptRunner> script;
    std::string watcherError;
    if (!settings.NoWatcher) {
      driver =
          std::make_unique<WatcherDriver>(*model, settings, QDBusConnection::sessionBus(), g_Interrupted);
      if (!driver->Start()) {
        watcherError = driver->Error();
        driver.reset();
        if (!settings.ScriptPath.empty()) {
          std::cerr << "corvana-addin: the script needs the Watcher: " << watcherError << "\n";
          return 1;
        }
        std::cerr << "corvana-addin: going on without the Watcher: " << watcherError << "\n";
      }
    }
    if (driver && !settings.ScriptPath.empty()) {
      script = std::make_unique<ScriptRunner>(UserScript::Load(settings.ScriptPath), *driver,
                                              QDBusConnection::sessionBus());
      // A user who cannot go on leaves the run to end by itself, with no end-of-run questions.
      script->OnFailure = [&driver] { driver->GiveUpUserInteraction(); };
    }

    ProgressLine line(stderr, isatty(fileno(stderr)) != 0);
    ConsoleObserver console(settings, line, driver.get());
    model->SetRecalculationCost(settings.RecalcMs);
    RunLoop loop(*model, settings, console, g_Interrupted);
    loop.Create();
    // Started after the population exists, ended (by going out of scope) before it is freed.
    std::unique_ptr<workers::WorkerPool> pool;
    if (settings.Workers > 1) {
      const workers::WorkerLaunch launch =
          workbook
              ? workers::WorkerLaunch::ForWorkbook(std::filesystem::read_symlink("/proc/self/exe").string(),
                                                   std::filesystem::absolute(settings.WorkbookPath).string())
              : workers::WorkerLaunch{};
      pool = std::make_unique<workers::WorkerPool>(*model, loop.PopHandle(), settings.Workers, launch);
      loop.UseWorkers(pool.get());
    }
    if (script) script->Start();
    RunResult result = loop.Run();

    if (pool) {
      result.WorkerProcesses = pool->Processes();
      result.WorkersLost = pool->Lost();
      pool.reset();
    }
    result.WatcherAttached = driver && driver->EverAttached();
    result.WatcherError = driver ? driver->Error() : watcherError;
    if (!settings.FrontierChartPath.empty() && !settings.EfficientFrontier.empty()) {
      result.FrontierChartError =
          driver ? driver->ChartError() : "The Watcher was not there to chart the frontier.";
      if (result.FrontierChartError.empty()) result.FrontierChartPath = settings.FrontierChartPath;
    }
    if (driver) {
      result.Choices = driver->Choices();
      result.ShowExcelRecalculations = driver->ShowExcelRecalculations();
    }
    if (result.Choices) result.KeptSolution = KeptSolution(result, result.Choices->SolutionToKeep);
    if (script && !script->Error().empty()) result.ScriptError = script->Error();
    if (script && result.ScriptError.empty() && script->PendingLine() > 0 && !g_Interrupted)
      result.ScriptError =
          "line " + std::to_string(script->PendingLine()) + ": the run ended before this step";
    // A workbook's reports "In New Worksheets" go into the workbook itself, saved with the solution;
    // they are written to a file of their own first and copied in from there.
    const bool intoWorkbook = workbook && settings.ReportsPath.empty() && result.Choices &&
                              result.Choices->ReportPlacement != 1 && !g_Interrupted;
    std::filesystem::path staging;
    if (intoWorkbook) {
      staging = StagingFolder() / "reports.xlsx";
      settings.ReportsPath = staging.string();
    }
    reports::RunReports::Write(*model, settings, loop.PopHandle(), loop.LogPath(), result);
    if (intoWorkbook && !result.ReportFiles.empty()) {
      std::vector<std::string> sheets = result.ReportFiles.front().Sheets;
      std::erase(sheets, "Model");  // the workbook is its own model sheet
      try {
        const std::string target = settings.SaveAsPath.empty() ? settings.WorkbookPath : settings.SaveAsPath;
        result.ReportFiles = {{target, workbook->AddSheets(staging, sheets)}};
      } catch (const WorkbookError& e) {
        result.ReportFiles.clear();
        result.ReportError = e.what();
        std::cerr << "corvana-addin: reports not written: " << e.what() << "\n";
      }
    }
    if (!staging.empty()) {
      std::error_code ignored;
      std::filesystem::remove_all(staging.parent_path(), ignored);
    }
    std::cout << ResultWriter::ToJson(result) << std::flush;
    if (!result.Error.empty()) std::cerr << "corvana-addin: the run failed: " << result.Error << "\n";
    if (workbook && !workbook->OfficeLost().empty()) {
      std::cerr << "corvana-addin: " << workbook->OfficeLost() << "; the workbook was not saved\n";
      return 1;
    }
    if (workbook && !g_Interrupted && result.Error.empty())
      workbook->Save(result.KeptSolution, settings.SaveAsPath);
    if (!result.ScriptError.empty()) std::cerr << "corvana-addin: script " << result.ScriptError << "\n";
    if (!result.Error.empty()) return 1;
    if (g_Interrupted) return 130;
    return result.ScriptError.empty() && result.ReportError.empty() ? 0 : 1;
  } catch (const UsageError& e) {
    std::cerr << "corvana-addin: " << e.what() << "\n";
    return 2;
  } catch (const corvana::ComError& e) {
    std::cerr << "corvana-addin: " << e.Description() << "\n";
  } catch (const std::exception& e) {
    std::cerr << "corvana-addin: " << e.what() << "\n";
  }
  return 1;
}
