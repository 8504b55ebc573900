#include "lists/screening_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "chart/chart_settings.h"
#include "shell/settings.h"
#include "db/packed_value.h"
#include "db/price_model.h"
#include "db/trading_calendar.h"
#include "lists/screening_snapshot.h"
#include "lists/user_data.h"
#include "platform/diagnostics.h"
#include "support/db_fixture.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

uint16_t P(int v) { return Value_to_Packed(v); }

// A window with every position at close c (high c+5, low c-5), volume 100 units.
void SetFlat(Pht& p, int c, int code) {
  std::memset(&p, 0, sizeof p);
  for (int w = 0; w < PHT_DAYS; ++w) {
    p.open[w] = p.close[w] = P(c);
    p.high[w] = P(c + 5);
    p.low[w] = P(c - 5);
    p.volume[w] = P(100);
  }
  p.valid = 1;
  p.code = code;
  p.end = PHT_LAST;
}

void SetClose(Pht& p, int w, int c) {
  p.open[w] = p.close[w] = P(c);
  p.high[w] = P(c + 5);
  p.low[w] = P(c - 5);
}

// Closes rising by step each position from base.
void SetRising(Pht& p, int base, int step) {
  for (int w = 0; w < PHT_DAYS; ++w) SetClose(p, w, base + step * w);
}

class Screening : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearPrtHistory();
    ResetAllSettings();
    ResetUserData();
    MakePeriodLadder();
    std::memset(fundamental, 0, sizeof fundamental);
    std::memset(pht, 0, sizeof pht);
    std::memset(pht_value, 0, sizeof pht_value);
    LastKabu = 4;
    for (int s = 0; s < LastKabu; ++s) {
      fundamental[s].code = 2000 + s;
      fundamental[s].tani = 100;
      fundamental[s].market = 1;
      SetFlat(pht[s], 1000, 2000 + s);
    }
    ++PhtGeneration;
    std::memset(cond_, 0, sizeof cond_);
  }
  void TearDown() override {
    LastKabu = 0;
    ResetAllSettings();
  }
  bool Passes(int s = 0) { return ScreeningPasses(s, cond_); }
  int32_t cond_[SCRE_SLOTS];
  TempDir dir_;
};

// Each case sets up stock 0 and one condition, and says whether the stock passes.
struct Case {
  const char* what;
  std::function<void(Pht&, Fundamental&, PhtValue&, int32_t*)> set;
  bool passes;
};

