#pragma once

#include "addin/Model.h"

namespace corvana::addin {

// A classic constrained engineering design: the cheapest cylindrical pressure vessel with
// hemispherical heads (shell and head thickness, inner radius, length; recipe method) that holds
// 750 cubic feet. The plates come in steps of 1/16 inch: the model rounds both thicknesses to them.
class PressureVesselModel : public Model {
 public:
  PressureVesselModel();

 protected:
  Outcome Compute(std::span<const double> genes) const override;
};

}  // namespace corvana::addin
