#pragma once

#include <map>
#include <string>
#include <vector>

namespace corvana::addin::reports::testing {

using Table = std::vector<std::vector<std::string>>;

// A workbook as LibreOffice Calc reads it, headless with a profile of its own: every sheet as
// CSV, either the cells' values or their text as shown.
class CalcReader {
 public:
  static bool Available();
  // Sheets by name; empty when Calc could not open the file. `error` says why.
  static std::map<std::string, Table> Read(const std::string& workbook, const std::string& workDir,
                                           bool asShown, std::string& error);
  static Table ParseCsv(const std::string& text);
};

}  // namespace corvana::addin::reports::testing
