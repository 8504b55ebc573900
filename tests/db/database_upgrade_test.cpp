#include "db/database_upgrade.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "db/database_file.h"
#include "db/master_file.h"
#include "db/packed_value.h"
#include "platform/codepage.h"
#include "platform/diagnostics.h"
#include "support/db_fixture.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

class Upgrade : public ::testing::Test {
 protected:
  void SetUp() override { ResetDatabaseState(); }
  void TearDown() override { ResetDatabaseState(); }
  std::string Db() const { return dir.File(DB_FILE); }
  // The database holds `in_db` fixture records; the master file lists `entries`.
  void Prepare(int in_db, const std::vector<Fundamental>& entries) {
    WriteFixtureTag(entries);
    FixtureDatabase layout;
    layout.stocks = in_db;
    WriteFixtureDatabase(layout);
    ASSERT_NE(LoadTag(), 0);
  }
  Hiashi Record(int n) {
    EXPECT_EQ(VURN_file_in(n, 2), 1);
    return *WorkHiashi();
  }
  TempDir dir;
  ScriptedHost host;
};

TEST_F(Upgrade, WithoutVurnHy3ThereIsNothingToUpgrade) {
  WriteFixtureTag(3);
  FixtureDatabase layout;
  layout.file = SAMPLE_DB_FILE;
  WriteFixtureDatabase(layout);
  ASSERT_NE(LoadTag(), 0);
  UpgradeDatabase();
  EXPECT_TRUE(PrtHas("vurn.hy3 がない。TRY版。"));
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(host.wait_texts.empty());
}

TEST_F(Upgrade, MatchingLastSlotEndsTheNewStockStep) {
  Prepare(3, FixtureStocks(3));
  // Slot 0 carries another code, but the step stops at the matching last slot.
  ASSERT_EQ(VURN_file_in(-1, 0), 1);
  Hiashi h = Record(0);
  h.code = 1234;
  *WorkHiashi() = h;
  ASSERT_EQ(VURN_file_out(0, 2), 1);
  UpgradeDatabase();
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(host.wait_texts.empty());
  EXPECT_EQ(Record(0).code, 1234);
}

TEST_F(Upgrade, NewStocksGetEmptyRecords) {
  Prepare(3, FixtureStocks(5));
  host.Answer(IDOK, "新規銘柄追加完了");
  UpgradeDatabase();
  ASSERT_EQ(host.wait_texts.size(), 1u);
  EXPECT_EQ(host.wait_texts[0], "新規銘柄を追加しています。\n1分ほどお待ち下さい。\n\nこの処理は今回のみ行われます。");
  EXPECT_FALSE(host.wait_open);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "2 銘柄 追加しました。\n\n　7004 テスト会社4　　\n　7003 テスト会社3　　\n");
  EXPECT_TRUE(PrtHas("Tag変更での追加  7004,7004,銘柄4       ,old ph->code=0"));
  for (int n : {3, 4}) {
    Hiashi h = Record(n);
    EXPECT_EQ(h.code, FixtureCode(n));
    EXPECT_EQ(h.flag, fundamental[n].flag);
    EXPECT_STREQ(h.name, fundamental[n].name);
    EXPECT_EQ(h.start, 0);
    EXPECT_EQ(h.end, 0);
    for (int d = 0; d < MAX_DATE; ++d) ASSERT_EQ(h.close[d], 0);
  }
  for (int n : {0, 1, 2}) EXPECT_EQ(Packed_to_Value(Record(n).close[9]), 1000 + 10 * n + 9);
  EXPECT_EQ(::access(dir.File(DB_BACKUP_FILE).c_str(), F_OK), -1);  // no backup needed
}

TEST_F(Upgrade, CompletionListShowsThirtyStocksThenEtc) {
  Prepare(1, FixtureStocks(36));
  host.Answer(IDOK, "新規銘柄追加完了");
  UpgradeDatabase();
  ASSERT_EQ(host.boxes.size(), 1u);
  const std::string& text = host.boxes[0].text;
  EXPECT_EQ(text.rfind("35 銘柄 追加しました。\n\n　7035 テスト会社35　　\n", 0), 0u);
  int lines = 0;
  for (char c : text) lines += c == '\n';
  EXPECT_EQ(lines, 2 + 30 + 1);
  EXPECT_NE(text.find("　7006 テスト会社6　　\n　　　　　　　　　　　　　　　　　　　　　等\n"), std::string::npos);
  EXPECT_EQ(text.find("7005 テスト会社5"), std::string::npos);
}

