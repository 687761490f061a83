#include "addin/reports/ModelSheet.h"

#include "addin/reports/TrialColumns.h"

namespace corvana::addin::reports {

void ModelSheet::Write(ReportWorkbook& workbook, const ReportRun& run) {
  lxw_worksheet* sheet = workbook.AddSheet(kSheetName);
  const ReportFormats& f = workbook.Formats();
  worksheet_set_landscape(sheet);
  worksheet_fit_to_pages(sheet, 1, 0);
  worksheet_set_column(sheet, 0, 0, 24, nullptr);
  worksheet_set_column(sheet, 1, 1, kNumberWidth, nullptr);
  worksheet_set_column(sheet, 2, 2, 14, nullptr);
  lxw_row_t row = 0;
  worksheet_write_string(sheet, row, 0, ("Model " + run.Model).c_str(), f.Title);
  row += 2;
  const auto line = [&](const char* label, const std::string& text) {
    worksheet_write_string(sheet, row, 0, label, f.Label);
    worksheet_write_string(sheet, row++, 1, text.c_str(), nullptr);
  };
  line("Objective", run.Objective);
  line("Goal", run.Maximize ? "Maximize" : "Minimize");
  line("Solution kept", "the " + run.KeptSolutionName + " solution");
  ++row;
  WriteHeaders(sheet, row++, 0, {"Adjustable cell", "Value"}, f, false);
  for (std::size_t i = 0; i < run.GeneNames.size() && i < run.KeptSolution.size(); ++i) {
    worksheet_write_string(sheet, row, 0, run.GeneNames[i].c_str(), nullptr);
    worksheet_write_number(sheet, row++, 1, run.KeptSolution[i], nullptr);
  }
  ++row;
  WriteHeaders(sheet, row++, 0, {"Constraint", "Kind", "Formula"}, f, false);
  for (const ReportConstraint& c : run.Constraints) {
    worksheet_write_string(sheet, row, 0, c.Name.c_str(), nullptr);
    worksheet_write_string(sheet, row, 1, c.Hard ? "hard" : "soft", nullptr);
    worksheet_write_string(sheet, row++, 2, c.Formula.c_str(), nullptr);
  }
}

}  // namespace corvana::addin::reports
