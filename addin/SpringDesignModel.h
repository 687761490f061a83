#pragma once

#include "addin/Model.h"

namespace corvana::addin {

// A classic constrained engineering design: the lightest tension/compression coil spring (wire
// diameter, mean coil diameter, number of active coils; recipe method) that meets limits on
// deflection, shear stress, surge frequency and outer diameter. All four constraints are hard.
class SpringDesignModel : public Model {
 public:
  SpringDesignModel();

 protected:
  Outcome Compute(std::span<const double> genes) const override;
};

}  // namespace corvana::addin
