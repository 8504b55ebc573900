#include "db/master_file.h"

#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/codepage.h"
#include "platform/diagnostics.h"
#include "support/db_fixture.h"
#include "support/temp_dir.h"

namespace {

class MasterFile : public ::testing::Test {
 protected:
  void SetUp() override { ResetDatabaseState(); }
  void TearDown() override { ResetDatabaseState(); }
  void PatchInt(int64_t offset, int32_t value) {
    int fd = ::open(dir.File(TAG_FILE).c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, &value, 4, offset), 4);
    ::close(fd);
  }
  TempDir dir;
};

TEST_F(MasterFile, LoadsEveryEntryCountAndDate) {
  std::vector<Fundamental> all = FixtureStocks(MAX_KABU);
  all[5000].code = 9999;  // beyond LastKabu, read all the same
  WriteFixtureTag(all, 20261130);
  PatchInt(12, 4100);
  EXPECT_EQ(LoadTag(), 20261130);
  EXPECT_EQ(LastKabu, 4100);
  EXPECT_EQ(fundamental[4099].code, FixtureCode(4099));
  EXPECT_STREQ(fundamental[4099].name, "銘柄4099");
  EXPECT_EQ(fundamental[5000].code, 9999);
  EXPECT_TRUE(PrtHas("Load tag...作成日=20261130, LastKabu=4100"));
}

TEST_F(MasterFile, MissingFileLeavesTheTableAsItWas) {
  LastKabu = 7;
  fundamental[0].code = 1234;
  EXPECT_EQ(LoadTag(), 0);
  EXPECT_EQ(LastKabu, 7);
  EXPECT_EQ(fundamental[0].code, 1234);
  EXPECT_TRUE(PrtHas("ファンダメンタルの読み込み失敗"));
}

TEST_F(MasterFile, DamagedFilesAreRefusedWhole) {
  struct Case {
    const char* what;
    int64_t size_change;  // bytes added (or cut when negative)
    int64_t patch_at;
    int32_t patch;
    const char* reason;
  };
  const Case cases[] = {
      {"one byte short", -1, -1, 0, "の大きさ(1245203 バイト)が違います"},
      {"one byte long", 1, -1, 0, "の大きさ(1245205 バイト)が違います"},
      {"count too big", 0, 12, 8193, "LastKabu=8193"},
      {"count negative", 0, 12, -1, "LastKabu=-1"},
      {"code beyond 9Y99", 0, 20 + 152 * 2, 43630, "code=43630"},
      {"negative code", 0, 20 + 152 * 1, -7, "code=-7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ClearPrtHistory();
    WriteFixtureTag(3);
    if (c.patch_at >= 0) PatchInt(c.patch_at, c.patch);
    if (c.size_change) {
      ASSERT_EQ(::truncate(dir.File(TAG_FILE).c_str(), TAG_FILE_SIZE + c.size_change), 0);
    }
    LastKabu = 2;
    fundamental[0].code = 1234;
    EXPECT_EQ(LoadTag(), 0);
    EXPECT_EQ(LastKabu, 2);
    EXPECT_EQ(fundamental[0].code, 1234);
    EXPECT_TRUE(PrtHas(c.reason)) << Cp932ToUtf8(PrtJoined());
    EXPECT_TRUE(PrtHas("ファンダメンタルの読み込み失敗"));
  }
}

TEST_F(MasterFile, NameFieldsAreTerminated) {
  std::vector<Fundamental> v = FixtureStocks(2);
  std::memset(v[1].name, 'A', sizeof v[1].name);
  std::memset(v[1].industry, 'B', sizeof v[1].industry);
  std::memset(v[1].company, 'C', sizeof v[1].company);
  WriteFixtureTag(v);
  ASSERT_NE(LoadTag(), 0);
  EXPECT_EQ(std::string(fundamental[1].name), std::string(31, 'A'));
  EXPECT_EQ(std::string(fundamental[1].industry), std::string(16, 'B'));
  EXPECT_EQ(std::string(fundamental[1].company), std::string(52, 'C'));
  EXPECT_EQ(fundamental[1].code, FixtureCode(1));  // the fields after them are intact
}

TEST(TaniDivisor, NonPositiveUnitsDivideByOne) {
  Fundamental f{};
  for (auto [tani, divisor] : {std::pair{100, 100}, {1, 1}, {0, 1}, {-5, 1}}) {
    f.tani = tani;
    EXPECT_EQ(TaniDivisor(f), divisor) << tani;
  }
}

}  // namespace
