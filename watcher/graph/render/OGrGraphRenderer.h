#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include "watcher/graph/OGrGraph.h"

namespace corvana {

// Draws a graph with QPainter: the one drawing used on screen and for saved pictures.
class OGrGraphRenderer {
 public:
  // Draws into `area` of the painter's device. Never throws; bad data draws as much as it can.
  static void Render(const OGrGraph& graph, QPainter& painter, const QRect& area);
  // The graph as a picture of width x height pixels (sizes are clamped to 1..16384).
  static QImage RenderImage(const OGrGraph& graph, int width, int height);
  // Writes a PNG; false when the file cannot be written.
  static bool SavePng(const OGrGraph& graph, const QString& path, int width, int height);
};

}  // namespace corvana
