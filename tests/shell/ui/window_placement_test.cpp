#include <QApplication>
#include <QScreen>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "shell/settings.h"
#include "shell/ui/main_window.h"
#include "support/scripted_host.h"
#include "support/db_fixture.h"
#include "support/temp_dir.h"

namespace {

// The main window opens normal at its saved rectangle (even when it was saved maximised)
// and its placement is written back when it closes, with the rest of the file kept.
TEST(MainWindowPlacement, AppliedAtCreationAndSavedAtClose) {
  TempDir dir;
  WriteFixtureDatabase(3, 10);  // start-up stops without a database
  ScriptedHost host;
  std::ofstream(dir.File("mirelo.ini"), std::ios::binary)
      << "[General]\nWinPos=3 -1 -1 -1 -1 100 80 600 480\n[Mine]\nkeep=this\n";
  {
    MainWindow w;
    EXPECT_EQ(w.pos(), QPoint(100, 80));
    EXPECT_EQ(w.size(), QSize(500, 400));
    w.show();
    QApplication::processEvents();
    EXPECT_FALSE(w.isMaximized());
    w.move(120, 90);
    w.resize(640, 480);
    QApplication::processEvents();
    w.close();
  }
  const std::string text = ReadFileBytes(dir.File("mirelo.ini"));
  EXPECT_NE(text.find("WinPos=1 -1 -1 -1 -1 120 90 760 570\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("[Mine]\r\nkeep=this\r\n"), std::string::npos);
  ResetAllSettings();
}

// A saved size far beyond the screen is cut to the screen's available area (painting a
// 25000 x 25000 window would take gigabytes), and the window stays on the screen.
TEST(MainWindowPlacement, HugeSavedSizeIsCutToTheScreen) {
  TempDir dir;
  WriteFixtureDatabase(3, 10);
  ScriptedHost host;
  std::ofstream(dir.File("mirelo.ini"), std::ios::binary) << "[General]\nWinPos=1 -1 -1 -1 -1 14 12 25014 25012\n";
  {
    MainWindow w;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(w.width(), area.width());
    EXPECT_LE(w.height(), area.height());
    EXPECT_TRUE(area.intersects(QRect(w.pos(), w.size())));
    EXPECT_EQ(w.pos(), QPoint(14, 12));
    w.close();
  }
  ResetAllSettings();
}

}  // namespace
