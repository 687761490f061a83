#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace corvana {

// Error codes raised to callers across the object bus.
inline constexpr std::uint32_t kErrApplication = 0x8004000A;  // application-error base + 10
inline constexpr std::uint32_t kErrInvalidArgument = 0x80040014;
inline constexpr std::uint32_t kErrEngineText = 0x80040857;
inline constexpr std::uint32_t kErrSubscriptOutOfRange = 0x800A0009;
inline constexpr std::uint32_t kErrTypeMismatch = 0x800A000D;
inline constexpr std::uint32_t kErrUnexpected = 0x8000FFFF;

// A raised error: 32-bit code, the procedure that raised it and a description for the user.
class ComError : public std::runtime_error {
 public:
  ComError(std::uint32_t code, std::string source, std::string description);

  std::uint32_t Code() const noexcept { return m_Code; }
  const std::string& Source() const noexcept { return m_Source; }
  const std::string& Description() const noexcept { return m_Description; }

  // "0x8004000A"
  static std::string CodeText(std::uint32_t code);

 private:
  std::uint32_t m_Code;
  std::string m_Source;
  std::string m_Description;
};

[[noreturn]] void RaiseError(std::uint32_t code, const std::string& source, const std::string& description);

}  // namespace corvana
