#include "watcher/graph/OGrAxis.h"

#include <utility>

namespace corvana {

void OGrAxis::DefineCustomAutoscaling(double min, double max, bool useCustom, int /*reserved*/) {
  if (min > max) std::swap(min, max);
  m_Custom = useCustom;
  m_CustomMin = min;
  m_CustomMax = max;
}

}  // namespace corvana
