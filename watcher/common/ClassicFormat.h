#pragma once

#include <string>
#include <string_view>

namespace corvana {

// Number and date patterns as the classic Format function applies them, in the invariant locale:
//  numbers: "0", "00", "0.0000", "#,##0.00", "0.0%", "0.0000E+000" (0 = digit, # = optional digit,
//           "," = thousands grouping, % = times 100, E+/E- = exponent with at least as many
//           digits as zeros follow; any other character is copied);
//  dates:   "m/d/yyyy", "m/d/yyyy h:mm AM/PM", "hh:mm:ss" and the tokens d dd m mm yy yyyy h hh
//           n nn s ss AM/PM am/pm and ":" (the time separator) on an OLE date (day 0 = 30
//           December 1899; negative days count back while the time of day stays positive).
// A pattern is a date pattern when it has one of the letters d, y, h, n, s or the time separator
// and no digit placeholder; "m" directly after h/hh is minutes.
class ClassicFormat {
 public:
  static std::string Number(double value, std::string_view pattern);
  static std::string Date(double oleDate, std::string_view pattern);
  // Either of the above, by the pattern's kind.
  static std::string Apply(double value, std::string_view pattern);

  // The time separator that ":" stands for; ":" unless changed (tests use other separators).
  static const std::string& TimeSeparator();
  static void SetTimeSeparator(std::string separator);
};

}  // namespace corvana
