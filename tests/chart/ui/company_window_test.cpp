// The company window: its texts for a hand-made record and for the peer comparison, the
// change chart's geometry, following the shown stock, scrolling, the buttons and Esc.
#include "chart/ui/company_window.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "chart/shown_stock.h"
#include "db/price_model.h"
#include "db/database_file.h"
#include "db/master_file.h"
#include "db/sample_data.h"
#include "db/stock_code.h"
#include "lists/screening_snapshot.h"
#include "net/company_file.h"
#include "net/company_sample.h"
#include "net/company_view.h"
#include "platform/codepage.h"
#include "platform/command_dispatch.h"
#include "platform/command_ids.h"
#include "support/db_fixture.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/utf8.h"

namespace {

std::string Cp932(const std::string& utf8) { return Utf8ToCp932(utf8); }

bool HasText(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// A downloaded record: three full years, sales 1,000 -> 1,750 -> 2,000 (+75 %, +100 %).
void WriteHandMadeRecord(int n) {
  ASSERT_EQ(WriteFun(0, 0), 1);
  ASSERT_EQ(ReadFun(n, 1), 1);
  ClearFunRecord(&FunBuf);
  FunBuf.code = fundamental[n].code;
  Cp932CopyTruncated(FunBuf.text[FUN_HOMEPAGE], FUN_TEXT_SIZE, "https://www.example.co.jp/");
  Cp932CopyTruncated(FunBuf.text[FUN_INDUSTRY], FUN_TEXT_SIZE, Cp932(U8(u8"電気機器")));
  const char* periods[] = {"2024.03", "2025.03", "2026.03"};
  const char* sales[] = {"1,000", "1,750", "2,000"};
  const char* bps[] = {"500", "500", "450"};
  for (int r = 0; r < 3; ++r) {
    SetFunCell(FunBuf.table[r][0], periods[r]);
    SetFunCell(FunBuf.table[r][1], sales[r]);
    SetFunCell(FunBuf.table[r][8], bps[r]);
    SetFunCell(FunBuf.table[r][2], "100");
  }
  ASSERT_EQ(WriteFun(n, 2), 1);
}

class CompanyWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDatabaseState();
    ResetShownStock();
    ResetFunBuffer();
    ClearCommands();
    std::memset(pht_value, 0, sizeof pht_value);
    const std::vector<Fundamental> stocks = FixtureStocks(4);
    for (int n = 0; n < 4; ++n) {
      fundamental[n] = stocks[static_cast<size_t>(n)];
      std::strcpy(fundamental[n].industry, "x");  // one industry, one market: four peers
    }
    fundamental[3].flag = FLAG_INDEX;
    std::strcpy(fundamental[3].industry, "idx");
    LastKabu = 4;
    // PER 10, 0 (no earnings), 20; PBR 1, 2, 3; ROE 5, 8, -1; yields 1, 2, 3.
    const double per[] = {10, 0, 20}, pbr[] = {1, 2, 3}, roe[] = {5, 8, -1}, yield[] = {1, 2, 3};
    for (int n = 0; n < 3; ++n) {
      pht_value[n] = {per[n], pbr[n], yield[n]};
      fundamental[n].roe = roe[n];
    }
    owner = new QWidget;
    RegisterCompanyWindow(owner, {});
  }
  void TearDown() override {
    delete owner;
    ClearCommands();
    ResetFunBuffer();
    ResetShownStock();
    ResetDatabaseState();
  }
  CompanyWindow* Open() {
    EXPECT_TRUE(OnCommand(IDM_COMPANY_INFO));
    CompanyWindow* w = TheCompanyWindow();
    EXPECT_NE(w, nullptr);
    EXPECT_EQ(CommandCheckState(IDM_COMPANY_INFO), 1);
    QApplication::processEvents();  // shown and exposed before it is painted
    w->View()->repaint();
    w->repaint();
    return w;
  }

  TempDir dir;
  ScriptedHost host;
  QWidget* owner = nullptr;
};

TEST_F(CompanyWindowTest, PeerStatistics) {
  const FunPeerStats a = ComputePeerStats(0);
  EXPECT_EQ(a.n, 3);  // the index is of another industry
  EXPECT_EQ(a.place[FUN_PER], 1);  // the peer with PER 0 is not ranked ahead
  EXPECT_DOUBLE_EQ(a.average[FUN_PER], 15);  // nor averaged
  EXPECT_EQ(a.place[FUN_PBR], 3);
  EXPECT_EQ(a.place[FUN_ROE], 2);
  EXPECT_DOUBLE_EQ(a.average[FUN_ROE], 6.5);  // the negative ROE is left out
  EXPECT_DOUBLE_EQ(a.average[FUN_YIELD], 2);
  const FunPeerStats b = ComputePeerStats(1);
  EXPECT_EQ(b.place[FUN_PER], b.n);  // PER 0: the last place
}

