#include "shell/settings_pages.h"

#include <climits>
#include <cstring>
#include <initializer_list>

#include "chart/chart_settings.h"
#include "lists/list_settings.h"
#include "net/download_settings.h"
#include "net/net_settings.h"
#include "net/timed_download.h"
#include "platform/diagnostics.h"
#include "shell/settings_table.h"

namespace {

// Stores numbers in their file form through the key's row, so a value out of range is
// replaced as the settings load replaces it.
void Store(const char* section, const char* key, std::initializer_list<int> numbers) {
  const SettingRow* row = FindSettingRow(section, key);
  if (!row) {
    PRT("設定項目がありません: %s\n", key);
    return;
  }
  int v[SETTING_MAX_NUMBERS] = {};
  SettingGetNumbers(*row, v);  // numbers the page does not edit keep their values
  int i = 0;
  for (int n : numbers) v[i++] = n;
  SettingSetNumbers(*row, v);
}

int Bits(const int* boxes) { return (boxes[0] ? 1 : 0) | (boxes[1] ? 2 : 0) | (boxes[2] ? 4 : 0); }

}  // namespace

int ReadBoxNumber(const char* text) {
  long long v = 0;
  for (const char* p = text; *p >= '0' && *p <= '9'; ++p) {
    v = v * 10 + (*p - '0');
    if (v > INT_MAX) return INT_MAX;
  }
  return static_cast<int>(v);
}

MoveAvePage LoadMoveAvePage() {
  MoveAvePage p{};
  const int* ave[3] = {DayMoveAve, WeekMoveAve, MonthMoveAve};
  const int* third[3] = {DayMoveAveThird, WeekMoveAveThird, MonthMoveAveThird};
  for (int k = 0; k < 3; ++k) {
    p.period[3 * k] = ave[k][0];
    p.period[3 * k + 1] = ave[k][1];
    p.period[3 * k + 2] = third[k][0];
    p.third[k] = third[k][1];
  }
  p.no_volume = DekidakaView ? 0 : 1;
  for (int k = 0; k < 3; ++k) p.deki_ave[k] = DekiMoveAve >> k & 1;
  return p;
}

const char* ApplyMoveAvePage(const MoveAvePage& p) {
  for (int v : p.period)
    if (v > MOVE_AVE_MAX) return "平均線の入力は３桁以下にしてください。";
  for (int v : p.period)
    if (v <= 0) return "平均線の入力はプラスの整数にして下さい。";
  static const char* const kAve[3] = {"DayMoveAve", "WeekMoveAve", "MonthMoveAve"};
  static const char* const kThird[3] = {"DayMoveAveThird", "WeekMoveAveThird", "MonthMoveAveThird"};
  for (int k = 0; k < 3; ++k) {
    Store("General", kAve[k], {p.period[3 * k], p.period[3 * k + 1]});
    Store("General", kThird[k], {p.period[3 * k + 2], p.third[k] ? 1 : 0});
  }
  Store("Chart", "DekidakaView", {p.no_volume ? 0 : 1});
  Store("Chart", "DekiMoveAve", {Bits(p.deki_ave)});
  return nullptr;
}

WindowPage LoadWindowPage() {
  return WindowPage{{Ichimoku[0], Ichimoku[1], Psycological, RCI[0], RCI[1], RSI, DMI, VR, Stoc}};
}

void ApplyWindowPage(const WindowPage& p) {
  // A window of 0 (an empty box) becomes the default, one above 1000 becomes 1000.
  Store("Chart", "Ichimoku", {p.value[0], p.value[1]});
  Store("Chart", "Psycological", {p.value[2]});
  Store("Chart", "RCI", {p.value[3], p.value[4]});
  Store("Chart", "RSI", {p.value[5]});
  Store("Chart", "DMI", {p.value[6]});
  Store("Chart", "VR", {p.value[7]});
  Store("Chart", "Stoc", {p.value[8]});
}

