// The rules of the favourites, the trade history and the price alerts over the user-data
// tables, without windows.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>

#include "db/packed_value.h"
#include "db/price_model.h"
#include "lists/favourite_add.h"
#include "lists/favourites.h"
#include "lists/list_sort.h"
#include "lists/list_settings.h"
#include "lists/price_alerts.h"
#include "lists/screening_engine.h"
#include "lists/screening_snapshot.h"
#include "lists/trade_history.h"
#include "lists/user_data.h"
#include "support/db_fixture.h"
#include "support/scripted_host.h"

namespace {

class UserLists : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDatabaseState();
    ResetUserData();
    std::memset(pht, 0, sizeof pht);
    LastKabu = 5;
    LastDate = 60;
    nikkei_date[59] = 20261209;
    const int codes[] = {7201, 7202, 7203, 7204, 26600};
    const char* names[] = {"トヨタ自動車", "ソニーＧ", "任天堂", "ＡＢＣマート", "五桁銘柄"};
    const int closes[] = {550, 500, 525, 0, 1200};
    for (int s = 0; s < LastKabu; ++s) {
      fundamental[s].code = codes[s];
      fundamental[s].tani = 100;
      std::strcpy(fundamental[s].name, names[s]);
      pht[s].close[48] = Value_to_Packed(490);
      pht[s].close[49] = Value_to_Packed(closes[s]);
    }
    std::fill(std::begin(SelectCode), std::end(SelectCode), -1);
  }
  void TearDown() override {
    ResetUserData();
    ResetDatabaseState();
  }
  static void Fav(int group, int code, int price = 0, int share = 0, const char* date = "") {
    Tyumoku& t = tyumoku[Tyumoku_Num++];
    t = Tyumoku{};
    t.Group = group;
    t.Code = code;
    std::snprintf(t.Name, sizeof t.Name, "n%d", code);
    t.Price = price;
    t.Share = share;
    std::snprintf(t.Date, sizeof t.Date, "%s", date);
  }
  static std::vector<int> Codes(int group) {
    std::vector<int> out;
    for (int i : FolderRecords(group)) out.push_back(tyumoku[i].Code);
    return out;
  }
};

// ---- favourites ----

TEST_F(UserLists, IsAFavouriteCoversEveryFolderAndTheIndex) {
  Fav(0, 7201);
  Fav(2, 26600);
  EXPECT_TRUE(IsTyumoku(7201));
  EXPECT_TRUE(IsTyumoku(26600));
  EXPECT_TRUE(IsTyumoku(1001));
  EXPECT_FALSE(IsTyumoku(7202));
  EXPECT_TRUE(IsTyumokuStock(4));
  EXPECT_FALSE(IsTyumokuStock(1));
}

TEST_F(UserLists, ProfitUsesTheLatestNonZeroCloseIn64Bits) {
  Fav(0, 7201, 500, 1000);
  Fav(0, 7204, 500, 100);       // no close on the last day: the day before (490)
  Fav(0, 9999, 500, 100);       // no longer in the stock table: priced 0
  Fav(0, 26600, 1000, 2000000); // 2.4 billion of value does not wrap
  const FolderTotals sum = PriceFolder(0);
  EXPECT_EQ(tyumoku[0].Value, 550000);
  EXPECT_EQ(tyumoku[0].Profit, 50000);
  EXPECT_EQ(tyumoku[1].Profit, -1000);
  EXPECT_EQ(tyumoku[2].Value, 0);
  EXPECT_EQ(tyumoku[2].Profit, -50000);
  EXPECT_EQ(tyumoku[3].Value, 2400000000LL);
  EXPECT_EQ(tyumoku[3].Profit, 400000000LL);
  EXPECT_EQ(sum.value, 550000 + 49000 + 0 + 2400000000LL);
  EXPECT_EQ(TyumokuRow(tyumoku[3])[4], "2,400,000,000");
}

