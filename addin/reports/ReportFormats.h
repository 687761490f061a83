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
  lxw_format* NotMet;
};

// Column width that shows `header` whole, and at least a number's worth.
double ColumnWidth(const std::string& header);

}  // namespace corvana::addin::reports
