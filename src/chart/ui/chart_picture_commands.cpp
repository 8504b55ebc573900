#include "chart/ui/chart_picture_commands.h"

#include <QApplication>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <cstring>

#include "chart/chart_picture.h"
#include "chart/ui/chart_window.h"
#include "chart/ui/cross_window.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/diagnostics.h"
#include "platform/host.h"

namespace {

QPointer<QWidget> g_owner;

// What the chart window shows now: its last paint's image, or a fresh rendering.
bool CaptureChart(HostImage* out) {
  ChartWidget* view = TheChartWidget();
  if (!view || view->width() <= 0 || view->height() <= 0) return false;
  QImage img = view->Image();
  if (img.isNull() || img.size() != view->size()) img = view->grab().toImage();
  img = img.convertToFormat(QImage::Format_RGB32);
  if (img.isNull()) return false;
  out->width = img.width();
  out->height = img.height();
  out->pixels.resize(static_cast<size_t>(out->width) * out->height);
  for (int y = 0; y < out->height; ++y)
    std::memcpy(out->pixels.data() + static_cast<size_t>(y) * out->width, img.constScanLine(y),
                static_cast<size_t>(out->width) * 4);
  LogChartCapture(*out);
  return true;
}

void CopyChart(bool colour) {
  HostImage img;
  if (!CaptureChart(&img)) {
    HostBeep();
    return;
  }
  if (!colour) {
    ReduceToTwoColours(&img);
    img.monochrome = true;
  }
  if (!HostSetClipboardImage(img)) HostBeep();
}

void PrintChart() {
  // Nothing may cover the chart: the tool windows close and the chart paints at once.
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != g_owner && w != TheCrossWindow() && w->isVisible() && !w->isModal() &&
        (w->windowFlags() & Qt::WindowType_Mask) != Qt::ToolTip && w->parentWidget() == g_owner)
      w->close();
  if (ChartWidget* view = TheChartWidget()) view->repaint();
  PRT("MakeBitmap\n");
  HostImage img;
  if (CaptureChart(&img)) {
    ReduceToTwoColours(&img);
    HostPrintImage(img, "Kivora");
  }
  PRT("DestroyBitmap\n");
}

}  // namespace

void RegisterChartPictureCommands(QWidget* owner) {
  g_owner = owner;
  RegisterCommand(IDM_PRINT, [](int) { PrintChart(); });
  RegisterCommand(IDM_COPY_COLOUR, [](int) { CopyChart(true); });
  RegisterCommand(IDM_COPY_MONO, [](int) { CopyChart(false); });
}
