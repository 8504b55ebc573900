// The command-line tools as scripts use them: output and exit codes.
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "db/database_file.h"
#include "support/db_fixture.h"
#include "support/temp_dir.h"
#include "support/utf8.h"

namespace {

struct ToolRun {
  int code;
  std::string out;
};

ToolRun Tool(const std::string& args) {
  const std::string cmd = std::string(VURN_BINARY_DIR) + "/" + args + " 2>&1";
  ToolRun r{-1, ""};
  std::FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  const int status = ::pclose(p);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

class DataTools : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::access((std::string(VURN_BINARY_DIR) + "/vurndb").c_str(), X_OK) != 0 ||
        ::access((std::string(VURN_BINARY_DIR) + "/make_sample_data").c_str(), X_OK) != 0)
      GTEST_SKIP() << "the tools are not built";
  }
  TempDir dir;
};

TEST_F(DataTools, SampleDataIsWrittenAndReportedSound) {
  EXPECT_EQ(Tool("make_sample_data").code, 2);
  EXPECT_EQ(Tool("make_sample_data " + dir.path() + "/missing").code, 1);
  ToolRun made = Tool("make_sample_data " + dir.path());
  ASSERT_EQ(made.code, 0) << made.out;

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

}  // namespace
