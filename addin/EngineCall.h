#pragma once

#include <cstdint>
#include <string>

namespace corvana::addin {

// Raises a ComError naming the engine call and the engine's own text when `result` is an error.
void CheckEngine(std::int32_t result, const char* call);
// The engine's own text for the failure `result` just returned, else the text of its code.
std::string EngineErrorText(std::int32_t result);

}  // namespace corvana::addin
