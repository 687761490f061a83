#include "suite/gdlib/CallGuard.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

namespace gdlib {

namespace {

std::mutex g_InfoMutex;
bool g_LogToFile = false;

std::map<std::int32_t, ExceptionInfo>& LastFailures() {
  static auto* failures = new std::map<std::int32_t, ExceptionInfo>;
  return *failures;
}

std::string EngineLogPath() {
  if (const char* dir = std::getenv("ORRENDEL_LOG_DIR"); dir && *dir) return std::string(dir) + "/GdLib.log";
  if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state)
    return std::string(state) + "/corvana/log/GdLib.log";
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "/tmp") + "/.local/state/corvana/log/GdLib.log";
}

}  // namespace

void Remember(std::int32_t code, const char* name, const char* method, const std::string& message) noexcept {
  try {
    std::lock_guard lock(g_InfoMutex);
    LastFailures()[code] = {name, method, message};
    if (g_LogToFile) {
      if (std::FILE* file = std::fopen(EngineLogPath().c_str(), "a")) {
        std::fprintf(file, "GdLib %d: %s returned %d: %s\n", static_cast<int>(::getpid()), method, code,
                     message.c_str());
        std::fclose(file);
      }
    }
  } catch (...) {
  }
}

void SetLogToFile(bool on) {
  std::lock_guard lock(g_InfoMutex);
  g_LogToFile = on;
}

bool LastFailure(std::int32_t code, ExceptionInfo& info) {
  std::lock_guard lock(g_InfoMutex);
  auto it = LastFailures().find(code);
  if (it == LastFailures().end()) return false;
  info = it->second;
  return true;
}

void Require(const void* pointer, const char* what) {
  if (!pointer) Fail(GdErrNullPointer, std::string(what) + " is null.");
}

void CopyText(const std::string& text, char* out, std::int32_t capacity) {
  if (!out || capacity <= 0) return;
  std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(capacity) - 1);
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

}  // namespace gdlib
