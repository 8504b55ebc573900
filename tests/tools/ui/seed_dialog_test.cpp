// The dialog of dbseed over a small source folder: its controls and about item, a build
// declined at the first question, one stopped by "閉じる", and one answered OK twice whose
// progress and stock fields move while it runs.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "db/database_file.h"
#include "db/packed_value.h"
#include "db/price_model.h"
#include "folder_source.h"
#include "platform/file_replace.h"
#include "platform/host.h"
#include "seed_build.h"
#include "seed_dialog.h"
#include "support/db_fixture.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/test_files.h"
#include "support/qt/controls.h"
#include "tools/seed_source_fixture.h"

namespace {

constexpr int kDays = 30;

class SeedDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDatabaseState();
    const std::string src = dir.File("src");
    ASSERT_EQ(::mkdir(src.c_str(), 0777), 0);
    const std::vector<int> dates = SeedWeekdays(kDays);
    WriteSeedCalendar(src, dates);
    WriteFixtureTag({SeedEntry("1001", "日経平均"), SeedEntry("7203", "トヨタ"), SeedEntry("130A", "英字")});
    WriteSeedSeries(src, dates, "1001", 0, kDays - 1, [](int i) {
      const std::string c = std::to_string(30000 + i);
      return c + "\t" + c + "\t" + c + "\t" + c + "\t900000";
    });
    WriteSeedSeries(src, dates, "7203", 10, kDays - 1, [](int i) {
      const std::string c = std::to_string(2000 + i);
      return c + "\t" + c + "\t" + c + "\t" + c + "\t12";
    });
    WriteSeedSeries(src, dates, "130A", 20, kDays - 1, [](int) { return std::string("300\t310\t290\t305\t1"); });
    std::string reason;
    ASSERT_TRUE(source.Open(src, &reason)) << reason;
    WriteFileBytes(dir.File(DB_FILE), "old");
  }

  TempDir dir;
  ScriptedHost host;
  FolderSource source;
};

TEST_F(SeedDialogTest, ControlsAboutItemAndClose) {
  SeedDialog dlg(&source);
  EXPECT_EQ(dlg.windowTitle(), u"PanRollingDBからKivora DBへ変換"_qs);
  ASSERT_NE(Control<QPushButton>(&dlg, 1005), nullptr);
  EXPECT_EQ(Control<QPushButton>(&dlg, 1005)->text(), u"作成"_qs);
  ASSERT_NE(Control<QPushButton>(&dlg, IDOK), nullptr);
  EXPECT_EQ(Control<QPushButton>(&dlg, IDOK)->text(), u"閉じる"_qs);
  for (int id : {1003, 1006}) {
    ASSERT_NE(Control<QLineEdit>(&dlg, id), nullptr) << id;
    EXPECT_TRUE(Control<QLineEdit>(&dlg, id)->text().isEmpty()) << id;
    EXPECT_TRUE(Control<QLineEdit>(&dlg, id)->isReadOnly()) << id;
  }

  // The about item sits in the window's menu.
  EXPECT_EQ(dlg.contextMenuPolicy(), Qt::ActionsContextMenu);
  QAction* about = nullptr;
  for (QAction* a : dlg.actions())
    if (a->text() == u"ﾊﾞｰｼﾞｮﾝ情報(dbseed) (&A)..."_qs) about = a;
  ASSERT_NE(about, nullptr);
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    seen = true;
    EXPECT_EQ(box->windowTitle(), u"ﾊﾞｰｼﾞｮﾝ情報 dbseed"_qs);
    EXPECT_EQ(box->text(), u"dbseed Version 1.0"_qs);
    box->accept();
  });
  about->trigger();
  EXPECT_TRUE(seen);

  dlg.show();
  Control<QPushButton>(&dlg, IDOK)->click();
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.exit_status, 0);
  EXPECT_EQ(ReadFileBytes(dir.File(DB_FILE)), "old");
}

