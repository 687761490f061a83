#include "watcher/graph/OGrNumberFormat.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace corvana {

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// Splits at ';' outside quotes and brackets.
std::vector<std::string> SplitSections(const std::string& pattern, bool& ok) {
  std::vector<std::string> sections(1);
  bool quoted = false;
  bool bracket = false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    if (c == '"' && !bracket) quoted = !quoted;
    if (!quoted && c == '[') bracket = true;
    if (!quoted && c == ']') bracket = false;
    if (c == '\\' && !quoted && i + 1 < pattern.size()) {
      sections.back() += c;
      sections.back() += pattern[++i];
      continue;
    }
    if (c == ';' && !quoted && !bracket) {
      sections.emplace_back();
      continue;
    }
    sections.back() += c;
  }
  ok = !quoted && !bracket && sections.size() <= 4;
  return sections;
}

std::string GroupThousands(const std::string& digits) {
  std::string result;
  int count = 0;
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (count > 0 && count % 3 == 0) result.insert(result.begin(), ',');
    result.insert(result.begin(), *it);
    ++count;
  }
  return result;
}

struct CivilDate {
  long long Year;
  int Month;
  int Day;
  int Weekday;  // 0 = Sunday
};

// Days since 30 December 1899 to a proleptic Gregorian date.
CivilDate FromSerialDay(long long serial) {
  long long z = serial - 25569 + 719468;  // 25569 = 1 January 1970
  long long era = (z >= 0 ? z : z - 146096) / 146097;
  long long doe = z - era * 146097;
  long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long long y = yoe + era * 400;
  long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  long long mp = (5 * doy + 2) / 153;
  int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  long long days1970 = serial - 25569;
  int weekday = static_cast<int>(((days1970 % 7) + 7 + 4) % 7);  // 1 January 1970 was a Thursday
  return CivilDate{m <= 2 ? y + 1 : y, m, d, weekday};
}

const char* kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                             "July",    "August",   "September", "October", "November", "December"};
const char* kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

std::string TwoDigits(long long value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%02lld", value);
  return buffer;
}

// `value` (not negative, below 1e100) with `decimals` decimals, rounded half up on its 15 significant
// decimal digits as a spreadsheet shows it (1.555 -> "1.56" although its binary value lies below).
std::string FixedDecimal(double value, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14e", value);
  std::string digits(1, buffer[0]);
  digits.append(buffer + 2, 14);
  int pointPosition = std::atoi(std::strchr(buffer, 'e') + 1) + 1;
  if (pointPosition < 0) {
    digits.insert(0, static_cast<std::size_t>(-pointPosition), '0');
    pointPosition = 0;
  }
  const std::size_t keep = static_cast<std::size_t>(pointPosition + decimals);
  if (digits.size() < keep + 1) digits.append(keep + 1 - digits.size(), '0');
  bool up = digits[keep] >= '5';
  digits.resize(keep);
  if (up) {
    std::size_t i = keep;
    while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
    if (i == 0) {
      digits.insert(digits.begin(), '1');
      ++pointPosition;
    } else {
      ++digits[i - 1];
    }
  }
  std::string integer = digits.substr(0, static_cast<std::size_t>(pointPosition));
  integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size()));
  if (integer.empty()) integer = "0";
  std::string fraction = digits.substr(static_cast<std::size_t>(pointPosition));
  return decimals > 0 ? integer + "." + fraction : integer;
}

}  // namespace

OGrNumberFormat::OGrNumberFormat(const std::string& pattern) {
  std::string trimmed = pattern;
  trimmed.erase(0, trimmed.find_first_not_of(' '));
  if (trimmed.empty() || Lower(trimmed) == "general") {
    Section general;
    general.IsGeneral = true;
    m_Sections.push_back(general);
    return;
  }
  bool ok = false;
  auto texts = SplitSections(trimmed, ok);
  if (ok) {
    for (const auto& text : texts) {
      Section section;
      if (!ParseSection(text, section)) {
        ok = false;
        break;
      }
      m_Sections.push_back(section);
    }
  }
  if (!ok) {
    m_Valid = false;
    m_Sections.assign(1, Section{});
    m_Sections.front().IsGeneral = true;
    return;
  }
  m_IsDate = m_Sections.front().IsDate;
}

