#pragma once

#include <cstdint>
#include <vector>

#include "common/Variant.h"

namespace corvana::ui {

// A grid's virtual data source: the grid asks for the row count and then only for the rows it
// draws. Rows and columns are 0-based.
class IsgGridDataSource {
 public:
  virtual ~IsgGridDataSource() = default;

  virtual std::int32_t IsgGridDataSource_GetRowCount() = 0;
  // Fills `values` with every column of the row (element k = column k); the column argument is the
  // column the grid needs first and may be ignored.
  virtual void IsgGridDataSource_GetRowData(std::int32_t rowIndex, std::int32_t columnIndex,
                                            std::vector<Variant>& values) = 0;
  // A read-only source answers false and does nothing.
  virtual bool IsgGridDataSource_AddRow(std::int32_t /*rowIndex*/, const std::vector<Variant>& /*values*/) {
    return false;
  }
  virtual bool IsgGridDataSource_DeleteRow(std::int32_t /*rowIndex*/) { return false; }
  virtual void IsgGridDataSource_SetRowData(std::int32_t /*rowIndex*/,
                                            const std::vector<Variant>& /*values*/) {}
};

}  // namespace corvana::ui
