#pragma once

#include <functional>
#include <string>

#include "common/Variant.h"

namespace corvana {

// Value-to-text rules every window uses for objective, statistic, adjustable-cell and constraint
// values, and the common texts.
namespace WatcherOLShared {

// Common text `whichString` (0..17) from the resource server; any other number raises the
// invalid-argument error (0x80040014) for "GetCommonString" / "whichString".
std::string GetCommonString(long whichString);

// Special values (and NaN) as common texts 1, 13, 14; 0 as "0"; |v| >= 1e7 or < 0.0001 as "0.0000E+000";
// whole numbers as "0"; the rest as "0.0000". The result always holds a string.
Variant FormatNumberDefault(double value);

// Dates and numbers as "m/d/yyyy" or "m/d/yyyy h:mm AM/PM" (special values as common texts);
// anything else, error values included, as common text 1.
std::string FormatDateValue(const Variant& value, bool withTime);

// The text of a value of a statistic: probabilities (11) as "0.0%", a spread of dates (2) through
// resource 5100 as a count of days, other date values as dates, the rest by FormatNumberDefault.
// The cell-format path of the add-in is not offered: no caller of the Watcher passes a cell.
std::string FormatValueForStatistic(const Variant& value, bool treatAsDate, bool dateWithTime,
                                    bool statisticGiven, long statistic);

// True for 1, 2, 6..10 and 12, false for 3, 4, 5 and 11; other numbers raise the invalid-argument
// error for "StatisticIsInTheSameUnitsAsRandomVariable" / "p_Statistic".
bool StatisticIsInTheSameUnitsAsRandomVariable(long p_Statistic);

bool IsDateOrNumeric(const Variant& value);

// Reads a temp-data channel as a double. The engine layer installs the real reader at start-up;
// until then reading raises 0x8004000A.
using ChannelReader = std::function<double(long channel)>;
void SetChannelReader(ChannelReader reader);

inline constexpr long kChannelEFNumOptimizationUnderWay = 21;
// The 1-based number of the efficient-frontier optimization under way (channel 21); errors are
// trapped and give 0.
double GetEFNumOptimizationUnderWay();

}  // namespace WatcherOLShared
}  // namespace corvana
