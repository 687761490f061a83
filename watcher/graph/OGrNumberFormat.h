#pragma once

#include <string>
#include <vector>

namespace corvana {

// An Excel-style number format: "General", "0", "0.00", "#,##0", "0.0%", "0.00E+00", "m/d/yyyy",
// "hh:mm:ss", literal text in quotes, up to two sections ("positive;negative"). Dates are days
// since 30 December 1899. A pattern that cannot be read formats as General; formatting never fails.
class OGrNumberFormat {
 public:
  explicit OGrNumberFormat(const std::string& pattern = "General");

  std::string Format(double value) const;
  // False when the pattern could not be read (it then formats as General).
  bool Valid() const noexcept { return m_Valid; }
  bool IsDate() const noexcept { return m_IsDate; }

  static std::string Format(double value, const std::string& pattern) {
    return OGrNumberFormat(pattern).Format(value);
  }
  // Up to 10 significant digits as a spreadsheet's General shows them.
  static std::string General(double value);

 private:
  struct Section {
    std::string Prefix;
    std::string Suffix;
    int MinInteger = 0;
    int MinDecimals = 0;
    int MaxDecimals = 0;
    bool Grouping = false;
    bool Percent = false;
    bool Exponent = false;
    bool ExponentSign = false;  // "E+" shows the plus sign
    int ExponentDigits = 0;
    bool IsDate = false;
    bool IsGeneral = false;
    std::vector<std::string> DateTokens;  // date/time tokens and literal pieces
    std::vector<bool> DateTokenLiteral;
  };
  static bool ParseSection(const std::string& text, Section& section);
  static std::string FormatNumber(double value, const Section& section);
  static std::string FormatDate(double value, const Section& section);

  std::vector<Section> m_Sections;
  bool m_Valid = true;
  bool m_IsDate = false;
};

}  // namespace corvana