TEST_F(Screening, EveryConditionKindOnHandWorkedValues) {
  const Case cases[] = {
      {"index rejected", [](Pht&, Fundamental& f, PhtValue&, int32_t*) { f.flag = FLAG_INDEX; }, false},
      {"ETF 1319 kept", [](Pht&, Fundamental& f, PhtValue&, int32_t*) { f.flag = FLAG_INDEX, f.code = 1319; }, true},
      {"market matches", [](Pht&, Fundamental& f, PhtValue&, int32_t* c) { f.market = 2, c[1] = 2; }, true},
      {"market differs", [](Pht&, Fundamental& f, PhtValue&, int32_t* c) { f.market = 2, c[0] = 1; }, false},
      {"industry", [](Pht&, Fundamental& f, PhtValue&, int32_t* c) { std::strcpy(f.industry, "銀行業"), c[5] = 13; }, true},
      {"industry differs", [](Pht&, Fundamental& f, PhtValue&, int32_t* c) { std::strcpy(f.industry, "鉱業"), c[3] = 13; }, false},
      // 30000 to 50000 yen, both ends strict: 300 x 100 and 500 x 100 fail, 400 x 100 passes.
      {"amount at lower", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) { SetClose(p, 49, 300), c[6] = 1, c[7] = 2; }, false},
      {"amount inside", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) { SetClose(p, 49, 400), c[6] = 1, c[7] = 2; }, true},
      {"amount at upper", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) { SetClose(p, 49, 500), c[6] = 1, c[7] = 2; }, false},
      // Price 100 to 200: strict below, inclusive above.
      {"price at lower", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) { SetClose(p, 49, 100), c[8] = 2, c[9] = 4; }, false},
      {"price at upper", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) { SetClose(p, 49, 200), c[8] = 2, c[9] = 4; }, true},
      {"volume above 50", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         for (int w = 45; w < 50; ++w) p.volume[w] = P(w == 49 ? 52 : 50);
         c[10] = 1;
       }, false},  // (4 x 50 + 52) / 5 = 50, not above 50
      {"volume above 50 (51)", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         for (int w = 45; w < 50; ++w) p.volume[w] = P(51);
         c[10] = 1;
       }, true},
      {"no movement", [](Pht&, Fundamental&, PhtValue&, int32_t* c) { c[11] = 1; }, false},
      {"one move in ten days", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) { SetClose(p, 40, 999), c[11] = 1; }, true},
      {"ROE in range", [](Pht&, Fundamental& f, PhtValue&, int32_t* c) { f.roe = 10, c[21] = 5, c[22] = 6; }, true},
      {"ROE above range", [](Pht&, Fundamental& f, PhtValue&, int32_t* c) { f.roe = 10.5, c[21] = 5, c[22] = 6; }, false},
      {"yield inclusive", [](Pht&, Fundamental&, PhtValue& v, int32_t* c) { v.yield = 2.0, c[24] = 5, c[25] = 5; }, true},
      {"PER above 10000 with open upper", [](Pht&, Fundamental&, PhtValue& v, int32_t* c) { v.per = 10001, c[41] = 1; }, false},
      {"PER inside open upper", [](Pht&, Fundamental&, PhtValue& v, int32_t* c) { v.per = 9999, c[41] = 1; }, true},
      {"PBR below range", [](Pht&, Fundamental&, PhtValue& v, int32_t* c) { v.pbr = 0.2, c[44] = 1, c[45] = 8; }, false},
      {"Ichimoku rising", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) { SetRising(p, 1000, 10), c[60] = 1; }, true},
      {"Ichimoku falling", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) { SetRising(p, 2000, -10), c[60] = 1; }, false},
      {"MACD above zero", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) { SetRising(p, 1000, 10), c[65] = 1; }, true},
      {"MACD below zero", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) { SetRising(p, 1000, 10), c[65] = 2; }, false},
      // Rising, then the last bar falls through the SAR.
      {"SAR turns down", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         SetRising(p, 1000, 10);
         SetClose(p, 49, 900);
         c[66] = 2;
       }, true},
      {"SAR turns up (no)", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         SetRising(p, 1000, 10);
         SetClose(p, 49, 900);
         c[66] = 1;
       }, false},
      // 12 rises: value 100; sell level 95 passes, buy level 5 fails.
      {"psychological sell", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) { SetRising(p, 1000, 10), c[81] = 1; }, true},
      {"psychological buy", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) { SetRising(p, 1000, 10), c[80] = 1; }, false},
      // RCI 10/20, rising then the last close lowest: short 72.7 < long 85.7, both 100 before.
      {"RCI sell at 70", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         RCI[0] = 10, RCI[1] = 20;
         SetRising(p, 1000, 10);
         SetClose(p, 49, 500);
         c[89] = 6;
       }, true},
      {"RCI sell at 75", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         RCI[0] = 10, RCI[1] = 20;
         SetRising(p, 1000, 10);
         SetClose(p, 49, 500);
         c[89] = 5;
       }, false},
      {"RSI only, sell 70", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) { SetRising(p, 1000, 10), c[90] = 6; }, true},
      {"RSI only, buy 30", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) { SetRising(p, 1000, 10), c[83] = 6; }, false},
      // Period 49: the last day's RSI is the longest the window holds; the day before is not.
      {"RSI only at period 49", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         RSI = 49, SetRising(p, 1000, 10), c[90] = 6;
       }, true},
      {"RSI only at period 49, buy", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         RSI = 49, SetRising(p, 1000, 10), c[83] = 6;
       }, false},
      {"RSI back from sell at period 49", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         RSI = 49, SetRising(p, 1000, 10), SetClose(p, 49, 900), c[90] = 6, c[91] = 1;
       }, false},
      {"RSI only at period 50", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         RSI = 50, SetRising(p, 1000, 10), c[90] = 6;
       }, false},
      // RSI 100 at 48, then a drop of 80 against 8 rises of 10: 50 at 49, back below 70.
      {"RSI back from sell", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         SetRising(p, 1000, 10);
         SetClose(p, 49, 1400);
         c[90] = 6, c[91] = 1;
       }, true},
      // Falling 10 a day, then a jump of 200: +DI overtakes -DI at 49.
      {"DMI golden", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         SetRising(p, 2000, -10);
         SetClose(p, 49, 1710);
         c[84] = 1;
       }, true},
      {"DMI dead", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         SetRising(p, 2000, -10);
         SetClose(p, 49, 1710);
         c[84] = 2;
       }, false},
      // 25-day average 101.2 with a last close of 130: deviation 28.5.
      {"deviation above 20", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         Kairi[0] = 25;
         SetFlat(p, 100, 2000);
         SetClose(p, 49, 130);
         c[85] = 3;
       }, true},
      {"deviation above 30", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         Kairi[0] = 25;
         SetFlat(p, 100, 2000);
         SetClose(p, 49, 130);
         c[85] = 2;
       }, false},
      // %D(49) = 75 above the buy level 40: fails at once.
      {"stochastics buy", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         SetRising(p, 1000, 10);
         SetClose(p, 49, 1460);
         c[87] = 8;
       }, false},
      // %D(48) 90 equals %SD(48) 90: not above it.
      {"stochastics sell", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         SetRising(p, 1000, 10);
         SetClose(p, 49, 1460);
         c[88] = 6;
       }, false},
      {"volume ratio at least 90", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) { SetRising(p, 1000, 10), c[100] = 1; }, true},
      {"volume ratio at most 90", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) { SetRising(p, 1000, 10), c[101] = 1; }, false},
      // Mean 104, sigma 20: a close of 200 is above 3 sigma (164).
      {"Bollinger above 3 sigma", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         DayMoveAve[0] = 25;
         SetFlat(p, 100, 2000);
         SetClose(p, 49, 200);
         c[102] = 3;
       }, true},
      {"Bollinger below lower", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         DayMoveAve[0] = 25;
         SetFlat(p, 100, 2000);
         SetClose(p, 49, 200);
         c[103] = 1;
       }, false},
      {"volume up tenfold", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         for (int w = 47; w < 50; ++w) p.volume[w] = P(1000);
         c[120] = 3, c[121] = 4, c[122] = 1, c[123] = 0;
       }, true},
      {"volume down", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         for (int w = 47; w < 50; ++w) p.volume[w] = P(1000);
         c[120] = 3, c[121] = 4, c[122] = 1, c[123] = 1;
       }, false},
      {"margin ratio 3 above 3", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         p.margin_buy[30] = P(300), p.margin_sell[30] = P(100);
         c[125] = 6;
       }, false},
      {"margin ratio 3 above 2", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         p.margin_buy[30] = P(300), p.margin_sell[30] = P(100);
         c[125] = 7;
       }, true},
      {"margin both ways without sell", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         p.margin_buy[30] = P(300);
         c[124] = 2;
       }, false},
      {"margin buy only", [](Pht& p, Fundamental&, PhtValue&, int32_t* c) {
         p.margin_buy[30] = P(300);
         c[124] = 1;
       }, true},
      {"favourites folder", [](Pht&, Fundamental&, PhtValue&, int32_t* c) {
         Group_Num = 2, Tyumoku_Num = 1, tyumoku[0] = Tyumoku{1, 2000, {}, 0, 0, 0, 0, {}, {}};
         c[127] = 2;
       }, true},
      {"other favourites folder", [](Pht&, Fundamental&, PhtValue&, int32_t* c) {
         Group_Num = 2, Tyumoku_Num = 1, tyumoku[0] = Tyumoku{1, 2000, {}, 0, 0, 0, 0, {}, {}};
         c[127] = 1;
       }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    c.set(pht[0], fundamental[0], pht_value[0], cond_);
    ++PhtGeneration;
    EXPECT_EQ(Passes(), c.passes);
  }
}

