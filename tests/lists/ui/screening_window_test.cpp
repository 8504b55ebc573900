#include "lists/ui/screening_window.h"

#include <QColor>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "chart/chart_settings.h"
#include "db/packed_value.h"
#include "db/price_model.h"
#include "lists/screening_engine.h"
#include "lists/screening_groups.h"
#include "lists/screening_snapshot.h"
#include "lists/user_data.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "platform/diagnostics.h"
#include "platform/qt/qt_codepage.h"
#include "shell/settings.h"
#include "support/scripted_host.h"
#include "support/qt/controls.h"

namespace {

int g_opened = 0;

// Page, combo identifier and slot of every combo of the seven pages.
struct ComboSlot {
  int page, id, slot;
};
const ComboSlot kCombos[] = {
    {1, 1320, 0},   {1, 1235, 1},   {1, 1236, 2},   {1, 1321, 3},   {1, 1322, 4},   {1, 1234, 5},
    {1, 1324, 6},   {1, 1346, 7},   {1, 1227, 8},   {1, 1225, 9},   {1, 1226, 10},  {1, 1228, 11},
    {2, 1237, 20},  {2, 1230, 21},  {2, 1231, 22},  {2, 1251, 23},  {2, 1232, 24},  {2, 1352, 25},
    {3, 1241, 40},  {3, 1216, 41},  {3, 1217, 42},  {3, 1242, 43},  {3, 1218, 44},  {3, 1219, 45},
    {4, 1229, 60},  {4, 1230, 61},  {4, 1231, 62},  {4, 1232, 63},  {4, 1233, 64},  {4, 1234, 65},
    {4, 1235, 66},  {5, 1213, 80},  {5, 1239, 81},  {5, 1223, 82},  {5, 1224, 89},  {5, 1222, 83},
    {5, 1225, 90},  {5, 1226, 91},  {5, 1228, 84},  {5, 1214, 85},  {5, 1240, 86},  {5, 1241, 87},
    {5, 1215, 88},  {6, 1215, 100}, {6, 1243, 101}, {6, 1244, 102}, {6, 1216, 103}, {7, 1400, 120},
    {7, 1403, 121}, {7, 1401, 122}, {7, 1402, 123}, {7, 1404, 124}, {7, 1405, 125}, {7, 1406, 126},
    {7, 1408, 127},
};

class ScreeningWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearPrtHistory();
    ResetAllSettings();
    ResetUserData();
    ClearCommands();
    MakePeriodLadder();
    std::memset(fundamental, 0, sizeof fundamental);
    std::memset(pht, 0, sizeof pht);
    std::memset(pht_value, 0, sizeof pht_value);
    std::memset(ScreCond, 0, sizeof ScreCond);
    Group_Num = 3;
    std::strcpy(GroupName[0], "長期");
    std::strcpy(GroupName[1], "短期");
    std::strcpy(GroupName[2], "監視");
    RegisterScreeningWindow(nullptr, {});
    g_opened = 0;
    OpenKensakuResult = [] { ++g_opened; };
  }
  void TearDown() override {
    delete OpenScreeningWindow();
    OpenKensakuResult = nullptr;
    ClearCommands();
    LastKabu = 0;
    std::memset(ScreCond, 0, sizeof ScreCond);
    ResetAllSettings();
    ResetUserData();
  }
  ScreeningWindow* Open() {
    if (!OpenScreeningWindow()) OnCommand(IDM_SCREENING);
    return OpenScreeningWindow();
  }
};

