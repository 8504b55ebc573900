// vurndb master: editions of vurn.tag from the list of listed issues, as a spreadsheet and as
// CSV, then a start that creates the records of the new stocks.
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "db/database_check.h"
#include "db/database_upgrade.h"
#include "db/master_file.h"
#include "db/stock_code.h"
#include "platform/codepage.h"
#include "support/db_fixture.h"
#include "support/scripted_host.h"
#include "support/run_command.h"
#include "support/temp_dir.h"
#include "support/utf8.h"

namespace {

using ToolResult = CommandRun;

ToolResult Shell(const std::string& cmd) { return RunCommand(cmd); }

class MasterTool : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::access((std::string(VURN_BINARY_DIR) + "/vurndb").c_str(), X_OK) != 0) GTEST_SKIP() << "vurndb is not built";
    ResetDatabaseState();
  }
  void TearDown() override { ResetDatabaseState(); }
  ToolResult Master(const std::string& list) {
    return Shell(std::string(VURN_BINARY_DIR) + "/vurndb -C " + dir.path() + " master " + list);
  }
  std::vector<Fundamental> Edition(int32_t* date = nullptr) {
    std::vector<Fundamental> e(MAX_KABU);
    int count = 0;
    int32_t made = 0;
    DbInspectError error;
    EXPECT_TRUE(ReadMasterRaw(dir.File(TAG_FILE), &count, &made, e.data(), &error)) << error.text;
    e.resize(static_cast<size_t>(count));
    if (date) *date = made;
    return e;
  }
  TempDir dir;
  ScriptedHost host;
};