// A master file of another edition: slots 0 to 2 hold prices of other stocks.
std::vector<Fundamental> OtherEdition() {
  std::vector<Fundamental> v = FixtureStocks(5);
  for (int n = 0; n < 3; ++n) v[static_cast<size_t>(n)].code = 8000 + n;
  return v;
}

TEST_F(Upgrade, PriceHistoryIsKeptWhenTheUserSaysNo) {
  Prepare(3, OtherEdition());
  host.Answer(IDNO, "銘柄ファイルの確認");
  host.Answer(IDOK, "新規銘柄追加完了");
  UpgradeDatabase();
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[0].type & MB_BUTTON_MASK, unsigned{MB_YESNO});
  EXPECT_NE(host.boxes[0].type & MB_DEFBUTTON2, 0u);
  EXPECT_NE(host.boxes[0].text.find("3 銘柄の株価データ"), std::string::npos);
  EXPECT_NE(host.boxes[0].text.find("　8000 銘柄0　←　7000 銘柄0\n"), std::string::npos);
  EXPECT_EQ(host.boxes[1].text.rfind("2 銘柄 追加しました。", 0), 0u);
  for (int n : {0, 1, 2}) EXPECT_EQ(Record(n).code, FixtureCode(n));
  EXPECT_EQ(Record(3).code, FixtureCode(3));
  EXPECT_EQ(::access(dir.File(DB_BACKUP_FILE).c_str(), F_OK), -1);
}

TEST_F(Upgrade, PriceHistoryIsReplacedOnlyAfterABackup) {
  Prepare(3, OtherEdition());
  const std::string before = ReadFileRange(Db(), 0, static_cast<size_t>(DbRecordOffset(5)));
  host.Answer(IDYES, "銘柄ファイルの確認");
  host.Answer(IDOK, "新規銘柄追加完了");
  UpgradeDatabase();
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[1].text.rfind("5 銘柄 追加しました。", 0), 0u);
  // The backup holds the old file.
  struct stat st {};
  ASSERT_EQ(::stat(dir.File(DB_BACKUP_FILE).c_str(), &st), 0);
  EXPECT_EQ(st.st_size, DB_FILE_SIZE);
  EXPECT_EQ(ReadFileRange(dir.File(DB_BACKUP_FILE), 0, before.size()), before);
  for (int n : {0, 1, 2}) {
    Hiashi h = Record(n);
    EXPECT_EQ(h.code, 8000 + n);
    EXPECT_EQ(h.close[5], 0);
  }
}

TEST_F(Upgrade, NewerVersionIsRefusedAndLeftUntouched) {
  WriteFixtureTag(3);
  FixtureDatabase layout;
  layout.version = 7;
  layout.records = 8;
  WriteFixtureDatabase(layout);
  ASSERT_NE(LoadTag(), 0);
  const std::string before = ReadFileBytes(Db());
  host.Answer(IDOK, "データベースの読みこみ失敗");
  UpgradeDatabase();
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_NE(host.boxes[0].text.find("バージョン=7"), std::string::npos) << Cp932ToUtf8(host.boxes[0].text);
  EXPECT_TRUE(host.wait_texts.empty());
  EXPECT_EQ(ReadFileBytes(Db()), before);
}

TEST_F(Upgrade, FailedGrowthLeavesTheFileAsItWas) {
  WriteFixtureTag(3);
  FixtureDatabase layout;
  layout.version = 5;
  WriteFixtureDatabase(layout);
  ASSERT_NE(LoadTag(), 0);
  const int64_t v5_size = DbRecordOffset(DB_SLOTS_V5);
  const std::string head = ReadFileRange(Db(), 0, static_cast<size_t>(DbRecordOffset(3)));
  host.Answer(IDOK, "データベースの拡張");
  {
    // The disk has no room for the new slots.
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    auto old = std::signal(SIGXFSZ, SIG_IGN);
    rlimit r = saved;
    r.rlim_cur = static_cast<rlim_t>(v5_size + 4096);
    ::setrlimit(RLIMIT_FSIZE, &r);
    UpgradeDatabase();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, old);
  }
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_NE(host.boxes[0].text.find("拡張に失敗しました"), std::string::npos);
  EXPECT_FALSE(host.wait_open);
  EXPECT_FALSE(PrtHas("DB5 ---> DB6 end..."));
  struct stat st {};
  ASSERT_EQ(::stat(Db().c_str(), &st), 0);
  EXPECT_EQ(st.st_size, v5_size);
  EXPECT_EQ(ReadFileRange(Db(), 0, head.size()), head);
}

}  // namespace
