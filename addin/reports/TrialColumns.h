#pragma once

#include <xlsxwriter.h>

#include <string>
#include <vector>

#include "addin/reports/ReportFormats.h"
#include "addin/reports/ReportRun.h"
#include "addin/reports/TrialLogFile.h"

namespace corvana::addin::reports {

// A trial as a row of the logs: trial, result, valid, each adjustable cell, each constraint met or
// not. Both logs share it, so their columns line up.
class TrialColumns {
 public:
  TrialColumns(const TrialLogFile& log, const ReportRun& run, const ReportFormats& formats, lxw_col_t first);

  lxw_col_t First() const { return m_First; }
  lxw_col_t Last() const { return static_cast<lxw_col_t>(m_First + m_Headers.size() - 1); }
  // Writes the header row, sizes the columns to it and freezes it.
  void WriteHeader(lxw_worksheet* sheet, lxw_row_t row) const;
  void Write(lxw_worksheet* sheet, lxw_row_t row, const TrialLogFile::Record& record) const;

 private:
  const ReportFormats& m_Formats;
  lxw_col_t m_First;
  std::vector<std::string> m_Headers;
  lxw_col_t m_Genes;
};

// Header cells; `size`: columns as wide as their headers.
void WriteHeaders(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t first,
                  const std::vector<std::string>& headers, const ReportFormats& formats, bool size = true);

}  // namespace corvana::addin::reports
