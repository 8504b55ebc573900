// make_icons FOLDER SIZE...: writes kivora-SIZE.png for each size: three candlesticks (a red
// rising one, a blue falling one, a red one) over a dark square with a rising average line.
// Drawn in proportion to the size, with the lines kept at least a pixel wide.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>
#include <cstdio>
#include <cstdlib>

namespace {

QImage DrawIcon(int size) {
  QImage img(size, size, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, size >= 32);
  const double s = size / 16.0;
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(16, 24, 48));
  p.drawRoundedRect(QRectF(0, 0, size, size), 2 * s, 2 * s);
  struct Candle {
    double x, high, top, bottom, low;
    QColor colour;
  } candles[] = {
      {3.5, 9.0, 10.0, 13.0, 14.0, QColor(230, 40, 40)},
      {8.0, 5.0, 6.5, 10.0, 11.0, QColor(60, 140, 255)},
      {12.5, 2.0, 3.0, 7.5, 9.0, QColor(230, 40, 40)},
  };
  const double wick = s < 1.0 ? 1.0 : s * 0.6;
  for (const Candle& c : candles) {
    p.setBrush(c.colour);
    p.drawRect(QRectF(c.x * s - wick / 2, c.high * s, wick, (c.low - c.high) * s));
    p.drawRect(QRectF((c.x - 1.5) * s, c.top * s, 3.0 * s, (c.bottom - c.top) * s));
  }
  QPen line(QColor(255, 210, 60));
  line.setWidthF(s < 1.0 ? 1.0 : s * 0.8);
  p.setPen(line);
  p.setBrush(Qt::NoBrush);
  p.drawLine(QPointF(1.5 * s, 12.5 * s), QPointF(14.5 * s, 3.5 * s));
  return img;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_icons FOLDER SIZE...\n");
    return 2;
  }
  for (int i = 2; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size < 8 || size > 1024) {
      std::fprintf(stderr, "make_icons: bad size %s\n", argv[i]);
      return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/kivora-") + QString::number(size) + QStringLiteral(".png");
    if (!DrawIcon(size).save(path, "PNG")) {
      std::fprintf(stderr, "make_icons: cannot write %s\n", path.toLocal8Bit().constData());
      return 1;
    }
  }
  return 0;
}
