#pragma once

#include <filesystem>
#include <functional>

#include "addin/workbook/WorkbookWriter.h"
#include "tests/support/TempDir.h"

namespace corvana::addin::testing {

// A small valid model: x in Model.B2:B3 within [0, 10], objective Model.B5 = (x1 - 3)^2 + (x2 - 4)^2
// to minimize, constraint Model.B7 = 6 - x1 - x2 (not negative). Tests break one part of it.
void WriteTinyModel(WorkbookWriter& writer);
// The tiny model, changed by `change` when one is given, saved as `path`; the path.
std::filesystem::path SaveTinyModel(const std::filesystem::path& path,
                                    const std::function<void(WorkbookWriter&)>& change = {});

}  // namespace corvana::addin::testing
