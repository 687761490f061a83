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
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/sheet/SolverConstraint.hpp>
#include <com/sun/star/sheet/SolverConstraintOperator.hpp>
#include <com/sun/star/sheet/XCalculatable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSolver.hpp>
#include <com/sun/star/table/CellAddress.hpp>
#include <com/sun/star/table/XCell.hpp>
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

namespace {

using namespace css;
using namespace corvana::addin;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using rtl::OUString;

constexpr double kFeasibleSlack = -1e-6;  // a constraint cell at least this is met

struct Problem {
  std::string Name;
  double Optimum = 0;
  std::vector<double> Published;  // the solution that reaches it
  fs::path Workbook;
};

// The LibreOffice solvers, by the implementation names the extension registers
// (/usr/lib/libreoffice/share/extensions/nlpsolver/components.rdb).
struct PeerSolver {
  const char* Label;
  const char* Implementation;
};
constexpr PeerSolver kSolvers[] = {
    {"DEPS", "com.sun.star.comp.Calc.NLPSolver.DEPSSolverImpl"},
    {"SCO", "com.sun.star.comp.Calc.NLPSolver.SCOSolverImpl"},
};

struct Options {
  int Repeats = 1;
  std::vector<std::string> Problems = {"spring", "speed-reducer", "pressure-vessel"};
  std::vector<std::string> Solvers = {"DEPS", "SCO"};
  // The solvers' own settings; 0 keeps the solver's default (swarm 70, 2000 learning cycles,
  // stagnation limit 70, tolerance 1e-6).
  int Swarm = 0;
  int Cycles = 0;
  int Stagnation = 0;
  double Tolerance = 0;
};

// A solution as the workbook sees it.
struct Check {
  bool Valid = false;  // every result cell holds a number
  double Objective = 0;
  bool Feasible = false;
  double WorstSlack = 0;
};

struct Outcome {
  bool Ran = false;
  std::string Error;
  double Seconds = 0;
  long Trials = -1;  // ours only
  Check Result;
};

// ---------------------------------------------------------------------------------------------
// The workbooks this program writes: the built-in models in the defined-name format, the limits
// as slack cells scaled as the built-in models weigh them (addin/*Model.cpp), rounded genes
// rounded by formulas.

void WriteSpeedReducer(WorkbookWriter& w, const fs::path& path) {
  w.NewWorkbook({"Reducer"});
  w.Set("Reducer.A1", "Speed reducer (Golinski 1973): the lightest gear box");
  w.Set("Reducer.A3", "Dimension");
  w.Set("Reducer.B3", "Value");
  w.Set("Reducer.C3", "Lower");
  w.Set("Reducer.D3", "Upper");
  const std::vector<std::pair<const char*, std::vector<double>>> genes = {
      {"Face width x1", {3.0, 2.6, 3.6}},      {"Tooth module x2", {0.75, 0.7, 0.8}},
      {"Pinion teeth x3", {22, 17, 28}},       {"Shaft 1 length x4", {8.0, 7.3, 8.3}},
      {"Shaft 2 length x5", {8.0, 7.3, 8.3}},  {"Shaft 1 diameter x6", {3.4, 2.9, 3.9}},
      {"Shaft 2 diameter x7", {5.2, 5.0, 5.5}}};
  for (std::size_t i = 0; i < genes.size(); ++i) {
    const std::string row = std::to_string(4 + i);
    w.Set("Reducer.A" + row, genes[i].first);
    w.SetNumbers("Reducer.B" + row, {genes[i].second});
  }
  w.Set("Reducer.A12", "Pinion teeth, whole");
  w.Set("Reducer.B12", "=ROUND(B6;0)");
  w.Set("Reducer.A14", "Weight");
  w.Set("Reducer.B14",
        "=0.7854*B4*B5^2*(3.3333*B12^2+14.9334*B12-43.0934)-1.508*B4*(B9^2+B10^2)+7.4777*(B9^3+B10^3)"
        "+0.7854*(B7*B9^2+B8*B10^2)");
  w.Set("Reducer.A15", "Goal");
  w.Set("Reducer.B15", "min");
  w.Set("Reducer.A17", "Limit");
  w.Set("Reducer.B17", "Slack (x 100000)");
  const std::vector<std::pair<const char*, const char*>> limits = {
      {"Bending_Stress", "27/(B4*B5^2*B12)"},
      {"Contact_Stress", "397.5/(B4*B5^2*B12^2)"},
      {"Shaft1_Deflection", "1.93*B7^3/(B5*B12*B9^4)"},
      {"Shaft2_Deflection", "1.93*B8^3/(B5*B12*B10^4)"},
      {"Shaft1_Stress", "SQRT((745*B7/(B5*B12))^2+16900000)/(110*B9^3)"},
      {"Shaft2_Stress", "SQRT((745*B8/(B5*B12))^2+157500000)/(85*B10^3)"},
      {"Gear_Size", "B5*B12/40"},
      {"Width_Min", "5*B5/B4"},
      {"Width_Max", "B4/(12*B5)"},
      {"Shaft1_Design", "(1.5*B9+1.9)/B7"},
      {"Shaft2_Design", "(1.1*B10+1.9)/B8"}};
  for (std::size_t i = 0; i < limits.size(); ++i) {
    const std::string row = std::to_string(18 + i);
    w.Set("Reducer.A" + row, limits[i].first);
    w.Set("Reducer.B" + row, std::string("=100000*(1-") + limits[i].second + ")");
  }
  w.Name("Corvana_Adjustable", "$Reducer.$B$4:$B$10");
  w.Name("Corvana_Lower", "$Reducer.$C$4:$C$10");
  w.Name("Corvana_Upper", "$Reducer.$D$4:$D$10");
  w.Name("Corvana_Objective", "$Reducer.$B$14");
  w.Name("Corvana_Goal", "$Reducer.$B$15");
  w.Name("Corvana_Constraints", "$Reducer.$B$18:$B$28");
  w.Name("Corvana_ConstraintNames", "$Reducer.$A$18:$A$28");
  w.Save(path);
}

void WritePressureVessel(WorkbookWriter& w, const fs::path& path) {
  constexpr double step = 0.0625;  // plates come in steps of 1/16 inch
  w.NewWorkbook({"Vessel"});
  w.Set("Vessel.A1", "Pressure vessel (Sandgren 1990): the cheapest vessel of 1296000 cubic inches");
  w.Set("Vessel.A3", "Dimension");
  w.Set("Vessel.B3", "Value");
  w.Set("Vessel.C3", "Lower");
  w.Set("Vessel.D3", "Upper");
  w.Set("Vessel.A4", "Shell thickness Ts");
  w.SetNumbers("Vessel.B4", {{1.5, step, 99 * step}});
  w.Set("Vessel.A5", "Head thickness Th");
  w.SetNumbers("Vessel.B5", {{1.0, step, 99 * step}});
  w.Set("Vessel.A6", "Inner radius R");
  w.SetNumbers("Vessel.B6", {{60, 10, 200}});
  w.Set("Vessel.A7", "Length L");
  w.SetNumbers("Vessel.B7", {{100, 10, 200}});
  w.Set("Vessel.A9", "Shell plate, in 1/16 inch");
  w.Set("Vessel.B9", "=MAX(1;ROUND(B4/0.0625;0))*0.0625");
  w.Set("Vessel.A10", "Head plate, in 1/16 inch");
  w.Set("Vessel.B10", "=MAX(1;ROUND(B5/0.0625;0))*0.0625");
  w.Set("Vessel.A12", "Cost");
  w.Set("Vessel.B12", "=0.6224*B9*B6*B7+1.7781*B10*B6^2+3.1661*B9^2*B7+19.84*B9^2*B6");
  w.Set("Vessel.A13", "Goal");
  w.Set("Vessel.B13", "min");
  w.Set("Vessel.A15", "Limit");
  w.Set("Vessel.B15", "Slack");
  w.Set("Vessel.A16", "Shell_Thickness");
  w.Set("Vessel.B16", "=100000*(B9-0.0193*B6)");
  w.Set("Vessel.A17", "Head_Thickness");
  w.Set("Vessel.B17", "=100000*(B10-0.00954*B6)");
  w.Set("Vessel.A18", "Volume");
  w.Set("Vessel.B18", "=PI()*B6^2*B7+4/3*PI()*B6^3-1296000");
  w.Set("Vessel.A19", "Length");
  w.Set("Vessel.B19", "=1000*(240-B7)");
  w.Name("Corvana_Adjustable", "$Vessel.$B$4:$B$7");
  w.Name("Corvana_Lower", "$Vessel.$C$4:$C$7");
  w.Name("Corvana_Upper", "$Vessel.$D$4:$D$7");
  w.Name("Corvana_Objective", "$Vessel.$B$12");
  w.Name("Corvana_Goal", "$Vessel.$B$13");
  w.Name("Corvana_Constraints", "$Vessel.$B$16:$B$19");
  w.Name("Corvana_ConstraintNames", "$Vessel.$A$16:$A$19");
  w.Save(path);
}

// ---------------------------------------------------------------------------------------------
// One workbook open in the private office: the LibreOffice solvers run on it, and every solution
// is checked in it.

class PeerOffice {
 public:
  PeerOffice(WorkbookSession& session, const fs::path& path)
      : m_Session(session),
        m_Document(session.Open(path)),
        m_Definition(WorkbookDefinition::Read(m_Document)) {
    for (const auto& group : m_Definition.Groups)
      for (const auto& gene : group.Genes) m_Start.push_back(gene.Start);
  }

