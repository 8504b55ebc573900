#include "lists/screening_groups.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "chart/chart_settings.h"
#include "db/packed_value.h"
#include "db/price_model.h"
#include "lists/screening_engine.h"
#include "lists/screening_snapshot.h"
#include "lists/user_data.h"
#include "platform/diagnostics.h"
#include "shell/settings.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

uint16_t P(int v) { return Value_to_Packed(v); }

class ScreeningGroups : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearPrtHistory();
    ResetAllSettings();
    ResetUserData();
    MakePeriodLadder();
    std::memset(fundamental, 0, sizeof fundamental);
    std::memset(pht, 0, sizeof pht);
    std::memset(pht_value, 0, sizeof pht_value);
    std::memset(ScreCond, 0, sizeof ScreCond);
  }
  void TearDown() override {
    LastKabu = 0;
    std::memset(ScreCond, 0, sizeof ScreCond);
    ResetAllSettings();
    ResetUserData();
  }
  TempDir dir_;
};

TEST_F(ScreeningGroups, RadarValuesFollowTheFormula) {
  int32_t c[SCRE_SLOTS] = {};
  for (int p = 0; p < SCRE_RADAR_PAGES; ++p) EXPECT_EQ(ScreRadarValue(c, p), 30);
  // One condition on page 3 (PER top): 30 + ((1 x 70) / 6) x 3 / 2 = 30 + 11 x 3 / 2 = 46.
  c[40] = 1;
  EXPECT_EQ(ScreRadarValue(c, 2), 46);
  EXPECT_TRUE(ScrePageSet(c, 2));
  EXPECT_FALSE(ScrePageSet(c, 1));
  // Two on page 4: 30 + (140 / 4) x 3 / 2 = 82; every slot of page 1: capped at 100.
  c[61] = 1, c[66] = 2;
  EXPECT_EQ(ScreRadarValue(c, 3), 82);
  for (int k = 0; k <= 11; ++k) c[k] = 1;
  EXPECT_EQ(ScreRadarValue(c, 0), 100);
  // Page 7 has a flag but no radar axis.
  c[127] = 1;
  EXPECT_TRUE(ScrePageSet(c, 6));
}

TEST_F(ScreeningGroups, RadarShapeOfAHandWorkedSet) {
  // 150 x 130: centre (75, 65), R = 75 x 3 / 5 = 45; a point lies at R x 11 / 12 x v / 100.
  const int v[SCRE_RADAR_PAGES] = {30, 30, 46, 30, 30, 100};
  const RadarShape r = ScreRadarShape(150, 130, v);
  EXPECT_EQ(r.centre.x, 75);
  EXPECT_EQ(r.centre.y, 65);
  EXPECT_EQ(r.radius, 45);
  // Corners: right, then every 60 degrees anticlockwise (45 cos 60 = 22.5, 45 sin 60 = 38.97;
  // halves round away from the centre).
  const int corners[6][2] = {{120, 65}, {98, 26}, {52, 26}, {30, 65}, {52, 104}, {98, 104}};
  for (int p = 0; p < 6; ++p) {
    EXPECT_EQ(r.corner[p].x, corners[p][0]) << p;
    EXPECT_EQ(r.corner[p].y, corners[p][1]) << p;
  }
  // Page 1 (30): 12.375 to the right; page 3 (46): 18.975 at 120 degrees = (-9.49, -16.43);
  // page 6 (100): 41.25 at 300 degrees = (20.63, 35.72).
  EXPECT_EQ(r.point[0].x, 87);
  EXPECT_EQ(r.point[0].y, 65);
  EXPECT_EQ(r.point[2].x, 66);
  EXPECT_EQ(r.point[2].y, 49);
  EXPECT_EQ(r.point[5].x, 96);
  EXPECT_EQ(r.point[5].y, 101);
  // Page 2's point (6.19, -10.72) -> (81, 54); towards page 3's (66, 49) by 30 / 76 of the way.
  EXPECT_EQ(r.point[1].x, 81);
  EXPECT_EQ(r.point[1].y, 54);
  EXPECT_EQ(r.between[1].x, 75);
  EXPECT_EQ(r.between[1].y, 52);
  // Equal values meet halfway: pages 4 (63, 65) and 5 (69, 76) -> (66, 71) rounded from (66, 70.5).
  EXPECT_EQ(r.between[3].x, 66);
  EXPECT_EQ(r.between[3].y, 71);
}

