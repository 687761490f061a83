#include "addin/PortfolioModel.h"

#include <algorithm>
#include <array>
#include <random>
#include <stdexcept>

namespace corvana::addin {

namespace {
constexpr const auto& kAssets = kPortfolioAssets;
constexpr double kMarketMean = kPortfolioMarketMean;
constexpr double kMarketSigma = kPortfolioMarketSigma;
}  // namespace

PortfolioModel::PortfolioModel(int iterations, std::uint64_t seed) {
  if (iterations < 2) throw std::invalid_argument("the portfolio model needs at least 2 iterations");
  m_Name = "portfolio";
  m_ObjectiveText = "Maximize the mean of the portfolio's yearly return";
  m_Maximize = true;
  m_ObjectiveStatistic = Statistic::Mean;
  m_Iterations = iterations;
  m_NumberFormat = "0.00%";
  m_AssetCount = kAssets.size();

  GeneGroup weights{"Asset weights", SolvingMethod::Budget, {}};
  for (const PortfolioAsset& a : kAssets)
    weights.Genes.push_back({a.Name, 0.0, 0.4, 1.0 / static_cast<double>(kAssets.size())});
  m_Groups.push_back(std::move(weights));

  m_Constraints.push_back({"Return_P5", "5th percentile of the return >= -12%", true, Comparison::AtLeast,
                           -0.12, Statistic::Percentile, 10});
  m_Constraints.push_back({"Loss_Probability", "Probability of a loss <= 20%", false, Comparison::AtMost,
                           0.20, Statistic::Probability, 1});

  // One set of scenarios for the whole run: every trial sees the same market years.
  std::mt19937_64 random(seed);
  std::normal_distribution<double> normal;
  m_Scenarios.resize(static_cast<std::size_t>(iterations) * m_AssetCount);
  for (int i = 0; i < iterations; ++i) {
    const double market = kMarketMean + kMarketSigma * normal(random);
    for (std::size_t a = 0; a < m_AssetCount; ++a)
      m_Scenarios[i * m_AssetCount + a] =
          kAssets[a].Alpha + kAssets[a].Beta * market + kAssets[a].Sigma * normal(random);
  }
}

Model::Outcome PortfolioModel::Compute(std::span<const double> genes) const {
  std::vector<double> returns(static_cast<std::size_t>(m_Iterations));
  for (std::size_t i = 0; i < returns.size(); ++i) {
    double r = 0;
    for (std::size_t a = 0; a < m_AssetCount; ++a) r += genes[a] * m_Scenarios[i * m_AssetCount + a];
    returns[i] = r;
  }
  Outcome o;
  o.Objective = Mean(returns);
  o.SimMean = o.Objective;
  o.SimStdDev = StandardDeviation(returns);
  const auto [low, high] = std::minmax_element(returns.begin(), returns.end());
  o.SimMin = *low;
  o.SimMax = *high;
  o.ConstraintValues = {Percentile(returns, 0.05), ProbabilityAtMost(returns, 0.0)};
  return o;
}

}  // namespace corvana::addin
