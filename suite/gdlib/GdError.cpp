#include "suite/gdlib/GdError.h"

#include <cstring>

#include "suite/gdlib/gdlib8.h"

namespace gdlib {

void FailErrno(const std::string& what, int errorNumber) {
  throw GdError(GdErrSystem, what + ": " + std::strerror(errorNumber) + ".");
}

}  // namespace gdlib
