#include "addin/reports/ReportWorkbook.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "addin/reports/ReportError.h"

namespace corvana::addin::reports {

namespace fs = std::filesystem;

ReportWorkbook::ReportWorkbook(std::string path, const std::string& valueFormat)
    : m_Path(std::move(path)), m_PartPath(m_Path + ".part") {
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  options.use_zip64 = LXW_TRUE;  // a log of millions of trials outgrows 4 GB of XML
  m_Workbook = workbook_new_opt(m_PartPath.c_str(), &options);
  if (!m_Workbook) throw ReportError("cannot write " + m_Path + ": out of memory");
  m_Formats.emplace(m_Workbook, valueFormat);
}

ReportWorkbook::~ReportWorkbook() {
  if (m_Workbook) lxw_workbook_free(m_Workbook);
}

void ReportWorkbook::CheckWritable(const std::string& path, bool overwrite) {
  const fs::path file(path);
  const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
  std::error_code ec;
  if (!fs::is_directory(folder, ec))
    throw ReportError("cannot write " + path + ": the folder " + folder.string() + " does not exist");
  if (access(folder.c_str(), W_OK) != 0)
    throw ReportError("cannot write " + path + ": " + std::strerror(errno));
  if (fs::exists(file, ec)) {
    if (fs::is_directory(file, ec)) throw ReportError("cannot write " + path + ": it is a folder");
    if (!overwrite) throw ReportError(path + " exists already; --overwrite replaces it");
  }
}

lxw_worksheet* ReportWorkbook::AddSheet(const std::string& name) {
  lxw_worksheet* sheet = workbook_add_worksheet(m_Workbook, name.c_str());
  if (!sheet) throw ReportError("cannot write " + m_Path + ": no room for the sheet " + name);
  m_Sheets.push_back(name);
  return sheet;
}

void ReportWorkbook::Close() {
  const lxw_error error = workbook_close(m_Workbook);  // frees the workbook whatever the outcome
  m_Workbook = nullptr;
  if (error != LXW_NO_ERROR) {
    std::remove(m_PartPath.c_str());
    throw ReportError("cannot write " + m_Path + ": " + lxw_strerror(error));
  }
  if (std::rename(m_PartPath.c_str(), m_Path.c_str()) != 0) {
    const int saved = errno;
    std::remove(m_PartPath.c_str());
    throw ReportError("cannot write " + m_Path + ": " + std::strerror(saved));
  }
}

}  // namespace corvana::addin::reports
