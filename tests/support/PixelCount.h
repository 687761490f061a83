#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <cstdlib>

namespace corvana::test {

// Pixels of `area` (clipped to the picture) within `tolerance` of `colour`, the three channels' differences
// summed.
inline int CountPixelsNear(const QImage& image, const QRect& area, QColor colour, int tolerance = 40) {
  const QRect r = area.intersected(image.rect());
  int count = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) {
      const QRgb p = image.pixel(x, y);
      count += std::abs(qRed(p) - colour.red()) + std::abs(qGreen(p) - colour.green()) +
                   std::abs(qBlue(p) - colour.blue()) <=
               tolerance;
    }
  return count;
}

}  // namespace corvana::test
