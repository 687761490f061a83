#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace corvana {

// Kind codes as the program prints them in its messages (a string is 8).
enum class VarKind : int {
  Empty = 0,
  Integer = 2,  // 16-bit signed
  Long = 3,     // 32-bit signed
  Double = 5,
  Date = 7,  // days since 30 December 1899, fraction = time of day
  String = 8,
  Error = 10,
  Boolean = 11,
};

struct OleDate {
  double Value = 0;
  bool operator==(const OleDate&) const = default;
};
struct ErrorValue {
  std::int32_t Code = 0;
  bool operator==(const ErrorValue&) const = default;
};

// A value of one of the kinds that cross the object bus and the temp-data channels.
class Variant {
 public:
  Variant() = default;
  Variant(bool v) : m_Value(v) {}
  Variant(std::int16_t v) : m_Value(v) {}
  Variant(std::int32_t v) : m_Value(v) {}
  Variant(double v) : m_Value(v) {}
  Variant(OleDate v) : m_Value(v) {}
  Variant(ErrorValue v) : m_Value(v) {}
  Variant(std::string v) : m_Value(std::move(v)) {}
  Variant(const char* v) : m_Value(std::string(v)) {}

  VarKind Kind() const noexcept;
  int KindCode() const noexcept { return static_cast<int>(Kind()); }

  bool IsEmpty() const noexcept { return Kind() == VarKind::Empty; }
  bool IsError() const noexcept { return Kind() == VarKind::Error; }
  bool IsDate() const noexcept { return Kind() == VarKind::Date; }
  // Numeric as the classic IsNumeric sees it: numbers, Booleans, Empty, and text that parses as a number.
  bool IsNumeric() const;

  // Conversions raise a type-mismatch ComError when the value cannot be converted.
  double ToDouble() const;
  std::int32_t ToLong() const;  // rounds half to even, as the classic CLng
  std::int16_t ToInteger() const;
  bool ToBoolean() const;
  std::string ToString() const;

  const auto& Raw() const noexcept { return m_Value; }
  bool operator==(const Variant&) const = default;

 private:
  std::variant<std::monostate, std::int16_t, std::int32_t, double, OleDate, std::string, ErrorValue, bool>
      m_Value;
};

// The one conversion of a double to text used everywhere a number is shown without a pattern:
// up to 15 significant digits, invariant decimal point, exponent as "1E+20" / "1E-05".
std::string DoubleToText(double value);

// Parses invariant-locale number text ("12", "-1.5E+3"); false when it is not a whole number text.
bool TryParseNumber(const std::string& text, double& value);

}  // namespace corvana
