#pragma once

#include <filesystem>

#include "addin/workbook/WorkbookWriter.h"

namespace corvana::addin {

// The example workbooks: the built-in models written as a spreadsheet user would write them.
class ExampleWorkbooks {
 public:
  static void WriteSpring(WorkbookWriter& writer, const std::filesystem::path& path);
  static void WritePortfolio(WorkbookWriter& writer, const std::filesystem::path& path);
};

}  // namespace corvana::addin
