#pragma once

#include <stdexcept>

namespace corvana::addin::reports {

// A report that could not be written; the message names the file and the cause.
class ReportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace corvana::addin::reports
