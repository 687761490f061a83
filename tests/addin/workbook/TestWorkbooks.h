#pragma once

#include <filesystem>
#include <string>

#include "addin/workbook/WorkbookWriter.h"

namespace corvana::addin::testing {

// A small valid model: x in Model.B2:B3 within [0, 10], objective Model.B5 = (x1 - 3)^2 + (x2 - 4)^2
// to minimize, constraint Model.B7 = 6 - x1 - x2 (not negative). Tests break one part of it.
void WriteTinyModel(WorkbookWriter& writer);

// A fresh folder under the system's temporary folder, removed with the object.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  const std::filesystem::path& Path() const { return m_Path; }

 private:
  std::filesystem::path m_Path;
};

}  // namespace corvana::addin::testing