TEST_F(Screening, MovingAverageCrossFromTheTable) {
  // Daily closes 1000, a dip to 900 on four days, then 2000 on the last day: the 5-day
  // average (920 -> 1120) crosses the 25-day one (984 -> 1024) upwards.
  static Hiashi h;
  std::memset(&h, 0, sizeof h);
  LastDate = 100;
  for (int d = 0; d < 100; ++d) {
    const int c = d == 99 ? 2000 : d >= 95 ? 900 : 1000;
    h.open[d] = h.high[d] = h.low[d] = h.close[d] = P(c);
  }
  h.start = 0, h.end = 99, h.code = 2000;
  BuildPht(0, h);
  DayMoveAve[0] = 5, DayMoveAve[1] = 25;
  EXPECT_EQ(ScreMoveAve(MA_DAILY, 0, 5, 0), 1120);
  EXPECT_EQ(ScreMoveAve(MA_DAILY, 0, 5, 1), 920);
  EXPECT_NEAR(ScreMoveAve(MA_DAILY, 0, 25, 1), 984, 1);
  // Period 24 lies between the ladder periods 22 (1027) and 26 (1023): interpolated.
  EXPECT_EQ(ScreMoveAve(MA_DAILY, 0, 22, 0), 1027);
  EXPECT_EQ(ScreMoveAve(MA_DAILY, 0, 24, 0), 1025);
  cond_[61] = 1;
  EXPECT_TRUE(Passes());
  cond_[61] = 2;
  EXPECT_FALSE(Passes());
  LastDate = 0;
}

