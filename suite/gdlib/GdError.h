#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace gdlib {

// A failure inside the engine, carried to the C boundary where it becomes a result code.
class GdError : public std::runtime_error {
 public:
  GdError(std::int16_t code, const std::string& message) : std::runtime_error(message), m_Code(code) {}
  std::int16_t Code() const noexcept { return m_Code; }

 private:
  std::int16_t m_Code;
};

[[noreturn]] inline void Fail(std::int16_t code, const std::string& message) {
  throw GdError(code, message);
}

// Fails with GdErrSystem and the OS's reason for `what`.
[[noreturn]] void FailErrno(const std::string& what, int errorNumber);

}  // namespace gdlib
