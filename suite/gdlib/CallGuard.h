#pragma once

// The C boundary's guard: every call runs inside Guarded, so no exception leaves the library;
// failures become result codes whose details GdGetExceptionInfoWVB hands out afterwards.

#include <cstdint>
#include <exception>
#include <new>
#include <span>
#include <string>

#include "suite/gdlib/GdError.h"
#include "suite/gdlib/gdlib8.h"

namespace gdlib {

struct ExceptionInfo {
  std::string Name;
  std::string Method;
  std::string Message;
};

// Keeps the details of the last failure of each code, and with SetLogToFile(true) also writes it to
// the engine's own log, "GdLib.log" in the suite's logging folder.
void Remember(std::int32_t code, const char* name, const char* method, const std::string& message) noexcept;
void SetLogToFile(bool on);
bool LastFailure(std::int32_t code, ExceptionInfo& info);

template <class Result, class Call>
Result Guarded(const char* method, Call&& call) noexcept {
  try {
    return static_cast<Result>(call());
  } catch (const GdError& e) {
    Remember(e.Code(), "GdError", method, e.what());
    return e.Code();
  } catch (const std::bad_alloc&) {
    Remember(GdErrNoSpace, "std::bad_alloc", method, "Out of memory.");
    return GdErrNoSpace;
  } catch (const std::exception& e) {
    Remember(GdErrInternal, "std::exception", method, e.what());
    return GdErrInternal;
  } catch (...) {
    Remember(GdErrInternal, "unknown", method, "Unknown failure.");
    return GdErrInternal;
  }
}

void Require(const void* pointer, const char* what);

// A caller's output buffer: null when not wanted, otherwise never shorter than needed.
template <class T>
std::span<T> Buffer(T* data, std::int32_t capacity, std::int32_t needed, const char* what) {
  if (capacity < 0) Fail(GdErrInvalidArgument, std::string("The capacity of ") + what + " is negative.");
  if (!data) return {};
  if (capacity < needed)
    Fail(GdErrBufferTooSmall, std::string(what) + " holds " + std::to_string(capacity) + " of " +
                                  std::to_string(needed) + " values.");
  return {data, static_cast<std::size_t>(capacity)};
}

// Copies text into a caller buffer, cut at the capacity and always terminated.
void CopyText(const std::string& text, char* out, std::int32_t capacity);

}  // namespace gdlib
