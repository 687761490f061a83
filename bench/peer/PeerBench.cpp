// Side by side with LibreOffice's own solvers: the DEPS and SCO evolutionary solvers that the
// package libreoffice-nlpsolver brings to Calc, and our optimizer (corvana-addin run --workbook),
// on the same workbooks in the same wall time.
//
// For each problem and repeat: a LibreOffice solver runs through com.sun.star.sheet.XSolver in a
// private headless office, on the workbook's own cells (objective, adjustable cells with their
// bounds as constraints, each constraint cell >= 0); its solve() is timed. Then corvana-addin runs
// on a copy of the same workbook with --minutes set to that wall time. Both best solutions are
// written back into the workbook and checked here, in the same office: the objective cell's value
// and whether every constraint cell is >= -1e-6 (feasible). Problems: the spring of
// examples/spring.ods, and a speed reducer and a pressure vessel this program writes in the
// defined-name format, each checked first against its published optimum.
#include <stdlib.h>
#include <unistd.h>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "addin/workbook/ExampleWorkbooks.h"
#include "addin/workbook/WorkbookDefinition.h"
#include "addin/workbook/WorkbookError.h"
#include "addin/workbook/WorkbookSession.h"
#include "addin/workbook/WorkbookWriter.h"
#include "bench/peer/PeerOffice.h"
#include "bench/peer/PeerProblems.h"

namespace {

using namespace css;
using namespace corvana::addin;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace corvana::peer;

struct Options {
  int Repeats = 1;
  std::vector<std::string> Problems = {"spring", "speed-reducer", "pressure-vessel"};
  std::vector<std::string> Solvers = {"DEPS", "SCO"};
  SolverSettings Settings;
};

// ---------------------------------------------------------------------------------------------
// Our optimizer: corvana-addin beside this program, on its own copy of the workbook.

fs::path Addin() {
  return fs::read_symlink("/proc/self/exe").parent_path() / "corvana-addin";
}

std::string Quoted(const fs::path& p) {
  return "'" + p.string() + "'";
}

Outcome RunOurs(const fs::path& workbook, const fs::path& folder, double seconds, unsigned long seed,
                PeerOffice& office) {
  Outcome out;
  const fs::path copy = folder / ("ours-" + workbook.filename().string());
  fs::copy_file(workbook, copy, fs::copy_options::overwrite_existing);
  const fs::path result = folder / "ours.json", errors = folder / "ours.err";
  char minutes[32];
  std::snprintf(minutes, sizeof minutes, "%.6f", seconds / 60);
  const std::string command = Quoted(Addin()) + " run --workbook " + Quoted(copy) + " --save-as " +
                              Quoted(folder / "ours-solved.ods") +
                              " --no-watcher --no-end-options --minutes " + minutes + " --seed " +
                              std::to_string(seed) + " >" + Quoted(result) + " 2>" + Quoted(errors);
  const int status = std::system(command.c_str());
  std::ifstream in(result, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
  const QJsonArray optimizations = json.value("optimizations").toArray();
  if (status != 0 || optimizations.isEmpty()) {
    std::ifstream err(errors);
    std::string line, last;
    while (std::getline(err, line))
      if (!line.empty()) last = line;
    out.Error = "corvana-addin failed (status " + std::to_string(status) + "): " + last;
    return out;
  }
  const QJsonObject o = optimizations.first().toObject();
  out.Seconds = json.value("elapsed_seconds").toDouble();
  out.Trials = json.value("trials").toInteger();
  std::vector<double> best;
  for (const auto v : o.value("best_solution").toArray()) best.push_back(v.toDouble());
  if (best.empty()) {
    out.Error = "no best solution";
    return out;
  }
  out.Ran = true;
  out.Result = office.Evaluate(best);
  return out;
}

// ---------------------------------------------------------------------------------------------

std::string Figure(double value, const char* format = "%.8g") {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

std::string Gap(const Outcome& o, double optimum) {
  if (!o.Ran || !o.Result.Valid) return "";
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%+.3g%%", 100 * (o.Result.Objective - optimum) / std::fabs(optimum));
  return buffer;
}

std::string Best(const Outcome& o) {
  if (!o.Ran) return "failed: " + o.Error;
  if (!o.Result.Valid) return "formula error";
  if (!o.Result.Feasible)
    return Figure(o.Result.Objective) + " (infeasible, slack " + Figure(o.Result.WorstSlack, "%.2g") + ")";
  // A feasible solution that breaks a limit by less than the tolerance says by how much.
  return Figure(o.Result.Objective) +
         (o.Result.WorstSlack < 0 ? " (slack " + Figure(o.Result.WorstSlack, "%.2g") + ")" : "");
}

// The problems here all minimize: feasible beats infeasible, then the lower objective.
int Compare(const Outcome& ours, const Outcome& peer) {
  auto rank = [](const Outcome& o) { return o.Ran && o.Result.Valid ? (o.Result.Feasible ? 2 : 1) : 0; };
  if (rank(ours) != rank(peer)) return rank(ours) > rank(peer) ? 1 : -1;
  if (rank(ours) == 0) return 0;
  const double tie = 1e-7 * std::max(1.0, std::fabs(peer.Result.Objective));
  if (std::fabs(ours.Result.Objective - peer.Result.Objective) <= tie) return 0;
  return ours.Result.Objective < peer.Result.Objective ? 1 : -1;
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  for (std::string part; std::getline(in, part, ',');)
    if (!part.empty()) parts.push_back(part);
  return parts;
}

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw std::runtime_error(arg + " needs a value");
      return argv[++i];
    };
    if (arg == "--repeats")
      o.Repeats = std::stoi(value());
    else if (arg == "--problems")
      o.Problems = Split(value());
    else if (arg == "--solvers")
      o.Solvers = Split(value());
    else if (arg == "--swarm")
      o.Settings.Swarm = std::stoi(value());
    else if (arg == "--cycles")
      o.Settings.Cycles = std::stoi(value());
    else if (arg == "--stagnation")
      o.Settings.Stagnation = std::stoi(value());
    else if (arg == "--tolerance")
      o.Settings.Tolerance = std::stod(value());
    else if (arg == "--help" || arg == "-h") {
      std::cout
          << "peer_bench [--repeats N] [--problems spring,speed-reducer,pressure-vessel] "
             "[--solvers DEPS,SCO]\n           [--swarm N] [--cycles N] [--stagnation N] [--tolerance X]\n"
             "The solver settings left out keep the LibreOffice solvers' defaults.\n";
      std::exit(0);
    } else {
      throw std::runtime_error("unknown option " + arg);
    }
  }
  return o;
}

