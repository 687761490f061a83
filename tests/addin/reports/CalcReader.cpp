#include "tests/addin/reports/CalcReader.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace corvana::addin::reports::testing {

namespace fs = std::filesystem;

namespace {

// Calc's own conversion, bounded in time: a hung office must fail the test, not stall it.
bool Convert(const std::string& workbook, const std::string& workDir, const std::string& filter,
             const std::string& outDir) {
  const std::string command = "timeout 240 soffice -env:UserInstallation=file://" + workDir +
                              "/calc-profile --headless --norestore --convert-to '" + filter +
                              "' --outdir '" + outDir + "' '" + workbook + "' >'" + workDir +
                              "/calc.log' 2>&1";
  return std::system(command.c_str()) == 0;
}

}  // namespace

bool CalcReader::Available() {
  return std::system("command -v soffice >/dev/null 2>&1") == 0;
}

std::map<std::string, Table> CalcReader::Read(const std::string& workbook, const std::string& workDir,
                                              bool asShown, std::string& error) {
  const fs::path out = fs::path(workDir) / (asShown ? "csv-shown" : "csv-values");
  fs::create_directories(out);
  // Comma, double quote, UTF-8, from line 1, standard cells, English; as shown or not; every sheet
  // to a file of its own, named after the workbook and the sheet.
  const std::string filter = std::string("csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,false,true,") +
                             (asShown ? "true" : "false") + ",false,false,-1";
  std::map<std::string, Table> sheets;
  if (!Convert(workbook, workDir, filter, out.string())) {
    std::ifstream log(fs::path(workDir) / "calc.log");
    error = "soffice failed: " + std::string(std::istreambuf_iterator<char>(log), {});
    return sheets;
  }
  const std::string prefix = fs::path(workbook).stem().string() + "-";
  for (const auto& entry : fs::directory_iterator(out)) {
    const std::string name = entry.path().stem().string();
    if (!name.starts_with(prefix)) continue;
    std::ifstream in(entry.path());
    sheets[name.substr(prefix.size())] = ParseCsv(std::string(std::istreambuf_iterator<char>(in), {}));
  }
  if (sheets.empty()) error = "soffice wrote no sheet";
  return sheets;
}

Table CalcReader::ParseCsv(const std::string& text) {
  Table rows;
  std::vector<std::string> row;
  std::string cell;
  bool quoted = false, any = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        cell += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        cell += c;
      }
    } else if (c == '"') {
      quoted = any = true;
    } else if (c == ',') {
      row.push_back(std::move(cell));
      cell.clear();
      any = true;
    } else if (c == '\n') {
      row.push_back(std::move(cell));
      rows.push_back(std::move(row));
      row.clear();
      cell.clear();
      any = false;
    } else if (c != '\r') {
      cell += c;
      any = true;
    }
  }
  if (any || !cell.empty()) {
    row.push_back(std::move(cell));
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace corvana::addin::reports::testing
