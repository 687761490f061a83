#pragma once

#include "addin/Model.h"

namespace corvana::addin {

// A test of the search itself: a bowl covered with a grid of local minima (recipe method, no
// constraints), whose one global minimum 0 lies at the origin.
class RastriginModel : public Model {
 public:
  explicit RastriginModel(int dimension);

 protected:
  Outcome Compute(std::span<const double> genes) const override;
};

}  // namespace corvana::addin
