#include "addin/EllipsoidModel.h"

#include <cmath>

namespace corvana::addin {

// The high-conditioned ellipsoid of Hansen and Ostermeier (2001): sum of 10^(6 (i-1)/(n-1)) x_i^2.
EllipsoidModel::EllipsoidModel(int dimension) {
  m_Name = "ellipsoid" + std::to_string(dimension);
  m_ObjectiveText = "Minimize sum of 10^(6 (i-1)/(n-1)) x_i^2";
  m_Maximize = false;
  m_KnownBest = 0;
  m_NumberFormat = "0.000000E+00";
  GeneGroup group{"Point", SolvingMethod::Recipe, {}};
  for (int i = 1; i <= dimension; ++i) group.Genes.push_back({"x" + std::to_string(i), -5, 5, 3});
  m_Groups.push_back(std::move(group));
}

Model::Outcome EllipsoidModel::Compute(std::span<const double> genes) const {
  Outcome o;
  const double last = static_cast<double>(std::max<std::size_t>(genes.size(), 2) - 1);
  for (std::size_t i = 0; i < genes.size(); ++i)
    o.Objective += std::pow(10.0, 6.0 * static_cast<double>(i) / last) * genes[i] * genes[i];
  o.SimMean = o.SimMin = o.SimMax = o.Objective;
  return o;
}

}  // namespace corvana::addin
