#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "addin/Model.h"

namespace corvana::addin {

// A round trip through generated cities (order method): the genes are the city numbers in the
// order visited, and the objective is the closed tour's length.
class RoutingModel : public Model {
 public:
  explicit RoutingModel(int cityCount = 30, std::uint64_t seed = 20261205);

  const std::vector<std::pair<double, double>>& Cities() const { return m_Cities; }

 protected:
  Outcome Compute(std::span<const double> genes) const override;

 private:
  std::vector<std::pair<double, double>> m_Cities;
};

}  // namespace corvana::addin
