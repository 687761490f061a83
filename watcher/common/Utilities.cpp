#include "watcher/common/Utilities.h"

#include <cmath>

#include "common/ComError.h"
#include "common/ErrorTrap.h"
#include "suite/objectlib/MarkerValues.h"
#include "suite/objectlib/NumericHelpers.h"
#include "watcher/common/ClassicFormat.h"
#include "watcher/common/WatcherOLShared.h"

namespace corvana {

std::shared_ptr<ResourceServer> g_ResourceServer;
std::int32_t g_WatcherProcessID = 0;

namespace Utilities {

namespace {

std::string TrappedResourceString(long id, const Variant& p1 = Variant()) {
  std::string text;
  ResumeNext([&] { text = GetResourceString(id, p1); });
  return text;
}

}  // namespace

std::size_t CharacterCount(const std::string& utf8) {
  std::size_t count = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++count;
  return count;
}

std::string GetResourceString(long id, const Variant& p1, const Variant& p2, const Variant& p3) {
  if (!g_ResourceServer) RaiseError(kErrApplication, "GetResourceString", "Missing resource server.");
  return g_ResourceServer->GetString(id, p1, p2, p3);
}

std::string FormatElapsedTime(double milliseconds) {
  const auto shortForm = [&] {
    std::string text;
    ResumeNext([&] { text = ClassicFormat::Date(milliseconds / 86400000.0, "hh:mm:ss"); });
    return text;
  };
  if (!(milliseconds >= 82800000.0)) return shortForm();
  std::string text;
  const bool done = ResumeNext([&] {
    const double hours = std::floor(milliseconds / 3600000.0);
    const double minutes = std::floor((milliseconds - hours * 3600000.0) / 60000.0);
    const double seconds = std::floor((milliseconds - hours * 3600000.0 - minutes * 60000.0) / 1000.0);
    const std::string separator = GetTimeSeparator();
    text = DoubleToText(hours) + separator + ClassicFormat::Number(minutes, "00") + separator +
           ClassicFormat::Number(seconds, "00");
  });
  return done ? text : shortForm();
}

std::string GetTimeSeparator() {
  std::string separator;
  if (!ResumeNext([&] { separator = ClassicFormat::Date(0, ":"); }) || CharacterCount(separator) != 1)
    return ":";
  return separator;
}

double RoundUpToOneSignificantDigit(double value) {
  if (value == 0 || !std::isfinite(value)) return value;
  double result = value;
  ResumeNext([&] {
    const int e = DecimalExponent(value);
    // Scale by a power of ten that is exact (10^|e|) so that 0.3 stays 3 tenths.
    const double power = std::pow(10.0, std::abs(e));
    double scaled = e >= 0 ? value / power : value * power;
    const double nearest = std::round(scaled);
    if (std::fabs(scaled - nearest) < 1e-9 * std::fabs(scaled)) scaled = nearest;
    const double up = std::ceil(scaled);
    result = e >= 0 ? up * power : up / power;
  });
  return result;
}

std::string StopQuestionText(bool efficientFrontierShape) {
  return TrappedResourceString(efficientFrontierShape ? 4307 : 4306);
}

std::string MoveOnQuestionText(const Collection& constrainingValuesFinalOrder) {
  std::string valueText;
  ResumeNext([&] {
    const long next = Variant(WatcherOLShared::GetEFNumOptimizationUnderWay()).ToLong() + 1;
    if (next < 1 || next > constrainingValuesFinalOrder.Count()) return;
    const Variant& item = constrainingValuesFinalOrder.Item(next);
    if (!WatcherOLShared::IsDateOrNumeric(item) || item.IsError()) return;
    valueText = WatcherOLShared::FormatNumberDefault(item.ToDouble()).ToString();
  });
  if (valueText.empty()) return "Move on to the next optimization?";
  return "Move on to the next optimization (with constraining value " + valueText + ")?";
}

std::string SolverQuestionText(long n) {
  return n == 1 ? TrappedResourceString(4526) : TrappedResourceString(4527, static_cast<std::int32_t>(n));
}

std::string ConstraintSolverValueText(double value, bool withText) {
  std::string text;
  ResumeNext([&] {
    if (IsSpecialValue(value) || std::isnan(value)) {
      text = WatcherOLShared::GetCommonString(1);
      return;
    }
    const double n = std::trunc(value);
    if (!withText)
      text = DoubleToText(n);
    else if (n == 1)
      text = GetResourceString(4508);
    else
      text = GetResourceString(4509, n);
  });
  return text;
}

void RaiseErrorWithText(const std::string& text) {
  RaiseError(kErrEngineText, "Corvana Watcher", text);
}

}  // namespace Utilities
}  // namespace corvana
