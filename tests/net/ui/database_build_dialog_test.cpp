// The dialog "DBMAKE_DOWNLOAD": its texts and buttons, Cancel before OK (nothing written, the
// sample mode kept), and Cancel during the run (the build ends with its message and leaves
// the sample mode).
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>

#include "db/database_file.h"
#include "net/net_config.h"
#include "net/ui/database_build_dialog.h"
#include "platform/working_folder.h"
#include "support/db_fixture.h"
#include "support/loopback_net.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/utf8.h"
#include "support/qt/controls.h"

namespace {

class DbMakeDialogTest : public LoopbackNetTest {
 protected:
  void SetUp() override {
    LoopbackNetTest::SetUp();
    ResetDatabaseState();
    EnterSampleMode(FixtureStocks(4), 2);
    StartServer();
    UseTestSites();
    Serve("/quote/998407.O/history?from=20010605&to=20351229&timeFrame=d&page=1",
          U8(u8"<table><tr><td>日付</td><td>始値</td></tr><tr><td>2026/12/9</td><td>1</td></tr></table>"));
    Serve("/quote/998407.O/history?from=20010605&to=20351229&timeFrame=d&page=2", "<table></table>");
  }
  void TearDown() override {
    ResetDatabaseState();
    LoopbackNetTest::TearDown();
  }
  TempDir dir;
  ScriptedHost host;
};

TEST_F(DbMakeDialogTest, CancelBeforeOkWritesNothing) {
  bool seen = false;
  QTimer::singleShot(0, [&] {
    QWidget* d = QApplication::activeModalWidget();
    ASSERT_NE(d, nullptr);
    seen = true;
    EXPECT_EQ(d->objectName(), u"DBMAKE_DOWNLOAD"_qs);
    EXPECT_EQ(d->windowTitle(), u"株価データベースの作成"_qs);
    EXPECT_TRUE(Control<QLabel>(d, IDC_DBMAKE_TEXT)->text().startsWith(u"正規のデータベース作成の準備に２分ほど"_qs));
    EXPECT_EQ(Control<QLabel>(d, IDC_DBMAKE_ELAPSED)->text(), u"--:--"_qs);
    EXPECT_EQ(Control<QLabel>(d, IDC_DBMAKE_REMAINING)->text(), u"--:--"_qs);
    EXPECT_EQ(Control<QPushButton>(d, IDOK)->text(), u"OK"_qs);
    auto* cancel = Control<QPushButton>(d, IDCANCEL);
    EXPECT_TRUE(cancel->isDefault());
    cancel->click();
  });
  EXPECT_EQ(ShowDbMakeDialog(nullptr), 1);
  EXPECT_TRUE(seen);
  EXPECT_EQ(fSampleDB, 1);
  EXPECT_FALSE(std::filesystem::exists(DataFilePath(DB_FILE)));
  EXPECT_TRUE(server->requests().empty());
}

TEST_F(DbMakeDialogTest, CancelDuringTheRunEndsWithTheMessageOutsideTheSampleMode) {
  QWidget* dialog = nullptr;
  bool cancelled = false;
  QTimer::singleShot(0, [&] {
    dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    // Seen by the run at its first stock, which lets pending events run.
    QTimer::singleShot(0, [&] {
      EXPECT_TRUE(Control<QLabel>(dialog, IDC_DBMAKE_TEXT)->text().startsWith(u"全銘柄の株価データをダウンロードしています。"_qs));
      EXPECT_FALSE(Control<QPushButton>(dialog, IDOK)->isEnabled());
      EXPECT_EQ(Control<QProgressBar>(dialog, IDC_DBMAKE_PROGRESS)->maximum(), 3);
      EXPECT_NE(Control<QLabel>(dialog, IDC_DBMAKE_ELAPSED)->text(), u"--:--"_qs);
      Control<QPushButton>(dialog, IDCANCEL)->click();
      cancelled = true;
    });
    Control<QPushButton>(dialog, IDOK)->click();
  });
  host.Answer(IDOK, "データベースの作成完了");
  EXPECT_EQ(ShowDbMakeDialog(nullptr), 1);
  EXPECT_TRUE(cancelled);
  EXPECT_EQ(fSampleDB, 0);
  EXPECT_EQ(LastKabu, 4);
  EXPECT_TRUE(std::filesystem::exists(DataFilePath(DB_FILE)));
  EXPECT_EQ(Requests("/v8/finance/chart/"), 0) << "no stock was fetched after Cancel";
}

}  // namespace
