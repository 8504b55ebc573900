#include "db/database_upgrade.h"

#include <csignal>
#include <cstddef>
#include <cstring>
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
#include "support/kill_points.h"
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
  // The code stored in slot n, as the file holds it.
  int32_t StoredCode(int n) {
    int32_t code = 0;
    const std::string bytes = ReadFileRange(Db(), DbRecordOffset(n) + offsetof(Hiashi, code), 4);
    if (bytes.size() == 4) std::memcpy(&code, bytes.data(), 4);
    return code;
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
  EXPECT_EQ(StoredCode(0), 1234);
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
  for (int n : {0, 1, 2}) EXPECT_EQ(StoredCode(n), FixtureCode(n));
  EXPECT_EQ(Record(3).code, FixtureCode(3));
  EXPECT_EQ(::access(dir.File(DB_BACKUP_FILE).c_str(), F_OK), -1);
  // The kept records are another stock's: they read as no data, reported once per slot.
  ClearPrtHistory();
  EXPECT_EQ(VURN_file_in(0, 2), 1);
  EXPECT_EQ(VURN_file_in(0, 2), 1);
  EXPECT_EQ(WorkHiashi()->code, 8000);
  EXPECT_EQ(WorkHiashi()->end, WorkHiashi()->start - 1);
  EXPECT_EQ(WorkHiashi()->close[5], 0);
  int lines = 0;
  for (int i = 0; i < PRT_LINES; ++i) lines += std::strstr(PrtLines[i], "別の銘柄(code=7000)") != nullptr;
  EXPECT_EQ(lines, 1);
}

TEST_F(Upgrade, TheWholeQuestionReachesTheBox) {
  // Long names make the question longer than any fixed line buffer.
  std::vector<Fundamental> entries = OtherEdition();
  for (Fundamental& f : entries) std::snprintf(f.name, sizeof f.name, "%s", "とても長い銘柄の名前ですよね");
  Prepare(3, entries);
  host.Answer(IDNO, "銘柄ファイルの確認");
  host.Answer(IDOK, "新規銘柄追加完了");
  UpgradeDatabase();
  ASSERT_GE(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text,
            "vurn.hy3 の 3 銘柄の株価データが、銘柄ファイル vurn.tag の銘柄と合いません。\n"
            "別の版の vurn.tag を使っている可能性があります。\n\n"
            "「はい」: vurn.hy3 の控えを vurn.hy3.bak に作ってから、これらの株価データを消して新しい銘柄にします。\n"
            "「いいえ」: 株価データはそのままにします（次回の起動でまた確認します）。\n\n"
            "　8002 とても長い銘柄の名前ですよね　←　7002 銘柄2\n"
            "　8001 とても長い銘柄の名前ですよね　←　7001 銘柄1\n"
            "　8000 とても長い銘柄の名前ですよね　←　7000 銘柄0\n");
}

TEST_F(Upgrade, PriceHistoryIsReplacedOnlyAfterABackup) {
  Prepare(3, OtherEdition());
  const std::string before = ReadFileRange(Db(), 0, static_cast<size_t>(DbRecordOffset(5)));
  host.Answer(IDYES, "銘柄ファイルの確認");
  host.Answer(IDOK, "新規銘柄追加完了");
  UpgradeDatabase();
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[1].text.rfind("5 銘柄 追加しました。", 0), 0u);
  // The backup holds the old file, and is not the new one under a second name.
  struct stat st {}, now {};
  ASSERT_EQ(::stat(dir.File(DB_BACKUP_FILE).c_str(), &st), 0);
  ASSERT_EQ(::stat(Db().c_str(), &now), 0);
  EXPECT_NE(st.st_ino, now.st_ino);
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
  EXPECT_EQ(NamesContaining(dir.path(), ".tmp"), std::vector<std::string>{});
}

