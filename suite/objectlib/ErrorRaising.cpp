#include "suite/objectlib/ErrorRaising.h"

#include "common/ComError.h"

namespace corvana {

void RaiseInvalidArgument(const std::string& procedure, const std::string& argumentName) {
  RaiseError(kErrInvalidArgument, procedure, "Invalid argument " + argumentName + " in " + procedure + ".");
}

void RaiseApplicationError(const std::string& procedure, const std::string& description) {
  RaiseError(kErrApplication, procedure, description);
}

}  // namespace corvana
