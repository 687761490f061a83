#pragma once

#include <cstdint>
#include <string>

namespace corvana::addin {

// Raises a ComError naming the engine call and the engine's own text when `result` is an error.
void CheckEngine(std::int32_t result, const char* call);
std::string EngineErrorText(std::int32_t result);

}  // namespace corvana::addin
