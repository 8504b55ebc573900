// The dialog "YUTAI_DOWNLOAD" from the benefit window's "更新": its controls, a run shown in
// its own bar and times that refills the list, and Cancel during a run, which saves nothing.
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "db/price_model.h"
#include "db/stock_code.h"
#include "net/net_config.h"
#include "net/ui/yutai_window.h"
#include "net/yutai_table.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/host.h"
#include "platform/qt/qt_codepage.h"
#include "support/db_fixture.h"
#include "support/loopback_net.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/test_zone.h"
#include "support/utf8.h"
#include "support/qt/controls.h"

namespace {

// A ranking page with one row: rank and "位", months, the company with its code, a kind.
std::string RankingPage(int32_t code) {
  return U8(u8"<html><body><tr><td>1</td><td>位</td><td>3月</td><td>会社(") + std::to_string(code) +
         U8(u8")</td><td>x</td><td>食料品</td><td>最低投資金額</td></tr>"
            u8"<p>カテゴリ別人気ランキングから探す</p></body></html>");
}

class YutaiDialogTest : public LoopbackNetTest {
 protected:
  void SetUp() override {
    LoopbackNetTest::SetUp();
    ResetDatabaseState();
    ClearCommands();
    CurrentNetConfig().stock_info_url = "https://info.test";
    for (int32_t c : {1001, 2914, 7203, 9984}) {
      Fundamental& f = fundamental[LastKabu++];
      f.code = c;
      std::snprintf(f.company, sizeof f.company, "company%d", c);
    }
    MakeCodeOrder();
    ClearYutaiTable(yutai);
    Yutai_Last_Num = 0;
    YutaiDateText[0] = '\0';
    YutaiMonth = YutaiBunruiNum = 0;
    StartServer();
    const int32_t codes[] = {9984, 2914, 7203};
    for (int page = 1; page <= 3; ++page) server->Route(PagePath(page), PageReply(RankingPage(codes[page - 1])));
    server->Route(PagePath(4), PageReply(U8(u8"<p>選択された条件では見つかりませんでした</p>")));
    owner = new QWidget;
    RegisterYutaiWindow(owner, {});
    ASSERT_TRUE(OnCommand(IDM_YUTAI_LIST));
  }
  void TearDown() override {
    delete owner;
    ClearCommands();
    ResetDatabaseState();
    LoopbackNetTest::TearDown();
  }
  static std::string PagePath(int page) { return "/yutai/popular_ranking/total?page=" + std::to_string(page); }
  int Requests(int page) const {
    int n = 0;
    for (const loopback::Request& r : server->requests())
      if (r.bytes.find("GET " + PagePath(page) + " ") != std::string::npos) ++n;
    return n;
  }
  // Presses "更新" in the window; `during` runs in the dialog before anything is pressed.
  void Update(const std::function<void(QWidget*)>& during) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      QWidget* d = QApplication::activeModalWidget();
      ASSERT_NE(d, nullptr);
      seen = true;
      during(d);
    });
    TheYutaiWindow()->findChild<QPushButton*>(QString::number(IDC_YUTAI_UPDATE))->click();
    EXPECT_TRUE(seen);
  }

  TempDir dir;
  ScriptedHost host;
  QWidget* owner = nullptr;
};

TEST_F(YutaiDialogTest, ARunShowsItsTimesAndRefillsTheList) {
  const ScopedZone tokyo("Asia/Tokyo");  // the date shown is the computer's
  std::vector<int> values;
  QString elapsed, remaining;
  Update([&](QWidget* d) {
    EXPECT_EQ(d->objectName(), u"YUTAI_DOWNLOAD"_qs);
    EXPECT_EQ(Control<QLabel>(d, IDC_YUTAI_TEXT)->text(), u"株主優待情報をダウンロードします。　　 30秒ほどかかます。"_qs);
    EXPECT_EQ(Control<QLabel>(d, IDC_YUTAI_ELAPSED)->text(), u"--:--"_qs);
    EXPECT_EQ(Control<QLabel>(d, IDC_YUTAI_REMAINING)->text(), u"--:--"_qs);
    EXPECT_TRUE(Control<QPushButton>(d, IDCANCEL)->isDefault());
    auto* bar = Control<QProgressBar>(d, IDC_YUTAI_PROGRESS);
    EXPECT_EQ(bar->maximum(), 72);
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int v) {
      values.push_back(v);
      host.now += 30;
    });
    Control<QPushButton>(d, IDOK)->click();
    elapsed = Control<QLabel>(d, IDC_YUTAI_ELAPSED)->text();
    remaining = Control<QLabel>(d, IDC_YUTAI_REMAINING)->text();
  });
  EXPECT_EQ(values, (std::vector<int>{1, 2}));
  // The third page: 30 s for 3 pages of 74.
  EXPECT_EQ(elapsed, u"0分30秒"_qs);
  EXPECT_EQ(remaining, u"11分50秒"_qs);
  YutaiWindow* w = TheYutaiWindow();
  ASSERT_EQ(w->List()->model()->rowCount(), 3);
  EXPECT_EQ(w->List()->model()->index(0, 0).data().toString(), u"2914"_qs);
  EXPECT_EQ(w->DateText()->text(), u"2026年12月10日現在の情報 "_qs);
  EXPECT_EQ(fBusy, 0);
  struct stat st {};
  EXPECT_EQ(::stat(dir.File(YUTAI_FILE).c_str(), &st), 0);
}

TEST_F(YutaiDialogTest, CancelDuringARunSavesNothing) {
  Update([&](QWidget* d) {
    auto* bar = Control<QProgressBar>(d, IDC_YUTAI_PROGRESS);
    QObject::connect(bar, &QProgressBar::valueChanged, [d](int v) {
      if (v == 1) Control<QPushButton>(d, IDCANCEL)->click();
    });
    Control<QPushButton>(d, IDOK)->click();
  });
  EXPECT_EQ(Requests(2), 1);
  EXPECT_EQ(Requests(3), 0);  // honoured after the page under way
  struct stat st {};
  EXPECT_NE(::stat(dir.File(YUTAI_FILE).c_str(), &st), 0);
  EXPECT_EQ(TheYutaiWindow()->List()->model()->rowCount(), 0);
  EXPECT_EQ(TheYutaiWindow()->DateText()->text(), u"更新ボタンを押して下さい。"_qs);
}

}  // namespace