TEST_F(CompanyWindowTest, ChangeChartGeometry) {
  const FunChartBox box = FunChartBoxAt(0);
  EXPECT_EQ(box.top, 28);
  EXPECT_EQ(box.bottom, 210);
  EXPECT_EQ(box.Y(60), 28);
  FunSegment s;
  // +75 %: the line leaves the top edge at x = 98.
  ASSERT_TRUE(FunClipSegment(box, 30, 0, 115, 75, &s));
  EXPECT_EQ(s.x1, 98);
  EXPECT_EQ(s.y1, box.top);
  EXPECT_FALSE(FunClipSegment(box, 115, 75, 200, 100, &s));  // both beyond the top
  ASSERT_TRUE(FunClipSegment(box, 115, 75, 200, 0, &s));     // back inside
  EXPECT_EQ(s.x0, 115 + 85 * 15 / 75);
  ASSERT_TRUE(FunClipSegment(box, 115, 80, 200, -80, &s));   // across the whole band
  EXPECT_EQ(s.x0, 115 + 85 * 20 / 160);
  EXPECT_EQ(s.x1, 115 + 85 * 140 / 160);
  EXPECT_EQ(s.y1, box.bottom);
  // An interim row of 500 against a year of 1000 is no change; "--" hides a series.
  FunRecord r;
  ClearFunRecord(&r);
  SetFunCell(r.table[0][1], "1,000");
  SetFunCell(r.table[1][1], "500");
  SetFunCell(r.table[1][0], Cp932(U8(u8"2026.09中")).c_str());
  const FunChange c = FunChangeOf(r, 1);
  EXPECT_TRUE(c.shown);
  EXPECT_FALSE(c.has_r2);
  EXPECT_DOUBLE_EQ(c.r1, 0);
  EXPECT_FALSE(FunChangeOf(r, 8).shown);
  unsigned rgb = 1;
  EXPECT_STREQ(FunVerdict(0, 5, &rgb), "----");
  EXPECT_EQ(std::string(FunVerdict(5, 6, &rgb)), Cp932(U8(u8"上昇")));
  EXPECT_EQ(rgb, 0x0000FFu);
  EXPECT_EQ(std::string(FunVerdict(6, 5, &rgb)), Cp932(U8(u8"下降")));
  EXPECT_EQ(rgb, 0xFF0000u);
  EXPECT_EQ(std::string(FunVerdict(5, 5, &rgb)), Cp932(U8(u8"不変")));
}

TEST_F(CompanyWindowTest, ShortPageWithoutRecordAndIndexLine) {
  CompanyWindow* w = Open();
  const auto& texts = w->View()->Texts();
  EXPECT_TRUE(HasText(texts, Cp932(U8(u8"業種　: x"))));
  EXPECT_TRUE(HasText(texts, Cp932(U8(u8"ＰＥＲ　　:  10.00倍　   1/  3    15.00倍"))));
  EXPECT_FALSE(w->Button(IDM_FUN_HOMEPAGE)->isEnabled());
  EXPECT_TRUE(w->Button(IDM_FUN_DETAIL)->isEnabled());
  EXPECT_NE(w->BandText().find(Cp932(U8(u8"テスト会社0"))), std::string::npos);
  // The chart shows the index: the window follows.
  ShowStock(3);
  TellShownStockChange();
  w->View()->repaint();
  EXPECT_EQ(w->View()->Texts(), std::vector<std::string>{Cp932(U8(u8"指標のため「企業情報」なし。"))});
  EXPECT_FALSE(w->Button(IDM_FUN_DETAIL)->isEnabled());
}

TEST_F(CompanyWindowTest, LongPageForAHandMadeRecord) {
  WriteHandMadeRecord(0);
  CompanyWindow* w = Open();
  w->resize(520, 800);
  QApplication::processEvents();
  w->View()->repaint();
  const auto& texts = w->View()->Texts();
  EXPECT_TRUE(HasText(texts, Cp932(U8(u8" ＜企業情報＞"))));
  EXPECT_TRUE(HasText(texts, Cp932(U8(u8"    業種  : 電気機器"))));
  EXPECT_TRUE(HasText(texts, Cp932(U8(u8"売上高            :          1,000 |         1,750 |         2,000 |"))));
  EXPECT_TRUE(HasText(texts, Cp932(U8(u8"連結決算数値の変動率"))));
  EXPECT_TRUE(HasText(texts, " 75.00%"));   // sales, first step
  EXPECT_TRUE(HasText(texts, "100.00%"));   // sales against row 0
  EXPECT_TRUE(HasText(texts, "-10.00%"));   // net assets per share
  EXPECT_TRUE(HasText(texts, Cp932(U8(u8"上昇"))));
  EXPECT_TRUE(HasText(texts, Cp932(U8(u8"下降"))));
  EXPECT_TRUE(w->Button(IDM_FUN_HOMEPAGE)->isEnabled());
  OnCommand(IDM_FUN_HOMEPAGE);
  ASSERT_EQ(host.urls.size(), 1u);
  EXPECT_EQ(host.urls[0], "https://www.example.co.jp/");
}

