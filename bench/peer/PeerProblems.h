#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "addin/workbook/WorkbookWriter.h"

namespace corvana::peer {

// A shared problem: its workbook and the published optimum with the solution that reaches it.
struct Problem {
  std::string Name;
  double Optimum = 0;
  std::vector<double> Published;  // the solution that reaches it
  std::filesystem::path Workbook;
};

// The workbooks this program writes: the built-in models in the defined-name format, the limits
// as slack cells scaled as the built-in models weigh them (addin/*Model.cpp), rounded genes
// rounded by formulas.

void WriteSpeedReducer(addin::WorkbookWriter& w, const std::filesystem::path& path);
void WritePressureVessel(addin::WorkbookWriter& w, const std::filesystem::path& path);

}  // namespace corvana::peer
