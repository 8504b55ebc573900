// vurndb master: editions of vurn.tag from the list of listed issues, as a spreadsheet and as
// CSV, then a start that creates the records of the new stocks.
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
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
#include "support/test_files.h"
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
             u8"  [20261202, 7000, '銘柄ゼロ', 'プライム（内国株式）', '3700', '輸送用機器', '6', 'x', '1', 'y'],\n"
             u8"  [20261202, 7002, '銘柄ニ', 'スタンダード（内国株式）', '5250', '情報・通信業', '10', 'x', '-', '-'],\n"
             u8"  [20261202, '130A', 'ヴェリタス', 'グロース（内国株式）', '5250', '情報・通信業', '10', 'x', '-', '-'],\n"
             u8"  [20261202, 1305, 'ＥＴＦ', 'ETF・ETN', '-', '-', '-', '-', '-', '-'],\n"
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
  EXPECT_EQ(date, 20261202);
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

// The exchange's list for the fixture's stocks 0 .. stocks-1 as CSV lines (CP932), headings first.
std::vector<std::string> ListLines(int stocks, const std::string& date = "20261210") {
  std::vector<std::string> lines = {"日付,コード,銘柄名,市場・商品区分,33業種区分"};
  for (int n = 0; n < stocks; ++n)
    lines.push_back(date + "," + std::to_string(FixtureCode(n)) + ",銘柄" + std::to_string(n) +
                    ",プライム（内国株式）," + IndustryName[n % INDUSTRY_COUNT]);
  return lines;
}

std::string Joined(const std::vector<std::string>& lines, size_t count = std::string::npos) {
  std::string text;
  for (size_t k = 0; k < lines.size() && k < count; ++k) text += lines[k] + "\r\n";
  return text;
}

TEST_F(MasterTool, RefusesDamagedListsAndKeepsTheEdition) {
  constexpr int kStocks = 3000;  // 7000 .. 9999, made 20261201
  WriteFixtureTag(kStocks);
  const std::string before = ReadFileBytes(dir.File(TAG_FILE));
  const std::vector<std::string> good = ListLines(kStocks);

  std::vector<std::string> five_digits = {good[0]}, unnamed = good, doubled = good;
  for (int n = 0; n < kStocks; ++n) five_digits.push_back("20261210," + std::to_string(70000 + n) + ",銘柄,-,-");
  unnamed[2] = "20261210,7001,,プライム（内国株式）,-";
  doubled[5] = "20261210,7001,銘柄1,プライム（内国株式）,-";
  std::vector<std::string> bad_date = ListLines(kStocks, "20260230"), older = ListLines(kStocks, "20261130");
  ::mkdir(dir.File("lists").c_str(), 0755);

  const struct {
    const char* name;
    std::string bytes;  // empty: the name is given as it is
    int code;
    const char* message;
  } lists[] = {
      {"headings.csv", Joined({good[0]}), 5, "銘柄コードのある行がありません"},
      {"five_digits.csv", Joined(five_digits), 5, "銘柄コードのある行がありません"},
      {"unnamed.csv", Joined(unnamed), 5, "銘柄名が空です: 3行目"},
      {"doubled.csv", Joined(doubled), 5, "コードが二度あります: 7001（3行目と6行目）"},
      {"bad_date.csv", Joined(bad_date), 5, "日付が暦にない日です: 2行目"},
      {"older.csv", Joined(older), 5, "20261130 は今の vurn.tag の作成日 20261201 より古い版です"},
      {"half.csv", Joined(good, 1 + kStocks / 2), 5, "上場中の 3000 銘柄のうち 1500 銘柄が一覧にありません"},
      // Cut inside a row: the last row keeps a code without its name.
      {"cut.csv", Joined(good).substr(0, Joined(good, 1001).size() + 10), 5, "銘柄名が空です: 1002行目"},
      {"lists", "", 3, "はフォルダです"},
  };
  for (const auto& l : lists) {
    if (!l.bytes.empty()) WriteFileBytes(dir.File(l.name), l.bytes);
    const ToolResult r = Master(dir.File(l.name));
    EXPECT_EQ(r.code, l.code) << l.name << "\n" << r.out;
    EXPECT_NE(r.out.find(Cp932ToUtf8(l.message)), std::string::npos) << l.name << "\n" << r.out;
    if (l.code == 5) EXPECT_NE(r.out.find(Cp932ToUtf8("は書き換えていません")), std::string::npos) << r.out;
    EXPECT_EQ(ReadFileBytes(dir.File(TAG_FILE)), before) << l.name;
  }

  // The spreadsheet with 4 KB zeroed in its middle.
  const std::string script = dir.File("csv_to_xls.py");
  WriteFileBytes(script,
                 "import csv, sys, xlwt\n"
                 "wb = xlwt.Workbook(encoding='utf-8')\n"
                 "ws = wb.add_sheet('Sheet1')\n"
                 "for r, row in enumerate(csv.reader(open(sys.argv[1], encoding='utf-8'))):\n"
                 "    for c, v in enumerate(row):\n"
                 "        ws.write(r, c, int(v) if r and c < 2 else v)\n"
                 "wb.save(sys.argv[2])\n");
  WriteFileBytes(dir.File("good_utf8.csv"), Cp932ToUtf8(Joined(good)));
  if (Shell("/usr/bin/python3 " + script + " " + dir.File("good_utf8.csv") + " " + dir.File("zeroed.xls")).code == 0) {
    std::string xls = ReadFileBytes(dir.File("zeroed.xls"));
    xls.replace(xls.size() / 2, 4096, std::string(4096, '\0'));
    WriteFileBytes(dir.File("zeroed.xls"), xls);
    const ToolResult r = Master(dir.File("zeroed.xls"));
    EXPECT_EQ(r.code, 5) << r.out;
    EXPECT_NE(r.out.find(Cp932ToUtf8("は書き換えていません")), std::string::npos) << r.out;
    EXPECT_EQ(ReadFileBytes(dir.File(TAG_FILE)), before);
  }

  // --force takes the older edition, then the half list; the whole list lists every stock again.
  ToolResult r = Master(dir.File("older.csv") + " --force");
  ASSERT_EQ(r.code, 0) << r.out;
  int32_t date = 0;
  Edition(&date);
  EXPECT_EQ(date, 20261130);
  r = Master(dir.File("half.csv") + " --force");
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_NE(r.out.find("delisted: 1500 8500 8501"), std::string::npos) << r.out;
  EXPECT_EQ(Edition()[kStocks - 1].flag, FLAG_DELISTED);
  WriteFileBytes(dir.File("good.csv"), Joined(good));
  r = Master(dir.File("good.csv"));
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_NE(r.out.find("delisted: 0"), std::string::npos) << r.out;
  for (const Fundamental& f : Edition()) EXPECT_EQ(f.flag, FLAG_DAILY_DOWNLOAD) << f.code;
}

}  // namespace
