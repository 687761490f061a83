#include "watcher/graph/OGrNumberFormat.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "common/ErrorTrap.h"
#include "watcher/common/ClassicFormat.h"

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

// Literal text for ClassicFormat: every character escaped, so that none reads as a placeholder, a
// date token or the time separator.
std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

// One date token of the spreadsheet's dialect in ClassicFormat's: "y" and "yy" are the short year,
// "m" next to an hour or seconds is minutes ("n" there), "mmmmm" and beyond the month's name.
std::string ClassicDateToken(const std::string& token, bool minutes) {
  const std::size_t run = token.size();
  switch (token[0]) {
    case 'y': return run <= 2 ? "yy" : "yyyy";
    case 'm':
      return minutes ? std::string(std::min<std::size_t>(run, 2), 'n')
                     : std::string(std::min<std::size_t>(run, 4), 'm');
    case 'd': return std::string(std::min<std::size_t>(run, 4), 'd');
    case 'h': return std::string(std::min<std::size_t>(run, 2), 'h');
    case 's': return std::string(std::min<std::size_t>(run, 2), 's');
    default: return token == "am/pm" ? "AM/PM" : "A/P";
  }
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
  std::string number;  // the section as a ClassicFormat number pattern
  bool seenDecimal = false;
  bool afterNumber = false;
  bool exponentDigits = false;
  // Date tokens are collected separately; a section is a date when it holds y, d, h or s.
  std::vector<std::string> tokens;
  std::vector<bool> tokenLiteral;
  bool dateish = false;
  auto addLiteral = [&](const std::string& piece) {
    number += Escaped(piece);
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
    } else if (c == '_') {  // padding as wide as the next character
      if (i + 1 >= text.size()) return false;
      ++i;
      addLiteral(" ");
    } else if (c == '*') {  // fill: a label has no width to fill
      if (i + 1 >= text.size()) return false;
      ++i;
    } else if (c == '[') {  // colours and conditions
      std::size_t end = text.find(']', i);
      if (end == std::string::npos) return false;
      i = end;
    } else if (c == '0' || c == '#' || c == '?') {
      if (s.Exponent) {
        exponentDigits = true;
        number += '0';
        continue;
      }
      if (afterNumber) return false;  // placeholders in two places
      s.HasDigits = true;
      number += c == '?' ? '0' : c;
    } else if (c == '.' && !s.Exponent && !dateish) {
      if (seenDecimal) return false;
      seenDecimal = true;
      s.HasDigits = true;
      number += '.';
    } else if (c == ',' && s.HasDigits && !seenDecimal && !afterNumber) {
      number += ',';
    } else if (c == '%') {
      number += '%';
      tokens.emplace_back("%");
      tokenLiteral.push_back(true);
    } else if (lc == 'e' && s.HasDigits && !s.Exponent && i + 1 < text.size() &&
               (text[i + 1] == '+' || text[i + 1] == '-')) {
      s.Exponent = true;
      number += 'E';
      number += text[++i];
    } else if (lc == 'y' || lc == 'm' || lc == 'd' || lc == 'h' || lc == 's') {
      if (s.HasDigits) return false;
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
      if (s.HasDigits && !s.Exponent) afterNumber = true;
      addLiteral(std::string(1, c));
    }
  }
  if (s.Exponent && !exponentDigits) return false;
  const bool anyToken = std::find(tokenLiteral.begin(), tokenLiteral.end(), false) != tokenLiteral.end();
  if (!dateish && !(anyToken && !s.HasDigits)) {
    s.Pattern = std::move(number);
    return true;
  }
  s.IsDate = true;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (tokenLiteral[i]) {
      s.Pattern += Escaped(tokens[i]);
      continue;
    }
    // "m" means minutes right after an hour or right before seconds.
    bool minutes = false;
    if (tokens[i][0] == 'm') {
      for (std::size_t j = i; j-- > 0;) {
        if (tokenLiteral[j]) continue;
        minutes = tokens[j][0] == 'h';
        break;
      }
      for (std::size_t j = i + 1; !minutes && j < tokens.size(); ++j) {
        if (tokenLiteral[j]) continue;
        minutes = tokens[j][0] == 's';
        break;
      }
    }
    s.Pattern += ClassicDateToken(tokens[i], minutes);
  }
  return true;
}

std::string OGrNumberFormat::General(double value) {
  if (!std::isfinite(value)) return "#NUM!";
  if (value == 0) return "0";
  const double magnitude = std::fabs(value);
  std::string text;
  if (magnitude >= 1e11 || magnitude < 1e-9) {
    text = ClassicFormat::Number(value, "0.#####E+00");
  } else {
    // Ten significant digits: as many decimals as the whole part leaves.
    const int wholeDigits = static_cast<int>(std::floor(std::log10(magnitude))) + 1;
    text = ClassicFormat::Number(
        value, "0." + std::string(static_cast<std::size_t>(std::max(0, 10 - wholeDigits)), '#'));
  }
  // A whole number or mantissa shows no point.
  const auto point = text.find('.');
  if (point != std::string::npos && (point + 1 == text.size() || text[point + 1] == 'E'))
    text.erase(point, 1);
  return text;
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
  if (section->IsDate) {
    // A value outside the days a date can name shows as a full cell does.
    std::string text = "#####";
    ResumeNext([&] { text = ClassicFormat::Date(value, section->Pattern); });
    return text;
  }
  if (!std::isfinite(value)) return "#NUM!";
  if (negativeSection) value = -value;
  // Text alone: the value shows only by its sign, once it rounds to a whole unit.
  if (!section->HasDigits) {
    std::string text = std::round(value) < 0 ? "-" : "";
    return text.append(ClassicFormat::Number(0, section->Pattern));
  }
  // Beyond this a fixed pattern would print hundreds of digits.
  if (!section->Exponent && std::fabs(value) >= 1e100) return General(value);
  return ClassicFormat::Number(value, section->Pattern);
}

}  // namespace corvana