bool OGrNumberFormat::ParseSection(const std::string& text, Section& s) {
  if (Lower(text) == "general") {
    s.IsGeneral = true;
    return true;
  }
  std::string literal;
  bool anyDigit = false;
  bool seenDecimal = false;
  bool afterNumber = false;
  // Date tokens are collected separately; a section is a date when it holds y, d, h or s.
  std::vector<std::string> tokens;
  std::vector<bool> tokenLiteral;
  bool dateish = false;
  auto addLiteral = [&](const std::string& piece) {
    if (afterNumber || s.Exponent)
      s.Suffix += piece;
    else if (!anyDigit)
      s.Prefix += piece;
    else
      s.Suffix += piece;
    tokens.push_back(piece);
    tokenLiteral.push_back(true);
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    char lc = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c == '"') {
      std::size_t end = text.find('"', i + 1);
      if (end == std::string::npos) return false;
      addLiteral(text.substr(i + 1, end - i - 1));
      i = end;
    } else if (c == '\\') {
      if (i + 1 >= text.size()) return false;
      addLiteral(std::string(1, text[++i]));
    } else if (c == '_') {
      if (i + 1 >= text.size()) return false;
      ++i;
      addLiteral(" ");
    } else if (c == '*') {
      if (i + 1 >= text.size()) return false;
      ++i;
    } else if (c == '[') {
      std::size_t end = text.find(']', i);
      if (end == std::string::npos) return false;
      i = end;
    } else if (c == '0' || c == '#' || c == '?') {
      if (s.Exponent) {
        ++s.ExponentDigits;
        continue;
      }
      if (afterNumber) return false;  // placeholders in two places
      anyDigit = true;
      if (seenDecimal) {
        ++s.MaxDecimals;
        if (c != '#') s.MinDecimals = s.MaxDecimals;
      } else if (c != '#') {
        ++s.MinInteger;
      }
    } else if (c == '.' && !s.Exponent && !dateish) {
      if (seenDecimal) return false;
      seenDecimal = true;
      anyDigit = true;
    } else if (c == ',' && anyDigit && !seenDecimal && !afterNumber) {
      s.Grouping = true;
    } else if (c == '%') {
      s.Percent = true;
      addLiteral("%");
    } else if ((lc == 'e') && anyDigit && !s.Exponent && i + 1 < text.size() &&
               (text[i + 1] == '+' || text[i + 1] == '-')) {
      s.Exponent = true;
      s.ExponentSign = text[i + 1] == '+';
      ++i;
    } else if (lc == 'y' || lc == 'm' || lc == 'd' || lc == 'h' || lc == 's') {
      if (anyDigit) return false;
      std::size_t j = i;
      while (j < text.size() && std::tolower(static_cast<unsigned char>(text[j])) == lc) ++j;
      tokens.push_back(Lower(text.substr(i, j - i)));
      tokenLiteral.push_back(false);
      if (lc != 'm') dateish = true;
      i = j - 1;
    } else if (lc == 'a' && (Lower(text.substr(i, 5)) == "am/pm" || Lower(text.substr(i, 3)) == "a/p")) {
      bool full = Lower(text.substr(i, 5)) == "am/pm";
      tokens.push_back(full ? "am/pm" : "a/p");
      tokenLiteral.push_back(false);
      dateish = true;
      i += full ? 4 : 2;
    } else if (std::isalpha(static_cast<unsigned char>(c)) && c != 'E' && c != 'e') {
      return false;  // a letter that means nothing in a pattern
    } else {
      if (anyDigit && !s.Exponent) afterNumber = true;
      addLiteral(std::string(1, c));
    }
  }
  if (s.Exponent && s.ExponentDigits == 0) return false;
  if (dateish ||
      (!anyDigit && std::find(tokenLiteral.begin(), tokenLiteral.end(), false) != tokenLiteral.end())) {
    s.IsDate = true;
    s.DateTokens = std::move(tokens);
    s.DateTokenLiteral = std::move(tokenLiteral);
  }
  return true;
}

