// Shareholder benefits: the ranking page parser, the filters and the kind column, the file,
// and the download over several pages on the loopback server.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "db/price_model.h"
#include "db/stock_code.h"
#include "net/net_config.h"
#include "net/token_list.h"
#include "net/yutai_download.h"
#include "net/yutai_table.h"
#include "platform/codepage.h"
#include "support/db_fixture.h"
#include "support/loopback_net.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/test_files.h"
#include "support/test_zone.h"
#include "support/utf8.h"

namespace {

std::string Cp932(const std::string& utf8) { return Utf8ToCp932(utf8); }

struct Row {
  int32_t code;
  std::string months;  // UTF-8
  std::vector<std::string> kinds;
};

// A ranking page: a count line, then per row the rank and "位", the months, the company
// with its code in parentheses, the kinds and the minimum investment.
std::string RankingPage(const std::vector<Row>& rows, const std::string& extra = "") {
  std::string page = U8(u8"<html><body><p>1,234件中 1～20件(1301)</p>\n");
  int rank = 1;
  for (const Row& r : rows) {
    page += "<tr><td>" + std::to_string(rank++) + U8(u8"</td><td>位</td>");
    page += "<td>" + r.months + "</td><td>" + U8(u8"会社(") + std::to_string(r.code) + ")</td><td>x</td>";
    for (const std::string& k : r.kinds) page += "<td>" + k + "</td>";
    page += U8(u8"<td>最低投資金額</td><td>100,000円</td></tr>\n");
  }
  return page + extra + U8(u8"<p>カテゴリ別人気ランキングから探す</p><p>(9984)</p></body></html>\n");
}

std::string EndPage() { return U8(u8"<html><body><p>選択された条件では見つかりませんでした</p></body></html>"); }

void AddStock(int32_t code) {
  Fundamental& f = fundamental[LastKabu++];
  std::memset(&f, 0, sizeof f);
  f.code = code;
  std::snprintf(f.company, sizeof f.company, "company%d", code);
  f.market = 1;
}

class YutaiTest : public LoopbackNetTest {
 protected:
  void SetUp() override {
    LoopbackNetTest::SetUp();
    ResetDatabaseState();
    CurrentNetConfig().stock_info_url = "https://info.test";
    AddStock(1001);  // stock number 0: passed over
    for (int32_t code : {7203, 9984, 2914, 1301, 1300, 4502}) AddStock(code);
    MakeCodeOrder();
    ClearYutaiTable(yutai);
    Yutai_Last_Num = 0;
    YutaiDateText[0] = '\0';
  }
  void TearDown() override {
    ResetDatabaseState();
    LoopbackNetTest::TearDown();
  }
  static std::string PagePath(int page) { return "/yutai/popular_ranking/total?page=" + std::to_string(page); }
  int Requests(const std::string& path) const {
    int n = 0;
    for (const loopback::Request& r : server->requests())
      if (r.bytes.find("GET " + path + " ") != std::string::npos) ++n;
    return n;
  }
  static void Tokenise(const std::string& utf8) { TokeniseYutai(Utf8ToCp932(utf8).c_str()); }

