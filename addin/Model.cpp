#include "addin/Model.h"

#include <time.h>

#include <stdexcept>

namespace corvana::addin {

std::size_t Model::GeneCount() const {
  std::size_t count = 0;
  for (const auto& group : m_Groups) count += group.Genes.size();
  return count;
}

std::vector<std::string> Model::GeneNames() const {
  std::vector<std::string> names;
  for (const auto& group : m_Groups)
    for (const auto& gene : group.Genes) names.push_back(gene.Name);
  return names;
}

std::vector<double> Model::StartValues() const {
  std::vector<double> values;
  for (const auto& group : m_Groups)
    for (const auto& gene : group.Genes) values.push_back(gene.Start);
  return values;
}

Evaluation Model::Evaluate(std::span<const double> genes) const {
  if (genes.size() != GeneCount()) throw std::invalid_argument("wrong number of gene values for " + m_Name);
  if (m_RecalcMs > 0) {
    // CPU time, not wall time: a recalculation occupies a core, and on a busy machine it takes
    // longer than its cost.
    auto cpuMs = [] {
      timespec ts{};
      ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
      return double(ts.tv_sec) * 1000 + double(ts.tv_nsec) / 1e6;
    };
    const double until = cpuMs() + m_RecalcMs;
    while (cpuMs() < until) {
    }
  }
  Outcome outcome = Compute(genes);
  Evaluation e;
  e.Objective = outcome.Objective;
  e.ConstraintValues = std::move(outcome.ConstraintValues);
  e.SimMean = outcome.SimMean;
  e.SimStdDev = outcome.SimStdDev;
  e.SimMin = outcome.SimMin;
  e.SimMax = outcome.SimMax;
  e.Iterations = m_Iterations;
  // Penalties make the objective worse in the direction of the goal, in proportion to the
  // violation, so the engine can climb out of an infeasible region.
  double penalty = 0;
  for (std::size_t i = 0; i < m_Constraints.size(); ++i) {
    const Constraint& c = m_Constraints[i];
    const double lhs = e.ConstraintValues.at(i);
    const double violation = c.Compare == Comparison::AtMost ? lhs - c.Bound : c.Bound - lhs;
    const bool met = violation <= 0;
    e.ConstraintMet.push_back(met);
    e.ConstraintPenalties.push_back(met ? 0.0 : c.PenaltyPerUnit * violation);
    if (met) continue;
    penalty += e.ConstraintPenalties.back();
    if (c.Hard) {
      e.Valid = false;
      e.HardViolation += e.ConstraintPenalties.back();
    }
  }
  e.ObjectiveWithPenalties = m_Maximize ? e.Objective - penalty : e.Objective + penalty;
  return e;
}

void Model::SetFirstConstraintBound(double bound) {
  if (m_Constraints.empty()) throw std::invalid_argument(m_Name + " has no constraint to vary");
  m_Constraints.front().Bound = bound;
}

}  // namespace corvana::addin
