// The command-line tools as scripts use them: output and exit codes.
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "db/database_file.h"
#include "net/company_file.h"
#include "platform/file_replace.h"
#include "support/test_files.h"
#include "support/db_fixture.h"
#include "support/merge_fixture.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "support/utf8.h"

namespace {

using ToolRun = CommandRun;

ToolRun Tool(const std::string& args) { return RunCommand(std::string(VURN_BINARY_DIR) + "/" + args); }

class DataTools : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::access((std::string(VURN_BINARY_DIR) + "/vurndb").c_str(), X_OK) != 0 ||
        ::access((std::string(VURN_BINARY_DIR) + "/make_sample_data").c_str(), X_OK) != 0)
      GTEST_SKIP() << "the tools are not built";
  }
  TempDir dir;
};

// Under a file-size limit (a full disk) the sample is not written at all: no master file
// without its database, so the next start prepares the folder afresh.
TEST_F(DataTools, SampleDataIsWrittenWholeOrNotAtAll) {
  ToolRun failed = RunCommand("ulimit -f 4096; " + std::string(VURN_BINARY_DIR) + "/make_sample_data " + dir.path());
  EXPECT_EQ(failed.code, 1) << failed.out;
  EXPECT_NE(failed.out.find("try.hy3"), std::string::npos) << failed.out;
  EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << failed.out;
  ToolRun made = Tool("make_sample_data " + dir.path());
  EXPECT_EQ(made.code, 0) << made.out;
  EXPECT_EQ(Tool("vurndb -C " + dir.path() + " check").code, 0);
}

