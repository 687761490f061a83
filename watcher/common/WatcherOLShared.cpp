#include "watcher/common/WatcherOLShared.h"

#include <cmath>

#include "common/ErrorTrap.h"
#include "suite/objectlib/ErrorRaising.h"
#include "suite/objectlib/MarkerValues.h"
#include "watcher/common/ClassicFormat.h"
#include "watcher/common/DebugLogFile.h"
#include "watcher/common/Utilities.h"

namespace corvana::WatcherOLShared {

namespace {

ChannelReader& Reader() {
  static ChannelReader reader;
  return reader;
}

// Rules 1 to 4 of the default number text: the special values as common texts.
bool SpecialValueText(double value, std::string& text) {
  if (IsMissingValue(value) || IsEngineNoValue(value) || std::isnan(value))
    text = GetCommonString(1);
  else if (IsTooLarge(value))
    text = GetCommonString(13);
  else if (IsTooSmall(value))
    text = GetCommonString(14);
  else
    return false;
  return true;
}

bool IsUsableValue(const Variant& value) {
  return IsDateOrNumeric(value) && !value.IsError();
}

}  // namespace

std::string GetCommonString(long whichString) {
  static constexpr long kResourceIds[] = {2200, 2201, 2202, 2203, 2214, 2204, 2205, 2206, 2207,
                                          2208, 2211, 2212, 2213, 2209, 2210, 2215, 2216, 2217};
  if (whichString < 0 || whichString >= static_cast<long>(std::size(kResourceIds)))
    RaiseInvalidArgument("GetCommonString", "whichString");
  return Utilities::GetResourceString(kResourceIds[whichString]);
}

Variant FormatNumberDefault(double value) {
  std::string text;
  if (SpecialValueText(value, text)) return text;
  if (value == 0) return std::string("0");
  const double magnitude = std::fabs(value);
  if (magnitude >= 1e7 || magnitude < 0.0001) return ClassicFormat::Number(value, "0.0000E+000");
  if (std::floor(value) == value) return ClassicFormat::Number(value, "0");
  return ClassicFormat::Number(value, "0.0000");
}

std::string FormatDateValue(const Variant& value, bool withTime) {
  std::string text;
  ResumeNext([&] {
    if (!IsUsableValue(value)) return;
    const double d = value.ToDouble();
    if (SpecialValueText(d, text)) return;
    text = ClassicFormat::Date(d, withTime ? "m/d/yyyy h:mm AM/PM" : "m/d/yyyy");
  });
  // Not a date, or not one the calendar can show.
  return text.empty() ? GetCommonString(1) : text;
}

std::string FormatValueForStatistic(const Variant& value, bool treatAsDate, bool dateWithTime,
                                    bool statisticGiven, long statistic) {
  if (!IsUsableValue(value)) return GetCommonString(1);
  const double d = value.ToDouble();
  std::string text;
  if (SpecialValueText(d, text)) return text;
  if (statisticGiven && statistic == 11) return ClassicFormat::Number(d, "0.0%");
  if (treatAsDate) {
    // A spread of dates is a number of days; nearbyint rounds half to even.
    if (statisticGiven && statistic == 2) return Utilities::GetResourceString(5100, std::nearbyint(d));
    if (statisticGiven && (statistic == 3 || statistic == 4 || statistic == 5))
      return FormatNumberDefault(d).ToString();
    return FormatDateValue(value, dateWithTime);
  }
  return FormatNumberDefault(d).ToString();
}

bool StatisticIsInTheSameUnitsAsRandomVariable(long p_Statistic) {
  switch (p_Statistic) {
    case 1:
    case 2:
    case 6:
    case 7:
    case 8:
    case 9:
    case 10:
    case 12: return true;
    case 3:
    case 4:
    case 5:
    case 11: return false;
    default: RaiseInvalidArgument("StatisticIsInTheSameUnitsAsRandomVariable", "p_Statistic");
  }
}

bool IsDateOrNumeric(const Variant& value) {
  return value.IsDate() || value.IsNumeric();
}

void SetChannelReader(ChannelReader reader) {
  Reader() = std::move(reader);
}

double GetEFNumOptimizationUnderWay() {
  double value = 0;
  ResumeNext([&] {
    if (g_LoggingEnabled)
      DebugLogFile::WriteLine("About to GdReadTempData, ChannelEFNumOptimizationUnderWay");
    if (!Reader())
      RaiseApplicationError("GetEFNumOptimizationUnderWay", "The temp-data channels are not bound.");
    value = Reader()(kChannelEFNumOptimizationUnderWay);
    if (g_LoggingEnabled) DebugLogFile::WriteLine("GdReadTempData returned: " + DoubleToText(value));
  });
  return value;
}

}  // namespace corvana::WatcherOLShared
