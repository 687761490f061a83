#pragma once

#include <cstdint>

#include "watcher/controller/HostApplication.h"

namespace corvana {

// The efficient-frontier graph that FormProgressEF registers in g_EFGraph.
class EFGraph {
 public:
  virtual ~EFGraph() = default;
  // Colour in blue-green-red order (0xFF0000 is blue).
  virtual void SetSeriesColor(int series, std::int32_t color) = 0;
  virtual std::int32_t SeriesColor(int series) const = 0;
};

}  // namespace corvana
