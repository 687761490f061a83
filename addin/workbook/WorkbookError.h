#pragma once

#include <stdexcept>

namespace corvana::addin {

// A workbook that cannot be used as a model, or an office that cannot be started: bad input the
// user can fix, reported before anything is overwritten.
class WorkbookError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace corvana::addin
