// The history-page scrapers on pages of our own: the date forms, price rows with their
// notices, split adjustments, margin rows and pages that must change nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "db/packed_value.h"
#include "db/price_model.h"
#include "net/chart_json.h"
#include "net/history_pages.h"
#include "net/token_list.h"
#include "platform/codepage.h"
#include "support/db_fixture.h"
#include "support/prt_text.h"
#include "support/scripted_host.h"
#include "support/utf8.h"

namespace {

class HistoryPages : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDatabaseState();
    const std::vector<int32_t> dates = FixtureCalendar(20);  // 2026-11-12 .. 2026-12-09, weekdays
    for (int i = 0; i < 20; ++i) nikkei_date[i] = dates[i];
    LastDate = 20;
    const std::vector<Fundamental> stocks = FixtureStocks(3);
    for (int i = 0; i < 3; ++i) fundamental[i] = stocks[static_cast<size_t>(i)];
    LastKabu = 3;
    std::memset(&WebHiashi, 0, sizeof WebHiashi);
  }
  void TearDown() override { ResetDatabaseState(); }
  static int Day(int32_t date) {
    for (int i = 0; i < LastDate; ++i)
      if (nikkei_date[i] == date) return i;
    return -1;
  }
  static int Value(const uint16_t* a, int32_t date) { return Packed_to_Value(a[Day(date)]); }
  // One table row of cells.
  static std::string Row(const std::vector<std::string>& cells) {
    std::string s = "<tr>";
    for (const std::string& c : cells) s += "<td>" + c + "</td>";
    return s + "</tr>\n";
  }
  ScriptedHost host;  // 2026-12-10 in Japan
};

