#include "watcher/ui/qt/ButtonPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "watcher/ui/Button.h"

namespace corvana::ui {

namespace {

std::string BaseKey(const std::string& key) {
  return IsGreyPicture(key) ? key.substr(0, key.size() - 4) : key;
}

// Every shape is drawn on a 16 x 16 grid and scaled.
bool Draw(const std::string& key, QPainter& p) {
  const QColor outline(40, 40, 40);
  p.setPen(QPen(outline, 0.8));
  if (key == PictureKeys::kRun) {
    p.setBrush(QColor(30, 160, 60));
    p.drawPolygon(QPolygonF({QPointF(4, 2.5), QPointF(13.5, 8), QPointF(4, 13.5)}));
  } else if (key == PictureKeys::kPause) {
    p.setBrush(QColor(40, 90, 200));
    p.drawRect(QRectF(3.5, 2.5, 3.5, 11));
    p.drawRect(QRectF(9, 2.5, 3.5, 11));
  } else if (key == PictureKeys::kStop) {
    p.setBrush(QColor(210, 40, 40));
    p.drawRect(QRectF(3, 3, 10, 10));
  } else if (key == PictureKeys::kNextOptimization) {
    p.setBrush(QColor(30, 160, 60));
    p.drawPolygon(QPolygonF({QPointF(2.5, 2.5), QPointF(10, 8), QPointF(2.5, 13.5)}));
    p.setBrush(QColor(40, 90, 200));
    p.drawRect(QRectF(10.5, 2.5, 3, 11));
  } else if (key == PictureKeys::kExcelUpdate) {
    p.setBrush(QColor(235, 245, 235));
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.setPen(QPen(QColor(30, 120, 60), 0.8));
    for (double y : {6.0, 9.5}) p.drawLine(QPointF(1.5, y), QPointF(14.5, y));
    for (double x : {6.0, 10.5}) p.drawLine(QPointF(x, 2.5), QPointF(x, 13.5));
    p.setBrush(QColor(30, 120, 60));
    p.drawRect(QRectF(1.5, 2.5, 13, 2));
  } else if (key == PictureKeys::kWatcher || key == PictureKeys::kProgressIcon) {
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setPen(QPen(QColor(0, 70, 170), 1.6, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(2.5, 12.5), QPointF(5, 12.5), QPointF(5, 9), QPointF(8.5, 9),
                              QPointF(8.5, 6), QPointF(11, 6), QPointF(11, 3.5), QPointF(13.5, 3.5)}));
  } else if (key == PictureKeys::kMinimize) {
    p.setBrush(QColor(230, 235, 245));
    p.drawRect(QRectF(1.5, 1.5, 13, 10));
    p.setBrush(QColor(40, 90, 200));
    p.drawRect(QRectF(1.5, 1.5, 13, 2.5));
    p.setBrush(QColor(60, 60, 60));
    p.drawRect(QRectF(4, 12.5, 8, 2));
  } else if (key == PictureKeys::kHelp) {
    p.setBrush(QColor(40, 90, 200));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    QFont font = p.font();
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(1.5, 1.5, 13, 13), Qt::AlignCenter, "?");
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool ButtonPictures::IsKnown(const std::string& key) {
  QImage probe(16, 16, QImage::Format_ARGB32_Premultiplied);
  probe.fill(Qt::transparent);
  QPainter painter(&probe);
  return Draw(BaseKey(key), painter);
}

QPixmap ButtonPictures::Picture(const std::string& key, int size) {
  size = std::max(size, 1);
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    if (!Draw(BaseKey(key), painter)) return QPixmap();
  }
  if (IsGreyPicture(key)) {
    // The grey twin: luminance only, lightened, as an unusable button looks.
    for (int y = 0; y < image.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x) {
        QColor c = QColor::fromRgba(qUnpremultiply(line[x]));
        int grey = 110 + qGray(c.rgb()) * 120 / 255;
        line[x] = qPremultiply(qRgba(grey, grey, grey, c.alpha()));
      }
    }
  }
  return QPixmap::fromImage(image);
}

QIcon ButtonPictures::Icon(const std::string& key) {
  QIcon icon;
  for (int size : {16, 24, 32, 48}) {
    QPixmap pixmap = Picture(key, size);
    if (!pixmap.isNull()) icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace corvana::ui
