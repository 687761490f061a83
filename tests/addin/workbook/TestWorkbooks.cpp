#include "tests/addin/workbook/TestWorkbooks.h"

#include <stdlib.h>

#include <stdexcept>

namespace corvana::addin::testing {

void WriteTinyModel(WorkbookWriter& w) {
  w.NewWorkbook({"Model"});
  w.Set("Model.B2", "1");
  w.Set("Model.B3", "1");
  w.Set("Model.C2", "0");
  w.Set("Model.D2", "10");
  w.Set("Model.B5", "=(B2-3)^2+(B3-4)^2");
  w.Set("Model.B6", "min");
  w.Set("Model.A7", "Total at most 6");
  w.Set("Model.B7", "=6-B2-B3");
  w.Name("Corvana_Adjustable", "$Model.$B$2:$B$3");
  w.Name("Corvana_Lower", "$Model.$C$2");
  w.Name("Corvana_Upper", "$Model.$D$2");
  w.Name("Corvana_Objective", "$Model.$B$5");
  w.Name("Corvana_Goal", "$Model.$B$6");
  w.Name("Corvana_Constraints", "$Model.$B$7");
  w.Name("Corvana_ConstraintNames", "$Model.$A$7");
}

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "corvana-workbook-test.XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
  m_Path = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(m_Path, ec);
}

}  // namespace corvana::addin::testing
