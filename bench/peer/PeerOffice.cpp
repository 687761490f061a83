#include "bench/peer/PeerOffice.h"

#include <algorithm>

namespace corvana::peer {

namespace {

table::CellAddress Address(const table::CellRangeAddress& a) {
  return table::CellAddress(a.Sheet, a.StartColumn, a.StartRow);
}

}  // namespace

PeerOffice::PeerOffice(addin::WorkbookSession& session, const std::filesystem::path& path)
    : m_Session(session),
      m_Document(session.Open(path)),
      m_Definition(addin::WorkbookDefinition::Read(m_Document)) {
  for (const auto& group : m_Definition.Groups)
    for (const auto& gene : group.Genes) m_Start.push_back(gene.Start);
}

void PeerOffice::Write(const std::vector<double>& genes) {
  std::size_t next = 0;
  for (const auto& a : m_Definition.Adjustable) {
    uno::Sequence<uno::Sequence<uno::Any>> rows(a.EndRow - a.StartRow + 1);
    for (auto& row : rows) {
      row.realloc(a.EndColumn - a.StartColumn + 1);
      for (auto& value : row) value <<= genes.at(next++);
    }
    uno::Reference<sheet::XCellRangeData>(addin::WorkbookDefinition::Range(m_Document, a),
                                          uno::UNO_QUERY_THROW)
        ->setDataArray(rows);
  }
}

Check PeerOffice::Evaluate(const std::vector<double>& genes) {
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

Outcome PeerOffice::Solve(const PeerSolver& peer, const SolverSettings& options) {
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
    std::vector<const addin::Gene*> genes;
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

bool PeerOffice::Read(const addin::WorkbookDefinition::Cell& cell, double& value) {
  const auto c = addin::WorkbookDefinition::Range(m_Document, cell.Address)->getCellByPosition(0, 0);
  if (c->getError() != 0) return false;
  value = c->getValue();
  return std::isfinite(value);
}

}  // namespace corvana::peer