// A file cut at a record boundary: the user decides before anything completes it.
TEST_F(Upgrade, ShortFileIsCompletedOnlyWhenTheUserAgrees) {
  for (int answer : {IDNO, IDYES}) {
    SCOPED_TRACE(answer);
    ResetDatabaseState();
    ::unlink(dir.File(DB_BACKUP_FILE).c_str());
    host.boxes.clear();
    WriteFixtureTag(4);
    FixtureDatabase layout;
    layout.records = 3;  // stock 3 was lost
    WriteFixtureDatabase(layout);
    ASSERT_NE(LoadTag(), 0);
    const std::string before = ReadFileBytes(Db());
    host.Answer(answer, "データベースの確認");
    if (answer == IDYES) host.Answer(IDOK, "新規銘柄追加完了");
    UpgradeDatabase();
    ASSERT_GE(host.boxes.size(), 1u);
    EXPECT_NE(host.boxes[0].text.find("3 銘柄分しかありません"), std::string::npos) << Cp932ToUtf8(host.boxes[0].text);
    EXPECT_NE(host.boxes[0].type & MB_DEFBUTTON2, 0u);
    if (answer == IDNO) {
      EXPECT_EQ(host.boxes.size(), 1u);
      EXPECT_TRUE(ReadFileBytes(Db()) == before);
      EXPECT_EQ(::access(dir.File(DB_BACKUP_FILE).c_str(), F_OK), -1);
      // Nothing grows it later either: a write beyond its end is refused.
      ASSERT_EQ(VURN_file_in(-1, 0), 1);
      FillFixtureRecord(3, 10, WorkHiashi());
      EXPECT_EQ(VURN_file_out(3, 2), 0);
      EXPECT_TRUE(ReadFileBytes(Db()) == before);
      // Records inside it are still updated.
      FillFixtureRecord(1, 10, WorkHiashi());
      EXPECT_EQ(VURN_file_out(1, 2), 1);
    } else {
      ASSERT_EQ(host.boxes.size(), 2u);
      EXPECT_EQ(host.boxes[1].text.rfind("1 銘柄 追加しました。", 0), 0u);  // the lost stock's empty record
      EXPECT_TRUE(ReadFileBytes(dir.File(DB_BACKUP_FILE)) == before);
      struct stat st {};
      ASSERT_EQ(::stat(Db().c_str(), &st), 0);
      EXPECT_EQ(st.st_size, DB_FILE_SIZE);
      // Only the header's stock count (from the master file) changed.
      EXPECT_TRUE(ReadFileRange(Db(), 20, before.size() - 20) == before.substr(20));
      EXPECT_EQ(StoredCode(3), FixtureCode(3));
    }
  }
}

// What a run killed before its commit left: temporary files, and a backup that is only a
// second name of the unchanged file. Other files are not ours and stay.
TEST_F(Upgrade, LeftoversOfAnInterruptedRunAreRemoved) {
  Prepare(3, FixtureStocks(3));
  for (const char* name : {"vurn.hy3.tmp123_0", "vurn.hy3.bak.tmp123_1", "vurn.hy3.tmpfile", "vurn.hy3.tmp"})
    WriteFileBytes(dir.File(name), "x");
  ASSERT_EQ(::link(Db().c_str(), dir.File(DB_BACKUP_FILE).c_str()), 0);
  UpgradeDatabase();
  EXPECT_EQ(NamesContaining(dir.path(), ".tmp"), (std::vector<std::string>{"vurn.hy3.tmp", "vurn.hy3.tmpfile"}));
  EXPECT_EQ(::access(dir.File(DB_BACKUP_FILE).c_str(), F_OK), -1);
  // Removed by the update lock's first hold (a dead writer's) or by the upgrade itself.
  EXPECT_TRUE(PrtHas("一時ファイルを"));
  EXPECT_EQ(StoredCode(2), FixtureCode(2));

  // A real backup (a file of its own) is kept.
  WriteFileBytes(dir.File(DB_BACKUP_FILE), "old");
  UpgradeDatabase();
  EXPECT_EQ(ReadFileBytes(dir.File(DB_BACKUP_FILE)), "old");
}

}  // namespace
