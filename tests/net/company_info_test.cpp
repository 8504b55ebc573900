// Company information: the record file's layout, the page tokens, the two page parsers and
// the download on the loopback server.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "chart/shown_stock.h"
#include "db/price_model.h"
#include "net/company_download.h"
#include "net/company_file.h"
#include "net/company_page.h"
#include "net/company_sample.h"
#include "net/download_progress.h"
#include "net/net_config.h"
#include "platform/codepage.h"
#include "platform/file_io.h"
#include "support/db_fixture.h"
#include "support/kill_points.h"
#include "support/loopback_net.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/test_files.h"
#include "support/utf8.h"

namespace {

std::string Cp932(const std::string& utf8) { return Utf8ToCp932(utf8); }

int32_t Int32At(const std::string& bytes, size_t at) {
  uint32_t u = 0;
  for (int i = 3; i >= 0; --i) u = (u << 8) | static_cast<unsigned char>(bytes[at + i]);
  return static_cast<int32_t>(u);
}

// The overview page with the labels the parser looks for.
std::string OverviewPage(const std::string& homepage = "https://www.example.co.jp/") {
  return U8(u8"<html><head><title>企業概要社員数や役員報酬・資本金</title></head><body><table>\n"
            u8"<tr><th>本社住所</th><td>東京都千代田区丸の内１－１</td></tr>\n"
            u8"<tr><th>電話番号</th><td>03-1234-5678</td></tr>\n"
            u8"<tr><th>設立年月日</th><td>1950年4月1日</td></tr>\n"
            u8"<tr><th>東証業種名</th><td>電気機器</td></tr>\n"
            u8"<tr><th>上場市場名</th><td>東証プライム</td></tr>\n"
            u8"<tr><th>決算期</th><td>3月</td></tr>\n"
            u8"<tr><th>売買単位</th><td>100株</td></tr>\n"
            u8"<tr><th>代表者氏名</th><td>山田 太郎</td></tr>\n"
            u8"<tr><th>URL</th><td><a href=\"x\">") +
         homepage + "</a></td></tr>\n</table></body></html>\n";
}

// The financial-results page: the income statement (values 4 to 6 tokens after a label),
// the interim part it ends with, and the ratios (3 to 5 tokens after a label).
std::string ResultsPage() {
  return U8(u8"<html><head><title>決算発表や業務・財務情報</title></head><body>\n"
            u8"<h3>主要財務指標</h3><h3>損益計算書</h3><p>単位</p>\n"
            u8"<table><tr><th>決算期</th><th>a</th><th>b</th><th>2024.03</th><th>2025.03</th><th>2026.03</th></tr>\n"
            u8"<tr><th>売上高</th><td>x</td><td>y</td><td>z</td>"
            u8"<td align=\"right\">1,000百万円</td><td align=\"right\">1,200百万円</td><td align=\"right\"></td></tr>\n"
            u8"<tr><th>営業利益</th><td>x</td><td>y</td><td>z</td>"
            u8"<td align=\"right\">100</td><td align=\"right\">１２３４５６７８９０１２３４５６</td><td align=\"right\">130</td></tr>\n"
            u8"</table><h3>中間業績</h3><p>skipped</p>\n"
            u8"<table><tr><th>売上高</th><td>x</td><td>y</td><td>z</td><td>9</td><td>9</td><td>9</td></tr>\n"
            u8"<tr><th>総資産</th><td>x</td><td>y</td><td>5,000</td><td>6,000</td><td>7,000</td></tr>\n"
            u8"<tr><th>純資産合計</th><td>&nbsp;</td><td>x</td><td>y</td><td>1</td><td>2</td><td>3</td></tr>\n"
            u8"<tr><th>自己資本利益率（ROE）（%）</th><td>x</td><td>y</td><td>8.5</td></tr>\n"
            u8"</table></body></html>\n");
}

class CompanyInfo : public LoopbackNetTest {
 protected:
  void SetUp() override {
    LoopbackNetTest::SetUp();
    ResetDatabaseState();
    ResetFunBuffer();
    CurrentNetConfig().company_url = "https://company.test";
    const std::vector<Fundamental> stocks = FixtureStocks(3);
    for (int n = 0; n < 3; ++n) fundamental[n] = stocks[static_cast<size_t>(n)];
    Fundamental& index = fundamental[3];
    index = stocks[0];
    index.code = 1001;
    index.flag = FLAG_INDEX;
    LastKabu = 4;
    LastDate = 20;
  }
  void TearDown() override {
    ResetFunBuffer();
    ResetDatabaseState();
    LoopbackNetTest::TearDown();
  }
  static std::string Overview(int32_t code) { return "/nkd/company/gaiyo/?scode=" + std::to_string(code); }
  static std::string Results(int32_t code) { return "/nkd/company/kessan/?scode=" + std::to_string(code); }
  int Requests(const std::string& path) const {
    int n = 0;
    for (const loopback::Request& r : server->requests())
      if (r.bytes.find("GET " + path + " ") != std::string::npos) ++n;
    return n;
  }
  // Tokenises a UTF-8 page as GetFunPage does after the fetch.
  static void Tokenise(const std::string& utf8) { TokeniseFunPage(Utf8ToCp932(utf8).c_str()); }

