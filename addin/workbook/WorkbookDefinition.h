#pragma once

#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <optional>
#include <string>
#include <vector>

#include "addin/Model.h"

namespace corvana::addin {

// A model as a workbook defines it, through defined names (see the user guide):
//   Corvana_Adjustable   one or more ranges of numbers, one group of adjustable cells each
//   Corvana_Lower/Upper  one cell for all, or as many cells as there are adjustable cells
//   Corvana_Method       optional: recipe, order or budget; one cell for all groups or one each
//   Corvana_Objective    one cell
//   Corvana_Goal         a cell holding max, min or a target value
//   Corvana_Constraints  optional: cells that must be TRUE, or if numbers, not negative
//   Corvana_ConstraintNames   optional: a description per constraint cell
//   Corvana_Population, Corvana_Trials, Corvana_Minutes   optional run settings
class WorkbookDefinition {
 public:
  struct Cell {
    css::table::CellRangeAddress Address;  // a single cell
    std::string Label;                     // "Model.B3"
  };

  // Reads and checks the names. Raises WorkbookError naming the cell or name at fault.
  static WorkbookDefinition Read(const css::uno::Reference<css::sheet::XSpreadsheetDocument>& document);

  // The cells of a range in the order they are read, row by row.
  static css::uno::Reference<css::table::XCellRange> Range(
      const css::uno::Reference<css::sheet::XSpreadsheetDocument>& document,
      const css::table::CellRangeAddress& address);

  std::vector<css::table::CellRangeAddress> Adjustable;  // one per group
  std::vector<GeneGroup> Groups;
  Cell Objective;
  bool Maximize = false;
  std::optional<double> Target;  // bring the objective to this value
  std::vector<Cell> Constraints;
  std::vector<std::string> ConstraintNames;
  std::vector<bool> Logical;  // the constraint must be TRUE rather than not negative
  std::optional<int> Population;
  std::optional<long> Trials;
  std::optional<double> Minutes;
};

}  // namespace corvana::addin
