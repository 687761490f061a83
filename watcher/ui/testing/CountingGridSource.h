#pragma once

#include <cstdint>
#include <vector>

#include "watcher/ui/IsgGridDataSource.h"

namespace corvana::ui {

// A virtual grid source of any length whose rows are made on demand: row r holds r + 1, r / 2 and
// "r<r>" in its first three columns (further columns repeat the text). It records every row asked
// for, so a test or benchmark sees how many GetRowData calls a grid or its view made.
class CountingGridSource : public IsgGridDataSource {
 public:
  explicit CountingGridSource(std::int32_t rows) : m_Rows(rows) {}

  std::int32_t IsgGridDataSource_GetRowCount() override { return m_Rows; }
  void IsgGridDataSource_GetRowData(std::int32_t row, std::int32_t column,
                                    std::vector<Variant>& values) override;

  // The log grew or shrank.
  void SetRowCount(std::int32_t rows) noexcept { m_Rows = rows; }
  // Rows asked for, in order.
  const std::vector<std::int32_t>& Asked() const noexcept { return m_Asked; }
  std::int64_t Calls() const noexcept { return static_cast<std::int64_t>(m_Asked.size()); }
  void ForgetCalls() noexcept { m_Asked.clear(); }

 private:
  std::int32_t m_Rows;
  std::vector<std::int32_t> m_Asked;
};

}  // namespace corvana::ui
