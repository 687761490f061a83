#include "watcher/graph/OGrAxisLabels.h"

#include <algorithm>
#include <cctype>

#include "watcher/graph/OGrNumberFormat.h"

namespace corvana {

namespace {

constexpr int kMostExtraDecimals = 6;
constexpr std::size_t kFewestTicks = 3;

bool AllDiffer(const std::vector<std::string>& texts) {
  for (std::size_t i = 1; i < texts.size(); ++i)
    if (texts[i] == texts[i - 1]) return false;
  return true;
}

std::string MoreDecimalsInSection(const std::string& section, int extra) {
  std::string lower = section;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  if (lower.find("general") != std::string::npos) return section;
  // Positions of the number's own characters: outside quotes, brackets and escapes, before an
  // exponent.
  std::size_t point = std::string::npos, lastDigit = std::string::npos,
              lastDigitAfterPoint = std::string::npos;
  bool quoted = false, bracket = false;
  for (std::size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    if (quoted) {
      quoted = c != '"';
      continue;
    }
    if (bracket) {
      bracket = c != ']';
      continue;
    }
    if (c == '"')
      quoted = true;
    else if (c == '[')
      bracket = true;
    else if (c == '\\' || c == '_' || c == '*')
      ++i;
    else if (c == 'E' || c == 'e')
      break;
    else if (c == '.' && point == std::string::npos)
      point = i;
    else if (c == '0' || c == '#' || c == '?') {
      lastDigit = i;
      if (point != std::string::npos) lastDigitAfterPoint = i;
    }
  }
  if (lastDigit == std::string::npos) return section;
  std::string result = section;
  const std::string zeros(static_cast<std::size_t>(extra), '0');
  if (point == std::string::npos) return result.insert(lastDigit + 1, "." + zeros);
  return result.insert((lastDigitAfterPoint == std::string::npos ? point : lastDigitAfterPoint) + 1, zeros);
}

}  // namespace

std::string OGrAxisLabels::WithMoreDecimals(const std::string& pattern, int extra) {
  if (extra <= 0 || OGrNumberFormat(pattern).IsDate()) return pattern;
  std::string result, section;
  bool quoted = false;
  for (char c : pattern) {
    if (c == '"') quoted = !quoted;
    if (c == ';' && !quoted) {
      result += MoreDecimalsInSection(section, extra) + ';';
      section.clear();
    } else {
      section += c;
    }
  }
  return result + MoreDecimalsInSection(section, extra);
}

std::string OGrAxisLabels::Text(const OGrAxis& axis, const std::string& pattern, double value) {
  OGrNumberFormat format(pattern);
  // A date axis without a date pattern shows dates the usual way.
  if (axis.DateScaling() && !format.IsDate()) format = OGrNumberFormat("m/d/yyyy");
  return format.Format(value);
}

OGrAxisLabels OGrAxisLabels::Compute(const OGrAxis& axis, double dataMin, double dataMax, int maxTicks,
                                     bool valueAxis) {
  const std::size_t wanted =
      std::min<std::size_t>(kFewestTicks, static_cast<std::size_t>(std::max(1, maxTicks)) + 1);
  OGrAxisLabels best;
  for (int extra = 0; extra <= kMostExtraDecimals; ++extra) {
    const std::string pattern = WithMoreDecimals(axis.NumberFormat(), extra);
    if (extra > 0 && pattern == axis.NumberFormat()) break;  // nothing finer to offer
    // The most ticks whose texts all differ.
    for (int ticks = maxTicks; ticks >= 1; --ticks) {
      OGrAxisLabels candidate;
      candidate.Pattern = pattern;
      candidate.Scale = OGrAxisScale::Compute(axis, dataMin, dataMax, ticks, valueAxis);
      for (double t : candidate.Scale.Ticks) candidate.Texts.push_back(Text(axis, pattern, t));
      if (!AllDiffer(candidate.Texts)) continue;
      if (candidate.Texts.size() >= wanted) return candidate;
      if (candidate.Texts.size() > best.Texts.size()) best = std::move(candidate);
      break;
    }
  }
  if (!best.Texts.empty()) return best;
  // Nothing tells the ticks apart: the range's ends, once each.
  best.Pattern = axis.NumberFormat();
  best.Scale = OGrAxisScale::Compute(axis, dataMin, dataMax, 1, valueAxis);
  best.Scale.Ticks = {best.Scale.Min, best.Scale.Max};
  best.Texts = {Text(axis, best.Pattern, best.Scale.Min), Text(axis, best.Pattern, best.Scale.Max)};
  if (best.Texts[0] == best.Texts[1]) {
    best.Scale.Ticks.pop_back();
    best.Texts.pop_back();
  }
  return best;
}

}  // namespace corvana