  const std::vector<double>& Start() const { return m_Start; }

  void Write(const std::vector<double>& genes) {
    std::size_t next = 0;
    for (const auto& a : m_Definition.Adjustable) {
      uno::Sequence<uno::Sequence<uno::Any>> rows(a.EndRow - a.StartRow + 1);
      for (auto& row : rows) {
        row.realloc(a.EndColumn - a.StartColumn + 1);
        for (auto& value : row) value <<= genes.at(next++);
      }
      uno::Reference<sheet::XCellRangeData>(WorkbookDefinition::Range(m_Document, a), uno::UNO_QUERY_THROW)
          ->setDataArray(rows);
    }
  }

  Check Evaluate(const std::vector<double>& genes) {
    Write(genes);
    uno::Reference<sheet::XCalculatable>(m_Document, uno::UNO_QUERY_THROW)->calculateAll();
    Check c;
    c.Valid = true;
    double value = 0;
    c.Valid = Read(m_Definition.Objective, value);
    c.Objective = value;
    c.WorstSlack = INFINITY;
    for (std::size_t i = 0; i < m_Definition.Constraints.size(); ++i) {
      if (!Read(m_Definition.Constraints[i], value)) {
        c.Valid = false;
        continue;
      }
      // A logical constraint must be TRUE (1); a number must not be negative.
      const double slack = m_Definition.Logical[i] ? (value != 0 ? 0 : -1) : value;
      c.WorstSlack = std::min(c.WorstSlack, slack);
    }
    c.Feasible = c.Valid && c.WorstSlack >= kFeasibleSlack;
    return c;
  }