TEST_F(ScreeningWindowTest, CommandOpensAndClosesTheWindow) {
  EXPECT_EQ(CommandCheckState(IDM_SCREENING), 0);
  ASSERT_TRUE(OnCommand(IDM_SCREENING));
  ScreeningWindow* w = OpenScreeningWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->objectName(), u"SCREMAIN"_qs);
  EXPECT_EQ(w->windowTitle(), u"株式銘柄スクリーニング"_qs);
  EXPECT_EQ(CommandCheckState(IDM_SCREENING), 1);
  const QString rows[] = {u"基本分類"_qs, u"収益性"_qs, u"割安感"_qs, u"トレンド"_qs,
                          u"天井･底"_qs, u"その他"_qs, u"出来高・信用・お気に入り"_qs};
  QTableWidget* list = Control<QTableWidget>(w, 1274);
  ASSERT_EQ(list->rowCount(), 7);
  for (int r = 0; r < 7; ++r) EXPECT_EQ(list->item(r, 0)->text(), rows[r]);
  EXPECT_EQ(w->Page(), 1);
  EXPECT_EQ(w->PagePanel()->objectName(), u"SCRESUB1"_qs);
  EXPECT_EQ(Control<QComboBox>(w, 1283)->currentText(), u"標準のスクリーニング"_qs);
  for (int id : {1347, 1273, 1275, 2}) EXPECT_NE(Control<QPushButton>(w, id), nullptr) << id;
  // The page list switches pages.
  list->selectRow(3);
  EXPECT_EQ(w->Page(), 4);
  EXPECT_EQ(w->PagePanel()->objectName(), u"SCRESUB4"_qs);
  EXPECT_EQ(Control<QLineEdit>(w, 1349)->text(), QString::number(DayMoveAve[0]));
  EXPECT_EQ(Control<QLineEdit>(w, 1354)->text(), QString::number(MonthMoveAve[1]));
  ASSERT_TRUE(OnCommand(IDM_SCREENING));
  EXPECT_EQ(OpenScreeningWindow(), nullptr);
  EXPECT_EQ(CommandCheckState(IDM_SCREENING), 0);
}

TEST_F(ScreeningWindowTest, EveryPageRoundTripsItsSlots) {
  ScreeningWindow* w = Open();
  // Each page has exactly its combos, each with its slot's choices; the last choice of
  // each goes into its slot when the page is left.
  for (int p = 1; p <= 7; ++p) {
    SCOPED_TRACE(p);
    w->ShowPage(p);
    ASSERT_EQ(w->Page(), p);
    size_t on_page = 0;
    for (const ComboSlot& c : kCombos) {
      if (c.page != p) continue;
      ++on_page;
      QComboBox* combo = w->Combo(c.id);
      ASSERT_NE(combo, nullptr) << c.id;
      EXPECT_EQ(combo->count(), ScreSlotMaxChoice(c.slot) + 1) << c.slot;
      combo->setCurrentIndex(combo->count() - 1);
    }
    EXPECT_EQ(w->PagePanel()->findChildren<QComboBox*>().size(), on_page);
  }
  w->ShowPage(1);  // stores page 7
  for (const ComboSlot& c : kCombos) {
    EXPECT_EQ(ScreCond[c.slot], ScreSlotMaxChoice(c.slot)) << c.slot;
    EXPECT_EQ(ScreGroup[0].cond[c.slot], ScreSlotMaxChoice(c.slot)) << c.slot;
  }
  for (int p = 0; p < 7; ++p) EXPECT_TRUE(w->PageList()->item(p, 0)->data(Qt::UserRole).toBool()) << p;
  EXPECT_EQ(ScreCond[12], 0);  // slots no combo edits stay 0

  // Loading: the group's slots show in the combos of every page.
  delete w;
  for (const ComboSlot& c : kCombos) ScreGroup[0].cond[c.slot] = 1;
  std::memset(ScreCond, 0, sizeof ScreCond);
  w = Open();
  for (int p = 1; p <= 7; ++p) {
    w->ShowPage(p);
    for (const ComboSlot& c : kCombos) {
      if (c.page == p) {
        EXPECT_EQ(w->Combo(c.id)->currentIndex(), 1) << c.id;
      }
    }
  }
}