int Main(int argc, char** argv) {
  const Options options = Parse(argc, argv);
  char pattern[] = "/tmp/corvana-peer.XXXXXX";
  if (!mkdtemp(pattern)) throw std::runtime_error("no temporary folder");
  const fs::path folder = pattern;
  struct Cleanup {
    fs::path Folder;
    ~Cleanup() {
      std::error_code ec;
      fs::remove_all(Folder, ec);
    }
  } cleanup{folder};

  std::map<std::string, Problem> all = {
      {"spring", {"spring", 0.0126652, {0.051690, 0.356750, 11.287126}, folder / "spring.ods"}},
      {"speed-reducer",
       {"speed-reducer",
        2994.4710661,
        {3.5, 0.7, 17, 7.3, 7.7153199, 3.3502147, 5.2866545},
        folder / "speed-reducer.ods"}},
      {"pressure-vessel",
       {"pressure-vessel",
        6059.714335,
        {0.8125, 0.4375, 42.0984456, 176.6365958},
        folder / "pressure-vessel.ods"}},
  };
  std::vector<Problem> problems;
  for (const auto& name : options.Problems) {
    if (!all.count(name)) throw std::runtime_error("unknown problem " + name);
    problems.push_back(all.at(name));
  }
  std::vector<const PeerSolver*> solvers;
  for (const auto& name : options.Solvers) {
    auto it = std::find_if(std::begin(kSolvers), std::end(kSolvers),
                           [&](const auto& s) { return name == s.Label; });
    if (it == std::end(kSolvers)) throw std::runtime_error("unknown solver " + name);
    solvers.push_back(&*it);
  }

  std::cerr << "peer_bench: writing the workbooks\n";
  {
    WorkbookWriter writer;
    for (const auto& p : problems) {
      if (p.Name == "spring") fs::copy_file(fs::path(CORVANA_EXAMPLES_DIR) / "spring.ods", p.Workbook);
      if (p.Name == "speed-reducer") WriteSpeedReducer(writer, p.Workbook);
      if (p.Name == "pressure-vessel") WritePressureVessel(writer, p.Workbook);
    }
  }

  WorkbookSession session;
  struct Row {
    std::string Problem, Solver;
    double Optimum;
    int Repeat;
    Outcome Peer, Ours;
  };
  std::vector<Row> rows;
  for (const auto& p : problems) {
    PeerOffice office(session, p.Workbook);
    // The workbook is the model it claims to be: its objective at the published solution is the
    // published optimum, to the digits the solution is published with.
    const Check known = office.Evaluate(p.Published);
    if (!known.Valid || std::fabs(known.Objective - p.Optimum) > 1e-4 * p.Optimum) {
      std::cerr << "peer_bench: " << p.Name << ": the workbook gives " << Figure(known.Objective)
                << " at the published solution, not " << Figure(p.Optimum) << "\n";
      return 1;
    }
    for (int r = 0; r < options.Repeats; ++r)
      for (std::size_t k = 0; k < solvers.size(); ++k) {
        const PeerSolver* s = solvers[k];
        // Each pair its own seed: one seed would repeat one run, only cut at another time.
        const auto seed = static_cast<unsigned long>(r * solvers.size() + k + 1);
        std::cerr << "peer_bench: " << p.Name << ", " << s->Label << " (repeat " << r + 1 << ")..."
                  << std::flush;
        Row row{p.Name, s->Label, p.Optimum, r + 1, office.Solve(*s, options.Settings), {}};
        std::cerr << " " << Best(row.Peer) << " in " << Figure(row.Peer.Seconds) << " s; ours..."
                  << std::flush;
        if (row.Peer.Ran)
          row.Ours = RunOurs(p.Workbook, folder, row.Peer.Seconds, seed, office);
        else
          row.Ours.Error = "not run";
        std::cerr << " " << Best(row.Ours) << " in " << Figure(row.Ours.Seconds) << " s\n";
        rows.push_back(std::move(row));
      }
  }

  std::cout
      << "| Problem | Published optimum | LibreOffice solver | Its best | Gap | Wall s | Ours | Gap | Wall s "
         "| Our trials | Ours better? |\n";
  std::cout << "|---|---|---|---|---|---|---|---|---|---|---|\n";
  int wins = 0, ties = 0;
  for (const auto& row : rows) {
    const int c = Compare(row.Ours, row.Peer);
    wins += c > 0;
    ties += c == 0;
    std::cout << "| " << row.Problem << " | " << Figure(row.Optimum) << " | " << row.Solver
              << (options.Repeats > 1 ? " #" + std::to_string(row.Repeat) : "") << " | " << Best(row.Peer)
              << " | " << Gap(row.Peer, row.Optimum) << " | "
              << (row.Peer.Ran ? Figure(row.Peer.Seconds, "%.1f") : "") << " | " << Best(row.Ours) << " | "
              << Gap(row.Ours, row.Optimum) << " | " << (row.Ours.Ran ? Figure(row.Ours.Seconds, "%.1f") : "")
              << " | " << (row.Ours.Trials >= 0 ? std::to_string(row.Ours.Trials) : "") << " | "
              << (c > 0    ? "yes"
                  : c == 0 ? "tie"
                           : "no")
              << " |\n";
  }
  if (options.Repeats > 1) {
    // Per problem and solver: the medians over the repeats, of feasible results only.
    std::cout
        << "\n| Problem | LibreOffice solver | Its median (feasible runs) | Our median (feasible runs) | "
           "Median wall s | Ours better |\n|---|---|---|---|---|---|\n";
    auto median = [](std::vector<double> v, const char* format = "%.8g") -> std::string {
      if (v.empty()) return "-";
      std::sort(v.begin(), v.end());
      const std::size_t n = v.size();
      return Figure(n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2, format);
    };
    for (const auto& p : problems)
      for (const PeerSolver* s : solvers) {
        std::vector<double> peer, ours, seconds;
        int better = 0, n = 0;
        for (const auto& row : rows) {
          if (row.Problem != p.Name || row.Solver != s->Label) continue;
          ++n;
          better += Compare(row.Ours, row.Peer) > 0;
          if (row.Peer.Ran && row.Peer.Result.Feasible) peer.push_back(row.Peer.Result.Objective);
          if (row.Ours.Ran && row.Ours.Result.Feasible) ours.push_back(row.Ours.Result.Objective);
          if (row.Peer.Ran) seconds.push_back(row.Peer.Seconds);
        }
        std::cout << "| " << p.Name << " | " << s->Label << " | " << median(peer) << " (" << peer.size()
                  << "/" << n << ") | " << median(ours) << " (" << ours.size() << "/" << n << ") | "
                  << median(seconds, "%.1f") << " | " << better << " of " << n << " |\n";
      }
  }
  std::cout << "\nOurs better in " << wins << " of " << rows.size() << " pairs, tied in " << ties
            << ". LibreOffice solver settings: "
            << (options.Settings.Swarm ? "swarm " + std::to_string(options.Settings.Swarm)
                                       : "swarm default (70)")
            << ", "
            << (options.Settings.Cycles ? "learning cycles " + std::to_string(options.Settings.Cycles)
                                        : "learning cycles default (2000)")
            << ", "
            << (options.Settings.Stagnation
                    ? "stagnation limit " + std::to_string(options.Settings.Stagnation)
                    : "stagnation limit default (70)")
            << ", "
            << (options.Settings.Tolerance > 0 ? "tolerance " + Figure(options.Settings.Tolerance)
                                               : "tolerance default (1e-6)")
            << "; ours: the workbook's settings (population 50), --minutes = the solver's wall time.\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Main(argc, argv);
  } catch (const WorkbookError& e) {
    std::cerr << "peer_bench: " << e.what() << "\n";
  } catch (const uno::Exception& e) {
    std::cerr << "peer_bench: " << e.Message.toUtf8().getStr() << "\n";
  } catch (const std::exception& e) {
    std::cerr << "peer_bench: " << e.what() << "\n";
  }
  return 1;
}
