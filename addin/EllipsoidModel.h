#pragma once

#include "addin/Model.h"

namespace corvana::addin {

// A test of the search itself: an ill-conditioned bowl (recipe method, no constraints) whose axes
// differ in scale by a factor of a million, minimum 0 at the origin.
class EllipsoidModel : public Model {
 public:
  explicit EllipsoidModel(int dimension);

 protected:
  Outcome Compute(std::span<const double> genes) const override;
};

}  // namespace corvana::addin
