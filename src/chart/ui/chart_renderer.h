// The candlestick chart renderer: draws the daily, weekly or monthly chart of the shown
// stock into the chart's memory image, step by step in the designed order.
#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <vector>

class QWidget;

// One text drawn by the chart (for tests and diagnostics): its top-left corner, colour
// and font height.
struct ChartText {
  QString text;
  int x, y;
  QRgb colour;
  int pixels;
};

// Draws the chart of DispNum in the current bar period into image (RGB32, the client
// size). scale_hold keeps the vertical scales while Ctrl and a scrolling key are held.
void PaintChart(QImage* image, bool scale_hold = false);

// While set, every text PaintChart draws is appended here.
void SetChartTextLog(std::vector<ChartText>* log);

// Paints through a memory image: the image is brought to the window's size, the draw
// operation draws into it, and it is copied to the window in one piece. Used inside a
// paint event of the window.
void PaintBuffered(QWidget* window, QImage* buffer, const std::function<void(QImage*)>& draw);
