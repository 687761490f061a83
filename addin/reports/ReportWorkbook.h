#pragma once

#include <xlsxwriter.h>

#include <optional>
#include <string>
#include <vector>

#include "addin/reports/ReportFormats.h"

namespace corvana::addin::reports {

// One workbook being written. Sheets stream to disk as they are filled (constant memory), and the
// file appears under its name only when Close succeeds: a failed report leaves nothing half-written.
class ReportWorkbook {
 public:
  ReportWorkbook(std::string path, const std::string& valueFormat);
  ~ReportWorkbook();
  ReportWorkbook(const ReportWorkbook&) = delete;
  ReportWorkbook& operator=(const ReportWorkbook&) = delete;

  // Raises ReportError when `path` cannot be written, or exists and may not be replaced.
  static void CheckWritable(const std::string& path, bool overwrite);

  lxw_workbook* Get() const { return m_Workbook; }
  const ReportFormats& Formats() const { return *m_Formats; }
  lxw_worksheet* AddSheet(const std::string& name);
  const std::vector<std::string>& Sheets() const { return m_Sheets; }
  const std::string& Path() const { return m_Path; }
  // Raises ReportError.
  void Close();

 private:
  std::string m_Path;
  std::string m_PartPath;
  lxw_workbook* m_Workbook = nullptr;
  std::optional<ReportFormats> m_Formats;
  std::vector<std::string> m_Sheets;
};

}  // namespace corvana::addin::reports