TEST_F(HistoryPages, DateForms) {
  const struct {
    const char* token;
    int format;
    int32_t date;
  } cases[] = {
      {"2024年1月5日", 1, 20240105},   {"2024/1/5", 1, 20240105},     {"2024/01/05", 1, 20240105},
      {"2024/01/05", 2, 20240105},     {"2024/1/5", 2, -1},           {"2024年1月5日（金）", 1, -1},
      {"2024/01", 1, -1},              {"1月5日2024年", 1, -1},        {"2024/13/05", 1, -1},
      {"1899/01/05", 1, -1},           {"2026/12/10", 1, 20261210},   {"2026/12/11", 1, -1},
      {"2024/01/05", 3, -1},           {"始値", 1, -1},               {"", 1, -1},
      {"24年1月5日", 1, -1},           {"2026/11/31", 1, -1},         {"2024/02/30", 2, -1},  // found by fuzzing
      {"2024/2/29", 1, 20240229},      {"2023年2月29日", 1, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseWebDate(c.token, c.format), c.date) << c.token << " " << c.format;
  EXPECT_TRUE(PrtHas("未来の日付？キャンセルする"));
  EXPECT_TRUE(PrtHas("年月日の順番が違う"));
}

TEST_F(HistoryPages, PriceRowsWithNoticesSplitsAndAdjustedCloses) {
  std::string page = "<table>" + Row({"日付", "始値", "高値", "安値", "終値", "出来高", "調整後終値"});
  page += Row({"2026年12月9日", "1,000", "1,010", "990", "1,005", "12,300", "1,005"});
  page += Row({"2026/12/8", "---", "---", "---", "---", "0", "---"});
  page += Row({"2026/12/07", "1,100", "1,120", "1,090", "1,110", "4,000", "1,110"});
  page += Row({"2026年12月4日", "分割: 1株 → 2株"});
  page += Row({"2026/12/3", "2,000", "2,200", "1,800", "2,000", "500", "1,000"});  // adjusted to half
  page += Row({"2026/12/2", "1,000", "1,000", "1,000", "0", "500", "0"});           // close 0: no factor
  page += "</table>";
  TokenisePlane(page.c_str());
  EXPECT_EQ(DBmakeConvert(2, WEB_DATE_PORTAL), 1);
  EXPECT_EQ(Value(WebHiashi.close, 20261209), 1005);
  EXPECT_EQ(Value(WebHiashi.deki, 20261209), 12300);
  EXPECT_EQ(WebHiashi.close[Day(20261208)], 0);
  EXPECT_EQ(Value(WebHiashi.open, 20261207), 1100);
  EXPECT_EQ(WebHiashi.close[Day(20261204)], 0);
  EXPECT_EQ(Value(WebHiashi.open, 20261203), 1000);
  EXPECT_EQ(Value(WebHiashi.high, 20261203), 1100);
  EXPECT_EQ(Value(WebHiashi.low, 20261203), 900);
  EXPECT_EQ(Value(WebHiashi.close, 20261203), 1000);
  EXPECT_EQ(Value(WebHiashi.open, 20261202), 1000);  // stored as read, never divided by 0
  EXPECT_TRUE(PrtHas("Yahoo!株価なし。無視　その２"));
}

// A row holding a value beyond what a packed value takes is refused whole, with a log line,
// never stored saturated; the page's other rows are read.
TEST_F(HistoryPages, RowsBeyondThePackedRangeAreRefused) {
  const std::string over = "2,147,483,648", top = "2,147,483,647";
  const struct {
    const char* what;
    std::vector<std::string> cells;  // open, high, low, close, volume, adjusted close
    bool read;
  } cases[] = {
      {"close", {"1,000", over, "990", over, "100", "1,000"}, false},
      {"open", {over, over, "990", "1,000", "100", "1,000"}, false},
      {"volume", {"1,000", "1,010", "990", "1,000", over, "1,000"}, false},
      {"adjusted close", {"1,000", "1,010", "990", "1,000", "100", "99,999,999,999,999"}, false},
      {"adjusted prices", {"1,000,000,000", "2,000,000,000", "1,000,000,000", "1,000,000,000", "100", "2,000,000,000"},
       false},
      {"the largest value", {top, top, top, top, top, top}, true},
  };
  for (const auto& c : cases) {
    std::memset(&WebHiashi, 0, sizeof WebHiashi);
    std::vector<std::string> row = {"2026/12/8"};
    row.insert(row.end(), c.cells.begin(), c.cells.end());
    const std::string page = Row({"2026/12/9", "500", "510", "490", "505", "700", "505"}) + Row(row);
    TokenisePlane(page.c_str());
    EXPECT_EQ(DBmakeConvert(2, WEB_DATE_PORTAL), 1) << c.what;
    EXPECT_EQ(Value(WebHiashi.close, 20261209), 505) << c.what;
    EXPECT_EQ(WebHiashi.close[Day(20261208)] != 0, c.read) << c.what;
    if (!c.read) {
      for (const uint16_t* a : {WebHiashi.open, WebHiashi.high, WebHiashi.low, WebHiashi.deki})
        EXPECT_EQ(a[Day(20261208)], 0) << c.what;
      EXPECT_TRUE(PrtHas("2026/12/8 の行は")) << c.what;
    }
  }
  EXPECT_EQ(Value(WebHiashi.close, 20261208), 2147000000);
  // A margin balance likewise.
  std::memset(&WebHiashi, 0, sizeof WebHiashi);
  TokenisePlane((Row({"日付", "売残", "売残増減", "買残", "買残増減", "信用倍率"}) + Row({"2026/12/3", "12,000", over}) +
                 Row({"2026/11/26", "5,000", "6,000"}))
                    .c_str());
  EXPECT_EQ(MarginConvert(2), 1);
  EXPECT_EQ(WebHiashi.margin_buy[Day(20261203)], 0);
  EXPECT_EQ(Value(WebHiashi.margin_buy, 20261126), 6000);
  EXPECT_TRUE(PrtHas("2026/12/3 の行は信用残が大きすぎるため読みません"));
}

TEST_F(HistoryPages, PagesThatStopThePaging) {
  const struct {
    std::string page;
    int result;
  } cases[] = {
      {"<p>時系列情報がありません</p>" + Row({"2026/12/9", "1", "1", "1", "1", "1", "1"}), 0},
      {"<p>現在表示できません</p>", 0},
      {"", 0},
      {Row({"2026/11/2", "1", "1", "1", "1", "1", "1"}), 0},  // before the calendar
      {Row({"2008/03/01", "1", "1", "1", "1", "1", "1"}) + Row({"2026/12/9", "5", "5", "5", "5", "5", "5"}), 1},
      {Row({"2026/12/9", "5", "5"}), 1},  // a truncated table: the row reads what is there
  };
  for (const auto& c : cases) {
    std::memset(&WebHiashi, 0, sizeof WebHiashi);
    TokenisePlane(c.page.c_str());
    EXPECT_EQ(DBmakeConvert(2, WEB_DATE_PORTAL), c.result) << c.page;
  }
}

TEST_F(HistoryPages, DailyBarPageFormat) {
  std::string page = Row({"2026/12/09", "1,000", "1,010", "990", "1,005", "1,006", "7,700"});
  TokenisePlane(page.c_str());
  EXPECT_EQ(DBmakeConvert(2, WEB_DATE_DAILY_BAR), 1);
  EXPECT_EQ(Value(WebHiashi.close, 20261209), 1005);
  EXPECT_EQ(Value(WebHiashi.deki, 20261209), 7700);
}

TEST_F(HistoryPages, AMarginRowFillsItsWholeWeek) {
  std::string page = Row({"日付", "売残", "売残増減", "買残", "買残増減", "信用倍率"});
  page += Row({"2026/12/3", "12,000", "34,000"});  // a Thursday: Monday 11/30 to Friday 12/4
  page += Row({"2026/11/26", "-", "-"});
  TokenisePlane(page.c_str());
  EXPECT_EQ(MarginConvert(2), 1);
  for (int32_t d : {20261130, 20261201, 20261202, 20261203, 20261204}) {
    EXPECT_EQ(Value(WebHiashi.margin_sell, d), 12000) << d;
    EXPECT_EQ(Value(WebHiashi.margin_buy, d), 34000) << d;
  }
  EXPECT_EQ(WebHiashi.margin_sell[Day(20261127)], 0);
  EXPECT_EQ(WebHiashi.margin_sell[Day(20261207)], 0);
}

TEST_F(HistoryPages, PagesWithoutTheMarginTableChangeNothing) {
  // An old calendar: clearing the balances before reading the page would erase them all.
  for (int i = 0; i < LastDate; ++i) nikkei_date[i] -= 30000;  // 2023
  const std::string pages[] = {
      "<p>現在表示できません</p>",
      Row({"日付", "売残", "買残"}) + Row({"2023/12/4", "1", "2"}),
      "<html><body>404 Not Found</body></html>",
  };
  for (const std::string& page : pages) {
    std::memset(&WebHiashi, 0, sizeof WebHiashi);
    WebHiashi.margin_sell[3] = 777;
    TokenisePlane(page.c_str());
    EXPECT_EQ(MarginConvert(2), 0) << page;
    EXPECT_EQ(WebHiashi.margin_sell[3], 777);
  }
}

TEST_F(HistoryPages, WeekKeys) {
  EXPECT_EQ(ShuToshiBangou(20240106), 12400);  // Saturday before the year's first Sunday
  EXPECT_EQ(ShuToshiBangou(20240107), 12401);
  EXPECT_EQ(ShuToshiBangou(20261203), ShuToshiBangou(20261129));
  EXPECT_NE(ShuToshiBangou(20261205), ShuToshiBangou(20261206));
  EXPECT_EQ(ShuToshiBangou(18991231), -1);
}

TEST_F(HistoryPages, LookAheadStopsAtTheEndOfTheList) {
  // The row is cut after its date: every look-ahead finds the end marker.
  TokenisePlane("<td>2026/12/9</td>");
  EXPECT_EQ(DBmakeConvert(2, WEB_DATE_PORTAL), 1);
  EXPECT_EQ(WebHiashi.close[Day(20261209)], 0);
  TokenisePlane("<td>売残増減</td><td>買残増減</td><td>信用倍率</td><td>2026/12/9</td><td>1</td>");
  EXPECT_EQ(MarginConvert(2), 1);  // the buy balance is missing: the row is not read
  EXPECT_EQ(WebHiashi.margin_sell[Day(20261209)], 0);
  EXPECT_EQ(WebHiashi.margin_buy[Day(20261209)], 0);
}

// Every cell of a row must hold a number (or be the page's own no-trade mark "-"): a blank
// cell, another dash, a sign or a label skips the row with a log line. The cell before it and
// the next row stay where they belong; nothing is read as 0.
TEST_F(HistoryPages, CellsWithoutANumberSkipTheirRow) {
  const struct {
    const char* what;
    std::string cell;
    bool read;
    int value;  // the value read, at scale 1
  } cases[] = {
      {"commas", "41,730,000", true, 41730000},
      {"plain", "7", true, 7},
      {"decimal", "12.5", true, 12},
      {"empty", "", false, 0},
      {"ascii minus", "-", false, 0},
      {"horizontal bar", U8(u8"―"), false, 0},
      {"fullwidth minus", U8(u8"－"), false, 0},
      {"hyphen", U8(u8"‐"), false, 0},
      {"em dash", U8(u8"—"), false, 0},
      {"negative", "-1,000", false, 0},
      {"fullwidth negative", U8(u8"－1,000"), false, 0},
      {"plus sign", "+1,000", false, 0},
      {"text", U8(u8"売上高"), false, 0},
      {"stray comma", "1,,000", false, 0},
      {"overflow", "2,147,483,648", false, 0},
      {"digit run", std::string(80, '9'), false, 0},
  };
  for (const auto& c : cases) {
    // The cell as the volume of a price row, the fullwidth dash as a UTF-8 page gives it.
    std::memset(&WebHiashi, 0, sizeof WebHiashi);
    std::string page = Row({"2026/12/9", "1,000", "1,010", "990", "1,005", c.cell, "1,005"});
    page += Row({"2026/12/8", "900", "910", "890", "905", "300", "905"});
    std::string text = Utf8ToCp932(page);
    TokenisePlane(text.c_str());
    EXPECT_EQ(DBmakeConvert(2, WEB_DATE_PORTAL), 1) << c.what;
    EXPECT_EQ(WebHiashi.close[Day(20261209)] != 0, c.read) << c.what;
    EXPECT_EQ(Value(WebHiashi.deki, 20261209), c.read ? Packed_to_Value(Double_to_Packed(c.value)) : 0) << c.what;
    EXPECT_EQ(Value(WebHiashi.close, 20261208), 905) << c.what;
    EXPECT_EQ(Value(WebHiashi.deki, 20261208), 300) << c.what;
    // As the open: the row is not read whatever its other cells hold.
    std::memset(&WebHiashi, 0, sizeof WebHiashi);
    page = Row({"2026/12/9", c.cell, "1,010", "990", "1,005", "100", "1,005"});
    page += Row({"2026/12/8", "900", "910", "890", "905", "300", "905"});
    text = Utf8ToCp932(page);
    TokenisePlane(text.c_str());
    EXPECT_EQ(DBmakeConvert(2, WEB_DATE_PORTAL), 1) << c.what;
    EXPECT_EQ(WebHiashi.close[Day(20261209)] != 0, c.read && c.value > 0) << c.what;
    EXPECT_EQ(Value(WebHiashi.close, 20261208), 905) << c.what;
    // As the sell balance of a margin row: neither balance of the row is read.
    std::memset(&WebHiashi, 0, sizeof WebHiashi);
    page = Row({U8(u8"売残増減"), U8(u8"買残増減"), U8(u8"信用倍率")}) + Row({"2026/12/3", c.cell, "69,340,000"}) +
           Row({"2026/11/26", "5,000", "6,000"});
    text = Utf8ToCp932(page);
    TokenisePlane(text.c_str());
    EXPECT_EQ(MarginConvert(2), 1) << c.what;
    EXPECT_EQ(WebHiashi.margin_buy[Day(20261203)] != 0, c.read) << c.what;
    EXPECT_EQ(WebHiashi.margin_sell[Day(20261203)] != 0, c.read) << c.what;
    EXPECT_EQ(Value(WebHiashi.margin_buy, 20261126), 6000) << c.what;
  }
  EXPECT_TRUE(PrtHas("2026/12/9 の行は数値でないセルがあるため読みません"));
  EXPECT_TRUE(PrtHas("2026/12/3 の行は数値でないセルがあるため読みません"));
}

// A row cut short by a left-out cell never takes the next row's date as a value.
TEST_F(HistoryPages, AShortRowNeverReadsTheNextRow) {
  std::string page = Row({"売残増減", "買残増減", "信用倍率"});
  page += "<tr><td>2026/12/3</td><td>69,340,000</td></tr>";  // one balance left out
  page += Row({"2026/11/26", "5,000", "6,000"});
  TokenisePlane(page.c_str());
  EXPECT_EQ(MarginConvert(2), 1);
  EXPECT_EQ(WebHiashi.margin_buy[Day(20261203)], 0);
  EXPECT_EQ(WebHiashi.margin_sell[Day(20261203)], 0);
  EXPECT_EQ(Value(WebHiashi.margin_sell, 20261126), 5000);
  // A price row without its adjusted close is read without adjustment.
  std::memset(&WebHiashi, 0, sizeof WebHiashi);
  page = Row({"2026/12/9", "1,000", "1,010", "990", "1,005", "700"}) +
         Row({"2026/12/8", "900", "910", "890", "905", "300", "905"});
  TokenisePlane(page.c_str());
  EXPECT_EQ(DBmakeConvert(2, WEB_DATE_PORTAL), 1);
  EXPECT_EQ(Value(WebHiashi.close, 20261209), 1005);
  EXPECT_EQ(Value(WebHiashi.deki, 20261209), 700);
}

}  // namespace
