#include "common/Variant.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "common/ComError.h"

namespace corvana {

namespace {

[[noreturn]] void TypeMismatch(const Variant& v) {
  RaiseError(kErrTypeMismatch, "Variant", "Type mismatch (kind " + std::to_string(v.KindCode()) + ").");
}

template <class T>
T RoundToInteger(double d, const Variant& v) {
  const double r = std::nearbyint(d);  // default rounding mode: half to even
  if (!std::isfinite(r) || r < static_cast<double>(std::numeric_limits<T>::min()) ||
      r > static_cast<double>(std::numeric_limits<T>::max()))
    RaiseError(0x800A0006, "Variant", "Overflow (kind " + std::to_string(v.KindCode()) + ").");
  return static_cast<T>(r);
}

}  // namespace

VarKind Variant::Kind() const noexcept {
  switch (m_Value.index()) {
    case 1: return VarKind::Integer;
    case 2: return VarKind::Long;
    case 3: return VarKind::Double;
    case 4: return VarKind::Date;
    case 5: return VarKind::String;
    case 6: return VarKind::Error;
    case 7: return VarKind::Boolean;
    default: return VarKind::Empty;
  }
}

bool Variant::IsNumeric() const {
  switch (Kind()) {
    case VarKind::Empty:
    case VarKind::Integer:
    case VarKind::Long:
    case VarKind::Double:
    case VarKind::Boolean: return true;
    case VarKind::String: {
      double ignored;
      return TryParseNumber(std::get<std::string>(m_Value), ignored);
    }
    default: return false;
  }
}

double Variant::ToDouble() const {
  switch (Kind()) {
    case VarKind::Empty: return 0;
    case VarKind::Integer: return std::get<std::int16_t>(m_Value);
    case VarKind::Long: return std::get<std::int32_t>(m_Value);
    case VarKind::Double: return std::get<double>(m_Value);
    case VarKind::Date: return std::get<OleDate>(m_Value).Value;
    case VarKind::Boolean: return std::get<bool>(m_Value) ? -1.0 : 0.0;
    case VarKind::String: {
      double d;
      if (TryParseNumber(std::get<std::string>(m_Value), d)) return d;
      break;
    }
    default: break;
  }
  TypeMismatch(*this);
}

std::int32_t Variant::ToLong() const {
  return RoundToInteger<std::int32_t>(ToDouble(), *this);
}

std::int16_t Variant::ToInteger() const {
  return RoundToInteger<std::int16_t>(ToDouble(), *this);
}

bool Variant::ToBoolean() const {
  if (Kind() == VarKind::String) {
    const auto& s = std::get<std::string>(m_Value);
    if (s == "True" || s == "true" || s == "TRUE") return true;
    if (s == "False" || s == "false" || s == "FALSE") return false;
  }
  return ToDouble() != 0;
}

std::string Variant::ToString() const {
  switch (Kind()) {
    case VarKind::Empty: return {};
    case VarKind::Integer: return std::to_string(std::get<std::int16_t>(m_Value));
    case VarKind::Long: return std::to_string(std::get<std::int32_t>(m_Value));
    case VarKind::Double: return DoubleToText(std::get<double>(m_Value));
    case VarKind::Date: return DoubleToText(std::get<OleDate>(m_Value).Value);
    case VarKind::String: return std::get<std::string>(m_Value);
    case VarKind::Boolean: return std::get<bool>(m_Value) ? "True" : "False";
    case VarKind::Error: return "Error " + std::to_string(std::get<ErrorValue>(m_Value).Code);
  }
  return {};
}

std::string DoubleToText(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  if (value == 0) return "0";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15G", value);
  std::string text = buffer;
  // C prints "1E+20" and "1E-05" already; only a lone "-0" needs mending.
  if (text == "-0") return "0";
  return text;
}

bool TryParseNumber(const std::string& text, double& value) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return false;
  const auto last = text.find_last_not_of(" \t");
  const std::string trimmed = text.substr(first, last - first + 1);
  // Only plain decimal text: no hexadecimal, no "inf"/"nan" words.
  for (char c : trimmed)
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) return false;
  char* end = nullptr;
  errno = 0;
  const double d = std::strtod(trimmed.c_str(), &end);
  if (end != trimmed.c_str() + trimmed.size() || errno == ERANGE) return false;
  value = d;
  return true;
}

}  // namespace corvana
