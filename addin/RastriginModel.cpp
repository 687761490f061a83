#include "addin/RastriginModel.h"

#include <cmath>
#include <numbers>

namespace corvana::addin {

// Rastrigin's function in the generalized form of Muehlenbein, Schomisch and Born (1991).
RastriginModel::RastriginModel(int dimension) {
  m_Name = "rastrigin" + std::to_string(dimension);
  m_ObjectiveText = "Minimize 10 n + sum of x^2 - 10 cos(2 pi x)";
  m_Maximize = false;
  m_KnownBest = 0;
  m_NumberFormat = "0.000000E+00";
  GeneGroup group{"Point", SolvingMethod::Recipe, {}};
  for (int i = 1; i <= dimension; ++i) group.Genes.push_back({"x" + std::to_string(i), -5.12, 5.12, 3.5});
  m_Groups.push_back(std::move(group));
}

Model::Outcome RastriginModel::Compute(std::span<const double> genes) const {
  Outcome o;
  o.Objective = 10.0 * static_cast<double>(genes.size());
  for (double x : genes) o.Objective += x * x - 10 * std::cos(2 * std::numbers::pi * x);
  o.SimMean = o.SimMin = o.SimMax = o.Objective;
  return o;
}

}  // namespace corvana::addin