TEST_F(UserLists, AddingStopsBeforeTheLimitAndSkipsOrRefusesDuplicates) {
  ScriptedHost host;
  for (int i = 0; i < 3998; ++i) Fav(1, 9000);
  int added = 0;
  SelectCode[0] = 7201;
  SelectCode[1] = 7202;
  host.Answer(IDOK, "注意");
  EXPECT_EQ(AddTyumokuFromSelectCode(0, false, 0, 0, "", &added), TYUMOKU_FULL);
  EXPECT_EQ(Tyumoku_Num, 3998);
  SelectCode[1] = -1;
  EXPECT_EQ(AddTyumokuFromSelectCode(0, true, 123, 45, "2026/12/01", &added), TYUMOKU_ADDED);
  EXPECT_EQ(Tyumoku_Num, 3999);
  EXPECT_EQ(tyumoku[3998].Price, 123);
  EXPECT_EQ(tyumoku[3998].Share, 45);
  EXPECT_STREQ(tyumoku[3998].Date, "2026/12/01");
  host.Answer(IDOK, "注意");
  EXPECT_EQ(AddTyumokuFromSelectCode(0, true, 1, 1, "", &added), TYUMOKU_FULL);

  // Duplicates in the chosen folder: single mode warns, several are skipped.
  ResetUserData();
  Group_Num = 2;
  Fav(1, 7202);
  SelectCode[0] = 7202;
  host.Answer(IDOK, "注意");
  EXPECT_EQ(AddTyumokuFromSelectCode(1, true, 1, 1, "", &added), TYUMOKU_DUPLICATE);
  EXPECT_EQ(host.boxes.back().text, "この銘柄はすでに同一のフォルダに含まれています。");
  SelectCode[0] = 7201;
  SelectCode[1] = 7202;
  SelectCode[2] = 7204;
  EXPECT_EQ(AddTyumokuFromSelectCode(1, false, 0, 0, "2026/12/09", &added), TYUMOKU_ADDED);
  EXPECT_EQ(added, 2);
  EXPECT_EQ(Codes(1), (std::vector<int>{7202, 7201, 7204}));
  EXPECT_EQ(tyumoku[1].Price, 550);  // the snapshot's latest close and the trading unit
  EXPECT_EQ(tyumoku[1].Share, 100);
  EXPECT_EQ(tyumoku[2].Price, 0);
  EXPECT_EQ(Group_Select, 1);
}

TEST_F(UserLists, MovingWithinAFolderSkipsOtherFolders) {
  Fav(0, 7201);
  Fav(1, 7202);
  Fav(0, 7203);
  EXPECT_EQ(MoveTyumokuInFolder(0, -1), -1);
  EXPECT_EQ(MoveTyumokuInFolder(2, 1), -1);
  EXPECT_EQ(MoveTyumokuInFolder(2, -1), 0);
  EXPECT_EQ(Codes(0), (std::vector<int>{7203, 7201}));
  EXPECT_EQ(tyumoku[1].Code, 7202);
  // Another folder: refused when it holds the code already; the place is kept.
  Group_Num = 2;
  Fav(1, 7203);
  EXPECT_FALSE(MoveTyumokuToFolder(0, 1));
  EXPECT_TRUE(MoveTyumokuToFolder(2, 1));
  EXPECT_EQ(Codes(1), (std::vector<int>{7202, 7201, 7203}));
}

TEST_F(UserLists, SortingTogglesAndKeepsOtherFoldersInPlace) {
  Fav(0, 7202, 300, 1, "2026/01/03");
  Fav(1, 7203);
  Fav(0, 7201, 500, 1, "2026/01/01");
  Fav(0, 7204, 300, 1, "2026/01/02");
  int state[TYUMOKU_COLUMNS] = {};
  SortTyumokuFolder(0, 2, 1);  // price: largest first, ties keep their order
  EXPECT_EQ(Codes(0), (std::vector<int>{7201, 7202, 7204}));
  SortTyumokuFolder(0, 2, 2);
  EXPECT_EQ(Codes(0), (std::vector<int>{7204, 7202, 7201}));
  SortTyumokuFolder(0, 6, 1);  // date: smallest text first
  EXPECT_EQ(Codes(0), (std::vector<int>{7201, 7204, 7202}));
  EXPECT_EQ(tyumoku[1].Code, 7203);
  EXPECT_EQ(ToggleListSort(&state[0]), 1);
  EXPECT_EQ(ToggleListSort(&state[0]), 2);
  EXPECT_EQ(ToggleListSort(&state[0]), 1);
}

