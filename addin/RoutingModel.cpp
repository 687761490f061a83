#include "addin/RoutingModel.h"

#include <cmath>
#include <random>
#include <stdexcept>
#include <string>

namespace corvana::addin {

RoutingModel::RoutingModel(int cityCount, std::uint64_t seed) {
  if (cityCount < 3) throw std::invalid_argument("a tour needs at least 3 cities");
  m_Name = "routing";
  m_ObjectiveText = "Minimize the length of the round trip";
  m_Maximize = false;
  m_NumberFormat = "0.00";
  std::mt19937_64 random(seed);
  std::uniform_real_distribution<double> coordinate(0, 100);
  GeneGroup tour{"Tour", SolvingMethod::Order, {}};
  for (int c = 1; c <= cityCount; ++c) {
    const double x = coordinate(random);
    m_Cities.emplace_back(x, coordinate(random));
    tour.Genes.push_back(
        {"Stop " + std::to_string(c), 1, static_cast<double>(cityCount), static_cast<double>(c)});
  }
  m_Groups.push_back(std::move(tour));
}

Model::Outcome RoutingModel::Compute(std::span<const double> genes) const {
  const auto n = m_Cities.size();
  std::vector<bool> seen(n, false);
  auto city = [&](std::size_t stop) {
    const long number = std::lround(genes[stop]);
    if (number < 1 || number > static_cast<long>(n) || seen[number - 1])
      throw std::invalid_argument("the tour is not a permutation of the cities");
    seen[number - 1] = true;
    return m_Cities[number - 1];
  };
  const auto first = city(0);
  auto previous = first;
  double length = 0;
  for (std::size_t stop = 1; stop < n; ++stop) {
    const auto next = city(stop);
    length += std::hypot(next.first - previous.first, next.second - previous.second);
    previous = next;
  }
  length += std::hypot(first.first - previous.first, first.second - previous.second);
  Outcome o;
  o.Objective = o.SimMean = o.SimMin = o.SimMax = length;
  return o;
}

}  // namespace corvana::addin