TEST_F(Screening, MovingAverageCrossesAtTheRoundingEdge) {
  // Every table entry c, the last close (period 1) c + d. The averages of the previous bar
  // then lie a fraction of a yen from c: equal after truncation, apart before. With 15/39
  // (13/26) the long one is interpolated and so truncated; with 13/25 both are exact.
  constexpr int c = 1000;
  struct Frame {
    int tf;
    int slot;
    int* periods;
    int usual_short, usual_long;
  } const frames[] = {{MA_DAILY, 61, DayMoveAve, 15, 39},
                      {MA_WEEKLY, 62, WeekMoveAve, 13, 26},
                      {MA_MONTHLY, 63, MonthMoveAve, 13, 26}};
  struct Edge {
    const char* what;
    bool usual;  // the usual periods, else 13/25
    int d;
    int cross;   // 0 none, 1 golden, 2 dead
  } const edges[] = {
      {"dead: short c + 1/15 (1/13) over long c", true, -1, 2},
      {"dead: short c + 1/13 over long c + 1/25", false, -1, 2},
      {"golden: short c - 1/13 under long c - 1/25", false, 1, 1},
      {"all equal", true, 0, 0},
      {"all equal, exact", false, 0, 0},
  };
  for (const Frame& f : frames) {
    for (const Edge& e : edges) {
      SCOPED_TRACE(std::to_string(f.tf) + " " + e.what);
      for (int tf = 0; tf < 3; ++tf)
        for (int j = 0; j < LADDER_COUNT; ++j) MoveAveTable[tf][0][j] = P(j == 0 ? c + e.d : c);
      f.periods[0] = e.usual ? f.usual_short : 13;
      f.periods[1] = e.usual ? f.usual_long : 25;
      cond_[f.slot] = 1;
      EXPECT_EQ(Passes(), e.cross == 1);
      cond_[f.slot] = 2;
      EXPECT_EQ(Passes(), e.cross == 2);
      cond_[f.slot] = 0;
    }
  }
}

TEST_F(Screening, NoMovingAverageCrossWithoutAnEarlierBar) {
  // Listed on the last day, or within the last month (one monthly bar): the table's
  // averages of the previous bar are rounding residue just below zero, whose order would
  // read as a golden cross.
  const std::vector<int32_t> dates = FixtureCalendar(60);  // weekdays up to 2026-12-09
  std::copy(dates.begin(), dates.end(), nikkei_date);
  LastDate = 60;
  InvalidateCalendarTables();
  struct Listing {
    const char* what;
    int first_day;
    int tf;
    int slot;
    const int* periods;
  } const listings[] = {
      {"last day, daily", 59, MA_DAILY, 61, DayMoveAve},
      {"last day, weekly", 59, MA_WEEKLY, 62, WeekMoveAve},
      {"last day, monthly", 59, MA_MONTHLY, 63, MonthMoveAve},
      {"2 December, monthly", 54, MA_MONTHLY, 63, MonthMoveAve},
  };
  static Hiashi h;
  for (const Listing& l : listings) {
    SCOPED_TRACE(l.what);
    std::memset(&h, 0, sizeof h);
    for (int d = l.first_day; d < LastDate; ++d) h.open[d] = h.high[d] = h.low[d] = h.close[d] = P(1000);
    h.start = l.first_day, h.end = LastDate - 1, h.code = 2000;
    BuildPht(0, h);
    const int sp = l.periods[0], lp = l.periods[1];
    ASSERT_GT(ScreMoveAve(l.tf, 0, sp, 0), ScreMoveAve(l.tf, 0, lp, 0));
    ASSERT_LT(ScreMoveAve(l.tf, 0, sp, 1), ScreMoveAve(l.tf, 0, lp, 1));
    cond_[l.slot] = 1;
    EXPECT_FALSE(Passes());
    cond_[l.slot] = 0;
  }
  std::fill(nikkei_date, nikkei_date + dates.size(), 0);
  LastDate = 0;
  InvalidateCalendarTables();
}

