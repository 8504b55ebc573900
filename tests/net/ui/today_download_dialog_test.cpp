// The dialog "WEB_DOWNLOAD": its controls and texts, Cancel before a run, and the timed
// download's self-start after one second without any box.
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QApplication>
#include <gtest/gtest.h>

#include "db/price_model.h"
#include "net/net_config.h"
#include "net/today_download.h"
#include "net/ui/today_download_dialog.h"
#include "support/db_fixture.h"
#include "support/loopback_net.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/qt/controls.h"

namespace {

class TodayDialog : public LoopbackNetTest {
 protected:
  void SetUp() override {
    LoopbackNetTest::SetUp();
    ResetDatabaseState();
    StartServer();  // serves nothing: the probe page is a 404 page
    UseTestSites();
    LastKabu = 0;
    Fundamental& f = fundamental[LastKabu++];
    f.code = 7203;
    f.market = 1;
    f.flag = FLAG_DAILY_DOWNLOAD;
  }
  void TearDown() override {
    fTimedDownload = 0;
    ResetDatabaseState();
    LoopbackNetTest::TearDown();
  }
  TempDir dir;
  ScriptedHost host;
};

TEST_F(TodayDialog, ControlsAndCancel) {
  StoreWebDay(0, 1, 1, 1, 1, 1);  // the dialog empties the table at its start
  bool seen = false;
  QTimer::singleShot(0, [&] {
    QWidget* d = QApplication::activeModalWidget();
    ASSERT_NE(d, nullptr);
    seen = true;
    EXPECT_EQ(d->objectName(), u"WEB_DOWNLOAD"_qs);
    EXPECT_EQ(d->windowTitle(), u"今日の株価をダウンロード"_qs);
    auto* source = Control<QComboBox>(d, IDC_WEB_SOURCE);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->count(), 1);
    EXPECT_EQ(source->currentText(), u"Yahoo!から"_qs);
    EXPECT_EQ(Control<QLabel>(d, IDC_WEB_DATE)->text(), u"不明"_qs);
    EXPECT_EQ(Control<QLabel>(d, IDC_WEB_ELAPSED)->text(), u"--:--"_qs);
    EXPECT_EQ(Control<QLabel>(d, IDC_WEB_REMAINING)->text(), u"--:--"_qs);
    EXPECT_TRUE(Control<QLabel>(d, IDC_WEB_EXPLAIN)->text().startsWith(u"ダウンロード時間 12分00秒。"_qs));
    EXPECT_EQ(Control<QProgressBar>(d, IDC_WEB_PROGRESS)->value(), 0);
    EXPECT_EQ(Control<QPushButton>(d, IDOK)->text(), u"ダウンロード"_qs);
    EXPECT_EQ(WebDayTable[0].code, 0);
    Control<QPushButton>(d, IDCANCEL)->click();
  });
  EXPECT_EQ(ShowTodayDownloadDialog(nullptr), 0);
  EXPECT_TRUE(seen);
  EXPECT_TRUE(PrtHas("fPushOK=0, fUserCancel=0"));
  EXPECT_TRUE(server->requests().empty());
}

TEST_F(TodayDialog, TimedDownloadStartsItselfAndShowsNoBox) {
  fTimedDownload = 1;
  QString title;
  QTimer::singleShot(0, [&] {
    if (QWidget* d = QApplication::activeModalWidget()) title = d->windowTitle();
  });
  EXPECT_EQ(ShowTodayDownloadDialog(nullptr), 0);  // the probe page is missing
  EXPECT_EQ(title, u"定時の自動ダウンロード中。"_qs);
  EXPECT_EQ(server->requests().size(), 1u);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(PrtHas("現在の日時なし"));
}

TEST_F(TodayDialog, InteractiveFailureShowsTheAbortBox) {
  bool pressed = false;
  QTimer::singleShot(0, [&] {
    QWidget* d = QApplication::activeModalWidget();
    ASSERT_NE(d, nullptr);
    pressed = true;
    Control<QPushButton>(d, IDOK)->click();
  });
  host.Answer(IDOK, "ダウンロード中止");
  EXPECT_EQ(ShowTodayDownloadDialog(nullptr), 0);
  EXPECT_TRUE(pressed);
  ASSERT_EQ(host.boxes.size(), 1u);
}

}  // namespace