TEST_F(ScreeningWindowTest, EnablingRules) {
  ScreeningWindow* w = Open();
  w->ShowPage(2);
  w->Combo(1237)->setCurrentIndex(2);  // ROE 上位 5%
  EXPECT_FALSE(w->Combo(1230)->isEnabled());
  EXPECT_FALSE(w->Combo(1231)->isEnabled());
  EXPECT_TRUE(w->Combo(1232)->isEnabled());
  w->Combo(1237)->setCurrentIndex(0);
  EXPECT_TRUE(w->Combo(1230)->isEnabled());
  EXPECT_TRUE(w->Combo(1231)->isEnabled());
  w->Combo(1352)->setCurrentIndex(3);  // a yield range end
  EXPECT_FALSE(w->Combo(1251)->isEnabled());
  w->Combo(1352)->setCurrentIndex(0);
  EXPECT_TRUE(w->Combo(1251)->isEnabled());
  // A page opens with everything enabled, whatever it holds.
  w->Combo(1237)->setCurrentIndex(1);
  w->ShowPage(1);
  w->ShowPage(2);
  EXPECT_EQ(w->Combo(1237)->currentIndex(), 1);
  EXPECT_TRUE(w->Combo(1230)->isEnabled());

  w->ShowPage(7);
  w->Combo(1400)->setCurrentIndex(3);
  w->Combo(1400)->setCurrentIndex(0);
  for (int id : {1403, 1401, 1402}) EXPECT_FALSE(w->Combo(id)->isEnabled()) << id;
  w->Combo(1400)->setCurrentIndex(1);
  for (int id : {1403, 1401, 1402}) EXPECT_TRUE(w->Combo(id)->isEnabled()) << id;
  w->Combo(1405)->setCurrentIndex(4);
  EXPECT_FALSE(w->Combo(1404)->isEnabled());
  w->Combo(1405)->setCurrentIndex(0);
  EXPECT_TRUE(w->Combo(1404)->isEnabled());
}

TEST_F(ScreeningWindowTest, ValidationLinesInOneBoxAndNoRun) {
  ScriptedHost host;
  LastKabu = 1;
  pht[0].valid = 1, pht[0].end = PHT_LAST;
  ScreeningWindow* w = Open();
  w->Combo(1227)->setCurrentIndex(6);  // price from 500円
  w->Combo(1225)->setCurrentIndex(2);  // to 100円
  w->ShowPage(5);
  w->Combo(1222)->setCurrentIndex(1);  // RSI buy and sell
  w->Combo(1225)->setCurrentIndex(1);
  host.Answer(IDOK, "スクリーニング条件エラー");
  Control<QPushButton>(w, 1275)->click();
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "株価の大小関係を訂正してください。\nRSIの売りと買いを同時に検索は出来ません。\n");
  EXPECT_EQ(g_opened, 0);
  EXPECT_FALSE(w->isMinimized());
}

uint16_t P(int v) { return Value_to_Packed(v); }

TEST_F(ScreeningWindowTest, SearchListsWhatTheEngineFinds) {
  ScriptedHost host;
  LastKabu = 5;
  for (int s = 0; s < LastKabu; ++s) {
    fundamental[s].code = 8000 - 100 * s;
    fundamental[s].tani = 100;
    fundamental[s].market = s % 2 ? 2 : 1;
    for (int w = 0; w < PHT_DAYS; ++w) pht[s].close[w] = pht[s].high[w] = pht[s].low[w] = P(200 * (s + 1));
    pht[s].valid = 1, pht[s].end = PHT_LAST;
  }
  ++PhtGeneration;
  ScreeningWindow* w = Open();
  w->Combo(1320)->setCurrentIndex(1);  // 東証プライム
  w->Combo(1225)->setCurrentIndex(7);  // up to 1000円
  Control<QPushButton>(w, 1275)->click();
  // Stocks 0 (200円), 2 (600円) and 4 (1000円, the upper end counts) are in market 1;
  // listed by code.
  EXPECT_EQ(g_opened, 1);
  EXPECT_EQ(KensakuList[0], 4);
  EXPECT_EQ(KensakuList[1], 2);
  EXPECT_EQ(KensakuList[2], 0);
  EXPECT_EQ(KensakuList[3], -1);
  for (int s = 0; s < LastKabu; ++s) EXPECT_EQ(ScreeningPasses(s, ScreCond), s % 2 == 0) << s;
  EXPECT_TRUE(w->isMinimized());
  EXPECT_EQ(ScreGroup[0].cond[0], 1);  // the run stored first
}

TEST_F(ScreeningWindowTest, ClearAllThenGroupSwitchStoresTheZeros) {
  ScriptedHost host;
  ScreGroupNum = 2;
  std::strcpy(ScreGroup[1].name, "二番");
  ScreGroup[0].cond[8] = 3;
  ScreGroup[0].cond[40] = 1;
  ScreeningWindow* w = Open();
  EXPECT_EQ(w->Combo(1227)->currentIndex(), 3);
  ASSERT_EQ(w->GroupCombo()->count(), 2);
  EXPECT_TRUE(w->PageList()->item(2, 0)->data(Qt::UserRole).toBool());
  Control<QPushButton>(w, 1273)->click();
  EXPECT_EQ(w->Combo(1227)->currentIndex(), 0);
  EXPECT_EQ(ScreGroup[0].cond[8], 3);  // not yet stored
  EXPECT_FALSE(w->PageList()->item(2, 0)->data(Qt::UserRole).toBool());
  w->GroupChosen(1);
  EXPECT_EQ(ScreGroupSelect, 1);
  EXPECT_EQ(ScreGroup[0].cond[8], 0);
  EXPECT_EQ(ScreGroup[0].cond[40], 0);
}

