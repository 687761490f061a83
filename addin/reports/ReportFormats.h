#pragma once

#include <xlsxwriter.h>

#include <string>

namespace corvana::addin::reports {

// The cell formats every report sheet shares, made once per workbook.
struct ReportFormats {
  ReportFormats(lxw_workbook* workbook, const std::string& valueFormat);

  lxw_format* Title;
  lxw_format* Label;
  lxw_format* Header;
  lxw_format* Value;  // the objective cell's own number format
  lxw_format* Percent;
  lxw_format* Date;
  lxw_format* Duration;
  lxw_format* Met;
  lxw_format* NotMet;
  lxw_format* Truth;  // a truth value shows TRUE or FALSE in every program
};

// Column width that shows `header` whole, and at least a number's worth.
double ColumnWidth(const std::string& header);
// Width that shows a double's sixteen digits with sign and point.
inline constexpr double kNumberWidth = 20;

}  // namespace corvana::addin::reports
