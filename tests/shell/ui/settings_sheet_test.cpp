// The settings sheet driven as a user would: boxes typed, pages shown or not, OK or Cancel,
// the scheme list, the colour dialog and the font size that take effect at once.
#include "shell/ui/settings_sheet.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

#include "chart/chart_settings.h"
#include "lists/list_settings.h"
#include "net/download_settings.h"
#include "net/timed_download.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/host.h"
#include "shell/settings.h"
#include "shell/ui/main_window.h"
#include "support/db_fixture.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

// Runs `act` on the sheet once command 40081 has opened it.
void OnSheet(std::function<void(SettingsSheet*)> act) {
  QTimer::singleShot(0, [act] {
    auto* sheet = qobject_cast<SettingsSheet*>(QApplication::activeModalWidget());
    ASSERT_NE(sheet, nullptr);
    act(sheet);
  });
}

template <typename T>
T* Box(SettingsSheet* s, int page, const char* id) {
  T* w = s->Tabs()->widget(page)->findChild<T*>(QString::fromLatin1(id));
  EXPECT_NE(w, nullptr) << id;
  return w;
}

class SettingsSheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDatabaseState();
    WriteFixtureDatabase(3, 300);
    ResetAllSettings();
    CrossView = 0;
  }
  void TearDown() override { ResetAllSettings(); }
  TempDir dir_;
};

TEST_F(SettingsSheetTest, OnlyThePagesShownStoreAndCancelStoresNothing) {
  ScriptedHost host;
  MainWindow w;
  w.show();
  OnSheet([](SettingsSheet* s) {
    EXPECT_EQ(s->windowTitle(), u"各種設定"_qs);
    EXPECT_EQ(s->Tabs()->count(), 6);
    EXPECT_EQ(s->Tabs()->tabText(5), u"その他"_qs);
    // The third daily average is off by default: its box is read-only until ticked.
    QLineEdit* third = Box<QLineEdit>(s, 0, "1052");
    EXPECT_TRUE(third->isReadOnly());
    Box<QCheckBox>(s, 0, "1262")->click();
    EXPECT_FALSE(third->isReadOnly());
    third->setText(u"100"_qs);
    Box<QLineEdit>(s, 0, "1046")->setText(u"12abc"_qs);  // leading digits count
    // Page 2 is shown; page 1 only typed into behind the scenes, never shown.
    s->Tabs()->setCurrentIndex(2);
    Box<QLineEdit>(s, 2, "1383")->setText(u"0"_qs);
    for (const char* id : {"1406", "1407", "1408"}) Box<QCheckBox>(s, 2, id)->setChecked(false);
    Box<QLineEdit>(s, 1, "1208")->setText(u"33"_qs);
    s->accept();
  });
  OnCommand(IDM_SETTINGS);
  EXPECT_EQ(DayMoveAve[0], 12);
  EXPECT_EQ(DayMoveAveThird[0], 100);
  EXPECT_EQ(DayMoveAveThird[1], 1);
  EXPECT_EQ(MACD[0], 5);
  EXPECT_EQ(Bollinger, 2);
  EXPECT_EQ(RSI, 9);  // its page was never shown

  OnSheet([](SettingsSheet* s) {
    s->Tabs()->setCurrentIndex(3);
    Box<QLineEdit>(s, 3, "1198")->setText(u"7"_qs);
    s->reject();
  });
  OnCommand(IDM_SETTINGS);
  EXPECT_EQ(SonkiriRitu, -5);
  OnSheet([](SettingsSheet* s) {
    s->Tabs()->setCurrentIndex(3);
    EXPECT_EQ(Box<QLineEdit>(s, 3, "1198")->text(), u"5"_qs);  // shown positive
    Box<QLineEdit>(s, 3, "1198")->setText(u"3"_qs);
    Box<QComboBox>(s, 3, "1367")->setCurrentIndex(4);
    s->Tabs()->setCurrentIndex(5);
    Box<QSpinBox>(s, 5, "1433")->setValue(18);
    Box<QSpinBox>(s, 5, "1433m")->setValue(42);
    s->accept();
  });
  OnCommand(IDM_SETTINGS);
  EXPECT_EQ(SonkiriRitu, -3);
  EXPECT_EQ(ZengoDekidaka, 4);
  EXPECT_EQ(DownloadHour, 18);
  EXPECT_EQ(DownloadMinute, 42);
}

TEST_F(SettingsSheetTest, MoveAverageRefusalShowsItsMessageAndKeepsThePage) {
  ScriptedHost host;
  host.Answer(IDOK, "確認");
  MainWindow w;
  w.show();
  OnSheet([](SettingsSheet* s) {
    Box<QLineEdit>(s, 0, "1047")->setText(u"1001"_qs);
    Box<QCheckBox>(s, 0, "1421")->setChecked(true);
    s->accept();
  });
  OnCommand(IDM_SETTINGS);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "平均線の入力は３桁以下にしてください。");
  EXPECT_EQ(DayMoveAve[1], 39);
  EXPECT_EQ(DekidakaView, 1);
}

TEST_F(SettingsSheetTest, SchemeColourAndFontTakeEffectAtOnceEvenOnCancel) {
  ScriptedHost host;
  host.Answer(IDYES, "確認");
  MainWindow w;
  w.show();
  CrossView = 0;
  host.posted.clear();  // only what the sheet posts counts
  OnSheet([](SettingsSheet* s) {
    s->Tabs()->setCurrentIndex(4);
    EXPECT_EQ(Box<QComboBox>(s, 4, "1400")->currentIndex(), 0);
    Box<QComboBox>(s, 4, "1400")->setCurrentIndex(1);  // "白", answered Yes
    EXPECT_EQ(Clr_ChartBackGround, Rgb(255, 255, 255));
    // The colour dialog opens for the item chosen; the custom colours start black.
    QTimer::singleShot(0, [] {
      auto* dlg = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dlg, nullptr);
      EXPECT_EQ(QColorDialog::customColor(0), QColor(Qt::black));
      EXPECT_EQ(QColorDialog::customColor(15), QColor(Qt::black));
      dlg->setCurrentColor(QColor(1, 2, 3));
      dlg->accept();
    });
    Box<QComboBox>(s, 4, "1398")->setCurrentIndex(3);  // "画面　　　：終値"
    EXPECT_EQ(Clr_ChartOwarine, Rgb(1, 2, 3));
    Box<QComboBox>(s, 4, "1401")->setCurrentIndex(3);  // "普通"
    s->reject();
  });
  OnCommand(IDM_SETTINGS);
  EXPECT_EQ(Clr_ChartBackGround, Rgb(255, 255, 255));
  EXPECT_EQ(Clr_ChartOwarine, Rgb(1, 2, 3));
  EXPECT_EQ(CrossFontSize, 20);
  // The cross cursor was off: one 40143 switches it on with the new size.
  EXPECT_EQ(host.posted, std::vector<int>{IDM_CROSS_CURSOR});
}

}  // namespace
