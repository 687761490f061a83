#include "watcher/common/ClassicFormat.h"

#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/ComError.h"
#include "common/Variant.h"

namespace corvana {

namespace {

// A non-negative value as decimal digits d0.d1d2... x 10^Exponent, rounded to 15 significant
// digits as the classic conversion works.
struct Decimal {
  std::string Digits;  // no leading zeros; empty for 0
  int Exponent = 0;

  explicit Decimal(double magnitude) {
    if (magnitude == 0) return;
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", magnitude);  // d.dddddddddddddde±x
    const std::string text = buffer;
    const auto e = text.find('e');
    Digits = text.substr(0, 1) + text.substr(2, e - 2);
    Exponent = std::atoi(text.c_str() + e + 1);
    TrimZeros();
  }

  bool IsZero() const { return Digits.empty(); }

  // Keeps `significant` digits, rounding half away from zero; fewer than one digit leaves 0 or a
  // carried 1.
  void RoundToSignificant(int significant) {
    if (significant >= static_cast<int>(Digits.size())) return;
    if (significant < 0) {
      Digits.clear();
      return;
    }
    const bool up = Digits[static_cast<std::size_t>(significant)] >= '5';
    Digits.resize(static_cast<std::size_t>(significant));
    if (up) {
      int i = significant - 1;
      for (; i >= 0 && Digits[static_cast<std::size_t>(i)] == '9'; --i)
        Digits[static_cast<std::size_t>(i)] = '0';
      if (i >= 0) {
        ++Digits[static_cast<std::size_t>(i)];
      } else {
        Digits.insert(Digits.begin(), '1');
        ++Exponent;
      }
    }
    TrimZeros();
  }

  // Rounds to `decimals` places after the point.
  void RoundToDecimals(int decimals) { RoundToSignificant(Exponent + 1 + decimals); }

  // The digit at 10^position (0 when outside the digits).
  char DigitAt(int position) const {
    const int index = Exponent - position;
    if (index < 0 || index >= static_cast<int>(Digits.size())) return '0';
    return Digits[static_cast<std::size_t>(index)];
  }