TEST_F(ScreeningGroups, StoreLoadSelectNewRenameDelete) {
  ScriptedHost host;
  ScreCond[8] = 2;
  ScreStoreGroup();
  EXPECT_EQ(ScreGroup[0].cond[8], 2);
  ASSERT_TRUE(ScreNewGroup());
  EXPECT_EQ(ScreGroupNum, 2);
  EXPECT_EQ(ScreGroupSelect, 1);
  EXPECT_STREQ(ScreGroup[1].name, "新しいスクリーニンググループ 2");
  EXPECT_EQ(ScreCond[8], 0);  // the new group has no conditions
  ScreCond[40] = 3;
  ScreSelectGroup(0);  // stores into group 1 first
  EXPECT_EQ(ScreGroup[1].cond[40], 3);
  EXPECT_EQ(ScreCond[8], 2);
  EXPECT_EQ(ScreCond[40], 0);
  ScreSelectGroup(5);  // no such group
  EXPECT_EQ(ScreGroupSelect, 0);

  // A name is one line of the settings file, cut at a character boundary.
  ScreRenameGroup("買い\r\n[Proxy]\r\nUse=1\t!");
  EXPECT_STREQ(ScreGroup[0].name, "買い  [Proxy]  Use=1 !");
  const std::string longname(300, 'x');
  ScreRenameGroup((std::string("あ") + longname).c_str());
  EXPECT_EQ(std::strlen(ScreGroup[0].name), 255u);

  // Deleting group 0 leaves group 0 (the former group 1) current.
  host.Answer(IDOK, "グループの削除");
  ASSERT_TRUE(ScreDeleteGroup());
  EXPECT_EQ(ScreGroupNum, 1);
  EXPECT_EQ(ScreGroupSelect, 0);
  EXPECT_EQ(ScreCond[40], 3);
  host.Answer(IDOK, "注意");
  EXPECT_FALSE(ScreDeleteGroup());
  EXPECT_EQ(host.boxes.back().text, "全てのグループを消すことは出来ません");

  // After deleting the current group the one before becomes current; Cancel keeps it.
  ASSERT_TRUE(ScreNewGroup());
  ASSERT_TRUE(ScreNewGroup());
  EXPECT_EQ(ScreGroupSelect, 2);
  host.Answer(IDCANCEL, "グループの削除");
  EXPECT_FALSE(ScreDeleteGroup());
  EXPECT_EQ(ScreGroupNum, 3);
  ScreSelectGroup(1);
  host.Answer(IDOK, "グループの削除");
  ASSERT_TRUE(ScreDeleteGroup());
  EXPECT_EQ(ScreGroupSelect, 0);
  EXPECT_STREQ(ScreGroup[1].name, "新しいスクリーニンググループ 3");

  // From 99 groups on no group is created.
  ScreGroupNum = SCRE_GROUP_CREATE_LIMIT;
  host.Answer(IDOK, "注意");
  EXPECT_FALSE(ScreNewGroup());
  EXPECT_EQ(host.boxes.back().text, "これ以上グループを作成できません");
  EXPECT_EQ(ScreGroupNum, SCRE_GROUP_CREATE_LIMIT);
}

TEST_F(ScreeningGroups, LoadingKeepsSlotsWithinTheirChoices) {
  // Group blocks come from the settings file: a slot outside its choices never reaches a table.
  ScreGroup[0].cond[3] = 40;   // 33 industries
  ScreGroup[0].cond[8] = -2;
  ScreGroup[0].cond[127] = 7;  // one folder
  ScreGroup[0].cond[85] = 17;  // the last deviation choice
  ScreLoadGroup();
  EXPECT_EQ(ScreCond[3], 0);
  EXPECT_EQ(ScreCond[8], 0);
  EXPECT_EQ(ScreCond[127], 0);
  EXPECT_EQ(ScreCond[85], 17);
}

TEST_F(ScreeningGroups, DeletingAFolderAdjustsEverySavedGroup) {
  ScreGroupNum = 3;
  ScreGroup[0].cond[127] = 2;  // folder 1: deleted
  ScreGroup[1].cond[127] = 3;  // folder 2: moves down
  ScreGroup[2].cond[127] = 1;  // folder 0: stays
  ScreCond[127] = 3;
  ScreFolderDeleted(ScreCond, 1);
  EXPECT_EQ(ScreCond[127], 2);
  EXPECT_EQ(ScreGroup[0].cond[127], 0);
  EXPECT_EQ(ScreGroup[1].cond[127], 2);
  EXPECT_EQ(ScreGroup[2].cond[127], 1);
  // A group passed in itself moves once.
  ScreFolderDeleted(ScreGroup[1].cond, 0);
  EXPECT_EQ(ScreGroup[1].cond[127], 1);
  EXPECT_EQ(ScreGroup[2].cond[127], 0);
}

