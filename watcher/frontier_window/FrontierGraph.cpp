#include "watcher/frontier_window/FrontierGraph.h"

#include "common/ComError.h"
#include "watcher/graph/OGrGraph.h"

namespace corvana {

namespace {
void CheckSeries(int series, int count, const char* procedure) {
  // Series 1 exists before its curve does: its colour waits for the first frontier point.
  if (series < 1 || (series > 1 && series > count))
    RaiseError(kErrSubscriptOutOfRange, procedure, "Subscript out of range");
}
}  // namespace

void FrontierGraph::SetSeriesColor(int series, std::int32_t color) {
  CheckSeries(series, m_Graph->CurveCount(), "FrontierGraph.SetSeriesColor");
  const OGrColor c{static_cast<std::uint8_t>(color & 0xFF), static_cast<std::uint8_t>((color >> 8) & 0xFF),
                   static_cast<std::uint8_t>((color >> 16) & 0xFF)};
  if (series == 1) {
    m_FirstColor = color;
    m_Graph->SetFirstSeriesColor(c);
  } else
    m_Graph->SetCurveColor(m_Graph->Curves()[static_cast<std::size_t>(series - 1)].ID(), c);
}

std::int32_t FrontierGraph::SeriesColor(int series) const {
  CheckSeries(series, m_Graph->CurveCount(), "FrontierGraph.SeriesColor");
  if (series == 1 && m_FirstColor) return *m_FirstColor;
  const OGrColor c = m_Graph->CurveCount() >= series
                         ? m_Graph->Curves()[static_cast<std::size_t>(series - 1)].Color()
                         : OGrGraph::DefaultCurveColor(0);
  return static_cast<std::int32_t>(c.R) | (static_cast<std::int32_t>(c.G) << 8) |
         (static_cast<std::int32_t>(c.B) << 16);
}

}  // namespace corvana
