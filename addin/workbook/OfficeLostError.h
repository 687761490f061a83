#pragma once

#include <stdexcept>

namespace corvana::addin {

// The office went away during a run; the run cannot go on.
class OfficeLostError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace corvana::addin