  TempDir dir;
  ScriptedHost host;
};

TEST_F(YutaiTest, RankingRowsAreStoredWithMonthsAndKinds) {
  Tokenise(RankingPage({{7203, U8(u8"3月・9月"), {U8(u8"食料品"), U8(u8"交通・旅行")}},
                        {1300, U8(u8"3月"), {U8(u8"金券")}},   // 1300 and below: never stored
                        {1001, U8(u8"3月"), {U8(u8"金券")}},   // stock number 0: passed over
                        {5555, U8(u8"3月"), {U8(u8"金券")}},   // not in the stock table
                        {2914, U8(u8"12月"), {U8(u8"カタログギフト"), U8(u8"未知の優待")}}}));
  yutai_num = -1;
  EXPECT_EQ(ParseYutaiPage(), 1);
  EXPECT_EQ(yutai_num, 1);  // two records; the count line and the code after the list end are not rows
  EXPECT_TRUE(PrtHas(Cp932(U8(u8"優待情報格納：code 7203, 種類 0011"))));
  EXPECT_TRUE(PrtHas(Cp932(U8(u8"優待情報格納：code 2914, 種類 0008"))));

  Tokenise(EndPage());
  EXPECT_EQ(ParseYutaiPage(), 0);
  EXPECT_TRUE(PrtHas(Cp932(U8(u8"株主優待　全ページ読み込み終了"))));
}

TEST_F(YutaiTest, CodeTextStandsBeforeTheLastByte) {
  // "(7203)": six bytes, the code in bytes 1 to 4; "7203" alone gives no code.
  Tokenise(U8(u8"<p>3月</p><p>(7203)</p><p>x</p><p>食料品</p><p>最低投資金額</p>"
              u8"<p>3月</p><p>7203</p><p>x</p><p>食料品</p><p>最低投資金額</p>"));
  yutai_num = -1;
  EXPECT_EQ(ParseYutaiPage(), 1);
  EXPECT_EQ(yutai_num, 0);
}

TEST_F(YutaiTest, TheTableStopsAt1600Records) {
  ResetDatabaseState();
  AddStock(1001);
  std::string page;
  for (int i = 0; i < 1000; ++i) {
    AddStock(1301 + i);
    page += "<p>(" + std::to_string(1301 + i) + U8(u8")</p><p>x</p><p>k</p><p>最低投資金額</p>");
  }
  MakeCodeOrder();
  Tokenise(page);
  yutai_num = -1;
  EXPECT_EQ(ParseYutaiPage(), 1);
  EXPECT_EQ(yutai_num, 999);
  EXPECT_EQ(ParseYutaiPage(), 1);  // the same rows again: the table fills up
  EXPECT_EQ(yutai_num, YUTAI_MAX_KABU - 1);
  EXPECT_TRUE(PrtHas(Cp932(U8(u8"1600件で打ち切り"))));
}

TEST_F(YutaiTest, MonthFilter) {
  const struct {
    const char8_t* text;
    int month;
    bool match;
  } cases[] = {
      {u8"1月・7月", 1, true},   {u8"11月", 1, false},     {u8"11月・1月", 1, true},
      {u8"12月", 2, false},      {u8"2月・12月", 2, true}, {u8"3月", 3, true},
      {u8"11月・12月", 1, false}, {u8"--", 5, false},     {u8"10月", 10, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(YutaiMonthMatches(Cp932(U8(c.text)).c_str(), c.month), c.match) << Cp932ToUtf8(Cp932(U8(c.text)));
  EXPECT_TRUE(PrtHas(Cp932(U8(u8"2度目で発見"))));
}

TEST_F(YutaiTest, KindColumnAndFilters) {
  EXPECT_EQ(YutaiKindText(1 | 16), Cp932(U8(u8"食料品／交通")));
  EXPECT_EQ(YutaiKindText(32768 | 4), Cp932(U8(u8"金券／プレミアム優待")));
  EXPECT_EQ(YutaiKindText(0), "----");  // an unrecognised kind is listed, never ends the list
  const struct {
    int32_t code;
    const char8_t* months;
    int32_t bunrui;
  } records[] = {{1301, u8"3月", 16}, {2914, u8"12月", 1 | 16}, {4502, u8"1月", 0}, {7203, u8"11月", 2}};
  Yutai_Last_Num = 0;
  for (const auto& r : records) {
    Yutai& y = yutai[Yutai_Last_Num++];
    y.code = r.code;
    Cp932CopyTruncated(y.kakutei, sizeof y.kakutei, Cp932(U8(r.months)));
    y.bunrui = r.bunrui;
  }
  int rows[YUTAI_MAX_KABU];
  ASSERT_EQ(YutaiListRows(0, 5, rows, YUTAI_MAX_KABU), 2);  // 交通・旅行: bit 16, whatever else
  EXPECT_EQ(rows[0], 0);
  EXPECT_EQ(rows[1], 1);
  ASSERT_EQ(YutaiListRows(1, 0, rows, YUTAI_MAX_KABU), 1);
  EXPECT_EQ(rows[0], 2);
  EXPECT_EQ(YutaiListRows(12, 1, rows, YUTAI_MAX_KABU), 1);
  EXPECT_EQ(YutaiListRows(0, 0, rows, YUTAI_MAX_KABU), 4);
}

TEST_F(YutaiTest, DownloadOverPagesWritesASortedFile) {
  // The date of the information is the computer's: 2026-12-10 in Japan, the 9th further west.
  const ScopedZone tokyo("Asia/Tokyo");
  StartServer();
  server->Route(PagePath(1), PageReply(RankingPage({{9984, U8(u8"3月・9月"), {U8(u8"金券")}},
                                                    {7203, U8(u8"3月"), {U8(u8"食料品")}}})));
  server->Route(PagePath(2), PageReply(RankingPage({{2914, U8(u8"12月"), {U8(u8"カタログギフト")}}})));
  server->Route(PagePath(3), PageReply(EndPage()));
  ASSERT_EQ(RunYutaiDownload(), 1);
  EXPECT_EQ(Requests(PagePath(4)), 0);
  ASSERT_EQ(Yutai_Last_Num, 3);
  struct stat st {};
  ASSERT_EQ(::stat(dir.File(YUTAI_FILE).c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 236844);
  const std::string bytes = ReadFileBytes(dir.File(YUTAI_FILE));
  EXPECT_EQ(Cp932(U8(u8"2026年12月10日現在の情報 ")), std::string(bytes.c_str()));
  auto code_at = [&](int i) {
    int32_t v;
    std::memcpy(&v, bytes.data() + 44 + 148 * i, 4);
    return v;
  };
  int32_t count;
  std::memcpy(&count, bytes.data() + 40, 4);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(code_at(0), 2914);
  EXPECT_EQ(code_at(1), 7203);
  EXPECT_EQ(code_at(2), 9984);
  EXPECT_EQ(code_at(3), -1);
  EXPECT_STREQ(bytes.data() + 44 + 148 * 2 + 4, "company9984");
  EXPECT_EQ(std::string(bytes.data() + 44 + 64), Cp932(U8(u8"12月")));

  // Read back as the window does.
  ClearYutaiTable(yutai);
  Yutai_Last_Num = 0;
  ASSERT_EQ(ReadYutai(), 1);
  EXPECT_EQ(Yutai_Last_Num, 3);
  EXPECT_EQ(yutai[0].bunrui, 8);
}

TEST_F(YutaiTest, AFailingPageKeepsTheOldFile) {
  // The old data on disk and in memory.
  Yutai_Last_Num = 1;
  yutai[0].code = 4502;
  std::snprintf(YutaiDateText, sizeof YutaiDateText, "old");
  ASSERT_EQ(WriteYutai(), 1);
  const std::string before = ReadFileBytes(dir.File(YUTAI_FILE));
  StartServer();
  server->Route(PagePath(1), PageReply(RankingPage({{7203, U8(u8"3月"), {U8(u8"食料品")}}})));
  server->Route(PagePath(2), PageReply("busy", 503));
  server->Route(PagePath(3), PageReply(RankingPage({{2914, U8(u8"12月"), {U8(u8"金券")}}})));
  host.Answer(IDOK, Cp932(U8(u8"ダウンロード失敗")));
  EXPECT_EQ(RunYutaiDownload(), 0);
  EXPECT_EQ(Requests(PagePath(2)), YUTAI_FETCH_TRIES);
  EXPECT_EQ(Requests(PagePath(3)), 0);
  EXPECT_TRUE(PrtHas("retry=4"));
  EXPECT_EQ(ReadFileBytes(dir.File(YUTAI_FILE)), before);
  EXPECT_EQ(Yutai_Last_Num, 1);
  EXPECT_EQ(yutai[0].code, 4502);
}

TEST_F(YutaiTest, NotFoundPagesAreFailedAttempts) {
  StartServer();
  server->Route(PagePath(1), PageReply(U8(u8"<html><p>ページが見つかりませんでした</p></html>")));
  host.Answer(IDOK, Cp932(U8(u8"ダウンロード失敗")));
  EXPECT_EQ(RunYutaiDownload(), 0);
  EXPECT_EQ(Requests(PagePath(1)), YUTAI_FETCH_TRIES);
  struct stat st {};
  EXPECT_NE(::stat(dir.File(YUTAI_FILE).c_str(), &st), 0);
}

TEST_F(YutaiTest, AnEmptyRankingSavesNothing) {
  StartServer();
  server->Route(PagePath(1), PageReply(EndPage()));
  host.Answer(IDOK, Cp932(U8(u8"株主優待情報")));
  EXPECT_EQ(RunYutaiDownload(), 0);
  struct stat st {};
  EXPECT_NE(::stat(dir.File(YUTAI_FILE).c_str(), &st), 0);
}

TEST_F(YutaiTest, AForeignFileIsNotRead) {
  WriteFileBytes(dir.File(YUTAI_FILE), std::string(5000, '\x7f'));
  yutai[0].code = 4502;
  Yutai_Last_Num = 1;
  EXPECT_EQ(ReadYutai(), 0);
  EXPECT_EQ(Yutai_Last_Num, 1);
  EXPECT_EQ(yutai[0].code, 4502);
}

}  // namespace
