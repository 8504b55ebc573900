// Test main of the GUI tests: the test zone, then one QApplication on the offscreen platform.
#include <QApplication>
#include <gtest/gtest.h>

#include "platform/qt/qt_codepage.h"
#include "platform/qt/qt_translations.h"
#include "support/test_zone.h"

int main(int argc, char** argv) {
  UseTestZone();
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  InstallFontSubstitutions();
  InstallJapaneseTranslations(&app);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