TEST_F(CompanyWindowTest, AnAddressFromAPageIsCheckedOnClick) {
  WriteHandMadeRecord(0);
  ASSERT_EQ(ReadFun(0, 1), 1);
  Cp932CopyTruncated(FunBuf.text[FUN_HOMEPAGE], FUN_TEXT_SIZE, "https://x.test/a b");
  ASSERT_EQ(WriteFun(0, 2), 1);
  CompanyWindow* w = Open();
  EXPECT_FALSE(w->Button(IDM_FUN_HOMEPAGE)->isEnabled());
  OnCommand(IDM_FUN_HOMEPAGE);
  ASSERT_EQ(ReadFun(0, 1), 1);
  Cp932CopyTruncated(FunBuf.text[FUN_HOMEPAGE], FUN_TEXT_SIZE, "javascript:alert(1)//http:");
  ASSERT_EQ(WriteFun(0, 2), 1);
  OnCommand(IDM_FUN_HOMEPAGE);
  EXPECT_TRUE(host.urls.empty());
  OnCommand(IDM_FUN_PERFORMANCE);
  ASSERT_EQ(host.urls.size(), 1u);
  EXPECT_NE(host.urls[0].find("/quote/7000"), std::string::npos);
  EXPECT_NE(host.urls[0].find("/performance"), std::string::npos);
}

TEST_F(CompanyWindowTest, ScrollingAndEsc) {
  WriteHandMadeRecord(0);
  CompanyWindow* w = Open();
  w->resize(520, 60 + 14 * 20);
  QApplication::processEvents();
  CompanyView* v = w->View();
  v->WheelBy(-120);
  EXPECT_EQ(v->ScrollPos(), 3);
  v->WheelBy(-120 * 100);
  const int page = v->height() / 14;
  EXPECT_EQ(v->ScrollPos(), 90 - page);
  v->WheelBy(120 * 200);
  EXPECT_EQ(v->ScrollPos(), 0);
  // Without a long page the position stays 0.
  ShowStock(1);
  TellShownStockChange();
  v->WheelBy(-360);
  EXPECT_EQ(v->ScrollPos(), 0);
  QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(w, &esc);
  QApplication::processEvents();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(TheCompanyWindow(), nullptr);
  EXPECT_EQ(CommandCheckState(IDM_COMPANY_INFO), 0);
}

TEST_F(CompanyWindowTest, DetailRunsTheDialogAndRepaints) {
  static int runs = 0;
  runs = 0;
  delete owner;
  owner = new QWidget;
  RegisterCompanyWindow(owner, {nullptr, nullptr, nullptr, [] {
                                  ++runs;
                                  WriteHandMadeRecord(0);
                                  return 1;
                                }});
  CompanyWindow* w = Open();
  EXPECT_FALSE(w->Button(IDM_FUN_HOMEPAGE)->isEnabled());
  OnCommand(IDM_FUN_DETAIL);
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(w->isEnabled());
  EXPECT_TRUE(w->Button(IDM_FUN_HOMEPAGE)->isEnabled());
  w->View()->repaint();
  EXPECT_TRUE(HasText(w->View()->Texts(), Cp932(U8(u8" ＜企業情報＞"))));
  OnCommand(IDM_COMPANY_INFO);  // the command again closes it
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(TheCompanyWindow(), nullptr);
}

// A sample stock as the program shows it on the sample data, saved as a picture in the build
// folder for a look at the layout (company_window_6501.png).
TEST_F(CompanyWindowTest, SampleStockPicture) {
  ResetDatabaseState();
  ASSERT_EQ(WriteSampleData(dir.path()), 0);
  ASSERT_GT(LoadTag(), 0);
  ASSERT_TRUE(VURN_file_in(-1, 0));
  ASSERT_EQ(fSampleDB, 1);
  MakePeriodLadder();
  RebuildAllPht(false);
  ASSERT_EQ(WriteSampleCompanyFile(dir.path()), 0);
  ShowStock(Code_to_StockNum(6501));
  CompanyWindow* w = Open();
  w->resize(520, 700);
  QApplication::processEvents();
  w->View()->repaint();
  const auto& texts = w->View()->Texts();
  EXPECT_TRUE(HasText(texts, Cp932(U8(u8" ＜同市場同業種内比較(東証プライム : 電気機器)＞"))));
  EXPECT_TRUE(HasText(texts, Cp932(U8(u8"    業種  : 電気機器"))));
  EXPECT_FALSE(w->Button(IDM_FUN_DETAIL)->isEnabled());  // no download on the sample data
  EXPECT_TRUE(w->grab().save(QString::fromStdString(std::string(VURN_BINARY_DIR) + "/company_window_6501.png")));
}

}  // namespace