 private:
  void TrimZeros() {
    while (!Digits.empty() && Digits.back() == '0') Digits.pop_back();
    if (Digits.empty()) Exponent = 0;
  }
};

// A number pattern taken apart.
struct NumberPattern {
  std::string Prefix, Suffix;
  int IntegerZeros = 0;   // '0' before the point: digits always shown
  int IntegerPlaces = 0;  // '0' and '#' before the point
  bool Grouping = false;
  bool HasPoint = false;
  int DecimalZeros = 0;
  int DecimalPlaces = 0;
  bool Percent = false;
  bool Scientific = false;
  bool ExponentAlwaysSigned = false;
  int ExponentDigits = 0;
  char ExponentLetter = 'E';
};

NumberPattern ParseNumberPattern(std::string_view pattern) {
  NumberPattern p;
  bool seenPlaceholder = false, inExponent = false;
  std::string* literal = &p.Prefix;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (inExponent && c == '0') {
      ++p.ExponentDigits;
      continue;
    }
    if ((c == 'E' || c == 'e') && seenPlaceholder && !p.Scientific && i + 1 < pattern.size() &&
        (pattern[i + 1] == '+' || pattern[i + 1] == '-')) {
      p.Scientific = inExponent = true;
      p.ExponentLetter = c;
      p.ExponentAlwaysSigned = pattern[++i] == '+';
      continue;
    }
    if (!inExponent && (c == '0' || c == '#')) {
      seenPlaceholder = true;
      literal = &p.Suffix;
      if (p.HasPoint) {
        ++p.DecimalPlaces;
        if (c == '0') p.DecimalZeros = p.DecimalPlaces;
      } else {
        ++p.IntegerPlaces;
        if (c == '0') ++p.IntegerZeros;
      }
      continue;
    }
    if (!inExponent && c == '.' && !p.HasPoint) {
      p.HasPoint = true;
      seenPlaceholder = true;
      literal = &p.Suffix;
      continue;
    }
    if (!inExponent && c == ',' && seenPlaceholder && !p.HasPoint) {
      p.Grouping = true;
      continue;
    }
    if (c == '%') p.Percent = true;
    if (inExponent) {
      inExponent = false;
      literal = &p.Suffix;
    }
    if (c == '\\' && i + 1 < pattern.size()) {
      literal->push_back(pattern[++i]);
    } else if (c == '"') {
      const auto close = pattern.find('"', i + 1);
      const auto end = close == std::string_view::npos ? pattern.size() : close;
      literal->append(pattern.substr(i + 1, end - i - 1));
      i = end;
    } else {
      literal->push_back(c);
    }
  }
  return p;
}

std::string IntegerText(const Decimal& d, int zeros, bool grouping) {
  const int top = std::max(d.IsZero() ? -1 : d.Exponent, zeros - 1);
  std::string text;
  for (int position = top; position >= 0; --position) {
    text.push_back(d.DigitAt(position));
    if (grouping && position > 0 && position % 3 == 0) text.push_back(',');
  }
  return text;
}

std::string FractionText(const Decimal& d, int zeros, int places) {
  std::string text;
  for (int i = 1; i <= places; ++i) text.push_back(d.DigitAt(-i));
  while (static_cast<int>(text.size()) > zeros && text.back() == '0') text.pop_back();
  return text;
}

std::string FormatScientific(Decimal d, const NumberPattern& p) {
  const int integerDigits = std::max(p.IntegerPlaces, 1);
  int exponent = 0;
  if (!d.IsZero()) {
    d.RoundToSignificant(integerDigits + p.DecimalPlaces);
    exponent = d.Exponent - (integerDigits - 1);
    d.Exponent = integerDigits - 1;  // the mantissa: integerDigits digits before the point
  }
  std::string text = IntegerText(d, p.IntegerZeros, p.Grouping);
  if (p.HasPoint) text.append(".").append(FractionText(d, p.DecimalZeros, p.DecimalPlaces));
  std::string digits = std::to_string(std::abs(exponent));
  if (static_cast<int>(digits.size()) < p.ExponentDigits)
    digits.insert(0, static_cast<std::size_t>(p.ExponentDigits) - digits.size(), '0');
  text.push_back(p.ExponentLetter);
  if (exponent < 0)
    text.push_back('-');
  else if (p.ExponentAlwaysSigned)
    text.push_back('+');
  return text + digits;
}

// Days since 30 December 1899 and seconds of the day, the time part positive also for dates
// before day 0, rounded to the second.
struct DateParts {
  std::chrono::year_month_day Day;
  int Hour = 0, Minute = 0, Second = 0;
  unsigned Weekday = 0;  // 0 = Sunday
};

DateParts SplitOleDate(double oleDate) {
  // Day 1 January 100 .. 31 December 9999, as the classic date type allows.
  if (!(oleDate >= -657434.0 && oleDate < 2958466.0))
    RaiseError(0x800A0006, "Format", "Overflow: " + DoubleToText(oleDate) + " is not a date.");
  double wholeDays = std::trunc(oleDate);
  long seconds = std::lround(std::fabs(oleDate - wholeDays) * 86400.0);
  if (seconds >= 86400) {
    seconds -= 86400;
    wholeDays += oleDate < 0 ? -1 : 1;
  }
  using namespace std::chrono;
  const sys_days day = sys_days{1899y / December / 30} + days{static_cast<long>(wholeDays)};
  DateParts parts;
  parts.Day = year_month_day{day};
  parts.Weekday = weekday{day}.c_encoding();
  parts.Hour = static_cast<int>(seconds / 3600);
  parts.Minute = static_cast<int>(seconds / 60 % 60);
  parts.Second = static_cast<int>(seconds % 60);
  return parts;
}

std::string Padded(long value, int width) {
  std::string text = std::to_string(value);
  if (static_cast<int>(text.size()) < width)
    text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
  return text;
}

bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view word) {
  if (text.size() - at < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[at + i])) !=
        std::tolower(static_cast<unsigned char>(word[i])))
      return false;
  return true;
}

std::string& TimeSeparatorSetting() {
  static std::string separator = ":";
  return separator;
}

constexpr const char* kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                       "July",    "August",   "September", "October", "November", "December"};
constexpr const char* kDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};

}  // namespace

std::string ClassicFormat::Number(double value, std::string_view pattern) {
  if (!std::isfinite(value)) return DoubleToText(value);
  const NumberPattern p = ParseNumberPattern(pattern);
  if (p.Percent) value *= 100;
  Decimal d(std::fabs(value));
  std::string body;
  if (p.Scientific) {
    body = FormatScientific(d, p);
  } else {
    d.RoundToDecimals(p.DecimalPlaces);
    body = IntegerText(d, p.IntegerZeros, p.Grouping);
    if (p.HasPoint) body.append(".").append(FractionText(d, p.DecimalZeros, p.DecimalPlaces));
  }
  // A value that rounds to zero shows no sign.
  const bool negative = value < 0 && !d.IsZero();
  return (negative ? "-" : "") + p.Prefix + body + p.Suffix;
}

