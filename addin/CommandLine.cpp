#include "addin/CommandLine.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <thread>

#include "addin/ModelCatalog.h"
#include "addin/UserScript.h"
#include "suite/gdlib/gdlib8.h"

namespace corvana::addin {

namespace {

double ParseNumber(const std::string& option, const std::string& text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value))
    throw UsageError(option + ": \"" + text + "\" is not a number");
  return value;
}

// A whole number in [minimum, maximum]; checked before any narrowing, so no value wraps around.
long ParseCount(const std::string& option, const std::string& text, long minimum,
                long maximum = std::numeric_limits<long>::max()) {
  long value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec == std::errc::result_out_of_range && ptr == end)
    throw UsageError(option + ": \"" + text + "\" is too " + (text.starts_with('-') ? "small" : "large"));
  if (text.empty() || ec != std::errc() || ptr != end)
    throw UsageError(option + ": \"" + text + "\" is not a whole number");
  if (value < minimum)
    throw UsageError(option + " must be at least " + std::to_string(minimum) + ", not " + text);
  if (value > maximum)
    throw UsageError(option + " must be at most " + std::to_string(maximum) + ", not " + text);
  return value;
}

const std::string& ParsePath(const std::string& option, const std::string& text) {
  if (text.empty()) throw UsageError(option + " needs a file name, not an empty one");
  return text;
}

