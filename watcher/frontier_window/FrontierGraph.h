#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "watcher/controller/EFGraph.h"

namespace corvana {

class OGrGraph;

// The frontier graph as the controller reaches it process-wide (g_EFGraph), to give a chart made
// in the host application the colour of the frontier on screen.
class FrontierGraph : public EFGraph {
 public:
  explicit FrontierGraph(std::shared_ptr<OGrGraph> graph) : m_Graph(std::move(graph)) {}

  // Series 1 is the frontier curve (also the colour of a curve added later); colours are
  // blue-green-red (0xFF0000 is blue).
  void SetSeriesColor(int series, std::int32_t color) override;
  std::int32_t SeriesColor(int series) const override;

 private:
  std::shared_ptr<OGrGraph> m_Graph;
  std::optional<std::int32_t> m_FirstColor;  // set before the frontier curve exists
};

}  // namespace corvana