std::string OGrNumberFormat::General(double value) {
  if (std::isnan(value) || std::isinf(value)) return "#NUM!";
  if (value == 0) return "0";
  double magnitude = std::fabs(value);
  char buffer[64];
  if (magnitude >= 1e11 || magnitude < 1e-9) {
    int exponent = static_cast<int>(std::floor(std::log10(magnitude)));
    double mantissa = value / std::pow(10.0, exponent);
    std::snprintf(buffer, sizeof buffer, "%.5f", mantissa);
    if (std::fabs(std::atof(buffer)) >= 10) {
      ++exponent;
      std::snprintf(buffer, sizeof buffer, "%.5f", value / std::pow(10.0, exponent));
    }
    std::string text = buffer;
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
    char exp[16];
    std::snprintf(exp, sizeof exp, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return text + exp;
  }
  std::snprintf(buffer, sizeof buffer, "%.10g", value);
  return buffer;
}

std::string OGrNumberFormat::Format(double value) const {
  const Section* section = &m_Sections.front();
  bool negativeSection = false;
  if (m_Sections.size() >= 2 && value < 0) {
    section = &m_Sections[1];
    negativeSection = true;
  } else if (m_Sections.size() >= 3 && value == 0) {
    section = &m_Sections[2];
  }
  if (section->IsGeneral) return General(value);
  if (section->IsDate) return FormatDate(value, *section);
  if (!std::isfinite(value)) return "#NUM!";
  return FormatNumber(negativeSection ? -value : value, *section);
}

std::string OGrNumberFormat::FormatNumber(double value, const Section& s) {
  bool hasPlaceholders =
      s.MinInteger > 0 || s.MaxDecimals > 0 || s.Exponent || s.Grouping || s.MinDecimals > 0;
  if (s.Percent) value *= 100;
  bool negative = value < 0;
  double magnitude = std::fabs(value);
  std::string body;
  char buffer[512];
  if (s.Exponent) {
    int exponent = magnitude == 0 ? 0 : static_cast<int>(std::floor(std::log10(magnitude)));
    int integerDigits = std::max(1, s.MinInteger);
    exponent -= integerDigits - 1;
    double mantissa = magnitude == 0 ? 0 : magnitude / std::pow(10.0, exponent);
    std::snprintf(buffer, sizeof buffer, "%.*f", s.MaxDecimals, mantissa);
    if (std::atof(buffer) >= std::pow(10.0, integerDigits)) {
      ++exponent;
      std::snprintf(buffer, sizeof buffer, "%.*f", s.MaxDecimals, magnitude / std::pow(10.0, exponent));
    }
    body = buffer;
    char exp[32];
    const char* sign = exponent < 0 ? "-" : (s.ExponentSign ? "+" : "");
    std::snprintf(exp, sizeof exp, "E%s%0*d", sign, s.ExponentDigits, std::abs(exponent));
    body += exp;
  } else {
    // Beyond this a fixed pattern would print hundreds of digits; such values show as General.
    if (magnitude >= 1e100) return (negative ? "-" : "") + s.Prefix + General(magnitude) + s.Suffix;
    std::string text = FixedDecimal(magnitude, s.MaxDecimals);
    std::string integer = text;
    std::string fraction;
    if (auto dot = text.find('.'); dot != std::string::npos) {
      integer = text.substr(0, dot);
      fraction = text.substr(dot + 1);
    }
    while (static_cast<int>(fraction.size()) > s.MinDecimals && !fraction.empty() && fraction.back() == '0')
      fraction.pop_back();
    if (integer == "0" && s.MinInteger == 0) integer.clear();
    while (static_cast<int>(integer.size()) < s.MinInteger) integer.insert(integer.begin(), '0');
    if (s.Grouping) integer = GroupThousands(integer);
    body = integer;
    if (s.MaxDecimals > 0 && (!fraction.empty() || s.MinDecimals > 0)) body += "." + fraction;
    if (!hasPlaceholders) body.clear();
    // Rounded to zero: no minus sign, as a spreadsheet shows it.
    if (negative && std::strtod(text.c_str(), nullptr) == 0) negative = false;
  }
  return (negative ? "-" : "") + s.Prefix + body + s.Suffix;
}

std::string OGrNumberFormat::FormatDate(double value, const Section& s) {
  // Serial days as far as year 9999 either way; anything else cannot be a date.
  if (!std::isfinite(value) || std::fabs(value) > 2958465.99999) return "#####";
  double dayPart = std::trunc(value);
  double timePart = std::fabs(value - dayPart);
  long long seconds = std::llround(timePart * 86400.0);
  long long day = static_cast<long long>(dayPart);
  if (seconds >= 86400) {
    seconds -= 86400;
    day += value < 0 ? -1 : 1;
  }
  CivilDate date = FromSerialDay(day);
  long long hour = seconds / 3600;
  long long minute = (seconds / 60) % 60;
  long long second = seconds % 60;
  bool twelveHour = std::find(s.DateTokens.begin(), s.DateTokens.end(), "am/pm") != s.DateTokens.end() ||
                    std::find(s.DateTokens.begin(), s.DateTokens.end(), "a/p") != s.DateTokens.end();
  std::string result;
  for (std::size_t i = 0; i < s.DateTokens.size(); ++i) {
    const std::string& token = s.DateTokens[i];
    if (s.DateTokenLiteral[i]) {
      result += token;
      continue;
    }
    // "m" means minutes right after an hour or right before seconds.
    bool minutes = false;
    if (token[0] == 'm') {
      for (std::size_t j = i; j-- > 0;) {
        if (s.DateTokenLiteral[j]) continue;
        minutes = s.DateTokens[j][0] == 'h';
        break;
      }
      for (std::size_t j = i + 1; !minutes && j < s.DateTokens.size(); ++j) {
        if (s.DateTokenLiteral[j]) continue;
        minutes = s.DateTokens[j][0] == 's';
        break;
      }
    }
    char buffer[32];
    if (token[0] == 'y') {
      if (token.size() <= 2) {
        result += TwoDigits(((date.Year % 100) + 100) % 100);
      } else {
        std::snprintf(buffer, sizeof buffer, "%04lld", date.Year);
        result += buffer;
      }
    } else if (token[0] == 'm' && minutes) {
      result += token.size() >= 2 ? TwoDigits(minute) : std::to_string(minute);
    } else if (token[0] == 'm') {
      if (token.size() == 1)
        result += std::to_string(date.Month);
      else if (token.size() == 2)
        result += TwoDigits(date.Month);
      else if (token.size() == 3)
        result += std::string(kMonthNames[date.Month - 1]).substr(0, 3);
      else if (token.size() == 5)
        result += std::string(kMonthNames[date.Month - 1]).substr(0, 1);
      else
        result += kMonthNames[date.Month - 1];
    } else if (token[0] == 'd') {
      if (token.size() == 1)
        result += std::to_string(date.Day);
      else if (token.size() == 2)
        result += TwoDigits(date.Day);
      else if (token.size() == 3)
        result += std::string(kDayNames[date.Weekday]).substr(0, 3);
      else
        result += kDayNames[date.Weekday];
    } else if (token[0] == 'h') {
      long long shown = twelveHour ? (hour % 12 == 0 ? 12 : hour % 12) : hour;
      result += token.size() >= 2 ? TwoDigits(shown) : std::to_string(shown);
    } else if (token[0] == 's') {
      result += token.size() >= 2 ? TwoDigits(second) : std::to_string(second);
    } else if (token == "am/pm") {
      result += hour < 12 ? "AM" : "PM";
    } else if (token == "a/p") {
      result += hour < 12 ? "A" : "P";
    }
  }
  return result;
}

}  // namespace corvana