TEST_F(DataTools, SampleDataIsWrittenAndReportedSound) {
  EXPECT_EQ(Tool("make_sample_data").code, 2);
  EXPECT_EQ(Tool("make_sample_data " + dir.path() + "/missing").code, 1);
  ToolRun made = Tool("make_sample_data " + dir.path());
  ASSERT_EQ(made.code, 0) << made.out;
  // The sample company information: the full-size file, Toyota's record filled.
  const std::string fun = ReadFileBytes(dir.File(FUN_SAMPLE_FILE));
  ASSERT_EQ(static_cast<int64_t>(fun.size()), FUN_FILE_SIZE);
  int32_t code = 0;
  std::memcpy(&code, fun.data() + 8 + 10 * 6020, 4);
  EXPECT_EQ(code, 7203);
  EXPECT_STREQ(fun.data() + 8 + 10 * 6020 + 1668, "2024.03");

  ToolRun info = Tool("vurndb -C " + dir.path() + " info");
  EXPECT_EQ(info.code, 0) << info.out;
  EXPECT_NE(info.out.find("try.hy3"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("version: 6\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("LastDate: 2816\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find(" - 2026/12/09\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("20 stocks"), std::string::npos) << info.out;

  ToolRun check = Tool("vurndb -C " + dir.path() + " check");
  EXPECT_EQ(check.code, 0) << check.out;
  EXPECT_NE(check.out.find("OK: "), std::string::npos) << check.out;

  ToolRun dump = Tool("vurndb -C " + dir.path() + " dump 7203");
  ASSERT_EQ(dump.code, 0) << dump.out.substr(0, 300);
  EXPECT_EQ(dump.out.rfind(U8(u8"# 7203 トヨタ自動車 slot=10 tani=100"), 0), 0u) << dump.out.substr(0, 200);
  int lines = 0;
  for (char c : dump.out) lines += c == '\n';
  EXPECT_EQ(lines, 2 + 2816);
  EXPECT_NE(Tool("vurndb -C " + dir.path() + " dump 1003").out.find("\n2026/12/09 "), std::string::npos);
}

TEST_F(DataTools, ExitCodesForScripts) {
  ToolRun none = Tool("vurndb -C " + dir.path() + " info");
  EXPECT_EQ(none.code, 3) << none.out;
  EXPECT_EQ(Tool("vurndb").code, 2);
  EXPECT_EQ(Tool("vurndb -C " + dir.path() + " frobnicate").code, 2);
  EXPECT_EQ(Tool("vurndb -C " + dir.path() + " dump").code, 2);

  WriteFixtureDatabase(3, 10);
  EXPECT_EQ(Tool("vurndb -C " + dir.path() + " check").code, 0);
  EXPECT_EQ(Tool("vurndb -C " + dir.path() + " dump 7001").code, 0);
  EXPECT_EQ(Tool("vurndb -C " + dir.path() + " dump 1234").code, 4);
  EXPECT_EQ(Tool("vurndb -C " + dir.path() + " dump XYZW").code, 2);
  // A record with another stock's code.
  int fd = ::open(dir.File(DB_FILE).c_str(), O_WRONLY);
  const int32_t code = 1234;
  ASSERT_EQ(::pwrite(fd, &code, 4, DbRecordOffset(1) + 39456), 4);
  ::close(fd);
  ToolRun bad = Tool("vurndb -C " + dir.path() + " check");
  EXPECT_EQ(bad.code, 1) << bad.out;
  EXPECT_NE(bad.out.find("NG: 1 problems"), std::string::npos) << bad.out;
  // A version-7 file is not read at all.
  fd = ::open(dir.File(DB_FILE).c_str(), O_WRONLY);
  const int32_t v7 = 7;
  ASSERT_EQ(::pwrite(fd, &v7, 4, 0), 4);
  ::close(fd);
  EXPECT_EQ(Tool("vurndb -C " + dir.path() + " info").code, 3);
}

// A damaged master file is refused alike by every command: exit code 3, and a message that
// names the file and the reason.
TEST_F(DataTools, DamagedMasterIsRefusedAlikeByEveryCommand) {
  struct Damage {
    const char* what;
    int64_t at;  // -1: cut the file short
    int32_t value;
    const char* reason;
  } damages[] = {
      {"count -1", 12, -1, "LastKabu=-1"},
      {"count too big", 12, 9000, "LastKabu=9000"},
      {"code beyond 9Y99", 20 + 152 * 1, 50000, "code=50000"},
      {"cut short", -1, 0, "1000 "},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.what);
    WriteFixtureDatabase(3, 10);
    if (d.at < 0) {
      ASSERT_EQ(::truncate(dir.File("vurn.tag").c_str(), 1000), 0);
    } else {
      int fd = ::open(dir.File("vurn.tag").c_str(), O_WRONLY);
      ASSERT_EQ(::pwrite(fd, &d.value, 4, d.at), 4);
      ::close(fd);
    }
    for (const char* command : {" info", " check", " dump 7001"}) {
      ToolRun r = Tool("vurndb -C " + dir.path() + command);
      EXPECT_EQ(r.code, 3) << command << "\n" << r.out;
      EXPECT_NE(r.out.find("vurndb: " + dir.path() + "/vurn.tag "), std::string::npos) << command << "\n" << r.out;
      EXPECT_NE(r.out.find(d.reason), std::string::npos) << command << "\n" << r.out;
      EXPECT_EQ(r.out.find("-1 stocks"), std::string::npos) << r.out;
    }
  }
}

TEST_F(DataTools, MergeTakesADayFileOrSaysWhyNot) {
  const std::string C = "vurndb -C " + dir.path() + " ";
  EXPECT_EQ(Tool(C + "merge").code, 2);
  EXPECT_EQ(Tool(C + "-f try.hy3 merge y.txt").code, 2);
  EXPECT_EQ(Tool(C + "merge " + dir.File("y.txt")).code, 3);  // no vurn.hy3
  WriteFixtureDatabase(10, 20);
  EXPECT_EQ(Tool(C + "merge " + dir.File("y.txt")).code, 3);  // no day file
  WriteFileBytes(dir.File("y.txt"), DayFileText(20261210, {{0, 100, 110, 90, 105, "12"}, {1, 0, 0, 0, 0, "0"}}));
  ToolRun merged = Tool(C + "merge " + dir.File("y.txt"));
  EXPECT_EQ(merged.code, 0) << merged.out;
  EXPECT_NE(merged.out.find("appended 20261210, 2 stocks, 21 days (in place)"), std::string::npos) << merged.out;
  ToolRun again = Tool(C + "merge " + dir.File("y.txt"));
  EXPECT_EQ(again.code, 6) << again.out;
  EXPECT_NE(again.out.find(U8(u8"既に20261210の株価はDBに登録されています")), std::string::npos) << again.out;
  WriteFileBytes(dir.File("bad.txt"), "20261211\n7000 a 1 2 1 2 3\n7001 b 1 2 1 2 1,234\n");
  ToolRun bad = Tool(C + "merge " + dir.File("bad.txt"));
  EXPECT_EQ(bad.code, 6) << bad.out;
  EXPECT_NE(bad.out.find(U8(u8"bad.txt の 3 行目")), std::string::npos) << bad.out;
  // An older day goes in only when asked for.
  WriteFileBytes(dir.File("old.txt"), DayFileText(20261102, {{0, 1, 1, 1, 1, "1"}}));
  ToolRun refused = Tool(C + "merge " + dir.File("old.txt"));
  EXPECT_EQ(refused.code, 6) << refused.out;
  EXPECT_NE(refused.out.find("--insert"), std::string::npos) << refused.out;
  ToolRun inserted = Tool(C + "merge --insert " + dir.File("old.txt"));
  EXPECT_EQ(inserted.code, 0) << inserted.out;
  EXPECT_NE(inserted.out.find("inserted 20261102, 1 stocks, 22 days (database rewritten)"), std::string::npos)
      << inserted.out;
  WriteFileBytes(dir.File("y1130.txt"), DayFileText(20261130, {{0, 1, 1, 1, 1, "1"}}));
  EXPECT_EQ(Tool(C + "merge " + dir.File("y1130.txt")).code, 6);  // already held
  ToolRun check = Tool(C + "check");
  EXPECT_EQ(check.code, 0) << check.out;
}

// What killed writers left (a merge's copy of the database, a master edition's vurn.tag) is
// removed by the next program that takes the update lock; a file-size limit (a full disk)
// makes a rewriting merge fail with its reason and leave nothing behind, not end the process.
TEST_F(DataTools, LeftoversOfDeadWritersGoAndAFullDiskIsAFailedMerge) {
  WriteFixtureDatabase(10, 20);
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ASSERT_GT(child, 0);
  ::waitpid(child, nullptr, 0);  // a process that is gone
  const std::string dead = std::to_string(child);
  const std::string live = std::to_string(::getppid());
  for (const std::string& name : {"vurn.hy3.tmp" + dead + "_1", "vurn.tag.tmp" + dead + "_2", "vurn.hy3.tmp" + live + "_3"})
    WriteFileBytes(dir.File(name), "left");
  const std::string before = ReadFileBytes(dir.File("vurn.hy3"));
  WriteFileBytes(dir.File("old.txt"), DayFileText(20261102, {{0, 1, 1, 1, 1, "1"}}));
  ToolRun full = RunCommand("ulimit -f 20000; " + std::string(VURN_BINARY_DIR) + "/vurndb -C " + dir.path() +
                            " merge --insert " + dir.File("old.txt"));
  EXPECT_EQ(full.code, 6) << full.out;
  EXPECT_NE(full.out.find(U8(u8"ファイルが大きすぎます")), std::string::npos) << full.out;
  EXPECT_EQ(ReadFileBytes(dir.File("vurn.hy3")), before);
  EXPECT_FALSE(std::filesystem::exists(dir.File("vurn.hy3.tmp" + dead + "_1")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("vurn.tag.tmp" + dead + "_2")));
  EXPECT_TRUE(std::filesystem::exists(dir.File("vurn.hy3.tmp" + live + "_3")));  // a running process's
  EXPECT_EQ(LeftoverTemporaries(dir.File("vurn.hy3")).size(), 1u);
}

}  // namespace