std::vector<double> ParseValueList(const std::string& option, const std::string& text) {
  std::vector<double> values;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    values.push_back(ParseNumber(option, text.substr(start, comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return values;
}

}  // namespace

CommandLine CommandLine::Parse(const std::vector<std::string>& args) {
  CommandLine result;
  if (args.empty()) throw UsageError("missing command; the command is \"run\"");
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    result.HelpRequested = true;
    return result;
  }
  if (args[0] != "run") throw UsageError("unknown command \"" + args[0] + "\"; the command is \"run\"");

  RunSettings& s = result.Settings;
  for (std::size_t i = 1; i < args.size(); ++i) {
    // "--option=value" is the same as "--option value".
    std::string option = args[i];
    std::optional<std::string> inlineValue;
    if (const auto equals = option.find('='); option.starts_with("--") && equals != std::string::npos) {
      inlineValue = option.substr(equals + 1);
      option.erase(equals);
    }
    bool valueTaken = false;
    auto value = [&]() -> const std::string& {
      valueTaken = true;
      if (inlineValue) return *inlineValue;
      if (i + 1 >= args.size()) throw UsageError(option + " needs a value");
      return args[++i];
    };
    if (option == "--help" || option == "-h") {
      result.HelpRequested = true;
    } else if (option == "--model") {
      s.ModelName = value();
      if (!ModelCatalog::Has(s.ModelName))
        throw UsageError("unknown model \"" + s.ModelName + "\"; the models are " +
                         ModelCatalog::NamesText());
    } else if (option == "--trials") {
      // The trial log numbers trials with 32 bits.
      s.Trials = ParseCount(option, value(), 1, std::numeric_limits<std::int32_t>::max());
    } else if (option == "--minutes") {
      const std::string& text = value();
      s.Minutes = ParseNumber(option, text);
      if (*s.Minutes <= 0) throw UsageError("--minutes must be greater than 0, not " + text);
    } else if (option == "--population") {
      s.Population = static_cast<int>(ParseCount(option, value(), 2, 100000));
      s.PopulationGiven = true;
    } else if (option == "--seed") {
      s.Seed = static_cast<unsigned long>(ParseCount(option, value(), 0));
    } else if (option == "--efficient-frontier") {
      s.EfficientFrontier = ParseValueList(option, value());
    } else if (option == "--no-watcher") {
      s.NoWatcher = true;
    } else if (option == "--script") {
      s.ScriptPath = ParsePath(option, value());
      try {
        UserScript::Load(s.ScriptPath);  // a malformed script is bad input, found before the run
      } catch (const ScriptError& e) {
        throw UsageError(std::string("--script: ") + e.what());
      }
    } else if (option == "--frontier-chart") {
      s.FrontierChartPath = ParsePath(option, value());
    } else if (option == "--progress-graph") {
      s.ProgressGraphPath = ParsePath(option, value());
    } else if (option == "--trial-log") {
      s.TrialLogPath = ParsePath(option, value());
    } else if (option == "--keep-log") {
      s.KeepLog = true;
    } else if (option == "--reports") {
      s.ReportsPath = ParsePath(option, value());
    } else if (option == "--overwrite") {
      s.Overwrite = true;
    } else if (option == "--workbook") {
      s.WorkbookPath = ParsePath(option, value());
    } else if (option == "--save-as") {
      s.SaveAsPath = ParsePath(option, value());
    } else if (option == "--workers") {
      // 0: one per core.
      s.Workers = static_cast<int>(ParseCount(option, value(), 0, GD_MAX_WORKERS));
      if (s.Workers == 0)
        s.Workers = std::clamp<int>(static_cast<int>(std::thread::hardware_concurrency()), 1, GD_MAX_WORKERS);
    } else if (option == "--recalc-ms") {
      const std::string& text = value();
      s.RecalcMs = ParseNumber(option, text);
      if (!(s.RecalcMs >= 0 && s.RecalcMs <= 60000))
        throw UsageError("--recalc-ms must be between 0 and 60000, not " + text);
    } else if (option == "--no-end-options") {
      s.ShowEndOptions = false;
    } else if (option == "--constraint-solver") {
      s.ConstraintSolver = true;
    } else {
      throw UsageError("unknown option \"" + option + "\"");
    }
    if (inlineValue && !valueTaken) throw UsageError(option + " takes no value");
  }
  if (s.NoWatcher && !s.ScriptPath.empty()) throw UsageError("--script needs the Watcher; drop --no-watcher");
  if (!s.SaveAsPath.empty() && s.WorkbookPath.empty()) throw UsageError("--save-as needs --workbook");
  if (s.ConstraintSolver && !s.EfficientFrontier.empty())
    throw UsageError(
        "--constraint-solver: a series optimizes each value; drop --constraint-solver or "
        "--efficient-frontier");
  if (!s.EfficientFrontier.empty() && s.WorkbookPath.empty() && !ModelCatalog::SupportsSeries(s.ModelName))
    throw UsageError("--efficient-frontier: the model \"" + s.ModelName + "\" has no constraint to vary");
  // A workbook may name its own goal; it is read with the workbook.
  if (!s.Trials && !s.Minutes && s.WorkbookPath.empty()) s.Trials = RunSettings::kDefaultTrials;
  return result;
}

std::string CommandLine::UsageText() {
  return "Usage: corvana-addin run [options]\n"
         "\n"
         "Runs a genetic-algorithm optimization of a built-in model, watched by the Corvana Watcher,\n"
         "and writes the result as JSON on standard output.\n"
         "\n"
         "Options:\n"
         "  --model NAME                 " +
         ModelCatalog::NamesText() +
         " (default portfolio)\n"
         "  --trials N                   stop after N trials (default 2000 when no goal is given)\n"
         "  --minutes M                  stop after M minutes\n"
         "  --population N               population size (default 50)\n"
         "  --seed N                     the engine's random seed (default 1)\n"
         "  --efficient-frontier V1,V2   one optimization per value of the first constraint's bound\n"
         "  --no-watcher                 optimize without the Watcher\n"
         "  --script FILE                act as a user through the Watcher's automation interface\n"
         "  --progress-graph FILE        picture of the progress graph, saved by the Watcher at the end\n"
         "  --frontier-chart FILE        a series: a chart of the frontier (SVG) at the end\n"
         "  --trial-log FILE             where the trial log is written (default: a new file, removed\n"
         "                               at the end of the run)\n"
         "  --keep-log                   keep the default trial log after the run\n"
         "  --workers N                  evaluate trials in N worker processes (default 1: in the\n"
         "                               add-in itself; 0: one per core)\n"
         "  --recalc-ms MS               make each recalculation of a built-in model cost MS ms of\n"
         "                               CPU time, as a spreadsheet's would\n"
         "  --no-end-options             do not ask which solution to keep at the end\n"
         "  --constraint-solver          search only for a solution that meets every hard constraint;\n"
         "                               the run ends when it finds one\n"
         "  --reports FILE               the workbook of the reports chosen at the end (default:\n"
         "                               <run>.xlsx in the current folder)\n"
         "  --overwrite                  the reports may replace existing files\n"
         "  --workbook FILE              optimize a LibreOffice Calc workbook (.ods, .xlsx) instead\n"
         "  --save-as FILE               save the optimized workbook here, not over itself\n";
}

}  // namespace corvana::addin
