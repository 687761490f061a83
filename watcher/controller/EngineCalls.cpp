#include "watcher/controller/EngineCalls.h"

#include "common/Variant.h"
#include "watcher/engine/GdLib.h"

namespace corvana::EngineCalls {

void Check(std::int32_t result, const std::string& method, const std::string& engineCall) {
  if (result < 0) GdLib::RaiseGdLibError(method, engineCall, result, false);
}

bool ReadBooleanChannel(int channel, const std::string& method) {
  Variant value(false);
  Check(GdLib::GdReadTempData(static_cast<std::int16_t>(channel), value, 2), method, "GdReadTempData");
  return value.ToBoolean();
}

std::int32_t ReadLongChannel(int channel, const std::string& method) {
  Variant value(std::int32_t{0});
  Check(GdLib::GdReadTempData(static_cast<std::int16_t>(channel), value, 4), method, "GdReadTempData");
  return value.ToLong();
}

double ReadDoubleChannel(int channel, const std::string& method) {
  Variant value(0.0);
  Check(GdLib::GdReadTempData(static_cast<std::int16_t>(channel), value, 8), method, "GdReadTempData");
  return value.ToDouble();
}

void WriteBooleanChannel(int channel, bool value, const std::string& method) {
  Check(GdLib::GdWriteTempData(static_cast<std::int16_t>(channel), Variant(value), 2), method,
        "GdWriteTempData");
}

void WriteLongChannel(int channel, std::int32_t value, const std::string& method) {
  Check(GdLib::GdWriteTempData(static_cast<std::int16_t>(channel), Variant(value), 4), method,
        "GdWriteTempData");
}

}  // namespace corvana::EngineCalls
