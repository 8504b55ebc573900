#include "db/database_check.h"

#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

#include "db/master_file.h"
#include "platform/codepage.h"
#include "support/db_fixture.h"
#include "support/temp_dir.h"

namespace {

std::string Joined(const DbCheckResult& r) {
  std::string s;
  for (const std::string& p : r.problems) s += p + "\n";
  return s;
}

void Patch(const std::string& path, int64_t at, const void* data, size_t n) {
  int fd = ::open(path.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::pwrite(fd, data, n, at), static_cast<ssize_t>(n));
  ::close(fd);
}
void PatchInt(const std::string& path, int64_t at, int32_t v) { Patch(path, at, &v, 4); }
void PatchU16(const std::string& path, int64_t at, uint16_t v) { Patch(path, at, &v, 2); }

TEST(DatabaseCheck, FindsEachKindOfFault) {
  TempDir dir;
  const std::string db = dir.File(DB_FILE), tag = dir.File(TAG_FILE);
  const int64_t r1 = DbRecordOffset(1);
  struct Case {
    const char* what;
    std::function<void()> spoil;
    const char* expect;  // part of the problem line
  };
  const Case cases[] = {
      {"sound", [] {}, nullptr},
      {"code differs from the master", [&] { PatchInt(db, r1 + 39456, 1234); }, "コード 1234 が銘柄ファイルのコード 7001"},
      {"zero close inside the range", [&] { PatchU16(db, r1 + 16896 + 2 * 4, 0); }, "中の日 4 の終値が 0"},
      {"price after end", [&] { PatchInt(db, r1 + 39468, 7); }, "外の日 8 に株価"},
      {"start after end", [&] { PatchInt(db, r1 + 39464, 9); PatchInt(db, r1 + 39468, 3); }, "start=9,end=3"},
      {"end beyond the calendar", [&] { PatchInt(db, r1 + 39468, 10); }, "start=0,end=10"},
      {"name not terminated", [&] { Patch(db, r1 + 39424, std::string(32, 'x').data(), 32); }, "銘柄名が終端されていません"},
      {"prices in an unused slot", [&] { PatchU16(db, DbRecordOffset(5) + 16896, 8); }, "slot 5"},
      {"calendar out of order", [&] { PatchInt(db, 20 + 4 * 5, 20200101); }, "日付表の 5 番目"},
      {"older version", [&] { PatchInt(db, 0, 5); }, "バージョンが 5 です"},
      {"file cut short", [&] { ASSERT_EQ(::truncate(db.c_str(), DbRecordOffset(100)), 0); }, "ファイルの大きさが"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFixtureDatabase(3, 10);
    c.spoil();
    DbCheckResult result;
    DbInspectError error;
    ASSERT_TRUE(CheckDbFiles(db, tag, &result, &error)) << Cp932ToUtf8(error.text);
    if (!c.expect) {
      EXPECT_EQ(result.problem_count, 0) << Cp932ToUtf8(Joined(result));
      continue;
    }
    EXPECT_GE(result.problem_count, 1);
    EXPECT_NE(Joined(result).find(c.expect), std::string::npos) << Cp932ToUtf8(Joined(result));
  }
}

TEST(DatabaseCheck, UnreadableFilesAreNotChecked) {
  TempDir dir;
  DbCheckResult result;
  DbInspectError error;
  EXPECT_FALSE(CheckDbFiles(dir.File(DB_FILE), dir.File(TAG_FILE), &result, &error));
  EXPECT_NE(error.text.find("vurn.hy3 を読めません"), std::string::npos);
  FixtureDatabase layout;
  WriteFixtureDatabase(layout);  // no master file
  EXPECT_FALSE(CheckDbFiles(dir.File(DB_FILE), dir.File(TAG_FILE), &result, &error));
  EXPECT_NE(error.text.find("vurn.tag"), std::string::npos);
  DbFileInfo info;
  ASSERT_TRUE(ReadDbFileInfo(dir.File(DB_FILE), dir.File(TAG_FILE), &info, &error));
  EXPECT_EQ(info.master_count, -1);
  EXPECT_EQ(info.stocks_with_prices, 3);
  EXPECT_EQ(info.first_date, 20261126);
  EXPECT_EQ(info.last_date, 20261209);
  // A master file the program refuses is refused here too, naming the file and the reason.
  WriteFixtureTag(3);
  PatchInt(dir.File(TAG_FILE), 20 + 152 * 2, 50000);
  EXPECT_FALSE(CheckDbFiles(dir.File(DB_FILE), dir.File(TAG_FILE), &result, &error));
  EXPECT_EQ(error.text.rfind(dir.File(TAG_FILE) + " ", 0), 0u) << Cp932ToUtf8(error.text);
  EXPECT_NE(error.text.find("code=50000"), std::string::npos) << Cp932ToUtf8(error.text);
  ASSERT_TRUE(ReadDbFileInfo(dir.File(DB_FILE), dir.File(TAG_FILE), &info, &error));
  EXPECT_EQ(info.master_count, -1);
  EXPECT_EQ(info.master_problem, error.text);
  PatchInt(dir.File(DB_FILE), 0, 7);
  EXPECT_FALSE(ReadDbFileInfo(dir.File(DB_FILE), dir.File(TAG_FILE), &info, &error));
  EXPECT_NE(error.text.find("バージョン=7"), std::string::npos);
}

}  // namespace
