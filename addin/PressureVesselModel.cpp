#include "addin/PressureVesselModel.h"

#include <cmath>
#include <numbers>

namespace corvana::addin {

namespace {
constexpr double kPlateStep = 0.0625;  // inches
}

// Problem after Sandgren (1990) and Kannan and Kramer (1994), with the thicknesses in steps of
// 1/16 inch. The best value reported is 6059.714335 at Ts = 0.8125, Th = 0.4375,
// R = 42.0984456, L = 176.6365958 (e.g. Cagnina, Esquivel and Coello, Informatica 32, 2008).
PressureVesselModel::PressureVesselModel() {
  m_Name = "pressure-vessel";
  m_ObjectiveText = "Minimize the cost of material, forming and welding";
  m_Maximize = false;
  m_KnownBest = 6059.714335;
  m_NumberFormat = "0.0000";
  m_Groups.push_back({"Vessel dimensions",
                      SolvingMethod::Recipe,
                      {{"Shell thickness Ts", kPlateStep, 99 * kPlateStep, 1.5},
                       {"Head thickness Th", kPlateStep, 99 * kPlateStep, 1.0},
                       {"Inner radius R", 10, 200, 60},
                       {"Length L", 10, 200, 100}}});
  auto limit = [](const char* name, const char* formula, double scale) {
    return Constraint{name, formula, true, Comparison::AtMost, 0, Statistic::Value, scale};
  };
  // Penalties per inch and per cubic inch, large enough that no broken design ranks above the
  // cheapest valid one: a plate 1/16 inch too thin costs about what the whole vessel does.
  m_Constraints = {
      limit("Shell_Thickness", "0.0193 R - Ts <= 0", 1e5),
      limit("Head_Thickness", "0.00954 R - Th <= 0", 1e5),
      limit("Volume", "1296000 - pi R^2 L - 4/3 pi R^3 <= 0", 1),
      limit("Length", "L - 240 <= 0", 1e3),
  };
}

Model::Outcome PressureVesselModel::Compute(std::span<const double> genes) const {
  const double ts = std::max(1.0, std::round(genes[0] / kPlateStep)) * kPlateStep;
  const double th = std::max(1.0, std::round(genes[1] / kPlateStep)) * kPlateStep;
  const double r = genes[2], l = genes[3];
  constexpr double pi = std::numbers::pi;
  Outcome o;
  o.Objective = 0.6224 * ts * r * l + 1.7781 * th * r * r + 3.1661 * ts * ts * l + 19.84 * ts * ts * r;
  o.SimMean = o.SimMin = o.SimMax = o.Objective;
  o.ConstraintValues = {0.0193 * r - ts, 0.00954 * r - th,
                        1296000 - pi * r * r * l - 4.0 / 3.0 * pi * r * r * r, l - 240};
  return o;
}

}  // namespace corvana::addin