TEST_F(UserLists, DeletingAFolderRenumbersTheLaterOnesAndTheScreeningCondition) {
  ScriptedHost host;
  Group_Num = 4;
  for (int g = 0; g < 4; ++g) std::snprintf(GroupName[g], sizeof GroupName[g], "F%d", g);
  Fav(0, 7201);
  Fav(1, 7202);
  Fav(2, 7203);
  Fav(3, 7204);
  Group_Select = 1;
  ScreCond[127] = 4;  // folder 3 (index + 1)
  EXPECT_TRUE(DeleteTyumokuFolder(1));
  EXPECT_EQ(Group_Num, 3);
  EXPECT_EQ(Group_Select, 0);
  EXPECT_STREQ(GroupName[1], "F2");
  EXPECT_EQ(Tyumoku_Num, 3);
  EXPECT_EQ(tyumoku[1].Group, 1);
  EXPECT_EQ(tyumoku[2].Group, 2);
  EXPECT_EQ(ScreCond[127], 3);
  ScreCond[127] = 0;
  // The last folder stays; the 99th cannot be made.
  Group_Num = 1;
  host.Answer(IDOK, "注意");
  EXPECT_FALSE(DeleteTyumokuFolder(0));
  EXPECT_EQ(host.boxes.back().text, "全てのお気に入りフォルダを消すことは出来ません");
  Group_Num = 98;
  EXPECT_TRUE(AddTyumokuFolder());
  EXPECT_STREQ(GroupName[98], "新しいお気に入りフォルダ 99");
  EXPECT_EQ(Group_Select, 98);
  host.Answer(IDOK, "注意");
  EXPECT_FALSE(AddTyumokuFolder());
  EXPECT_EQ(Group_Num, 99);
}

TEST_F(UserLists, PasteCollectsFirstColumnsOfKnownCodesOnce) {
  const struct {
    const char* text;
    std::vector<int> codes;
  } cases[] = {
      {"7201\r\n7202\tソニー\t500\r\n", {7201, 7202}},
      {"7201\n9999\n7201\n7203", {7201, 7203}},  // unknown, repeated; last line without break
      {"1A70\r\n", {26600}},  // the text of a five-digit code
      {"", {}},
      {"\t7201\r\n", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CollectPastedCodes(c.text), static_cast<int>(c.codes.size())) << c.text;
    std::vector<int> got;
    for (int code : SelectCode)
      if (code != -1) got.push_back(code);
    EXPECT_EQ(got, c.codes) << c.text;
  }
}

TEST_F(UserLists, CopyTextRoundTripsThroughPaste) {
  Fav(0, 7201, 500, 1000, "2026/12/01");
  Fav(0, 26600, 1000, 10, "2026/11/01");
  Fav(1, 7203);
  PriceFolder(0);
  const ClipboardText clip = TyumokuCopyText(0);
  EXPECT_EQ(clip.text, "7201\tn7201\t1000\t2026/12/01\t500\t550000\t50000\r\n"
                       "1A70\tn26600\t10\t2026/11/01\t1000\t12000\t2000\r\n");
  EXPECT_EQ(CollectPastedCodes(clip.text), 2);
  EXPECT_EQ(SelectCode[0], 7201);
  EXPECT_EQ(SelectCode[1], 26600);
}

TEST_F(UserLists, WheelStepsThroughTheCurrentFolder) {
  Fav(0, 7201);
  Fav(1, 7202);
  Fav(0, 7203);
  Fav(0, 7204);
  // Stocks 0, 2, 3 in folder 0.
  EXPECT_EQ(TyumokuWheelTarget(1, 2), 0);   // a positive step goes back
  EXPECT_EQ(TyumokuWheelTarget(-3, 2), 3);  // the size does not matter
  EXPECT_EQ(TyumokuWheelTarget(1, 0), -1);  // clamped at the first
  EXPECT_EQ(TyumokuWheelTarget(1, 1), 3);   // not in the folder: the last
  EXPECT_EQ(TyumokuWheelTarget(-1, 1), 0);  // or the first
  Group_Select = 2;
  EXPECT_EQ(TyumokuWheelTarget(1, 0), -1);  // empty folder
}

