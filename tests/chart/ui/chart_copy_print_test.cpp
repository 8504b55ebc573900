// Copying the chart to the clipboard and printing it to a PDF file, headless.
#include <QApplication>
#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "chart/chart_settings.h"
#include "chart/ui/chart_window.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/host.h"
#include "platform/print_layout.h"
#include "platform/qt/qt_host.h"
#include "shell/ui/main_window.h"
#include "support/db_fixture.h"
#include "support/run_command.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

class ChartCopyPrint : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDatabaseState();
    WriteFixtureDatabase(3, 300);
    CrossView = 0;
  }
  void TearDown() override { CrossView = 1; }
  TempDir dir_;
};

QImage ToImage(const HostImage& h) {
  QImage img(h.width, h.height, QImage::Format_RGB32);
  for (int y = 0; y < h.height; ++y)
    for (int x = 0; x < h.width; ++x) img.setPixel(x, y, h.pixels[static_cast<size_t>(y) * h.width + x]);
  return img;
}

TEST_F(ChartCopyPrint, ColourCopyIsTheChartAndBlackAndWhiteHoldsTwoColours) {
  ScriptedHost host;
  MainWindow w;
  w.resize(800, 600);
  w.show();
  ChartWidget* view = TheChartWidget();
  ASSERT_NE(view, nullptr);
  view->grab();
  OnCommand(IDM_COPY_COLOUR);
  ASSERT_EQ(host.clipboard_image.width, view->width());
  ASSERT_EQ(host.clipboard_image.height, view->height());
  EXPECT_FALSE(host.clipboard_image.monochrome);
  EXPECT_EQ(ToImage(host.clipboard_image), view->Image().convertToFormat(QImage::Format_RGB32));

  OnCommand(IDM_COPY_MONO);
  const HostImage& mono = host.clipboard_image;
  EXPECT_TRUE(mono.monochrome);
  std::set<uint32_t> colours(mono.pixels.begin(), mono.pixels.end());
  EXPECT_EQ(colours, (std::set<uint32_t>{0xFF000000u, 0xFFFFFFFFu}));
  // The background (the black scheme's black) turned white; the chart's drawing black.
  size_t white = 0;
  for (uint32_t p : mono.pixels) white += p == 0xFFFFFFFFu;
  EXPECT_GT(white, mono.pixels.size() / 2);
  EXPECT_LT(white, mono.pixels.size());
  EXPECT_EQ(host.beeps, 0);
}

// The bounding box of the pixels darker than light grey.
QRect DarkBox(const QImage& img) {
  int x0 = img.width(), y0 = img.height(), x1 = -1, y1 = -1;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (qGray(img.pixel(x, y)) < 160) {
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
      }
  return x1 < 0 ? QRect() : QRect(QPoint(x0, y0), QPoint(x1, y1));
}

TEST_F(ChartCopyPrint, PrintToPdfPutsTheChartWhereThePageArithmeticSays) {
  QtHost qt;
  SetHost(&qt);
  {
    MainWindow w;
    w.resize(800, 600);
    w.show();
    ChartWidget* view = TheChartWidget();
    ASSERT_NE(view, nullptr);
    view->grab();
    // The two-colour picture that should land on the page.
    HostImage picture;
    {
      ScriptedHost scripted;
      OnCommand(IDM_COPY_MONO);
      picture = scripted.clipboard_image;
    }
    SetHost(&qt);
    const QString pdf = QString::fromStdString(dir_.File("chart.pdf"));
    qt.SetPrintToFile(pdf);
    OnCommand(IDM_PRINT);
    qt.SetPrintToFile({});

    const std::string png = dir_.File("page");
    const CommandRun r = RunCommand("pdftoppm -r 100 -png -singlefile '" + pdf.toStdString() + "' '" + png + "'");
    ASSERT_EQ(r.code, 0) << r.out;
    QImage page(QString::fromStdString(png + ".png"));
    ASSERT_FALSE(page.isNull());
    // Half an inch in, an inch down, the page's width less an inch, proportions kept.
    const PrintRect at = PrintPlacement(picture.width, picture.height, page.width(), page.height(), 100, 100);
    EXPECT_EQ(at.x, 50);
    EXPECT_EQ(at.y, 100);
    const QRect dark_src = DarkBox(ToImage(picture));
    ASSERT_TRUE(dark_src.isValid());
    const double sx = static_cast<double>(at.width) / picture.width;
    const double sy = static_cast<double>(at.height) / picture.height;
    const QRect want(QPoint(at.x + static_cast<int>(dark_src.left() * sx), at.y + static_cast<int>(dark_src.top() * sy)),
                     QPoint(at.x + static_cast<int>((dark_src.right() + 1) * sx) - 1,
                            at.y + static_cast<int>((dark_src.bottom() + 1) * sy) - 1));
    const QRect got = DarkBox(page);
    EXPECT_NEAR(got.left(), want.left(), 2);
    EXPECT_NEAR(got.top(), want.top(), 2);
    EXPECT_NEAR(got.right(), want.right(), 2);
    EXPECT_NEAR(got.bottom(), want.bottom(), 2);
  }
  SetHost(nullptr);
}

}  // namespace