Chart2Page LoadChart2Page() {
  Chart2Page p{};
  for (int k = 0; k < 3; ++k) {
    p.macd[k] = MACD[k];
    p.bollinger[k] = Bollinger >> k & 1;
    p.kairi[k] = Kairi[k];
  }
  p.macd_hist = MACDHist;
  return p;
}

void ApplyChart2Page(const Chart2Page& p) {
  int macd[3], kairi[3];
  for (int k = 0; k < 3; ++k) {
    macd[k] = p.macd[k] <= 0 ? 5 : p.macd[k];
    kairi[k] = p.kairi[k] <= 0 ? 5 : p.kairi[k];
  }
  const int bollinger = Bits(p.bollinger);
  Store("Chart", "MACD", {macd[0], macd[1], macd[2]});
  Store("Chart", "MACDHist", {p.macd_hist ? 1 : 0});
  Store("Chart", "Bollinger", {bollinger == 0 ? 2 : bollinger});
  Store("Chart", "Kairi", {kairi[0], kairi[1], kairi[2]});
}

FilterPage LoadFilterPage() {
  return FilterPage{ZengoShijou, ZengoDekidaka, ZengoTousan, WheelFavorite, RiguiRitu, -SonkiriRitu};
}

void ApplyFilterPage(const FilterPage& p) {
  Store("General", "ZengoShijou", {p.market});
  Store("General", "ZengoDekidaka", {p.volume});
  Store("General", "ZengoTousan", {p.tousan ? 1 : 0});
  Store("General", "WheelFavorite", {p.wheel_fav ? 1 : 0});
  Store("Alarum", "RiguiRitu", {p.rigui});
  Store("Alarum", "SonkiriRitu", {p.sonkiri});  // the file form is positive; memory holds it negative
}

const int CrossFontChoice[CROSS_FONT_CHOICES] = {10, 12, 16, 20, 23, 36, 48};

int CurrentColourScheme() {
  for (int s = 0; s < 3; ++s)
    if (ClrTable[0].scheme[s] == Clr_ChartBackGround) return s;
  return 0;
}

void ApplyColourScheme(int scheme) {
  if (scheme < 0 || scheme > 2) return;
  PRT("std_clr_num %d\n", scheme);
  for (const ClrEntry& e : ClrTable) {
    *e.colour = e.scheme[scheme];
    PRT("%-20s, %06x\n", e.key, static_cast<unsigned>(*e.colour));
  }
}

int CrossFontChoiceIndex() {
  for (int k = 0; k < CROSS_FONT_CHOICES; ++k)
    if (CrossFontChoice[k] == CrossFontSize) return k;
  return 1;
}

const char* const ChartColourItem[CHART_COLOUR_ITEMS][2] = {
    {"画面　　　：背景", "Clr_ChartBackGround"},   {"画面　　　：罫線（縦）", "Clr_ChartKeisenTate"},
    {"画面　　　：文字", "Clr_ChartMoji"},         {"画面　　　：終値", "Clr_ChartOwarine"},
    {"画面　　　：株価", "Clr_ChartKabuka"},       {"ろうそく足：罫線（横）", "Clr_ChartMemori"},
    {"ろうそく足：境界（陽線）", "Clr_Ashisen"},   {"ろうそく足：境界（陰線）", "Clr_AshiInsen"},
    {"ろうそく足：陽線", "Clr_Yousen"},            {"ろうそく足：陰線", "Clr_Insen"},
    {"出来高　　：罫線（横）", "Clr_DekiMemori"},  {"出来高　　：グラフ", "Clr_Dekidaka"},
    {"平均線　　：短期", "Clr_AvgShort"},          {"平均線　　：中期", "Clr_AvgMiddle"},
    {"平均線　　：長期", "Clr_AvgLong"},           {"信用残　　：売り", "Clr_ShinyoUri"},
    {"信用残　　：買い", "Clr_ShinyoKai"},         {"トレンドライン", "Clr_TrendLine"},
};

