#pragma once

#include <cstdint>
#include <exception>
#include <new>
#include <string>
#include <utility>

#include "common/ComError.h"

namespace corvana {

// The last trapped error of a procedure, as the user and the diagnostic log see it.
struct ErrorInfo {
  std::uint32_t Number = 0;
  std::string Source;
  std::string Description;

  explicit operator bool() const noexcept { return Number != 0; }
  void Clear() noexcept {
    Number = 0;
    Source.clear();
    Description.clear();
  }
};

// Runs one statement with errors trapped: a failure is recorded in `err` and the caller goes on
// with its next statement. Returns true when the statement completed. This is the one way the
// program writes "skip a failing step and continue"; nothing escapes it.
template <class Statement>
bool ResumeNext(ErrorInfo& err, Statement&& statement) noexcept {
  try {
    std::forward<Statement>(statement)();
    return true;
  } catch (const ComError& e) {
    err.Number = e.Code();
    err.Source = e.Source();
    err.Description = e.Description();
  } catch (const std::bad_alloc&) {
    err.Number = 0x8007000E;
    err.Source.clear();
    err.Description = "Out of memory.";
  } catch (const std::exception& e) {
    err.Number = kErrUnexpected;
    err.Source.clear();
    err.Description = e.what();
  } catch (...) {
    err.Number = kErrUnexpected;
    err.Source.clear();
    err.Description = "Unexpected error.";
  }
  return false;
}

// The same for a statement whose failure needs no report at all.
template <class Statement>
bool ResumeNext(Statement&& statement) noexcept {
  ErrorInfo ignored;
  return ResumeNext(ignored, std::forward<Statement>(statement));
}

}  // namespace corvana