TEST_F(UserLists, ColourBands) {
  const struct {
    int64_t profit, price, share;
    int band;
  } cases[] = {
      {21, 100, 1, 0}, {19, 100, 1, 1}, {11, 100, 1, 1}, {6, 100, 1, 2}, {1, 100, 1, 3}, {0, 100, 1, 4},
      {-1, 100, 1, 5}, {-6, 100, 1, 6}, {-11, 100, 1, 7}, {-21, 100, 1, 8}, {1, 0, 100, 0}, {-1, 0, 100, 8},
      {0, 0, 0, 4},
  };
  for (const auto& c : cases) EXPECT_EQ(ProfitBand(c.profit, c.price, c.share), c.band) << c.profit << " " << c.price;
  EXPECT_EQ(ProfitBandRgb(0), 0xA6F7A4u);
  EXPECT_EQ(ProfitBandRgb(4), 0xFFFFFFu);
  EXPECT_EQ(ProfitBandRgb(8), 0xF481ECu);
}

// ---- trade history ----

TEST_F(UserLists, HistoryProfitWorkedByHand) {
  Rireki r{};
  r.Share = 1000;
  r.BuyPrice = 500;
  r.SellPrice = 520;
  r.Cost = 3000;
  EXPECT_EQ(RirekiProfit(r), 17000);
  r.Cost = 25000;
  EXPECT_EQ(RirekiProfit(r), -5000);
  EXPECT_EQ(RirekiRow(&r)[8], "-5,000");
  r.Share = 2000000;
  r.SellPrice = 2000;
  r.Cost = 0;
  EXPECT_EQ(RirekiProfit(r), 3000000000LL);
}

TEST_F(UserLists, HistoryAddsFromTheChartOrAFavourite) {
  ScriptedHost host;
  host.Answer(IDOK, "確認");
  ASSERT_TRUE(AddRireki(7204, -1));  // last close 0: bought and sold at 0
  EXPECT_EQ(rireki[0].BuyPrice, 0);
  EXPECT_EQ(rireki[0].SellPrice, 0);
  EXPECT_EQ(rireki[0].Share, 100);
  EXPECT_STREQ(rireki[0].SellDate, "2026/12/09");
  EXPECT_STREQ(rireki[0].BuyDate, "2026/12/09");
  EXPECT_EQ(host.boxes.back().text, "ＡＢＣマート(7204)を「取引履歴」に追加しますか？");

  Fav(0, 7201, 480, 300, "2026/10/01");
  std::strcpy(tyumoku[0].Memo, "長期");
  host.Answer(IDOK, "確認");
  ASSERT_TRUE(AddRireki(7201, 0));
  EXPECT_EQ(rireki[1].BuyPrice, 480);
  EXPECT_EQ(rireki[1].Share, 300);
  EXPECT_STREQ(rireki[1].BuyDate, "2026/10/01");
  EXPECT_STREQ(rireki[1].Memo, "長期");
  EXPECT_EQ(rireki[1].SellPrice, 550);
  EXPECT_EQ(rireki[1].Profit, 70 * 300);

  host.Answer(IDCANCEL, "確認");
  EXPECT_FALSE(AddRireki(7202, -1));
  host.Answer(IDOK, "警告");
  EXPECT_FALSE(AddRireki(9999, -1));
  // A full history says so before any question.
  Rireki_Num = RIREKI_MAX;
  host.Answer(IDOK, "これ以上履歴を登録できません");
  EXPECT_FALSE(AddRireki(7202, -1));
  EXPECT_EQ(Rireki_Num, RIREKI_MAX);
}

TEST_F(UserLists, HistorySortMoveDeleteAndCopy) {
  auto add = [](int code, const char* buy_date, int profit_per_share) {
    Rireki& r = rireki[Rireki_Num++];
    r = Rireki{};
    r.Code = code;
    std::snprintf(r.Name, sizeof r.Name, "n%d", code);
    r.Share = 1;
    r.BuyPrice = 100;
    r.SellPrice = 100 + profit_per_share;
    std::snprintf(r.BuyDate, sizeof r.BuyDate, "%s", buy_date);
    std::strcpy(r.SellDate, "2026/12/09");
  };
  add(7201, "2026/03/01", 5);
  add(7202, "2026/01/01", -7);
  add(7203, "2026/02/01", 20);
  SortRireki(8, 1);
  EXPECT_EQ(rireki[0].Code, 7203);
  EXPECT_EQ(rireki[2].Code, 7202);
  SortRireki(3, 1);
  EXPECT_EQ(rireki[0].Code, 7202);
  EXPECT_EQ(MoveRireki(0, -1), -1);
  EXPECT_EQ(MoveRireki(0, 1), 1);
  EXPECT_EQ(rireki[1].Code, 7202);
  EXPECT_EQ(PriceRireki(), 18);
  EXPECT_EQ(RirekiCopyText().text,
            "7203\tn7203\t1\t2026/02/01\t100\t2026/12/09\t120\t0\t20\r\n"
            "7202\tn7202\t1\t2026/01/01\t100\t2026/12/09\t93\t0\t-7\r\n"
            "7201\tn7201\t1\t2026/03/01\t100\t2026/12/09\t105\t0\t5\r\n");
  DeleteRirekiRecords({0, 2});
  ASSERT_EQ(Rireki_Num, 1);
  EXPECT_EQ(rireki[0].Code, 7202);
}