TEST_F(MasterTool, SpreadsheetThenCsvEditionThenStart) {
  WriteFixtureDatabase(3, 10);  // 7000, 7001, 7002 with prices
  // The exchange's spreadsheet, written by python's xlwt: codes as numbers, 130A as text.
  const std::string script = dir.File("make_list.py");
  {
    std::ofstream py(script);
    py << "import sys, xlwt\n"
          "wb = xlwt.Workbook(encoding='utf-8')\n"
          "ws = wb.add_sheet('Sheet1')\n"
          "rows = [\n"
       << U8(u8"  ['日付','コード','銘柄名','市場・商品区分','33業種コード','33業種区分','17業種コード','17業種区分','規模コード','規模区分'],\n"
             u8"  [20261130, 7000, '銘柄ゼロ', 'プライム（内国株式）', '3700', '輸送用機器', '6', 'x', '1', 'y'],\n"
             u8"  [20261130, 7002, '銘柄ニ', 'スタンダード（内国株式）', '5250', '情報・通信業', '10', 'x', '-', '-'],\n"
             u8"  [20261130, '130A', 'ヴェリタス', 'グロース（内国株式）', '5250', '情報・通信業', '10', 'x', '-', '-'],\n"
             u8"  [20261130, 1305, 'ＥＴＦ', 'ETF・ETN', '-', '-', '-', '-', '-', '-'],\n"
             u8"]\n")
       << "for r, row in enumerate(rows):\n"
          "    for c, v in enumerate(row):\n"
          "        ws.write(r, c, v)\n"
          "wb.save(sys.argv[1])\n";
  }
  const ToolResult made = Shell("/usr/bin/python3 " + script + " " + dir.File("data_j.xls"));
  if (made.code != 0) GTEST_SKIP() << "python3-xlwt is not installed: " << made.out;

  ToolResult r = Master(dir.File("data_j.xls"));
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_NE(r.out.find("added: 2 130A 1305"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("delisted: 1 7001"), std::string::npos) << r.out;
  int32_t date = 0;
  std::vector<Fundamental> e = Edition(&date);
  ASSERT_EQ(e.size(), 5u);
  EXPECT_EQ(date, 20261130);
  EXPECT_EQ(e[0].code, 7000);
  EXPECT_STREQ(e[0].name, "銘柄ゼロ");
  EXPECT_STREQ(e[0].company, "テスト会社0");  // not in the list: kept
  EXPECT_EQ(e[1].flag & (FLAG_DELISTED | FLAG_DAILY_DOWNLOAD), FLAG_DELISTED);
  EXPECT_STREQ(e[2].industry, "情報・通信");
  EXPECT_EQ(e[3].code, String_to_Code("130A"));
  EXPECT_EQ(e[4].code, 1305);
  EXPECT_EQ(e[4].market, 4);
  EXPECT_EQ(e[4].flag, FLAG_NO_PRICES | FLAG_DAILY_DOWNLOAD);

  // The next start creates the two new records and keeps the old ones.
  ASSERT_NE(LoadTag(), 0);
  host.Answer(IDOK, "新規銘柄追加完了");
  UpgradeDatabase();
  const ToolResult check = Shell(std::string(VURN_BINARY_DIR) + "/vurndb -C " + dir.path() + " check");
  EXPECT_EQ(check.code, 0) << check.out;
  EXPECT_NE(Shell(std::string(VURN_BINARY_DIR) + "/vurndb -C " + dir.path() + " dump 7001").out.find(" 1011 "),
            std::string::npos);

  // A second edition from a CP932 CSV: 7002 leaves, 7003 arrives; numbers stay.
  WriteFileBytes(dir.File("data_j.csv"),
                 "日付,コード,銘柄名,市場・商品区分,33業種区分\r\n"
                 "20261207,7000,銘柄ゼロ,プライム（内国株式）,輸送用機器\r\n"
                 "20261207,130A,ヴェリタス,グロース（内国株式）,情報・通信業\r\n"
                 "20261207,1305,ＥＴＦ,ETF・ETN,-\r\n"
                 "20261207,7003,銘柄サン,謎の市場,宇宙産業\r\n");
  r = Master(dir.File("data_j.csv"));
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_NE(r.out.find("delisted: 1 7002"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("added: 1 7003"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("7003"), std::string::npos);
  const std::vector<Fundamental> second = Edition(&date);
  ASSERT_EQ(second.size(), 6u);
  EXPECT_EQ(date, 20261207);
  for (size_t n = 0; n < e.size(); ++n) EXPECT_EQ(second[n].code, e[n].code) << n;
  EXPECT_EQ(second[5].code, 7003);
  EXPECT_EQ(second[5].market, 0);
  EXPECT_NE(r.out.find(Cp932ToUtf8("謎の市場")), std::string::npos) << r.out;
}

TEST_F(MasterTool, RefusesWhatIsNoListAndKeepsTheEdition) {
  WriteFixtureTag(3);
  const std::string before = ReadFileBytes(dir.File(TAG_FILE));
  WriteFileBytes(dir.File("page.html"), "<html><body>404 Not Found</body></html>\n");
  ToolResult r = Master(dir.File("page.html"));
  EXPECT_EQ(r.code, 5) << r.out;
  EXPECT_NE(r.out.find(Cp932ToUtf8("コード")), std::string::npos) << r.out;
  EXPECT_EQ(Master(dir.File("missing.csv")).code, 3);
  EXPECT_EQ(Master("").code, 2);
  // Something that starts like a spreadsheet but is not one.
  WriteFileBytes(dir.File("broken.xls"), std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(100, 'x'));
  EXPECT_EQ(Master(dir.File("broken.xls")).code, 5);
  // Damaged spreadsheets found by fuzzing: sheets that claim more rows than the format holds
  // (130813371 rows once filled gigabytes with empty rows), and one that crashes libfreexl.
  const struct {
    const char* name;
    const char* message;
  } damaged[] = {
      {"list_claiming_millions_of_rows.xls", "シートの大きさが壊れています"},
      {"list_claiming_65541_rows.xls", "シートの大きさが壊れています"},
      {"list_crashing_the_library.xls", "表計算ファイルが壊れていて読めません"},
  };
  for (const auto& d : damaged) {
    r = Master(std::string(VURN_FIXTURE_DIR) + "/tools/" + d.name);
    EXPECT_EQ(r.code, 5) << d.name << r.out;
    EXPECT_NE(r.out.find(Cp932ToUtf8(d.message)), std::string::npos) << r.out;
  }
  EXPECT_EQ(ReadFileBytes(dir.File(TAG_FILE)), before);
}

}  // namespace
