#pragma once

#include <cstdint>
#include <string>

namespace corvana::EngineCalls {

// Raises the engine's error for a negative result, naming the Watcher method and the engine call.
void Check(std::int32_t result, const std::string& method, const std::string& engineCall);

// The channels the add-in and the Watcher share, read and written through the engine; a failed
// call raises as Check does.
bool ReadBooleanChannel(int channel, const std::string& method);
std::int32_t ReadLongChannel(int channel, const std::string& method);
double ReadDoubleChannel(int channel, const std::string& method);
void WriteBooleanChannel(int channel, bool value, const std::string& method);
void WriteLongChannel(int channel, std::int32_t value, const std::string& method);

}  // namespace corvana::EngineCalls
