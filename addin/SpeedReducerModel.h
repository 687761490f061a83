#pragma once

#include "addin/Model.h"

namespace corvana::addin {

// A classic constrained engineering design: the lightest gear box of a small aircraft engine (face
// width, tooth module, number of pinion teeth, two shaft lengths, two shaft diameters; recipe
// method) under eleven hard limits on bending and contact stress, shaft deflections and stresses,
// and proportions. The number of teeth is a whole number: the model rounds it.
class SpeedReducerModel : public Model {
 public:
  SpeedReducerModel();

 protected:
  Outcome Compute(std::span<const double> genes) const override;
};

}  // namespace corvana::addin
