#pragma once

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
#include <filesystem>
#include <string>
#include <vector>

#include "addin/workbook/WorkbookDefinition.h"
#include "addin/workbook/WorkbookSession.h"

namespace corvana::peer {

namespace uno = css::uno;
namespace sheet = css::sheet;
namespace table = css::table;
namespace beans = css::beans;
using Clock = std::chrono::steady_clock;
using rtl::OUString;

constexpr double kFeasibleSlack = -1e-6;  // a constraint cell at least this is met

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

// The solvers' own settings; 0 keeps the solver's default (swarm 70, 2000 learning cycles,
// stagnation limit 70, tolerance 1e-6).
struct SolverSettings {
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

// One workbook open in the private office: the LibreOffice solvers run on it, and every solution
// is checked in it.
class PeerOffice {
 public:
  PeerOffice(addin::WorkbookSession& session, const std::filesystem::path& path);

  const std::vector<double>& Start() const { return m_Start; }
  // Writes a solution into the adjustable cells.
  void Write(const std::vector<double>& genes);
  // Writes a solution, recalculates and reads the objective and the constraint cells.
  Check Evaluate(const std::vector<double>& genes);
  // Runs one LibreOffice solver from the workbook's start; its solution checked here.
  Outcome Solve(const PeerSolver& peer, const SolverSettings& options);

 private:
  bool Read(const addin::WorkbookDefinition::Cell& cell, double& value);

  addin::WorkbookSession& m_Session;
  uno::Reference<sheet::XSpreadsheetDocument> m_Document;
  addin::WorkbookDefinition m_Definition;
  std::vector<double> m_Start;
};

}  // namespace corvana::peer
