#include "tests/addin/workbook/TestWorkbooks.h"

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
  w.NameModel({.Adjustable = "$Model.$B$2:$B$3",
               .Lower = "$Model.$C$2",
               .Upper = "$Model.$D$2",
               .Objective = "$Model.$B$5",
               .Goal = "$Model.$B$6",
               .Constraints = "$Model.$B$7",
               .ConstraintNames = "$Model.$A$7"});
}

std::filesystem::path SaveTinyModel(const std::filesystem::path& path,
                                    const std::function<void(WorkbookWriter&)>& change) {
  WorkbookWriter writer;
  WriteTinyModel(writer);
  if (change) change(writer);
  writer.Save(path);
  return path;
}

}  // namespace corvana::addin::testing
