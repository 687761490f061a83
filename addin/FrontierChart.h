#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace corvana::addin {

// The efficient frontier as a chart the user can open anywhere: an SVG picture of the points
// (constraining value, best value) joined in rising order of the value, with both axes scaled and
// labelled. Written whole or not at all.
class FrontierChart {
 public:
  std::string XTitle;
  std::string YTitle;
  std::vector<std::pair<double, double>> Points;
  std::int32_t Color = 0xFF0000;  // blue-green-red, as the Watcher hands colours over

  std::string Svg() const;
  // Raises std::runtime_error naming the file when it cannot be written.
  void Write(const std::string& path) const;
};

}  // namespace corvana::addin
