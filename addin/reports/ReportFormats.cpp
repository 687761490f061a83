#include "addin/reports/ReportFormats.h"

#include <algorithm>

namespace corvana::addin::reports {

namespace {

lxw_format* NumberFormat(lxw_workbook* workbook, const std::string& format) {
  lxw_format* f = workbook_add_format(workbook);
  format_set_num_format(f, format.c_str());
  return f;
}

}  // namespace

ReportFormats::ReportFormats(lxw_workbook* workbook, const std::string& valueFormat)
    : Title(workbook_add_format(workbook)),
      Label(workbook_add_format(workbook)),
      Header(workbook_add_format(workbook)),
      Value(NumberFormat(workbook, valueFormat)),
      Percent(NumberFormat(workbook, "0.0%")),
      Date(NumberFormat(workbook, "yyyy-mm-dd hh:mm:ss")),
      Duration(NumberFormat(workbook, "[h]:mm:ss")),
      Met(workbook_add_format(workbook)),
      NotMet(workbook_add_format(workbook)),
      Truth(NumberFormat(workbook, "\"TRUE\";\"TRUE\";\"FALSE\"")) {
  format_set_bold(Title);
  format_set_font_size(Title, 14);
  format_set_bold(Label);
  format_set_bold(Header);
  format_set_bottom(Header, LXW_BORDER_THIN);
  format_set_bg_color(Header, 0xDDE6F0);
  format_set_align(Met, LXW_ALIGN_CENTER);
  format_set_align(NotMet, LXW_ALIGN_CENTER);
  format_set_font_color(NotMet, 0xC00000);
}

double ColumnWidth(const std::string& header) {
  return std::max<double>(11, static_cast<double>(header.size()) + 3);
}

}  // namespace corvana::addin::reports
