#include "addin/SpringDesignModel.h"

namespace corvana::addin {

// Problem after Belegundu (1982) and Arora, "Introduction to Optimum Design" (1989). The best
// value reported in the literature is 0.0126652 at d = 0.051690, D = 0.356750, N = 11.287126
// (e.g. Coello, Computers in Industry 41, 2000; He and Wang, EAAI 20, 2007).
SpringDesignModel::SpringDesignModel() {
  m_Name = "spring";
  m_ObjectiveText = "Minimize the spring's weight (N + 2) D d^2";
  m_Maximize = false;
  m_KnownBest = 0.0126652;
  m_NumberFormat = "0.000000";
  // The start is a light first guess whose thin wire breaks the shear-stress limit.
  m_Groups.push_back({"Spring dimensions",
                      SolvingMethod::Recipe,
                      {{"Wire diameter d", 0.05, 2.0, 0.05},
                       {"Mean coil diameter D", 0.25, 1.3, 0.5},
                       {"Active coils N", 2.0, 15.0, 5.0}}});
  m_Constraints = {
      {"Deflection", "1 - D^3 N / (71785 d^4) <= 0", true, Comparison::AtMost, 0, Statistic::Value, 1},
      {"Shear_Stress", "(4D^2 - dD) / (12566 (D d^3 - d^4)) + 1 / (5108 d^2) - 1 <= 0", true,
       Comparison::AtMost, 0, Statistic::Value, 1},
      {"Surge_Frequency", "1 - 140.45 d / (D^2 N) <= 0", true, Comparison::AtMost, 0, Statistic::Value, 1},
      {"Outer_Diameter", "(d + D) / 1.5 - 1 <= 0", true, Comparison::AtMost, 0, Statistic::Value, 1},
  };
}

Model::Outcome SpringDesignModel::Compute(std::span<const double> genes) const {
  const double d = genes[0], D = genes[1], N = genes[2];
  Outcome o;
  o.Objective = (N + 2) * D * d * d;
  o.SimMean = o.SimMin = o.SimMax = o.Objective;
  const double d2 = d * d, d4 = d2 * d2;
  // A wire as thick as the coil is no spring: the stress formula's denominator vanishes there.
  const double shear = D > d ? (4 * D * D - d * D) / (12566 * (D * d2 * d - d4)) + 1 / (5108 * d2) - 1 : 1e3;
  o.ConstraintValues = {1 - D * D * D * N / (71785 * d4), shear, 1 - 140.45 * d / (D * D * N),
                        (d + D) / 1.5 - 1};
  return o;
}

}  // namespace corvana::addin
