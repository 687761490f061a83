#include "addin/FrontierChart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace corvana::addin {

namespace {

constexpr double kWidth = 640, kHeight = 440;
constexpr double kLeft = 90, kRight = 30, kTop = 40, kBottom = 70;

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Num(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", v);
  return buffer;
}

// A range that shows every point with a margin; a single value gets a range around it.
std::pair<double, double> Range(double low, double high) {
  if (high <= low) {
    const double pad = low == 0 ? 1 : std::fabs(low) * 0.1;
    return {low - pad, high + pad};
  }
  const double pad = (high - low) * 0.08;
  return {low - pad, high + pad};
}

}  // namespace

std::string FrontierChart::Svg() const {
  std::vector<std::pair<double, double>> points = Points;
  std::sort(points.begin(), points.end());
  double xLow = 0, xHigh = 1, yLow = 0, yHigh = 1;
  if (!points.empty()) {
    xLow = xHigh = points.front().first;
    yLow = yHigh = points.front().second;
    for (const auto& [x, y] : points) {
      xLow = std::min(xLow, x);
      xHigh = std::max(xHigh, x);
      yLow = std::min(yLow, y);
      yHigh = std::max(yHigh, y);
    }
  }
  std::tie(xLow, xHigh) = Range(xLow, xHigh);
  std::tie(yLow, yHigh) = Range(yLow, yHigh);
  const double plotW = kWidth - kLeft - kRight, plotH = kHeight - kTop - kBottom;
  const auto px = [&](double x) { return kLeft + (x - xLow) / (xHigh - xLow) * plotW; };
  const auto py = [&](double y) { return kTop + (1 - (y - yLow) / (yHigh - yLow)) * plotH; };
  char color[8];
  std::snprintf(color, sizeof color, "#%02x%02x%02x", Color & 0xFF, (Color >> 8) & 0xFF,
                (Color >> 16) & 0xFF);

  std::string svg =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
      Num(kWidth) + "\" height=\"" + Num(kHeight) + "\" font-family=\"sans-serif\" font-size=\"12\">\n";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  svg +=
      "<text x=\"" + Num(kWidth / 2) +
      "\" y=\"24\" text-anchor=\"middle\" font-size=\"16\" font-weight=\"bold\">Efficient Frontier</text>\n";
  svg += "<rect x=\"" + Num(kLeft) + "\" y=\"" + Num(kTop) + "\" width=\"" + Num(plotW) + "\" height=\"" +
         Num(plotH) + "\" fill=\"none\" stroke=\"black\"/>\n";
  for (int k = 0; k <= 4; ++k) {
    const double x = xLow + (xHigh - xLow) * k / 4, y = yLow + (yHigh - yLow) * k / 4;
    svg += "<text x=\"" + Num(px(x)) + "\" y=\"" + Num(kTop + plotH + 18) + "\" text-anchor=\"middle\">" +
           Num(x) + "</text>\n";
    svg += "<text x=\"" + Num(kLeft - 6) + "\" y=\"" + Num(py(y) + 4) + "\" text-anchor=\"end\">" + Num(y) +
           "</text>\n";
    svg += "<line x1=\"" + Num(kLeft) + "\" x2=\"" + Num(kLeft + plotW) + "\" y1=\"" + Num(py(y)) +
           "\" y2=\"" + Num(py(y)) + "\" stroke=\"#dddddd\"/>\n";
  }
  svg += "<text x=\"" + Num(kLeft + plotW / 2) + "\" y=\"" + Num(kHeight - 20) +
         "\" text-anchor=\"middle\">" + Escape(XTitle) + "</text>\n";
  svg += "<text transform=\"translate(16," + Num(kTop + plotH / 2) +
         ") rotate(-90)\" text-anchor=\"middle\">" + Escape(YTitle) + "</text>\n";
  if (!points.empty()) {
    svg += "<polyline fill=\"none\" stroke=\"" + std::string(color) + "\" stroke-width=\"2\" points=\"";
    for (const auto& [x, y] : points) svg += Num(px(x)) + "," + Num(py(y)) + " ";
    svg += "\"/>\n";
    for (const auto& [x, y] : points)
      svg += "<circle cx=\"" + Num(px(x)) + "\" cy=\"" + Num(py(y)) + "\" r=\"4\" fill=\"" + color + "\"/>\n";
  }
  return svg + "</svg>\n";
}

void FrontierChart::Write(const std::string& path) const {
  const std::string temporary = path + ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << Svg();
    if (!out.flush()) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      throw std::runtime_error("cannot write the frontier chart " + path);
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) throw std::runtime_error("cannot write the frontier chart " + path + ": " + error.message());
}

}  // namespace corvana::addin
