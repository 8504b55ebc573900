// The chart JSON reader, the decimal text reading shared with the quote page, Japan-time
// trading dates, the flat-day and known-bad-day rules, and one history over the loopback
// server.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "db/packed_value.h"
#include "db/price_model.h"
#include "net/chart_json.h"
#include "net/decimal_text.h"
#include "net/net_config.h"
#include "net/tokyo_time.h"
#include "support/db_fixture.h"
#include "support/loopback_net.h"
#include "support/prt_text.h"
#include "support/today_pages.h"

namespace {

struct ArrayCase {
  const char* name;
  const char* text;
  const char* key;
  int count;
  int scale;
  std::vector<int64_t> expected;
};

TEST(ChartJson, ArrayCases) {
  const ArrayCase cases[] = {
      {"plain", R"({"open":[100,101,102]})", "open", 10, 1, {100, 101, 102}},
      {"null and negative read 0", R"({"open":[100,null,-5,102]})", "open", 10, 1, {100, 0, 0, 102}},
      {"exponent reads 0", R"({"open":[1e3,2]})", "open", 10, 1, {0, 2}},
      {"stops at its ] (later arrays never become values)", R"({"open":[1,2],"close":[7,8,9]})", "open", 10, 1,
       {1, 2}},
      {"last element without comma counts", R"({"open":[5]})", "open", 10, 1, {5}},
      {"count limits", R"({"open":[1,2,3]})", "open", 2, 1, {1, 2}},
      {"empty array", R"({"open":[],"close":[3]})", "open", 10, 1, {}},
      {"truncated on the text", R"({"close":[128.14,1234.5,145.678]})", "close", 10, 100, {12814, 123450, 14567}},
      {"scale 1 cuts the fraction", R"({"close":[1234.5,0.99]})", "close", 10, 1, {1234, 0}},
      {"blanks around elements", "{\"open\" : [ 100 ,\n 101 ]}", "open", 10, 1, {100, 101}},
      {"quoted key only: close inside adjclose ignored", R"({"adjclose":[9],"close":[3]})", "close", 10, 1, {3}},
      {"a non-array member of the same name is passed over", R"({"meta":{"open":1},"open":[4,5]})", "open", 10, 1,
       {4, 5}},
      {"missing key", R"({"high":[1]})", "open", 10, 1, {}},
      {"cut off inside the array keeps whole elements", R"({"open":[100,101,10)", "open", 10, 1, {100, 101}},
      {"a string reads 0", R"({"open":["x",3]})", "open", 10, 1, {0, 3}},
      {"two points read 0", R"({"open":[1.2.3,4]})", "open", 10, 1, {0, 4}},
      {"huge saturates", R"({"volume":[99999999999999999999]})", "volume", 10, 1, {DECIMAL_TEXT_MAX}},
  };
  for (const ArrayCase& c : cases) {
    std::vector<int64_t> out(16, -1);
    const int n = ReadJsonArrayIn(c.text, std::strlen(c.text), c.key, out.data(), c.count, c.scale);
    out.resize(n);
    EXPECT_EQ(out, c.expected) << c.name;
  }
}

TEST(ChartJson, DecimalTextCases) {
  struct Case {
    const char* text;
    int scale;
    int64_t expected;
  } cases[] = {
      {"128.14", 100, 12814}, {"1,234", 1, 1234},     {"  38,123.45 (", 1, 38123}, {"0.005", 1000, 5},
      {"1.", 1, 1},           {"abc", 1, 0},          {"-5", 1, 0},               {"145.678", 100, 14567},
      {"12.5.6", 100, 1250},  {"7", 1000, 7000},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ReadScaledDecimal(c.text, std::strlen(c.text), c.scale), c.expected) << c.text;
}

TEST(ChartJson, TradingDatesAreJapanDatesWhateverTheZone) {
  const char* saved = std::getenv("TZ");
  const std::string keep = saved ? saved : "";
  for (const char* zone : {"Asia/Tokyo", "America/New_York", "UTC", "Pacific/Kiritimati"}) {
    setenv("TZ", zone, 1);
    tzset();
    int32_t d = 0;
    ASSERT_TRUE(TokyoDateOfTimestamp(kToday0900, &d));
    EXPECT_EQ(d, 20261210) << zone;
    // 23:59:59 and 00:00:00 in Japan.
    ASSERT_TRUE(TokyoDateOfTimestamp(1796914799, &d));
    EXPECT_EQ(d, 20261210) << zone;
    ASSERT_TRUE(TokyoDateOfTimestamp(1796914800, &d));
    EXPECT_EQ(d, 20261211) << zone;
  }
  if (saved) setenv("TZ", keep.c_str(), 1);
  else unsetenv("TZ");
  tzset();
  int32_t d = 0;
  EXPECT_FALSE(TokyoDateOfTimestamp(0, &d));             // null timestamp: no date
  EXPECT_FALSE(TokyoDateOfTimestamp(-86400, &d));
  EXPECT_FALSE(TokyoDateOfTimestamp(4200000000LL, &d));  // after 2100
  ASSERT_TRUE(TokyoDateOfTimestamp(951782400, &d));      // 2000-02-29 09:00 JST
  EXPECT_EQ(d, 20000229);
}

TEST(ChartJson, IsolatedFlatDays) {
  struct Case {
    const char* name;
    std::vector<int64_t> close;
    int flat;  // the flat, volume-less day
    bool kept;
  } cases[] = {
      {"between 490 and 510 stays", {490, 500, 510}, 1, true},
      {"a factor above 3 to the next day erases", {490, 500, 2100}, 1, false},
      {"both below 30 are exempt", {25, 10, 12}, 1, true},
      {"at the end of the series always erased", {490, 500}, 1, false},
      {"at the start too", {500, 490}, 0, false},
  };
  for (const Case& c : cases) {
    const int n = static_cast<int>(c.close.size());
    std::vector<int64_t> open(c.close), high(c.close), low(c.close), close(c.close), volume(n, 100);
    for (int i = 0; i < n; ++i)
      if (i != c.flat) high[i] = close[i] + 5;
    volume[c.flat] = 0;
    EraseIsolatedFlatDays(open.data(), high.data(), low.data(), close.data(), volume.data(), n);
    EXPECT_EQ(close[c.flat] != 0, c.kept) << c.name;
  }
}

TEST(ChartJson, KnownBadDays) {
  EXPECT_TRUE(IsKnownBadChartDay(2237, 20230207, 5));
  EXPECT_TRUE(IsKnownBadChartDay(2237, 20100101, 5));
  EXPECT_FALSE(IsKnownBadChartDay(2237, 20230208, 5));
  EXPECT_TRUE(IsKnownBadChartDay(1579, 20240701, 5));
  EXPECT_FALSE(IsKnownBadChartDay(1579, 20240702, 5));
  EXPECT_TRUE(IsKnownBadChartDay(2633, 20231207, 5));
  EXPECT_TRUE(IsKnownBadChartDay(7203, 20201001, 0));
  EXPECT_FALSE(IsKnownBadChartDay(7203, 20201001, 1));
  EXPECT_STREQ(WorldIndexName(1035), "000001.SS");
  EXPECT_EQ(WorldIndexName(1029), nullptr);
}

class ChartHistory : public LoopbackNetTest {
 protected:
  void SetUp() override {
    LoopbackNetTest::SetUp();
    ResetDatabaseState();
    CurrentNetConfig().chart_url = "https://chart.test";
    const std::vector<int32_t> dates = FixtureCalendar(5);  // 2026-12-03 .. 2026-12-09
    LastDate = 5;
    for (int i = 0; i < 5; ++i) nikkei_date[i] = dates[i];
    LastKabu = 1;
    std::memset(&WebHiashi, 0, sizeof WebHiashi);
  }
  void TearDown() override {
    ResetDatabaseState();
    LoopbackNetTest::TearDown();
  }
};

TEST_F(ChartHistory, WritesCalendarDaysAndErasesBadOnes) {
  fundamental[0].code = 7203;
  // Days: 12/03 good, 12/04 high below close (bad), a Saturday not in the calendar, 12/07
  // null close (bad), 12/08 good with a fraction, 12/09 timestamp 0 (no date, skipped).
  const int64_t day = 86400;
  const int64_t t0 = kToday0900 - 7 * day;
  const std::string doc = ChartJson("7203.T",
                                    std::to_string(t0) + "," + std::to_string(t0 + day) + "," +
                                        std::to_string(t0 + 2 * day) + "," + std::to_string(t0 + 4 * day) + "," +
                                        std::to_string(t0 + 5 * day) + ",0",
                                    "100,100,100,100,101.9,100", "110,100,110,110,111,110", "90,90,90,90,95,90",
                                    "105,105,105,null,108.5,105", "1000,1000,1000,1000,2000,1000");
  loopback::Reply reply;
  reply.body = doc;
  StartServer().Route("/v8/finance/chart/7203.T?range=10d&interval=1d&events=split%7Cdiv", reply);
  OpenSession();
  EXPECT_EQ(GetChartHistory("7203.T", 0, 0, 10), 1);
  EXPECT_EQ(Packed_to_Value(WebHiashi.close[0]), 105);
  EXPECT_EQ(Packed_to_Value(WebHiashi.deki[0]), 1000);
  EXPECT_EQ(WebHiashi.close[1], 0);  // high below close
  EXPECT_EQ(WebHiashi.close[2], 0);  // null close
  EXPECT_EQ(Packed_to_Value(WebHiashi.open[3]), 101);
  EXPECT_EQ(Packed_to_Value(WebHiashi.close[3]), 108);
  EXPECT_EQ(WebHiashi.close[4], 0);  // no date
  EXPECT_TRUE(PrtHas("hen=2"));
}

// A day whose volume a packed value cannot take is refused with a log line (prices that
// large are refused by the price limit), never stored saturated; the other days are read.
TEST_F(ChartHistory, DaysBeyondThePackedRangeAreRefused) {
  fundamental[0].code = 7203;
  const struct {
    const char* what;
    const char* high;
    const char* close;
    const char* volume;
    bool read;
  } cases[] = {  // one calendar day each: 12/03, 12/04, 12/07, 12/08
      {"volume", "110", "105", "2147483648", false},
      {"price", "2147483648", "2147483648", "1000", false},
      {"the largest volume", "110", "105", "2147483647", true},
      {"an ordinary day", "110", "105", "1000", true},
  };
  const int64_t day = 86400, t0 = kToday0900 - 7 * day;
  const int64_t offsets[] = {0, 1, 4, 5};
  std::string stamps, open, high, low, close, volume;
  for (size_t i = 0; i < std::size(cases); ++i) {
    const char* sep = i ? "," : "";
    stamps += sep + std::to_string(t0 + offsets[i] * day);
    open += std::string(sep) + "100";
    high += std::string(sep) + cases[i].high;
    low += std::string(sep) + "90";
    close += std::string(sep) + cases[i].close;
    volume += std::string(sep) + cases[i].volume;
  }
  loopback::Reply reply;
  reply.body = ChartJson("7203.T", stamps, open, high, low, close, volume);
  StartServer().Route("/v8/finance/chart/7203.T?range=10d&interval=1d&events=split%7Cdiv", reply);
  OpenSession();
  EXPECT_EQ(GetChartHistory("7203.T", 0, 0, 10), 1);
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(WebHiashi.close[i] != 0, cases[i].read) << cases[i].what;
    if (!cases[i].read) EXPECT_EQ(WebHiashi.deki[i], 0) << cases[i].what;
  }
  EXPECT_EQ(Packed_to_Value(WebHiashi.deki[2]), 2147000000);
  EXPECT_TRUE(PrtHas("20261203 の出来高 2147483648 が大きすぎる"));
}

}  // namespace
