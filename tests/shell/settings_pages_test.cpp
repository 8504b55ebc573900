// What each settings page shows and stores: the round trip of its values, the refusals of
// the moving-average page, and the replacement of values out of range.
#include "shell/settings_pages.h"

#include <gtest/gtest.h>

#include <cstring>

#include "chart/chart_settings.h"
#include "lists/list_settings.h"
#include "net/download_settings.h"
#include "net/timed_download.h"
#include "net/net_settings.h"
#include "platform/diagnostics.h"
#include "shell/settings.h"

namespace {

class SettingsPages : public ::testing::Test {
 protected:
  void SetUp() override { ResetAllSettings(); }
  void TearDown() override { ResetAllSettings(); }
};

TEST_F(SettingsPages, MoveAveragesRoundTripAndRefuseOutOfRangeWholly) {
  MoveAvePage p = LoadMoveAvePage();
  EXPECT_EQ(p.period[0], 15);
  EXPECT_EQ(p.period[2], 150);
  EXPECT_EQ(p.third[0], 0);
  p = MoveAvePage{{5, 25, 1000, 9, 18, 52, 6, 12, 24}, {1, 0, 1}, 1, {1, 0, 1}};
  EXPECT_EQ(ApplyMoveAvePage(p), nullptr);
  EXPECT_EQ(DayMoveAve[0], 5);
  EXPECT_EQ(DayMoveAveThird[0], 1000);  // 1000 is taken
  EXPECT_EQ(DayMoveAveThird[1], 1);
  EXPECT_EQ(WeekMoveAveThird[1], 0);
  EXPECT_EQ(MonthMoveAve[1], 12);
  EXPECT_EQ(DekidakaView, 0);
  EXPECT_EQ(DekiMoveAve, 5);
  const MoveAvePage back = LoadMoveAvePage();
  EXPECT_EQ(std::memcmp(&back, &p, sizeof p), 0);

  // 1001 or 0 anywhere: the message, and nothing of the page is stored.
  MoveAvePage bad = p;
  bad.period[4] = 1001;
  bad.no_volume = 0;
  EXPECT_STREQ(ApplyMoveAvePage(bad), "平均線の入力は３桁以下にしてください。");
  bad.period[4] = 0;
  EXPECT_STREQ(ApplyMoveAvePage(bad), "平均線の入力はプラスの整数にして下さい。");
  EXPECT_EQ(DekidakaView, 0);
  EXPECT_EQ(WeekMoveAve[1], 18);
}

TEST_F(SettingsPages, IndicatorWindowsZeroBecomesTheDefaultAndAtMostAThousand) {
  WindowPage p = LoadWindowPage();
  EXPECT_EQ(p.value[0], 26);
  EXPECT_EQ(p.value[8], 5);
  p = WindowPage{{30, 0, 20, 7, 5000, 14, 10, 21, 9}};
  ApplyWindowPage(p);
  EXPECT_EQ(Ichimoku[0], 30);
  EXPECT_EQ(Ichimoku[1], 9);  // 0: the default
  EXPECT_EQ(RCI[1], 1000);    // clamped
  EXPECT_EQ(Psycological, 20);
  EXPECT_EQ(Stoc, 9);
}

TEST_F(SettingsPages, Chart2NoBandIsTwoSigmaAndZeroPeriodsAreFive) {
  ApplyChart2Page(Chart2Page{{0, 30, 7}, 1, {0, 0, 0}, {0, 13, 2000}});
  EXPECT_EQ(MACD[0], 5);
  EXPECT_EQ(MACD[1], 30);
  EXPECT_EQ(MACDHist, 1);
  EXPECT_EQ(Bollinger, 2);
  EXPECT_EQ(Kairi[0], 5);
  EXPECT_EQ(Kairi[2], 1000);
  const Chart2Page back = LoadChart2Page();
  EXPECT_EQ(back.bollinger[1], 1);  // the ±2σ box is set next time
  EXPECT_EQ(back.bollinger[0] + back.bollinger[2], 0);
}

TEST_F(SettingsPages, FilterPageHoldsTheStopLossNegative) {
  ApplyFilterPage(FilterPage{2, 6, 1, 1, 8, 3});
  EXPECT_EQ(ZengoShijou, 2);
  EXPECT_EQ(ZengoDekidaka, 6);
  EXPECT_EQ(ZengoTousan, 1);
  EXPECT_EQ(WheelFavorite, 1);
  EXPECT_EQ(RiguiRitu, 8);
  EXPECT_EQ(SonkiriRitu, -3);
  EXPECT_EQ(LoadFilterPage().sonkiri, 3);
  // A market index beyond the list is replaced as on load.
  ApplyFilterPage(FilterPage{9, 0, 0, 0, 8, 3});
  EXPECT_EQ(ZengoShijou, 0);
}

TEST_F(SettingsPages, SchemesFontChoicesAndColourLists) {
  ApplyColourScheme(1);
  for (const ClrEntry& e : ClrTable) EXPECT_EQ(*e.colour, e.scheme[1]) << e.key;
  EXPECT_EQ(CurrentColourScheme(), 1);
  Clr_ChartBackGround = Rgb(1, 2, 3);
  EXPECT_EQ(CurrentColourScheme(), 0);  // no scheme matches: "黒"
  CrossFontSize = 20;
  EXPECT_EQ(CrossFontChoiceIndex(), 3);
  CrossFontSize = 13;
  EXPECT_EQ(CrossFontChoiceIndex(), 1);
  // The two lists cover the 43 colours, each once.
  int seen[CLR_COUNT] = {};
  for (const auto& item : ChartColourItem) {
    ASSERT_NE(ColourOfKey(item[1]), nullptr) << item[1];
    for (int k = 0; k < CLR_COUNT; ++k) seen[k] += ClrTable[k].colour == ColourOfKey(item[1]);
  }
  for (const auto& item : IndicatorColourItem) {
    ASSERT_NE(ColourOfKey(item[1]), nullptr) << item[1];
    for (int k = 0; k < CLR_COUNT; ++k) seen[k] += ClrTable[k].colour == ColourOfKey(item[1]);
  }
  for (int k = 0; k < CLR_COUNT; ++k) EXPECT_EQ(seen[k], 1) << ClrTable[k].key;
}

TEST_F(SettingsPages, NetworkPageAndTheTimedDownloadTime) {
  NetworkPage p = LoadNetworkPage();
  EXPECT_STREQ(p.host, PROXY_URL_DEFAULT);
  p.use_proxy = 1;
  std::strcpy(p.host, "proxy.example\r\n");
  p.port = 70000;  // out of range: the default
  p.hour = 18;
  p.minute = 75;  // out of range: the default
  p.auto_dl = 0;
  ApplyNetworkPage(p);
  EXPECT_EQ(ProxyUse, 1);
  EXPECT_STREQ(ProxyUrl, "proxy.example  ");
  EXPECT_EQ(ProxyPort, PROXY_PORT_DEFAULT);
  EXPECT_EQ(AutoDownload, 0);
  EXPECT_EQ(DownloadHour, 18);
  EXPECT_EQ(DownloadMinute, 0);
}

TEST(ReadBoxNumber, LeadingDigitsCount) {
  EXPECT_EQ(ReadBoxNumber("12ab"), 12);
  EXPECT_EQ(ReadBoxNumber(""), 0);
  EXPECT_EQ(ReadBoxNumber("-5"), 0);
  EXPECT_EQ(ReadBoxNumber("99999999999"), INT_MAX);
}

}  // namespace
