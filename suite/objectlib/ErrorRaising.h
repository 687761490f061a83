#pragma once

#include <string>

namespace corvana {

// Raises 0x80040014 for an argument out of range, naming the procedure and the argument.
[[noreturn]] void RaiseInvalidArgument(const std::string& procedure, const std::string& argumentName);
// Raises 0x8004000A, the application error, with the procedure as source.
[[noreturn]] void RaiseApplicationError(const std::string& procedure, const std::string& description);

}  // namespace corvana