TEST_F(Screening, TopPercentRanksOnlyStocksWithTheFigure) {
  LastKabu = 40;
  for (int s = 0; s < LastKabu; ++s) {
    fundamental[s].code = 3000 + s;
    SetFlat(pht[s], 1000, 3000 + s);
    pht_value[s].per = s < 20 ? 0 : 100 - s;  // 20 stocks without PER
  }
  ++PhtGeneration;
  cond_[40] = 2;  // top 5 %: 20 ranked -> 1 stock, the smallest PER (stock 39)
  for (int s = 0; s < LastKabu; ++s) EXPECT_EQ(ScreeningPasses(s, cond_), s == 39) << s;
  cond_[40] = 1;  // 3 % of 20 is 0: nobody
  for (int s = 0; s < LastKabu; ++s) EXPECT_FALSE(ScreeningPasses(s, cond_)) << s;
  // The ranking follows changed figures.
  pht_value[25].per = 1;
  ++PhtGeneration;
  cond_[40] = 2;
  EXPECT_TRUE(ScreeningPasses(25, cond_));
  EXPECT_FALSE(ScreeningPasses(39, cond_));
}

TEST_F(Screening, ValidationListsEveryContradiction) {
  cond_[8] = 4, cond_[9] = 2;    // price 200 .. 100
  cond_[82] = 1, cond_[89] = 1;  // RCI buy and sell
  cond_[85] = 8, cond_[86] = 2;  // deviation at least 3, at most 30: fine
  EXPECT_EQ(ValidateScreCond(cond_),
            "株価の大小関係を訂正してください。\nRCIの売りと買いを同時に検索は出来ません。\n");
  cond_[85] = 2, cond_[86] = 8;  // at least 30, at most 3
  EXPECT_NE(ValidateScreCond(cond_).find("乖離率"), std::string::npos);
}

TEST_F(Screening, SlotsOutsideTheirChoicesAreCleared) {
  cond_[8] = 12, cond_[9] = 11, cond_[91] = 2, cond_[121] = 13, cond_[127] = 5, cond_[30] = 7;
  ClampScreCond(cond_);
  EXPECT_EQ(cond_[8], 0);
  EXPECT_EQ(cond_[9], 11);
  EXPECT_EQ(cond_[91], 0);
  EXPECT_EQ(cond_[121], 13);
  EXPECT_EQ(cond_[127], 0);  // one folder: 0 or 1
  EXPECT_EQ(cond_[30], 0);
}

TEST_F(Screening, DeletingAFolderKeepsTheFolderConditionOnItsFolder) {
  struct Case { int32_t before; int deleted; int32_t after; };
  // Slot 127 holds folder index + 1; 0 is no condition.
  for (const Case& c : {Case{0, 0, 0}, Case{1, 0, 0}, Case{3, 1, 2}, Case{2, 1, 0}, Case{2, 4, 2}}) {
    cond_[127] = c.before;
    ScreFolderDeleted(cond_, c.deleted);
    EXPECT_EQ(cond_[127], c.after) << c.before << " after deleting " << c.deleted;
  }
}

TEST_F(Screening, RunListsHitsByCodeAndStopsAtTheThousandth) {
  ScriptedHost host;
  int opened = 0;
  static int* opened_p;
  opened_p = &opened;
  OpenKensakuResult = [] { ++*opened_p; };
  LastKabu = 5;
  const int codes[5] = {9000, 1300, 5000, 1200, 7000};
  for (int s = 0; s < 5; ++s) {
    fundamental[s].code = codes[s];
    SetFlat(pht[s], 1000, codes[s]);
  }
  pht[2].end = 48;  // no bar on the last day: never a hit
  std::memset(ScreCond, 0, sizeof ScreCond);
  EXPECT_EQ(RunScreening(), 4);
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(KensakuList[0], 3);
  EXPECT_EQ(KensakuList[1], 1);
  EXPECT_EQ(KensakuList[2], 4);
  EXPECT_EQ(KensakuList[3], 0);
  EXPECT_EQ(KensakuList[4], -1);

  ScreCond[9] = 1;  // price up to 50: nobody
  host.Answer(IDOK, "条件が厳しすぎます");
  EXPECT_EQ(RunScreening(), -1);

  LastKabu = 1000;
  for (int s = 0; s < LastKabu; ++s) fundamental[s].code = 2000 + s, SetFlat(pht[s], 1000, 2000 + s);
  ScreCond[9] = 0;
  host.Answer(IDOK, "銘柄が多すぎます");
  EXPECT_EQ(RunScreening(), -1);
  EXPECT_EQ(host.boxes.back().text, "該当銘柄が1000件を超えました。条件を変更してください。");
  EXPECT_EQ(opened, 1);

  ScreCond[8] = 4, ScreCond[9] = 2;
  host.Answer(IDOK, "スクリーニング条件エラー");
  EXPECT_EQ(RunScreening(), -1);
  std::memset(ScreCond, 0, sizeof ScreCond);
  OpenKensakuResult = nullptr;
}

}  // namespace