TEST_F(SeedDialogTest, DeclinedStoppedAndBuilt) {
  SeedDialog dlg(&source);
  dlg.show();
  QPushButton* create = Control<QPushButton>(&dlg, 1005);
  QLineEdit* progress = Control<QLineEdit>(&dlg, 1003);
  QLineEdit* stock = Control<QLineEdit>(&dlg, 1006);

  // Cancel at the first question: nothing changes and the dialog stays.
  host.Answer(IDCANCEL, "現在のデータベースを破棄しますか？");
  create->click();
  EXPECT_EQ(ReadFileBytes(dir.File(DB_FILE)), "old");
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_TRUE(create->isEnabled());
  EXPECT_TRUE(progress->text().isEmpty());

  // "閉じる" during the build stops it: the old file stays and the tool ends with 1.
  host.Answer(IDOK, "現在のデータベースを破棄しますか？");
  host.Answer(IDOK, "DB削除の最終警告");
  host.on_pump = [&] {
    if (host.pumps == 3) Control<QPushButton>(&dlg, IDOK)->click();
  };
  create->click();
  EXPECT_EQ(ReadFileBytes(dir.File(DB_FILE)), "old");
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.exit_status, 1);
  EXPECT_TRUE(LeftoverTemporaries(dir.File(DB_FILE)).empty());

  // OK to both questions: the fields follow every slot while the button is off.
  dlg.show();
  dlg.exit_status = 0;
  progress->clear();
  stock->clear();
  host.Answer(IDOK, "現在のデータベースを破棄しますか？");
  host.Answer(IDOK, "DB削除の最終警告");
  host.Answer(IDOK, "Kivora DB作成完了");
  std::vector<QString> progress_seen, stocks_seen;
  bool button_off = true;
  host.on_pump = [&] {
    // Each pump comes before its slot is shown: it sees the slot before.
    progress_seen.push_back(progress->text());
    stocks_seen.push_back(stock->text());
    button_off = button_off && !create->isEnabled();
  };
  create->click();
  ASSERT_EQ(progress_seen.size(), 4096u);
  EXPECT_EQ(progress_seen[1], u"   1/4096"_qs);
  EXPECT_EQ(progress_seen[1000], u"1000/4096"_qs);
  EXPECT_EQ(stocks_seen[1], u"1001 日経平均"_qs);
  EXPECT_EQ(stocks_seen[2], u"7203 トヨタ"_qs);
  EXPECT_EQ(stocks_seen[3], u"130A 英字"_qs);
  EXPECT_EQ(stocks_seen[4], u"    0 ------"_qs);
  EXPECT_EQ(progress->text(), u"4096/4096"_qs);
  EXPECT_TRUE(button_off);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(dlg.exit_status, 0);

  // The version-4 file of three stocks.
  const std::string db = dir.File(DB_FILE);
  struct stat st {};
  ASSERT_EQ(::stat(db.c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 161688596);
  int32_t header[5];
  std::memcpy(header, ReadFileRange(db, 0, sizeof header).data(), sizeof header);
  EXPECT_EQ(header[0], 4);
  EXPECT_EQ(header[1], 4096);
  EXPECT_EQ(header[3], kDays);
  EXPECT_EQ(header[4], 3);
  Hiashi h;
  const std::string rec = ReadFileRange(db, DbRecordOffset(1), sizeof h);
  ASSERT_EQ(rec.size(), sizeof h);
  std::memcpy(&h, rec.data(), sizeof h);
  EXPECT_EQ(h.code, 7203);
  EXPECT_EQ(h.start, 10);
  EXPECT_EQ(h.end, kDays - 1);
  EXPECT_EQ(Packed_to_Value(h.close[10]), 2010);
  EXPECT_EQ(Packed_to_Value(h.deki[10]), 12000);
  EXPECT_EQ(ReadFileRange(db, DbRecordOffset(3), sizeof h), std::string(sizeof h, '\0'));
}

// A price file that cannot be read whole: the list names it with its line, No (the default)
// changes nothing and keeps the dialog; Yes builds without the stock and the last box tells so.
TEST_F(SeedDialogTest, FaultyPriceFileIsListedAndNoChangesNothing) {
  WriteFileBytes(dir.File("src/7203.txt"), "20140106\t2000\t2000\t2000\t2000\t12\n20140107\t2000\tx\n");
  SeedDialog dlg(&source);
  dlg.show();
  QPushButton* create = Control<QPushButton>(&dlg, 1005);

  host.Answer(IDNO, SEED_BAD_SOURCE_CAPTION);
  create->click();
  ASSERT_EQ(host.boxes.size(), 1u);
  const ShownBox& asked = host.boxes[0];
  EXPECT_EQ(asked.type, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
  EXPECT_NE(asked.text.find("7203 トヨタ: " + dir.File("src/7203.txt") + ": 2 行目に数値でない項目があります"),
            std::string::npos)
      << asked.text;
  EXPECT_EQ(ReadFileBytes(dir.File(DB_FILE)), "old");
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_TRUE(create->isEnabled());
  EXPECT_EQ(dlg.exit_status, 0);

  host.Answer(IDYES, SEED_BAD_SOURCE_CAPTION);
  host.Answer(IDOK, "現在のデータベースを破棄しますか？");
  host.Answer(IDOK, "DB削除の最終警告");
  host.Answer(IDOK, "Kivora DB作成完了");
  host.Answer(IDOK, SEED_NOTES_CAPTION);
  create->click();
  ASSERT_EQ(host.boxes.size(), 6u);
  EXPECT_NE(host.boxes[5].text.find("株価のない記録にします: 7203 トヨタ: "), std::string::npos) << host.boxes[5].text;
  EXPECT_EQ(dlg.exit_status, 0);
  Hiashi h;
  const std::string rec = ReadFileRange(dir.File(DB_FILE), DbRecordOffset(1), sizeof h);
  ASSERT_EQ(rec.size(), sizeof h);
  std::memcpy(&h, rec.data(), sizeof h);
  EXPECT_EQ(h.code, 7203);
  EXPECT_EQ(h.end, 0);
  EXPECT_EQ(h.close[10], 0);
}

}  // namespace
