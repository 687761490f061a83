#pragma once

#include <string>
#include <vector>

namespace corvana {

// An Excel-style number format: "General", "0", "0.00", "#,##0", "0.0%", "0.00E+00", "m/d/yyyy",
// "hh:mm:ss", literal text in quotes, up to four sections ("positive;negative;zero;text"). Dates are
// days since 30 December 1899. A pattern that cannot be read formats as General; formatting never fails.
// This class reads the spreadsheet's dialect (sections, General, padding, fill and colour codes) and
// hands each section, translated, to ClassicFormat, which lays out the digits and the dates.
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
    std::string Pattern;  // the section in ClassicFormat's terms
    bool IsGeneral = false;
    bool IsDate = false;
    bool HasDigits = false;  // a digit placeholder or decimal point: else only its text shows
    bool Exponent = false;
  };
  static bool ParseSection(const std::string& text, Section& section);
  static std::string FormatSection(double value, const Section& section);

  std::vector<Section> m_Sections;
  bool m_Valid = true;
  bool m_IsDate = false;
};

}  // namespace corvana
