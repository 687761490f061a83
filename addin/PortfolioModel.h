#pragma once

#include <cstdint>
#include <vector>

#include "addin/Model.h"

namespace corvana::addin {

// The default model: weights of eight assets with uncertain yearly returns (budget method, the
// weights always sum to 1). Each trial simulates the year's returns and maximizes the mean
// portfolio return, subject to a hard floor on the 5th percentile and a soft cap on the chance
// of a loss.
class PortfolioModel : public Model {
 public:
  explicit PortfolioModel(int iterations = 1000, std::uint64_t seed = 20261205);

 protected:
  Outcome Compute(std::span<const double> genes) const override;

 private:
  std::size_t m_AssetCount = 0;
  std::vector<double> m_Scenarios;  // iteration-major: m_Scenarios[i * assets + a]
};

}  // namespace corvana::addin