  TempDir dir;
  ScriptedHost host;
};

TEST_F(CompanyInfo, FileLayoutAndRecordRoundTrip) {
  ASSERT_EQ(WriteFun(0, 0), 1);
  ASSERT_EQ(WriteFun(0, 1), 1);
  struct stat st {};
  ASSERT_EQ(::stat(dir.File(FUN_FILE).c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 49315848);
  ASSERT_EQ(ReadFun(2, 1), 1);
  EXPECT_EQ(FunBuf.code, 0);  // a new file: empty records
  ClearFunRecord(&FunBuf);
  FunBuf.code = 7002;
  Cp932CopyTruncated(FunBuf.text[FUN_ADDRESS], FUN_TEXT_SIZE, "addr");
  SetFunCell(FunBuf.table[1][3], "77");
  ASSERT_EQ(WriteFun(2, 2), 1);
  // An independent look at the bytes: header, then record 2 at 8 + 2 x 6020.
  const std::string bytes = ReadFileBytes(dir.File(FUN_FILE));
  EXPECT_EQ(Int32At(bytes, 0), 20);
  EXPECT_EQ(Int32At(bytes, 4), 4);
  const size_t rec = 8 + 2 * 6020;
  EXPECT_EQ(Int32At(bytes, rec), 7002);
  EXPECT_STREQ(bytes.c_str() + rec + 4 + 2 * 128, "addr");
  EXPECT_STREQ(bytes.c_str() + rec + 1668 + (1 * 17 + 3) * 32, "77");
  EXPECT_STREQ(bytes.c_str() + rec + 3844, "--");
  ResetFunBuffer();
  ASSERT_EQ(ReadFun(2, 1), 1);
  EXPECT_STREQ(FunBuf.table[1][3], "77");
}

TEST_F(CompanyInfo, WrongSizedFileIsRefusedAndKept) {
  WriteFileBytes(dir.File(FUN_FILE), std::string(1000, 'x'));
  EXPECT_EQ(ReadFun(0, 0), 0);
  EXPECT_EQ(ReadFun(1, 1), 0);
  host.Answer(IDOK, Cp932(U8(u8"企業情報")));
  EXPECT_EQ(RunCompanyDownload(FUN_SCOPE_ALL), 0);
  EXPECT_EQ(ReadFileBytes(dir.File(FUN_FILE)), std::string(1000, 'x'));
}

TEST_F(CompanyInfo, SampleIsReadInTheSampleModeOnly) {
  EXPECT_EQ(ReadFun(0, 0), 0);
  fSampleDB = 1;
  EXPECT_EQ(ReadFun(0, 0), 0);
  EXPECT_TRUE(PrtHas(Cp932(U8(u8"サンプル(try_fu4.hy3)の読み込み失敗"))));
  WriteFixtureTag(3);
  ASSERT_EQ(WriteSampleCompanyFile(dir.path()), 0);
  struct stat st {};
  ASSERT_EQ(::stat(dir.File(FUN_SAMPLE_FILE).c_str(), &st), 0);
  EXPECT_EQ(st.st_size, FUN_FILE_SIZE);
  ASSERT_EQ(ReadFun(1, 1), 1);
  EXPECT_EQ(FunBuf.code, 7001);
  EXPECT_STREQ(FunBuf.table[0][0], "2024.03");
  fSampleDB = 0;
  ResetFunBuffer();
  EXPECT_EQ(ReadFun(1, 1), 0);
}

TEST_F(CompanyInfo, TokensOfCells) {
  Tokenise(U8(u8"<p>a b\r\nc</p><td>&nbsp;</td><td align=\"right\"></td><TD align=right>5百万円</TD>"
              u8"<td>x&nbsp;</td><b>tail</b><i>"));
  EXPECT_STREQ(FunToken(0), "abc");
  EXPECT_STREQ(FunToken(1), "-");  // the empty aligned cell; the &nbsp; cell gave nothing
  EXPECT_STREQ(FunToken(2), Cp932(U8(u8"5百万円")).c_str());
  EXPECT_STREQ(FunToken(3), "x");
  EXPECT_STREQ(FunToken(4), "tail");
  EXPECT_STREQ(FunToken(5), "$$$$$$$");
  EXPECT_STREQ(FunToken(99999), "$$$$$$$");
}

TEST_F(CompanyInfo, HostilePagesAreCutNotFatal) {
  std::string many;
  for (int i = 0; i < 3100; ++i) many += "<b>t" + std::to_string(i) + "</b>";
  EXPECT_EQ(TokeniseFunPage(many.c_str()), WFunCharNum);
  EXPECT_TRUE(PrtHas("WFunCharNum Over"));
  std::string long_tag = "<a " + std::string(70000, 'h') + ">word</a>" + std::string(300, 'w') + "<b>";
  EXPECT_EQ(TokeniseFunPage(long_tag.c_str()), 2);
  EXPECT_TRUE(PrtHas("nTmpSize over"));
  EXPECT_STREQ(FunToken(0), "word");
  EXPECT_EQ(std::strlen(FunToken(1)), 127u);  // a token is cut to 127 bytes
}

TEST_F(CompanyInfo, OverviewFillsTheTextFields) {
  ASSERT_EQ(WriteFun(0, 0), 1);
  ASSERT_EQ(ReadFun(1, 1), 1);
  Tokenise(OverviewPage());
  ASSERT_EQ(ParseFunPage(1), 1);
  ResetFunBuffer();
  ASSERT_EQ(ReadFun(1, 1), 1);
  EXPECT_EQ(FunBuf.code, 7001);
  const struct {
    int field;
    const char8_t* text;
  } want[] = {
      {FUN_HOMEPAGE, u8"https://www.example.co.jp/"}, {1, u8"--"},
      {FUN_ADDRESS, u8"東京都千代田区丸の内１－１"},  {FUN_PHONE, u8"03-1234-5678"},
      {FUN_FOUNDED, u8"1950年4月1日"},               {FUN_INDUSTRY, u8"電気機器"},
      {FUN_MARKET, u8"東証プライム"},                {FUN_FISCAL, u8"3月"},
      {FUN_UNIT, u8"100株"},                         {FUN_PRESIDENT, u8"山田太郎"},
      {12, u8"--"},
  };
  for (const auto& w : want) EXPECT_EQ(std::string(FunBuf.text[w.field]), Cp932(U8(w.text))) << w.field;
  EXPECT_STREQ(FunBuf.table[0][1], "--");
  EXPECT_STREQ(FunBuf.table2[3][16], "--");
}

TEST_F(CompanyInfo, ResultsFillTheTableInPageOrder) {
  ASSERT_EQ(WriteFun(0, 0), 1);
  ASSERT_EQ(ReadFun(0, 1), 1);
  Tokenise(ResultsPage());
  ASSERT_EQ(ParseFunPage(0), 1);
  EXPECT_EQ(FunBuf.code, 7000);
  EXPECT_STREQ(FunBuf.table[0][0], "2024.03");
  EXPECT_STREQ(FunBuf.table[1][0], "2025.03");
  EXPECT_STREQ(FunBuf.table[2][0], "2026.03");
  EXPECT_STREQ(FunBuf.table[0][1], "1,000");  // "百万円" removed
  EXPECT_STREQ(FunBuf.table[1][1], "1,200");
  EXPECT_STREQ(FunBuf.table[2][1], "-");      // the empty aligned cell
  // 16 double-byte characters are cut to 15 (30 bytes), never inside a character.
  EXPECT_EQ(std::string(FunBuf.table[1][2]), Cp932(U8(u8"１２３４５６７８９０１２３４５")));
  EXPECT_STREQ(FunBuf.table[2][2], "130");
  EXPECT_STREQ(FunBuf.table[0][9], "5,000");  // outside the income statement: 3 to 5 after
  EXPECT_STREQ(FunBuf.table[2][9], "7,000");
  EXPECT_STREQ(FunBuf.table[0][10], "1");     // the &nbsp; cell took no place
  // The label near the page's end: the look-ahead finds no more tokens.
  EXPECT_STREQ(FunBuf.table[0][16], "8.5");
  EXPECT_STREQ(FunBuf.table[1][16], "--");
  EXPECT_STREQ(FunBuf.table[2][16], "--");
  EXPECT_STREQ(FunBuf.text[FUN_ADDRESS], "--");
}

// A cell that is no value of its column (a label, a heading, a blank) is stored as no data,
// and so is every row after it: a short table never lends the tokens after it as values.
TEST_F(CompanyInfo, CellsThatAreNoValueOfTheirColumnAreNoData) {
  const struct {
    const char* what;
    std::string cell;
    const char* stored;  // nullptr: the cell as it stands
  } cases[] = {
      {"commas", "1,234", nullptr},          {"unit", U8(u8"1,234百万円"), "1,234"},
      {"negative", "-5,000", nullptr},        {"loss mark", U8(u8"△5,000"), nullptr},
      {"black loss mark", U8(u8"▲12"), nullptr}, {"fullwidth minus", U8(u8"－12"), nullptr},
      {"percent", "8.5%", nullptr},           {"fullwidth digits", U8(u8"１２３"), nullptr},
      {"dash", U8(u8"―"), nullptr},           {"label", U8(u8"売上高"), "--"},
      {"heading", U8(u8"中間業績"), "--"},     {"text", "n/a", "--"},
      {"unit alone", U8(u8"百万円"), "--"},
  };
  ASSERT_EQ(WriteFun(0, 0), 1);
  for (const auto& c : cases) {
    ResetFunBuffer();
    ASSERT_EQ(ReadFun(0, 1), 1);
    const std::string page =
        U8(u8"<title>決算発表や業務・財務情報</title><h3>主要財務指標</h3><h3>損益計算書</h3><p>単位</p>"
           u8"<table><tr><th>決算期</th><th>a</th><th>b</th><th>2024.03</th><th>2025.03</th></tr>"
           u8"<tr><th>営業利益</th><td>x</td><td>y</td><td>z</td><td>100</td><td>") +
        c.cell + U8(u8"</td><td>7</td></tr></table><h3>中間業績</h3><p>skipped</p>");
    Tokenise(page);
    ASSERT_EQ(ParseFunPage(0), 1) << c.what;
    const std::string stored = c.stored ? c.stored : c.cell;
    EXPECT_STREQ(FunBuf.table[0][2], "100") << c.what;
    EXPECT_EQ(std::string(FunBuf.table[1][2]), Cp932(stored)) << c.what;
    EXPECT_STREQ(FunBuf.table[2][2], std::strcmp(stored.c_str(), "--") == 0 ? "--" : "7") << c.what;
    // The period row had two values: the third is no data, never the label after the table.
    EXPECT_STREQ(FunBuf.table[1][0], "2025.03") << c.what;
    EXPECT_STREQ(FunBuf.table[2][0], "--") << c.what;
  }
  // A short row at the table's end: the heading after it is not a value.
  ResetFunBuffer();
  ASSERT_EQ(ReadFun(0, 1), 1);
  Tokenise(U8(u8"<title>決算発表や業務・財務情報</title><h3>主要財務指標</h3><h3>損益計算書</h3><p>単位</p>"
              u8"<table><tr><th>売上高</th><td>x</td><td>y</td><td>z</td><td>1,000</td><td>1,200</td></tr></table>"
              u8"<h3>中間業績</h3><p>skipped</p><table><tr><th>総資産</th><td>x</td><td>y</td><td>5,000</td></tr></table>"));
  ASSERT_EQ(ParseFunPage(0), 1);
  EXPECT_STREQ(FunBuf.table[1][1], "1,200");
  EXPECT_STREQ(FunBuf.table[2][1], "--");
  EXPECT_STREQ(FunBuf.table[0][9], "5,000");
  EXPECT_STREQ(FunBuf.table[1][9], "--");
}

TEST_F(CompanyInfo, AnUnknownPageChangesNothing) {
  ASSERT_EQ(WriteFun(0, 0), 1);
  ASSERT_EQ(ReadFun(1, 1), 1);
  Tokenise("<title>Not Found</title><p>URL</p><p>x</p>");
  EXPECT_EQ(ParseFunPage(1), 0);
  ResetFunBuffer();
  ASSERT_EQ(ReadFun(1, 1), 1);
  EXPECT_EQ(FunBuf.code, 0);
}

TEST_F(CompanyInfo, DownloadAllMarksOnlyRecognisedPagesAndSkipsIndices) {
  StartServer();
  server->Route(Overview(7000), PageReply(OverviewPage()));
  server->Route(Results(7000), PageReply(ResultsPage()));
  // 7001: the overview fails with a server error, the results page is missing (404).
  server->Route(Overview(7001), PageReply(OverviewPage(), 503));
  server->Route(Overview(7002), PageReply(OverviewPage()));
  server->Route(Results(7002), PageReply(ResultsPage()));
  ASSERT_EQ(RunCompanyDownload(FUN_SCOPE_ALL), 1);
  EXPECT_EQ(Requests(Overview(1001)), 0);  // an index is never requested
  EXPECT_EQ(Requests(Overview(7001)), 1);
  EXPECT_TRUE(PrtHas(Cp932(U8(u8"URLなし"))));
  ResetFunBuffer();
  ASSERT_EQ(ReadFun(0, 1), 1);
  EXPECT_EQ(FunBuf.code, 7000);
  EXPECT_EQ(std::string(FunBuf.text[FUN_MARKET]), Cp932(U8(u8"東証プライム")));
  EXPECT_STREQ(FunBuf.table[1][1], "1,200");
  ASSERT_EQ(ReadFun(1, 1), 1);
  EXPECT_EQ(FunBuf.code, 0);  // a failed fetch leaves the stock to a later run

  // "Missing only": just the stock that failed is requested again.
  server->Route(Overview(7001), PageReply(OverviewPage()));
  ASSERT_EQ(RunCompanyDownload(FUN_SCOPE_MISSING), 1);
  EXPECT_EQ(Requests(Overview(7000)), 1);
  EXPECT_EQ(Requests(Overview(7001)), 2);
  EXPECT_EQ(Requests(Overview(7002)), 1);
  ResetFunBuffer();
  ASSERT_EQ(ReadFun(1, 1), 1);
  EXPECT_EQ(FunBuf.code, 7001);

  // The shown stock alone, updating it.
  DispNum = 2;
  ASSERT_EQ(RunCompanyDownload(FUN_SCOPE_SHOWN), 1);
  EXPECT_EQ(Requests(Overview(7002)), 2);
  EXPECT_EQ(Requests(Overview(7000)), 1);
}

// Records what a run shows; asks to stop once `cancel_after` counts have been shown.
struct SeenProgress final : DownloadProgress {
  std::vector<int> done;
  std::vector<std::string> texts;
  size_t cancel_after = SIZE_MAX;
  void ShowProgress(int d, int, const char*, const char*) override { done.push_back(d); }
  void ShowText(const char* text) override { texts.push_back(text); }
  bool CancelRequested() override { return done.size() >= cancel_after; }
};

TEST_F(CompanyInfo, CancelStopsBeforeTheNextStockAndKeepsWhatWasFetched) {
  StartServer();
  server->Route(Overview(7000), PageReply(OverviewPage()));
  server->Route(Results(7000), PageReply(ResultsPage()));
  SeenProgress progress;
  progress.cancel_after = 1;
  ASSERT_EQ(RunCompanyDownload(FUN_SCOPE_ALL, &progress), 1);
  EXPECT_EQ(Requests(Overview(7000)), 1);
  EXPECT_EQ(Requests(Overview(7001)), 0);
  EXPECT_EQ(progress.done, (std::vector<int>{0, 0}));
  EXPECT_TRUE(PrtHas(Cp932(U8(u8"途中で止めるのね"))));
  ResetFunBuffer();
  ASSERT_EQ(ReadFun(0, 1), 1);
  EXPECT_EQ(FunBuf.code, 7000);
  EXPECT_STREQ(FunBuf.table[1][1], "1,200");
  EXPECT_TRUE(NamesContaining(dir.path(), ".tmp").empty());
}

TEST_F(CompanyInfo, TheShownStockAloneShowsTheConnectingText) {
  StartServer();
  server->Route(Overview(7001), PageReply(OverviewPage()));
  DispNum = 1;
  SeenProgress progress;
  ASSERT_EQ(RunCompanyDownload(FUN_SCOPE_SHOWN, &progress), 1);
  EXPECT_EQ(progress.done, (std::vector<int>{1, 1}));
  ASSERT_EQ(progress.texts.size(), 1u);
  EXPECT_EQ(progress.texts[0], Cp932(U8(u8"インターネットに接続中です。\n１０秒ほどお待ち下さい。")));
  EXPECT_EQ(Requests(Overview(7000)), 0);
}

int g_writes, g_fail_at;
int FailOneWrite(const FileStep& step) {
  if (step.kind != FileStepKind::kWrite) return 0;
  return ++g_writes == g_fail_at ? ENOSPC : 0;
}

TEST_F(CompanyInfo, AFailedWriteMidRunLeavesTheOldFile) {
  ASSERT_EQ(WriteFun(0, 0), 1);
  ASSERT_EQ(ReadFun(2, 1), 1);
  FunBuf.code = 7002;  // an earlier download
  ASSERT_EQ(WriteFun(2, 2), 1);
  const uint64_t before = ContentHash(dir.File(FUN_FILE));
  StartServer();
  for (int32_t code : {7000, 7001, 7002}) {
    server->Route(Overview(code), PageReply(OverviewPage()));
    server->Route(Results(code), PageReply(ResultsPage()));
  }
  // The first record's overview reaches the copy; its results page finds the disk full.
  g_writes = 0;
  g_fail_at = 2;
  SetFileStepHook(FailOneWrite);
  host.Answer(IDOK, Cp932(U8(u8"企業情報")));
  EXPECT_EQ(RunCompanyDownload(FUN_SCOPE_ALL), 0);
  SetFileStepHook(nullptr);
  EXPECT_EQ(Requests(Overview(7001)), 0);  // the run stopped at the failure
  EXPECT_EQ(ContentHash(dir.File(FUN_FILE)), before);
  EXPECT_TRUE(NamesContaining(dir.path(), ".tmp").empty());
  ASSERT_EQ(ReadFun(0, 1), 1);
  EXPECT_EQ(FunBuf.code, 0);
  ASSERT_EQ(ReadFun(2, 1), 1);
  EXPECT_EQ(FunBuf.code, 7002);
}

TEST_F(CompanyInfo, AKillDuringARecordWriteLeavesTheFileBeforeOrAfter) {
  ASSERT_EQ(WriteFun(0, 0), 1);
  const uint64_t before = ContentHash(dir.File(FUN_FILE));
  auto write = [] {
    ResetFunBuffer();
    if (!ReadFun(1, 1)) return false;
    FunBuf.code = 7001;
    return WriteFun(1, 2) == 1;
  };
  ASSERT_EQ(RunUntilStep(1 << 30, write), StepRun::kFinished);
  const uint64_t after = ContentHash(dir.File(FUN_FILE));
  ASSERT_NE(after, before);
  int step = 1;
  for (;; ++step) {
    SCOPED_TRACE(step);
    ASSERT_EQ(WriteFun(0, 0), 1);
    const StepRun r = RunUntilStep(step, write);
    if (r == StepRun::kFinished) break;
    ASSERT_EQ(r, StepRun::kKilled);
    const uint64_t now = ContentHash(dir.File(FUN_FILE));
    ASSERT_TRUE(now == before || now == after);
    // The next update removes the copy the killed one left.
    ASSERT_TRUE(write());
    EXPECT_EQ(ContentHash(dir.File(FUN_FILE)), after);
    EXPECT_TRUE(NamesContaining(dir.path(), ".tmp").empty());
  }
  EXPECT_GE(step, 4);  // copy, size, record, rename
}

}  // namespace
