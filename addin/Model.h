#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "addin/Statistics.h"

namespace corvana::addin {

// Solving methods of an adjustable-cell group, numbered as the add-in numbers them.
enum class SolvingMethod : int {
  Recipe = 1,  // each value anywhere in its range
  Order = 2,   // a permutation of the group's starting values
  Budget = 4,  // values in their ranges that keep the group's sum
};

struct Gene {
  std::string Name;
  double Min = 0;
  double Max = 0;
  double Start = 0;  // the original solution, trial 1
};

struct GeneGroup {
  std::string Name;
  SolvingMethod Method = SolvingMethod::Recipe;
  std::vector<Gene> Genes;
};

enum class Comparison { AtMost, AtLeast };

struct Constraint {
  std::string Name;     // short name, as the trial log's header carries it
  std::string Formula;  // the text the user reads, e.g. "5th percentile of return >= -0.08"
  bool Hard = true;
  Comparison Compare = Comparison::AtMost;
  double Bound = 0;
  Statistic Stat = Statistic::Value;
  double PenaltyPerUnit = 1;  // added to the objective's cost per unit of violation
};

// What one trial of a model yields.
struct Evaluation {
  double Objective = 0;                  // the statistic being optimized, without penalties
  double ObjectiveWithPenalties = 0;     // what the engine ranks by
  std::vector<double> ConstraintValues;  // left-hand sides, one per constraint
  std::vector<bool> ConstraintMet;
  std::vector<double> ConstraintPenalties;
  double HardViolation = 0;  // summed penalties of the hard constraints not met
  bool Valid = true;         // every hard constraint met
  // Simulation figures of the objective's quantity; all equal to Objective without simulation.
  double SimMean = 0, SimStdDev = 0, SimMin = 0, SimMax = 0;
  int Iterations = 0;
};

// A spreadsheet model as the add-in sees it: groups of adjustable cells, an objective, constraints
// and, for a random model, the number of iterations each trial simulates.
class Model {
 public:
  virtual ~Model() = default;

  const std::string& Name() const { return m_Name; }
  const std::string& ObjectiveText() const { return m_ObjectiveText; }
  bool Maximize() const { return m_Maximize; }
  Statistic ObjectiveStatistic() const { return m_ObjectiveStatistic; }
  int Iterations() const { return m_Iterations; }
  const std::vector<GeneGroup>& Groups() const { return m_Groups; }
  const std::vector<Constraint>& Constraints() const { return m_Constraints; }
  // The best value published for this problem, when there is one.
  std::optional<double> KnownBest() const { return m_KnownBest; }
  // Number format of the objective cell.
  const std::string& NumberFormat() const { return m_NumberFormat; }

  std::size_t GeneCount() const;
  std::vector<std::string> GeneNames() const;
  std::vector<double> StartValues() const;

  // Scores one solution (genes in group order). Deterministic: a random model simulates with the
  // same streams for every trial, so two solutions are compared on equal terms.
  Evaluation Evaluate(std::span<const double> genes) const;

  // The efficient-frontier constraint is the first constraint; a series moves its bound.
  void SetFirstConstraintBound(double bound);
  // Each evaluation spends this much CPU time, as a spreadsheet's recalculation would.
  void SetRecalculationCost(double milliseconds) { m_RecalcMs = milliseconds; }

 protected:
  struct Outcome {
    double Objective = 0;
    std::vector<double> ConstraintValues;
    double SimMean = 0, SimStdDev = 0, SimMin = 0, SimMax = 0;
  };
  virtual Outcome Compute(std::span<const double> genes) const = 0;

  std::string m_Name;
  std::string m_ObjectiveText;
  bool m_Maximize = false;
  Statistic m_ObjectiveStatistic = Statistic::Value;
  int m_Iterations = 0;
  std::vector<GeneGroup> m_Groups;
  std::vector<Constraint> m_Constraints;
  std::optional<double> m_KnownBest;
  std::string m_NumberFormat = "General";
  double m_RecalcMs = 0;
};

}  // namespace corvana::addin