const char* const IndicatorColourItem[INDICATOR_COLOUR_ITEMS][2] = {
    {"価格帯レシオ：グラフ", "Clr_Kakakutai"},      {"ﾎﾞﾘｭｰﾑﾚｼｵ：　 グラフ", "Clr_Volume"},
    {"一目均衡表：　基準線", "Clr_IchimokuKijun"},  {"一目均衡表：　転換線", "Clr_IchimokuTenkan"},
    {"一目均衡表：　上雲", "Clr_IchimokuKumoUe"},   {"一目均衡表：　下雲", "Clr_IchimokuKumoSita"},
    {"一目均衡表：　遅行", "Clr_IchimokuChiko"},    {"ｻｲｺﾛｼﾞｶﾙ：　  グラフ", "Clr_Psycho"},
    {"ＲＣＩ：　　　短期", "Clr_RciShort"},         {"ＲＣＩ：　　　長期", "Clr_RciLong"},
    {"ＲＳＩ：　　　グラフ", "Clr_Rsi"},            {"ＤＭＩ：　　　ＡＤＸ", "Clr_DmiADX"},
    {"ＤＭＩ：　　　＋ＤＩ", "Clr_DmiPlus"},        {"ＤＭＩ：　　　－ＤＩ", "Clr_DmiMinus"},
    {"乖離率：　　　プラス", "Clr_KairiPlus"},      {"乖離率：　　　マイナス", "Clr_KairiMinus"},
    {"ｽﾄｷｬｽﾃｨｸｽ：　 ％Ｋ", "Clr_Stoc_K"},          {"ｽﾄｷｬｽﾃｨｸｽ：　 ％Ｄ", "Clr_Stoc_D"},
    {"ｽﾄｷｬｽﾃｨｸｽ：　 ％ＳＤ", "Clr_Stoc_SD"},       {"ＭＡＣＤ：　　ＭＡＣＤ", "Clr_MACD_MACD"},
    {"ＭＡＣＤ：　　シグナル", "Clr_MACD_Kijun"},   {"ＭＡＣＤ：　　ヒスト", "Clr_MACD_Hist"},
    {"Ｐ＆Ｆ：　　　×", "Clr_PF_BATSU"},           {"Ｐ＆Ｆ：　　　○", "Clr_PF_MARU"},
    {"パラボリック：グラフ", "Clr_Parabolic"},
};

int32_t* ColourOfKey(const char* key) {
  for (const ClrEntry& e : ClrTable)
    if (std::strcmp(e.key, key) == 0) return e.colour;
  return nullptr;
}

NetworkPage LoadNetworkPage() {
  NetworkPage p{};
  p.use_proxy = ProxyUse;
  std::strncpy(p.host, ProxyUrl, sizeof p.host - 1);
  p.port = ProxyPort;
  p.win_inet = WinInet;
  p.auto_dl = AutoDownload;
  p.hour = DownloadHour;
  p.minute = DownloadMinute;
  return p;
}

void ApplyNetworkPage(const NetworkPage& p) {
  Store("Proxy", "Use", {p.use_proxy ? 1 : 0});
  // The host as typed, cut to the setting's size; a line break would split the file's line.
  char host[sizeof ProxyUrl];
  std::strncpy(host, p.host, sizeof host - 1);
  host[sizeof host - 1] = '\0';
  for (char* c = host; *c; ++c)
    if (*c == '\r' || *c == '\n') *c = ' ';
  std::memcpy(ProxyUrl, host, sizeof ProxyUrl);
  Store("Proxy", "Port", {p.port});
  Store("Https", "WinInet", {p.win_inet ? 1 : 0});
  Store("General", "AutoDownload", {p.auto_dl ? 1 : 0});
  // Today's target of the timed download: chosen afresh at each start, so it is no setting
  // of the file; a value out of range takes the default time.
  DownloadHour = p.hour >= 0 && p.hour <= 23 ? p.hour : 17;
  DownloadMinute = p.minute >= 0 && p.minute <= 59 ? p.minute : 0;
}
