#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "addin/Model.h"

namespace corvana::addin {

// One asset of the portfolio: its yearly return is Alpha + Beta * market + Sigma * noise.
struct PortfolioAsset {
  const char* Name;
  double Alpha;  // return beyond the market's share
  double Beta;   // exposure to the market
  double Sigma;  // asset-specific volatility
};
inline constexpr std::array<PortfolioAsset, 8> kPortfolioAssets = {{
    {"Treasury bills", 0.030, 0.00, 0.005},
    {"Government bonds", 0.025, 0.15, 0.04},
    {"Corporate bonds", 0.030, 0.25, 0.06},
    {"Large caps", 0.005, 1.00, 0.08},
    {"Small caps", 0.010, 1.30, 0.15},
    {"Emerging markets", 0.020, 1.40, 0.22},
    {"Real estate", 0.015, 0.70, 0.12},
    {"Commodities", 0.030, 0.30, 0.20},
}};
inline constexpr double kPortfolioMarketMean = 0.06;
inline constexpr double kPortfolioMarketSigma = 0.16;

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
