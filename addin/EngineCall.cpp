#include "addin/EngineCall.h"

#include "common/ComError.h"
#include "suite/gdlib/gdlib8.h"

namespace corvana::addin {

std::string EngineErrorText(std::int32_t result) {
  // The engine's account of its last failure names the file or value at fault; the code's text
  // is only the kind of failure.
  char name[64] = {}, method[64] = {}, message[1024] = {};
  if (GdGetExceptionInfoWVB(result, name, sizeof name, method, sizeof method, message, sizeof message) != 0 &&
      message[0] != '\0')
    return message;
  char text[512] = {};
  if (GdGetErrorTextWVB(result, text, sizeof text) != GdOk || text[0] == '\0')
    return "engine error " + std::to_string(result);
  return text;
}

void CheckEngine(std::int32_t result, const char* call) {
  if (result >= 0) return;
  RaiseError(kErrApplication, call,
             std::string(call) + " failed: " + EngineErrorText(result) + " (" + std::to_string(result) + ")");
}

}  // namespace corvana::addin