std::string ClassicFormat::Date(double oleDate, std::string_view pattern) {
  const DateParts parts = SplitOleDate(oleDate);
  // AM/PM anywhere turns the hours to the 12-hour clock.
  bool twelveHour = false;
  for (std::size_t i = 0; i < pattern.size(); ++i)
    if (StartsWithNoCase(pattern, i, "am/pm") || StartsWithNoCase(pattern, i, "a/p") ||
        StartsWithNoCase(pattern, i, "ampm"))
      twelveHour = true;

  const int year = static_cast<int>(parts.Day.year());
  const unsigned month = static_cast<unsigned>(parts.Day.month());
  const unsigned day = static_cast<unsigned>(parts.Day.day());
  std::string out;
  bool afterHour = false;  // an "m" right after an hour token means minutes
  for (std::size_t i = 0; i < pattern.size();) {
    const char c = pattern[i];
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::size_t run = 1;
    while (i + run < pattern.size() && std::tolower(static_cast<unsigned char>(pattern[i + run])) == lower)
      ++run;
    if (StartsWithNoCase(pattern, i, "am/pm")) {
      const bool upper = pattern[i] == 'A';
      out += parts.Hour < 12 ? (upper ? "AM" : "am") : (upper ? "PM" : "pm");
      i += 5;
      continue;
    }
    if (StartsWithNoCase(pattern, i, "a/p")) {
      const bool upper = pattern[i] == 'A';
      out += parts.Hour < 12 ? (upper ? "A" : "a") : (upper ? "P" : "p");
      i += 3;
      continue;
    }
    if (StartsWithNoCase(pattern, i, "ampm")) {
      out += parts.Hour < 12 ? "AM" : "PM";
      i += 4;
      continue;
    }
    switch (lower) {
      case 'y':
        if (run >= 3)
          out += Padded(year, 4);
        else if (run == 2)
          out += Padded(year % 100, 2);
        else
          out += std::to_string((std::chrono::sys_days{parts.Day} -
                                 std::chrono::sys_days{parts.Day.year() / std::chrono::January / 1})
                                    .count() +
                                1);
        run = run >= 3 ? std::min<std::size_t>(run, 4) : run;
        afterHour = false;
        break;
      case 'd':
        run = std::min<std::size_t>(run, 4);
        if (run == 4)
          out += kDayNames[parts.Weekday];
        else if (run == 3)
          out += std::string(kDayNames[parts.Weekday]).substr(0, 3);
        else
          out += Padded(day, static_cast<int>(run));
        afterHour = false;
        break;
      case 'm': {
        // Minutes right after an hour or right before seconds, else the month.
        std::size_t next = i + run;
        while (next < pattern.size() && !std::isalpha(static_cast<unsigned char>(pattern[next]))) ++next;
        const bool beforeSeconds =
            next < pattern.size() && std::tolower(static_cast<unsigned char>(pattern[next])) == 's';
        if (run <= 2 && (afterHour || beforeSeconds)) {
          out += Padded(parts.Minute, static_cast<int>(run));
        } else {
          run = std::min<std::size_t>(run, 4);
          if (run == 4)
            out += kMonthNames[month - 1];
          else if (run == 3)
            out += std::string(kMonthNames[month - 1]).substr(0, 3);
          else
            out += Padded(month, static_cast<int>(run));
        }
        afterHour = false;
        break;
      }
      case 'h': {
        run = std::min<std::size_t>(run, 2);
        int hour = parts.Hour;
        if (twelveHour) hour = hour % 12 == 0 ? 12 : hour % 12;
        out += Padded(hour, static_cast<int>(run));
        afterHour = true;
        break;
      }
      case 'n':
        run = std::min<std::size_t>(run, 2);
        out += Padded(parts.Minute, static_cast<int>(run));
        afterHour = false;
        break;
      case 's':
        run = std::min<std::size_t>(run, 2);
        out += Padded(parts.Second, static_cast<int>(run));
        afterHour = false;
        break;
      case ':':
        run = 1;
        out += TimeSeparator();
        break;
      case '\\':
        run = 1;
        if (i + 1 < pattern.size()) out.push_back(pattern[++i]);
        break;
      case '"': {
        const auto close = pattern.find('"', i + 1);
        const auto end = close == std::string_view::npos ? pattern.size() : close;
        out.append(pattern.substr(i + 1, end - i - 1));
        run = end - i + 1;
        break;
      }
      default:
        run = 1;
        out.push_back(c);
        break;
    }
    i += run;
  }
  return out;
}

std::string ClassicFormat::Apply(double value, std::string_view pattern) {
  bool dateToken = false, digitToken = false, quoted = false;
  for (char c : pattern) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c == '0' || c == '#') digitToken = true;
    if (lower == 'd' || lower == 'y' || lower == 'h' || lower == 'n' || lower == 's' || lower == 'm' ||
        c == ':')
      dateToken = true;
  }
  return dateToken && !digitToken ? Date(value, pattern) : Number(value, pattern);
}

const std::string& ClassicFormat::TimeSeparator() {
  return TimeSeparatorSetting();
}

void ClassicFormat::SetTimeSeparator(std::string separator) {
  TimeSeparatorSetting() = std::move(separator);
}

}  // namespace corvana
