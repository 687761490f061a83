#include "watcher/graph/render/OGrGraphRenderer.h"

#include <QFontMetrics>
#include <QPainterPath>
#include <QPolygonF>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>

#include "common/ErrorTrap.h"
#include "watcher/graph/OGrAxisLabels.h"
#include "watcher/graph/OGrCurveDecimator.h"
#include "watcher/graph/OGrNumberFormat.h"

namespace corvana {

namespace {

constexpr int kMaxPictureSide = 16384;

QColor ToQColor(OGrColor c) {
  return QColor(c.R, c.G, c.B);
}

QStringList TitleLines(const std::string& text) {
  QString title = QString::fromStdString(text);
  title.replace("\r\n", "\n");
  title.replace('\r', '\n');
  return title.isEmpty() ? QStringList() : title.split('\n');
}

// The finite range of one coordinate over all curves; min > max when there is none.
void DataRange(const OGrGraph& graph, bool xAxis, double& min, double& max) {
  min = std::numeric_limits<double>::infinity();
  max = -std::numeric_limits<double>::infinity();
  for (const auto& curve : graph.Curves()) {
    double low = 0, high = 0;
    curve.FiniteRange(xAxis, low, high);
    min = std::min(min, low);
    max = std::max(max, high);
  }
}

}  // namespace

void OGrGraphRenderer::Render(const OGrGraph& graph, QPainter& painter, const QRect& area) {
  ResumeNext([&] {
    painter.save();
    painter.setClipRect(area);
    painter.fillRect(area, Qt::white);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (area.width() < 8 || area.height() < 8) {
      painter.restore();
      return;
    }

    QFont baseFont = painter.font();
    baseFont.setPixelSize(std::clamp(area.height() / 30, 9, 13));
    QFont titleFont = baseFont;
    titleFont.setBold(true);
    titleFont.setPixelSize(baseFont.pixelSize() + 2);
    // Metrics of the painter's own device, so that measured and drawn text agree.
    painter.setFont(baseFont);
    const QFontMetrics fm = painter.fontMetrics();
    painter.setFont(titleFont);
    const QFontMetrics tfm = painter.fontMetrics();
    const int pad = 6;

    // Title lines at the top.
    int top = area.top() + pad;
    QStringList title = TitleLines(graph.TitleText());
    painter.setPen(Qt::black);
    painter.setFont(titleFont);
    for (const QString& line : title) {
      painter.drawText(QRect(area.left(), top, area.width(), tfm.height()),
                       Qt::AlignHCenter | Qt::AlignVCenter, line);
      top += tfm.height();
    }
    if (!title.isEmpty()) top += pad / 2;

    // Scales.
    double xMin, xMax, yMin, yMax;
    DataRange(graph, true, xMin, xMax);
    DataRange(graph, false, yMin, yMax);
    int xTickCount = std::max(2, area.width() / 110);
    int yTickCount = std::max(2, area.height() / 45);
    const OGrAxisLabels xAxisLabels = OGrAxisLabels::Compute(graph.XAxis(), xMin, xMax, xTickCount, false);
    const OGrAxisLabels yAxisLabels = OGrAxisLabels::Compute(graph.YAxis(), yMin, yMax, yTickCount, true);
    const OGrAxisScale& xScale = xAxisLabels.Scale;
    const OGrAxisScale& yScale = yAxisLabels.Scale;

    QStringList yLabels;
    int yLabelWidth = 0;
    for (const std::string& text : yAxisLabels.Texts) {
      yLabels << QString::fromStdString(text);
      yLabelWidth =
          std::max(yLabelWidth, fm.horizontalAdvance(yLabels.back()) + 2);  // + rounding of advances
    }
    // The last x label is centred on the plot's right end: room for its right half.
    int xLastHalf = fm.horizontalAdvance("0000") / 2;
    if (!xAxisLabels.Texts.empty())
      xLastHalf =
          std::max(xLastHalf, fm.horizontalAdvance(QString::fromStdString(xAxisLabels.Texts.back())) / 2 + 2);
    yLabelWidth = std::min(yLabelWidth, area.width() / 3);

    // Legend on the right when shown.
    int legendWidth = 0;
    if (graph.LegendVisible() && graph.CurveCount() > 0) {
      for (const auto& curve : graph.Curves())
        legendWidth = std::max(legendWidth, fm.horizontalAdvance(QString::fromStdString(curve.Name())));
      legendWidth = std::min(legendWidth + 30, area.width() / 3);
    }

    bool hasYTitle = !graph.YAxis().TitleText().empty();
    bool hasXTitle = !graph.XAxis().TitleText().empty();
    QRect plot(area.left() + pad + (hasYTitle ? fm.height() + pad : 0) + yLabelWidth + pad,
               top + fm.height() / 2, 0, 0);
    int plotRight = area.right() - pad - legendWidth - std::min(xLastHalf, area.width() / 4);
    int plotBottom = area.bottom() - pad - fm.height() - pad - (hasXTitle ? fm.height() + pad / 2 : 0);
    plot.setRight(plotRight);
    plot.setBottom(plotBottom);
    if (plot.width() < 4 || plot.height() < 4) {
      painter.restore();
      return;
    }

    auto mapX = [&](double v) {
      return plot.left() + (v - xScale.Min) * plot.width() / (xScale.Max - xScale.Min);
    };
    auto mapY = [&](double v) {
      return plot.bottom() - (v - yScale.Min) * plot.height() / (yScale.Max - yScale.Min);
    };

    // Grid and ticks.
    painter.setFont(baseFont);
    QPen gridPen(QColor(225, 225, 225));
    for (std::size_t i = 0; i < yScale.Ticks.size(); ++i) {
      int y = static_cast<int>(std::lround(mapY(yScale.Ticks[i])));
      painter.setPen(gridPen);
      painter.drawLine(plot.left(), y, plot.right(), y);
      painter.setPen(Qt::black);
      painter.drawText(QRect(plot.left() - pad - yLabelWidth, y - fm.height() / 2, yLabelWidth, fm.height()),
                       Qt::AlignRight | Qt::AlignVCenter,
                       fm.elidedText(yLabels[static_cast<int>(i)], Qt::ElideLeft, yLabelWidth));
    }
    int lastLabelRight = std::numeric_limits<int>::min();
    for (std::size_t i = 0; i < xScale.Ticks.size(); ++i) {
      int x = static_cast<int>(std::lround(mapX(xScale.Ticks[i])));
      painter.setPen(gridPen);
      painter.drawLine(x, plot.top(), x, plot.bottom());
      QString label = QString::fromStdString(xAxisLabels.Texts[i]);
      int w = fm.horizontalAdvance(label) + 2;
      // Kept whole inside the picture, and never over its neighbour.
      int left = std::clamp(x - w / 2, area.left(), std::max(area.left(), area.right() + 1 - w));
      if (left <= lastLabelRight + 4) continue;
      painter.setPen(Qt::black);
      painter.drawText(QRect(left, plot.bottom() + pad / 2, w, fm.height()), Qt::AlignCenter, label);
      lastLabelRight = left + w;
    }
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(plot);

    // Axis titles.
    if (hasXTitle)
      painter.drawText(
          QRect(plot.left(), plot.bottom() + pad / 2 + fm.height() + pad / 2, plot.width(), fm.height()),
          Qt::AlignCenter, QString::fromStdString(graph.XAxis().TitleText()));
    if (hasYTitle) {
      painter.save();
      painter.translate(area.left() + pad + fm.height() / 2.0, plot.center().y());
      painter.rotate(-90);
      painter.drawText(QRect(-plot.height() / 2, -fm.height() / 2, plot.height(), fm.height()),
                       Qt::AlignCenter, QString::fromStdString(graph.YAxis().TitleText()));
      painter.restore();
    }

    // Curves, reduced to what the plot's pixels can show.
    painter.setClipRect(plot.adjusted(0, 0, 1, 1));
    OGrCurveDecimator::Mapping mapping;
    mapping.XMin = xScale.Min;
    mapping.XScale = plot.width() / (xScale.Max - xScale.Min);
    mapping.Left = plot.left();
    mapping.YMin = yScale.Min;
    mapping.YScale = plot.height() / (yScale.Max - yScale.Min);
    mapping.Bottom = plot.bottom();
    for (const auto& curve : graph.Curves()) {
      QPen pen(ToQColor(curve.Color()), 2);
      pen.setCapStyle(Qt::FlatCap);
      pen.setJoinStyle(Qt::MiterJoin);
      painter.setPen(pen);
      const auto& lines = curve.Reduced(mapping, plot.right(), plot.top());
      for (const auto& line : lines) {
        if (line.size() == 1) {
          painter.drawPoint(QPointF(line[0].X, line[0].Y));
          continue;
        }
        QPolygonF polygon;
        polygon.reserve(static_cast<int>(line.size()));
        for (const auto& p : line) polygon << QPointF(p.X, p.Y);
        painter.drawPolyline(polygon);
      }
      if (curve.MarkerSize() > 0) {
        // A point on the plot's edge (a frontier's first and last value sit on the axis ends) is
        // marked whole; a point outside the plot is not marked at all.
        const double radius = curve.MarkerSize() + 1.0;
        const int margin = static_cast<int>(std::ceil(radius)) + 1;
        painter.setClipRect(plot.adjusted(-margin, -margin, margin + 1, margin + 1));
        painter.setBrush(ToQColor(curve.Color()));
        const OGrData& data = curve.Data();
        const std::size_t n =
            std::min<std::size_t>(data.Size(), 20000);  // markers only where they can be told apart
        for (std::size_t i = 0; i < n; ++i) {
          if (!std::isfinite(data.X[i]) || !std::isfinite(data.Y[i])) continue;
          double x = mapX(data.X[i]);
          double y = mapY(data.Y[i]);
          if (x < plot.left() - 0.5 || x > plot.right() + 1.5 || y < plot.top() - 0.5 ||
              y > plot.bottom() + 1.5)
            continue;
          painter.drawEllipse(QPointF(x, y), radius, radius);
        }
        painter.setBrush(Qt::NoBrush);
        painter.setClipRect(plot.adjusted(0, 0, 1, 1));
      }
    }
    painter.setClipRect(area);

    // Legend.
    if (legendWidth > 0) {
      int y = plot.top();
      for (const auto& curve : graph.Curves()) {
        painter.setPen(QPen(ToQColor(curve.Color()), 3));
        int x = plot.right() + pad * 2;
        painter.drawLine(x, y + fm.height() / 2, x + 16, y + fm.height() / 2);
        painter.setPen(Qt::black);
        // A name wider than the legend wraps at its words, up to three lines, rather than lose its end.
        const QString name = QString::fromStdString(curve.Name());
        QRect text = fm.boundingRect(QRect(0, 0, legendWidth - 24, fm.height() * 3), Qt::TextWordWrap, name);
        text = QRect(x + 20, y, legendWidth - 24, std::clamp(text.height(), fm.height(), fm.height() * 3));
        painter.drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, name);
        y += text.height() + 2;
      }
    }
    painter.restore();
  });
}

QImage OGrGraphRenderer::RenderImage(const OGrGraph& graph, int width, int height) {
  width = std::clamp(width, 1, kMaxPictureSide);
  height = std::clamp(height, 1, kMaxPictureSide);
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  Render(graph, painter, image.rect());
  painter.end();
  return image;
}

bool OGrGraphRenderer::SavePng(const OGrGraph& graph, const QString& path, int width, int height) {
  if (path.isEmpty()) return false;  // no picture was asked for
  bool saved = false;
  ResumeNext([&] { saved = RenderImage(graph, width, height).save(path, "PNG"); });
  return saved;
}

}  // namespace corvana