// Stocks 0 to 5 with different closes, volumes and trends.
void MakeStocks() {
  LastKabu = 6;
  const int closes[6] = {120, 450, 800, 95, 3000, 600};
  for (int s = 0; s < LastKabu; ++s) {
    fundamental[s].code = 1300 + 7 * s;
    fundamental[s].tani = 100;
    fundamental[s].market = 1 + s % 3;
    Pht& p = pht[s];
    for (int w = 0; w < PHT_DAYS; ++w) {
      const int c = closes[s] + (s % 2 ? w : -w);
      p.open[w] = p.close[w] = P(c);
      p.high[w] = P(c + 3);
      p.low[w] = P(c - 3);
      p.volume[w] = P(100 + 40 * s);
    }
    p.valid = 1, p.code = fundamental[s].code, p.end = PHT_LAST;
  }
  ++PhtGeneration;
}

TEST_F(ScreeningGroups, ASavedGroupReloadedAfterARestartFindsWhatTheEngineFinds) {
  ScriptedHost host;
  MakeStocks();
  static int opened;
  opened = 0;
  OpenKensakuResult = [] { ++opened; };
  ASSERT_TRUE(ScreNewGroup());
  ScreRenameGroup("安値圏 \"上昇\"");
  ScreCond[0] = 1, ScreCond[1] = 2;  // markets 1 and 2
  ScreCond[9] = 9;                   // price up to 10000
  ScreCond[10] = 2;                  // volume above 100
  ScreCond[65] = 1;                  // MACD above zero
  ScreStoreGroup();
  int32_t saved[SCRE_SLOTS];
  std::memcpy(saved, ScreCond, sizeof saved);
  std::vector<int> direct;
  for (int s = 0; s < LastKabu; ++s)
    if (ScreeningPasses(s, saved)) direct.push_back(s);
  ASSERT_FALSE(direct.empty());
  ASSERT_LT(direct.size(), 5u);
  SaveSettings();

  // A restart: everything back to defaults, then read from the file.
  ResetAllSettings();
  std::memset(ScreCond, 0, sizeof ScreCond);
  EXPECT_EQ(ScreGroupNum, 1);
  LoadSettings();
  ASSERT_EQ(ScreGroupNum, 2);
  ASSERT_EQ(ScreGroupSelect, 1);
  EXPECT_STREQ(ScreGroup[1].name, "安値圏 \"上昇\"");
  ScreLoadGroup();
  EXPECT_EQ(0, std::memcmp(ScreCond, saved, sizeof saved));
  const int hits = RunScreening();
  ASSERT_EQ(hits, static_cast<int>(direct.size()));
  std::vector<int> listed(KensakuList, KensakuList + hits);
  EXPECT_EQ(listed, direct);  // codes ascend with the stock number here
  EXPECT_EQ(opened, 1);
  OpenKensakuResult = nullptr;
}

// Indicator periods the 50-position window cannot hold make their condition fail for every
// stock, and never read outside the window or divide by zero.
TEST_F(ScreeningGroups, PeriodsTheWindowCannotHoldNeverPass) {
  MakeStocks();
  struct Case {
    const char* what;
    void (*set)(int32_t* c);
  };
  const Case cases[] = {
      {"Bollinger N = 1", [](int32_t* c) { DayMoveAve[0] = 1, c[102] = 1, c[103] = 0; }},
      {"Bollinger N = 1, lower", [](int32_t* c) { DayMoveAve[0] = 1, c[103] = 1; }},
      {"Bollinger N = 51", [](int32_t* c) { DayMoveAve[0] = 51, c[102] = 1; }},
      {"RCI long 50", [](int32_t* c) { RCI[1] = 50, c[82] = 6; }},
      {"RSI 50", [](int32_t* c) { RSI = 50, c[90] = 1; }},
      {"RSI 49 back from a level", [](int32_t* c) { RSI = 49, c[90] = 1, c[91] = 1; }},
      {"DMI 49", [](int32_t* c) { DMI = 49, c[84] = 1; }},
      {"psychological 50", [](int32_t* c) { Psycological = 50, c[81] = 7; }},
      {"volume ratio 50", [](int32_t* c) { VR = 50, c[100] = 12; }},
      {"stochastics 46", [](int32_t* c) { Stoc = 46, c[88] = 8; }},
      {"Ichimoku 51", [](int32_t* c) { Ichimoku[0] = 51, c[60] = 1; }},
      {"Ichimoku 0", [](int32_t* c) { Ichimoku[1] = 0, c[60] = 1; }},
      {"MACD 40", [](int32_t* c) { MACD[1] = 40, c[65] = 1; }},
      {"deviation 0", [](int32_t* c) { Kairi[0] = 0, c[85] = 17; }},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    ResetAllSettings();
    int32_t c[SCRE_SLOTS] = {};
    k.set(c);
    for (int s = 0; s < LastKabu; ++s) EXPECT_FALSE(ScreeningPasses(s, c)) << s;
  }
}

}  // namespace
