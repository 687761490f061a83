#include "addin/SpeedReducerModel.h"

#include <cmath>

namespace corvana::addin {

// Problem after Golinski (1973), in the seven-variable form with eleven constraints used by Ray
// and Liew (2003) and Mezura-Montes and Coello (2005). The best value reported is 2994.4710661 at
// x = (3.5, 0.7, 17, 7.3, 7.7153199, 3.3502147, 5.2866545).
SpeedReducerModel::SpeedReducerModel() {
  m_Name = "speed-reducer";
  m_ObjectiveText = "Minimize the gear box's weight";
  m_Maximize = false;
  m_KnownBest = 2994.4710661;
  m_NumberFormat = "0.0000";
  m_Groups.push_back({"Gear box dimensions",
                      SolvingMethod::Recipe,
                      {{"Face width", 2.6, 3.6, 3.0},
                       {"Tooth module", 0.7, 0.8, 0.75},
                       {"Pinion teeth", 17, 28, 22},
                       {"Shaft 1 length", 7.3, 8.3, 8.0},
                       {"Shaft 2 length", 7.3, 8.3, 8.0},
                       {"Shaft 1 diameter", 2.9, 3.9, 3.4},
                       {"Shaft 2 diameter", 5.0, 5.5, 5.2}}});
  // The limits are relative (a violation of 0.01 is one percent); the penalty makes one percent
  // cost a third of the weight, so that no broken design ranks above the lightest valid one.
  auto limit = [](const char* name, const char* formula) {
    return Constraint{name, formula, true, Comparison::AtMost, 0, Statistic::Value, 1e5};
  };
  m_Constraints = {
      limit("Bending_Stress", "27 / (x1 x2^2 x3) - 1 <= 0"),
      limit("Contact_Stress", "397.5 / (x1 x2^2 x3^2) - 1 <= 0"),
      limit("Shaft1_Deflection", "1.93 x4^3 / (x2 x3 x6^4) - 1 <= 0"),
      limit("Shaft2_Deflection", "1.93 x5^3 / (x2 x3 x7^4) - 1 <= 0"),
      limit("Shaft1_Stress", "sqrt((745 x4 / (x2 x3))^2 + 16.9e6) / (110 x6^3) - 1 <= 0"),
      limit("Shaft2_Stress", "sqrt((745 x5 / (x2 x3))^2 + 157.5e6) / (85 x7^3) - 1 <= 0"),
      limit("Gear_Size", "x2 x3 / 40 - 1 <= 0"),
      limit("Width_Min", "5 x2 / x1 - 1 <= 0"),
      limit("Width_Max", "x1 / (12 x2) - 1 <= 0"),
      limit("Shaft1_Design", "(1.5 x6 + 1.9) / x4 - 1 <= 0"),
      limit("Shaft2_Design", "(1.1 x7 + 1.9) / x5 - 1 <= 0"),
  };
}

Model::Outcome SpeedReducerModel::Compute(std::span<const double> genes) const {
  const double x1 = genes[0], x2 = genes[1], x3 = std::round(genes[2]), x4 = genes[3], x5 = genes[4],
               x6 = genes[5], x7 = genes[6];
  Outcome o;
  o.Objective = 0.7854 * x1 * x2 * x2 * (3.3333 * x3 * x3 + 14.9334 * x3 - 43.0934) -
                1.508 * x1 * (x6 * x6 + x7 * x7) + 7.4777 * (x6 * x6 * x6 + x7 * x7 * x7) +
                0.7854 * (x4 * x6 * x6 + x5 * x7 * x7);
  o.SimMean = o.SimMin = o.SimMax = o.Objective;
  const double x2x3 = x2 * x3;
  o.ConstraintValues = {
      27 / (x1 * x2 * x2 * x3) - 1,
      397.5 / (x1 * x2 * x2 * x3 * x3) - 1,
      1.93 * x4 * x4 * x4 / (x2x3 * std::pow(x6, 4)) - 1,
      1.93 * x5 * x5 * x5 / (x2x3 * std::pow(x7, 4)) - 1,
      std::sqrt(std::pow(745 * x4 / x2x3, 2) + 16.9e6) / (110 * x6 * x6 * x6) - 1,
      std::sqrt(std::pow(745 * x5 / x2x3, 2) + 157.5e6) / (85 * x7 * x7 * x7) - 1,
      x2x3 / 40 - 1,
      5 * x2 / x1 - 1,
      x1 / (12 * x2) - 1,
      (1.5 * x6 + 1.9) / x4 - 1,
      (1.1 * x7 + 1.9) / x5 - 1,
  };
  return o;
}

}  // namespace corvana::addin