// ---- price alerts ----

TEST_F(UserLists, AlertLevelsFromTheBasePrice) {
  EXPECT_EQ(AlarumLevel(1000, 5), 1050);
  EXPECT_EQ(AlarumLevel(1000, -5), 950);
  EXPECT_EQ(AlarumLevel(999, 5), 1048);
  EXPECT_EQ(AlarumLevel(999, -5), 949);
  EXPECT_EQ(AlarumLevel(2000000000, 100), INT32_MAX);  // no wrap
  ASSERT_TRUE(AppendAlarum(0, 1000, 5, 5));
  EXPECT_EQ(alarum[0].Price1, 950);
  EXPECT_EQ(alarum[0].Price2, 1050);
  EXPECT_EQ(alarum[0].Check1 + alarum[0].Check2, 2);
  ScriptedHost host;
  Alarum_Num = ALARUM_MAX;
  host.Answer(IDOK, "これ以上登録できません");
  EXPECT_FALSE(AppendAlarum(1, 1000, 5, 5));
}

TEST_F(UserLists, AlertsFireAtAndAroundBothLimits) {
  // Latest closes: 7201 550, 7202 500, 7203 525, 7204 0 (no trade), 26600 1200.
  const struct {
    int code, check1, price1, check2, price2, flag;
  } cases[] = {
      {7201, 1, 550, 0, 0, 1},      // at the stop loss
      {7201, 1, 549, 0, 0, 0},      // just above it
      {7202, 0, 0, 1, 500, 1},      // at the take profit
      {7202, 0, 0, 1, 501, 0},      // just below it
      {7203, 0, 600, 0, 400, 0},    // both off
      {7204, 1, 100, 1, 99999, 0},  // no price, no verdict
      {9999, 1, 100, 1, 0, 0},      // no longer in the stock table
  };
  for (const auto& c : cases) {
    Alarum_Num = 1;
    alarum[0] = Alarum{};
    alarum[0].Flag = 1;
    alarum[0].Code = c.code;
    alarum[0].Check1 = c.check1;
    alarum[0].Price1 = c.price1;
    alarum[0].Check2 = c.check2;
    alarum[0].Price2 = c.price2;
    EXPECT_EQ(CheckAlarum(), c.flag) << c.code << " " << c.price1 << " " << c.price2;
    EXPECT_EQ(alarum[0].Flag, c.flag) << c.code;
  }
  // Both limits met: one flag, two hits.
  alarum[0] = Alarum{0, 26600, "x", 0, 1, 1300, 1, 1100};
  EXPECT_EQ(CheckAlarum(), 2);
  EXPECT_EQ(alarum[0].NowPrice, 1200);
}

TEST_F(UserLists, AlertSortCountsASwitchedOffLevelAsZero) {
  Alarum_Num = 3;
  alarum[0] = Alarum{0, 7201, "a", 0, 0, 0, 1, 700};
  alarum[1] = Alarum{0, 7202, "b", 0, 0, 0, 0, 9000};
  alarum[2] = Alarum{0, 7203, "c", 0, 0, 0, 1, 800};
  SortAlarum(3, 1);
  EXPECT_EQ(alarum[0].Code, 7203);
  EXPECT_EQ(alarum[2].Code, 7202);
  EXPECT_EQ(AlarumRow(alarum[2])[3], "---");
  EXPECT_EQ(AlarumRow(alarum[0])[3], "800");
  int sl = 0, tp = 0;
  EXPECT_EQ(AlarumLimits(7203, &sl, &tp), 2);
  EXPECT_EQ(tp, 800);
  EXPECT_EQ(AlarumLimits(7209, &sl, &tp), 0);
}

}  // namespace