TEST_F(ScreeningWindowTest, PageFlagsAndRadar) {
  ScreGroup[0].cond[40] = 1;  // PER 上位 on page 3
  ScreeningWindow* w = Open();
  for (int p = 0; p < 7; ++p) EXPECT_EQ(w->PageList()->item(p, 0)->data(Qt::UserRole).toBool(), p == 2) << p;
  const QImage& img = w->Radar()->Image();
  const int v[6] = {30, 30, 46, 30, 30, 30};
  const RadarShape r = ScreRadarShape(img.width(), img.height(), v);
  // Inside page 1's area (right of the centre, above the axis) and page 3's (towards 120 degrees).
  EXPECT_EQ(QColor(img.pixel(r.centre.x + 6, r.centre.y - 1)), QColor(255, 51, 0));
  EXPECT_EQ(QColor(img.pixel(r.centre.x - 5, r.centre.y - 11)), QColor(255, 153, 0));
  // Beyond the points the hexagon is white, inside a black outline.
  EXPECT_EQ(QColor(img.pixel(r.corner[0].x - 6, r.corner[0].y - 1)), QColor(255, 255, 255));
  const int mx = (r.corner[0].x + r.corner[1].x) / 2, my = (r.corner[0].y + r.corner[1].y) / 2;
  bool outline = false;
  for (int dx = -1; dx <= 1; ++dx) outline |= QColor(img.pixel(mx + dx, my)) == QColor(0, 0, 0);
  EXPECT_TRUE(outline);
}

TEST_F(ScreeningWindowTest, GroupDialog) {
  ScriptedHost host;
  ScreeningWindow* w = Open();
  w->Combo(1227)->setCurrentIndex(2);
  w->Store();  // as "グループの整理" does before the dialog opens
  {
    ScreeningGroupDialog dlg(w);
    EXPECT_EQ(dlg.objectName(), u"SCREENING_GROUP"_qs);
    EXPECT_EQ(dlg.Field()->text(), u"標準のスクリーニング"_qs);
    dlg.NewGroup();
    EXPECT_EQ(ScreGroup[0].cond[8], 2);  // stored before the new group
    EXPECT_EQ(dlg.Field()->text(), u"新しいスクリーニンググループ 2"_qs);
    EXPECT_EQ(dlg.TextLine()->text(), u"以下のグループを作成しました。名前は変更できます。"_qs);
    EXPECT_EQ(w->GroupCombo()->count(), 2);
    EXPECT_EQ(w->GroupCombo()->currentIndex(), 1);
    EXPECT_EQ(w->Combo(1227)->currentIndex(), 0);
    dlg.Field()->setText(u"出来高急増\n[Proxy]"_qs);
    dlg.Ok();
  }
  EXPECT_STREQ(ScreGroup[1].name, "出来高急増 [Proxy]");
  EXPECT_EQ(w->GroupCombo()->itemText(1), u"出来高急増 [Proxy]"_qs);
  {
    ScreeningGroupDialog dlg(w);
    host.Answer(IDOK, "グループの削除");
    dlg.Delete();
    EXPECT_EQ(host.boxes.back().text, "「出来高急増 [Proxy]」を削除しますか？");
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
  }
  EXPECT_EQ(w->GroupCombo()->count(), 1);
  EXPECT_EQ(w->Combo(1227)->currentIndex(), 2);  // group 0 again
}

TEST_F(ScreeningWindowTest, FolderBeyondTheFoldersIsDroppedOnPageSeven) {
  ScreGroup[0].cond[127] = 3;
  ScreeningWindow* w = Open();
  Group_Num = 2;  // a folder went meanwhile
  w->ShowPage(7);
  EXPECT_EQ(w->Combo(1408)->count(), 3);
  EXPECT_EQ(w->Combo(1408)->currentIndex(), 0);
  EXPECT_EQ(ScreCond[127], 0);
}

}  // namespace
