#include "watcher/ui/testing/CountingGridSource.h"

#include <string>

namespace corvana::ui {

void CountingGridSource::IsgGridDataSource_GetRowData(std::int32_t row, std::int32_t,
                                                      std::vector<Variant>& values) {
  m_Asked.push_back(row);
  if (values.size() < 3) values.resize(3);
  values[0] = Variant(row + 1);
  values[1] = Variant(0.5 * row);
  for (std::size_t k = 2; k < values.size(); ++k) values[k] = Variant(std::string("r").append(std::to_string(row)));
}

}  // namespace corvana::ui