  Outcome Solve(const PeerSolver& peer, const Options& options) {
    Outcome out;
    try {
      Write(m_Start);  // each solver starts where the workbook does
      const auto context = m_Session.Context();
      uno::Reference<sheet::XSolver> solver(context->getServiceManager()->createInstanceWithContext(
                                                OUString::createFromAscii(peer.Implementation), context),
                                            uno::UNO_QUERY);
      if (!solver.is()) {
        out.Error = std::string(peer.Implementation) + " is not installed (package libreoffice-nlpsolver)";
        return out;
      }
      solver->setDocument(m_Document);
      solver->setObjective(Address(m_Definition.Objective.Address));
      std::vector<table::CellAddress> variables;
      std::vector<sheet::SolverConstraint> constraints;
      std::size_t gene = 0;
      std::vector<const Gene*> genes;
      for (const auto& group : m_Definition.Groups)
        for (const auto& g : group.Genes) genes.push_back(&g);
      for (const auto& a : m_Definition.Adjustable)
        for (sal_Int32 r = a.StartRow; r <= a.EndRow; ++r)
          for (sal_Int32 col = a.StartColumn; col <= a.EndColumn; ++col) {
            const table::CellAddress cell(a.Sheet, col, r);
            variables.push_back(cell);
            // The bounds, as a Calc user gives them to these solvers: constraints on the cells.
            constraints.push_back(
                {cell, sheet::SolverConstraintOperator_GREATER_EQUAL, uno::Any(genes.at(gene)->Min)});
            constraints.push_back(
                {cell, sheet::SolverConstraintOperator_LESS_EQUAL, uno::Any(genes.at(gene)->Max)});
            ++gene;
          }
      for (std::size_t i = 0; i < m_Definition.Constraints.size(); ++i) {
        const auto cell = Address(m_Definition.Constraints[i].Address);
        if (m_Definition.Logical[i])
          constraints.push_back({cell, sheet::SolverConstraintOperator_EQUAL, uno::Any(1.0)});
        else
          constraints.push_back({cell, sheet::SolverConstraintOperator_GREATER_EQUAL, uno::Any(0.0)});
      }
      solver->setVariables(uno::Sequence<table::CellAddress>(variables.data(), sal_Int32(variables.size())));
      solver->setConstraints(
          uno::Sequence<sheet::SolverConstraint>(constraints.data(), sal_Int32(constraints.size())));
      solver->setMaximize(m_Definition.Maximize);
      uno::Reference<beans::XPropertySet> props(solver, uno::UNO_QUERY_THROW);
      // No status dialog: the office is headless and nobody is there to close it.
      props->setPropertyValue("EnhancedSolverStatus", uno::Any(false));
      if (options.Swarm > 0) props->setPropertyValue("SwarmSize", uno::Any(sal_Int32(options.Swarm)));
      if (options.Cycles > 0) props->setPropertyValue("LearningCycles", uno::Any(sal_Int32(options.Cycles)));
      if (options.Stagnation > 0)
        props->setPropertyValue("StagnationLimit", uno::Any(sal_Int32(options.Stagnation)));
      if (options.Tolerance > 0) props->setPropertyValue("Tolerance", uno::Any(options.Tolerance));
      const auto start = Clock::now();
      solver->solve();
      out.Seconds = std::chrono::duration<double>(Clock::now() - start).count();
      const auto solution = solver->getSolution();
      std::vector<double> values(solution.begin(), solution.end());
      if (values.size() != m_Start.size()) {
        out.Error = "no solution (success " + std::string(solver->getSuccess() ? "true" : "false") + ")";
        return out;
      }
      out.Ran = true;
      out.Result = Evaluate(values);
    } catch (const uno::Exception& e) {
      out.Error = e.Message.toUtf8().getStr();
    }
    return out;
  }

