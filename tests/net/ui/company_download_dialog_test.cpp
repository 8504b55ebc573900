// The dialog "FUN_DOWNLOAD": its choices, the run shown in its own bar and times, and Cancel
// during a run of every stock, which keeps the stocks fetched so far.
#include "net/ui/company_download_dialog.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/shown_stock.h"
#include "db/price_model.h"
#include "net/company_file.h"
#include "net/net_config.h"
#include "platform/host.h"
#include "platform/qt/qt_codepage.h"
#include "support/db_fixture.h"
#include "support/loopback_net.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/utf8.h"
#include "support/qt/controls.h"

namespace {

std::string Page(const char8_t* title) {
  return U8(u8"<html><head><title>") + U8(title) + U8(u8"</title></head><body><p>東証業種名</p><p>電気機器</p></body></html>");
}

class FunDialogTest : public LoopbackNetTest {
 protected:
  void SetUp() override {
    LoopbackNetTest::SetUp();
    ResetDatabaseState();
    ResetFunBuffer();
    CurrentNetConfig().company_url = "https://company.test";
    const std::vector<Fundamental> stocks = FixtureStocks(3);
    for (int n = 0; n < 3; ++n) fundamental[n] = stocks[static_cast<size_t>(n)];
    LastKabu = 3;
    StartServer();
    for (int32_t code : {7000, 7001, 7002}) {
      server->Route("/nkd/company/gaiyo/?scode=" + std::to_string(code), PageReply(Page(u8"企業概要社員数や役員報酬・資本金")));
      server->Route("/nkd/company/kessan/?scode=" + std::to_string(code), PageReply(Page(u8"決算発表や業務・財務情報")));
    }
  }
  void TearDown() override {
    ResetFunBuffer();
    ResetDatabaseState();
    LoopbackNetTest::TearDown();
  }
  int Requests(int32_t code) const {
    int n = 0;
    for (const loopback::Request& r : server->requests())
      if (r.bytes.find("scode=" + std::to_string(code) + " ") != std::string::npos) ++n;
    return n;
  }
  TempDir dir;
  ScriptedHost host;
};

TEST_F(FunDialogTest, TheRunMovesTheDialogsControlsAndCancelKeepsWhatCame) {
  std::vector<int> values;
  QString elapsed_seen, remaining_seen;
  bool seen = false;
  QTimer::singleShot(0, [&] {
    QWidget* d = QApplication::activeModalWidget();
    ASSERT_NE(d, nullptr);
    seen = true;
    EXPECT_EQ(d->objectName(), u"FUN_DOWNLOAD"_qs);
    EXPECT_TRUE(Control<QRadioButton>(d, IDC_FUN_SHOWN)->isChecked());
    auto* bar = Control<QProgressBar>(d, IDC_FUN_PROGRESS);
    auto* elapsed = Control<QLabel>(d, IDC_FUN_ELAPSED);
    auto* remaining = Control<QLabel>(d, IDC_FUN_REMAINING);
    ASSERT_TRUE(bar && elapsed && remaining && Control<QLabel>(d, IDC_FUN_TEXT));
    EXPECT_EQ(bar->maximum(), 2);  // LastKabu - 1
    EXPECT_EQ(elapsed->text(), u"--:--"_qs);
    // At the second stock: time has passed, and the user presses Cancel.
    QObject::connect(bar, &QProgressBar::valueChanged, [&, d](int v) {
      values.push_back(v);
      host.now += 90;
      if (v == 1) Control<QPushButton>(d, IDCANCEL)->click();
    });
    Control<QRadioButton>(d, IDC_FUN_ALL)->setChecked(true);
    Control<QPushButton>(d, IDOK)->click();
    elapsed_seen = elapsed->text();
    remaining_seen = remaining->text();
  });
  EXPECT_EQ(ShowCompanyDownloadDialog(nullptr), 1);
  ASSERT_TRUE(seen);
  EXPECT_EQ(values, std::vector<int>{1});
  // The second stock's second page: 90 s for 2 of 3 stocks.
  EXPECT_EQ(elapsed_seen, u"1分30秒"_qs);
  EXPECT_EQ(remaining_seen, u"0分45秒"_qs);
  EXPECT_EQ(Requests(7001), 2);  // the stock under way is finished
  EXPECT_EQ(Requests(7002), 0);
  ResetFunBuffer();
  ASSERT_EQ(ReadFun(1, 1), 1);
  EXPECT_EQ(FunBuf.code, 7001);
  ASSERT_EQ(ReadFun(2, 1), 1);
  EXPECT_EQ(FunBuf.code, 0);
}

TEST_F(FunDialogTest, TheShownStockShowsTheConnectingTextAndTimes) {
  DispNum = 2;
  QString text, elapsed;
  QTimer::singleShot(0, [&] {
    QWidget* d = QApplication::activeModalWidget();
    ASSERT_NE(d, nullptr);
    auto* bar = Control<QProgressBar>(d, IDC_FUN_PROGRESS);
    QObject::connect(bar, &QProgressBar::valueChanged, [&, d](int) {
      host.now += 3;
      text = Control<QLabel>(d, IDC_FUN_TEXT)->text();
    });
    Control<QPushButton>(d, IDOK)->click();
    elapsed = Control<QLabel>(d, IDC_FUN_ELAPSED)->text();
  });
  EXPECT_EQ(ShowCompanyDownloadDialog(nullptr), 1);
  EXPECT_EQ(text, u"インターネットに接続中です。\n１０秒ほどお待ち下さい。"_qs);
  EXPECT_EQ(elapsed, u"0分03秒"_qs);  // shown again before the second page
  EXPECT_EQ(Requests(7002), 2);
  EXPECT_EQ(Requests(7000), 0);
}

}  // namespace
