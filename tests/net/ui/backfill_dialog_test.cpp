// The dialogs "MILLER_DOWNLOAD" (its scopes, six choices and guide texts, Cancel, a run of
// the shown stock) and "COUNT_DOWN" (its modes, the countdown, "中断" with its notice).
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "chart/shown_stock.h"
#include "net/backfill.h"
#include "net/download_settings.h"
#include "net/net_config.h"
#include "net/timed_download.h"
#include "net/ui/backfill_dialog.h"
#include "net/ui/count_down_dialog.h"
#include "platform/host.h"
#include "support/db_fixture.h"
#include "support/loopback_net.h"
#include "support/merge_fixture.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/utf8.h"
#include "support/qt/controls.h"

namespace {

class MillerDialog : public LoopbackNetTest {
 protected:
  void SetUp() override {
    LoopbackNetTest::SetUp();
    ResetDatabaseState();
    StartServer();
    UseTestSites();
    WriteMergeFixture(3, FixtureCalendar(10));
    ASSERT_TRUE(LoadMergeFixture());
    WebMillerSelect = 3;
    BackfillLastScope = MILLER_ALL_STOCKS;
  }
  void TearDown() override {
    WebMillerSelect = 0;
    BackfillLastScope = MILLER_ALL_STOCKS;
    ResetDatabaseState();
    LoopbackNetTest::TearDown();
  }
  TempDir dir;
  ScriptedHost host;
};

TEST_F(MillerDialog, ControlsGuideTextsAndCancel) {
  bool seen = false;
  QTimer::singleShot(0, [&] {
    QWidget* d = QApplication::activeModalWidget();
    ASSERT_NE(d, nullptr);
    seen = true;
    EXPECT_EQ(d->objectName(), u"MILLER_DOWNLOAD"_qs);
    EXPECT_EQ(d->windowTitle(), u"補充可能な株価、および信用残データをダウンロード"_qs);
    EXPECT_TRUE(Control<QRadioButton>(d, IDC_MILLER_ALL)->isChecked());
    auto* favourites = Control<QCheckBox>(d, IDC_MILLER_FAVOURITES);
    EXPECT_FALSE(favourites->isChecked());
    EXPECT_TRUE(favourites->isEnabled());
    Control<QRadioButton>(d, IDC_MILLER_SHOWN)->setChecked(true);
    EXPECT_FALSE(favourites->isEnabled());
    auto* choice = Control<QComboBox>(d, IDC_MILLER_CHOICE);
    EXPECT_EQ(choice->count(), 6);
    EXPECT_EQ(choice->currentIndex(), 3);
    auto* guide = Control<QLabel>(d, IDC_MILLER_GUIDE);
    EXPECT_EQ(guide->text(), u"過去10年分の信用残を取得"_qs);
    choice->setCurrentIndex(4);
    EXPECT_TRUE(guide->text().startsWith(u"過去20日分の株価を「みんかぶ」から取得。"_qs));
    EXPECT_EQ(Control<QPushButton>(d, IDOK)->text(), u"ダウンロード"_qs);
    Control<QPushButton>(d, IDCANCEL)->click();
  });
  EXPECT_EQ(ShowBackfillDialog(nullptr), 0);
  EXPECT_TRUE(seen);
  EXPECT_TRUE(server->requests().empty());
  EXPECT_EQ(WebMillerSelect, 3);  // only the Download button stores the choice
}

TEST_F(MillerDialog, DownloadRunsTheShownStockAndStoresTheChoice) {
  DispNum = 1;
  QTimer::singleShot(0, [&] {
    QWidget* d = QApplication::activeModalWidget();
    ASSERT_NE(d, nullptr);
    Control<QRadioButton>(d, IDC_MILLER_SHOWN)->setChecked(true);
    Control<QComboBox>(d, IDC_MILLER_CHOICE)->setCurrentIndex(2);
    Control<QPushButton>(d, IDOK)->click();
  });
  EXPECT_EQ(ShowBackfillDialog(nullptr), 1);
  EXPECT_EQ(WebMillerSelect, 2);
  EXPECT_EQ(BackfillLastScope, MILLER_SHOWN_STOCK);
  ASSERT_EQ(server->requests().size(), 1u);
  EXPECT_NE(server->requests()[0].bytes.find("GET /quote/7001.T/history?styl=margin&page=1 "), std::string::npos);
}

TEST(CountDownWindow, TheRestCanBeInterruptedWithItsNotice) {
  ScriptedHost host;
  bool seen = false;
  QTimer::singleShot(0, [&] {
    QWidget* d = QApplication::activeModalWidget();
    ASSERT_NE(d, nullptr);
    seen = true;
    EXPECT_EQ(d->objectName(), u"COUNT_DOWN"_qs);
    EXPECT_EQ(d->windowTitle(), u"待機中"_qs);
    EXPECT_TRUE(Control<QLabel>(d, IDC_COUNT_DOWN_TEXT)->text().startsWith(u"Yahoo!ファイナンスのアクセス規制"_qs));
    Control<QPushButton>(d, IDCANCEL)->click();
  });
  host.Answer(IDOK, "お知らせ");
  EXPECT_EQ(ShowCountDownDialog(nullptr, COUNT_DOWN_REST), 0);
  EXPECT_TRUE(seen);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "待機を中止しました。\n次回は続きから続行できます。");
}

}  // namespace