 private:
  static table::CellAddress Address(const table::CellRangeAddress& a) {
    return table::CellAddress(a.Sheet, a.StartColumn, a.StartRow);
  }

  bool Read(const WorkbookDefinition::Cell& cell, double& value) {
    const auto c = WorkbookDefinition::Range(m_Document, cell.Address)->getCellByPosition(0, 0);
    if (c->getError() != 0) return false;
    value = c->getValue();
    return std::isfinite(value);
  }

  WorkbookSession& m_Session;
  uno::Reference<sheet::XSpreadsheetDocument> m_Document;
  WorkbookDefinition m_Definition;
  std::vector<double> m_Start;
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
      o.Swarm = std::stoi(value());
    else if (arg == "--cycles")
      o.Cycles = std::stoi(value());
    else if (arg == "--stagnation")
      o.Stagnation = std::stoi(value());
    else if (arg == "--tolerance")
      o.Tolerance = std::stod(value());
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
        Row row{p.Name, s->Label, p.Optimum, r + 1, office.Solve(*s, options), {}};
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
            << (options.Swarm ? "swarm " + std::to_string(options.Swarm) : "swarm default (70)") << ", "
            << (options.Cycles ? "learning cycles " + std::to_string(options.Cycles)
                               : "learning cycles default (2000)")
            << ", "
            << (options.Stagnation ? "stagnation limit " + std::to_string(options.Stagnation)
                                   : "stagnation limit default (70)")
            << ", "
            << (options.Tolerance > 0 ? "tolerance " + Figure(options.Tolerance) : "tolerance default (1e-6)")
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
