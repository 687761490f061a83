#include "addin/reports/TrialColumns.h"

namespace corvana::addin::reports {

void WriteHeaders(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t first,
                  const std::vector<std::string>& headers, const ReportFormats& formats, bool size) {
  for (std::size_t i = 0; i < headers.size(); ++i) {
    const auto col = static_cast<lxw_col_t>(first + i);
    if (size) worksheet_set_column(sheet, col, col, ColumnWidth(headers[i]), nullptr);
    worksheet_write_string(sheet, row, col, headers[i].c_str(), formats.Header);
  }
}

TrialColumns::TrialColumns(const TrialLogFile& log, const ReportRun& run, const ReportFormats& formats,
                           lxw_col_t first)
    : m_Formats(formats),
      m_First(first),
      m_Headers{"Trial", "Result", "Valid"},
      m_Genes(static_cast<lxw_col_t>(log.Genes())) {
  for (std::int32_t i = 0; i < log.Genes(); ++i)
    m_Headers.push_back(static_cast<std::size_t>(log.Genes()) == run.GeneNames.size()
                            ? run.GeneNames[static_cast<std::size_t>(i)]
                            : "Cell " + std::to_string(i + 1));
  for (const auto& c : log.Constraints()) m_Headers.push_back(c.Name);
}

void TrialColumns::WriteHeader(lxw_worksheet* sheet, lxw_row_t row) const {
  WriteHeaders(sheet, row, m_First, m_Headers, m_Formats);
  for (lxw_col_t col = m_First + 3; col < m_First + 3 + m_Genes; ++col) {
    const double width = ColumnWidth(m_Headers[col - m_First]);
    worksheet_set_column(sheet, col, col, width < kNumberWidth ? kNumberWidth : width, nullptr);
  }
  worksheet_freeze_panes(sheet, row + 1, 0);
}

void TrialColumns::Write(lxw_worksheet* sheet, lxw_row_t row, const TrialLogFile::Record& r) const {
  lxw_col_t col = m_First;
  worksheet_write_number(sheet, row, col++, r.Trial, nullptr);
  worksheet_write_number(sheet, row, col++, r.Value, m_Formats.Value);
  worksheet_write_boolean(sheet, row, col++, r.Valid, m_Formats.Truth);
  for (double gene : r.Genes) worksheet_write_number(sheet, row, col++, gene, nullptr);
  for (double met : r.Met)
    worksheet_write_string(sheet, row, col++, met != 0 ? "met" : "not met",
                           met != 0 ? m_Formats.Met : m_Formats.NotMet);
}

}  // namespace corvana::addin::reports
