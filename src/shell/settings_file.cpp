// LoadSettings and SaveSettings: the sections of "mirelo.ini" in their designed order.
#include <cstdio>
#include <cstring>
#include <string>

#include "chart/chart_settings.h"
#include "db/maintenance_settings.h"
#include "lists/list_settings.h"
#include "lists/screening_settings.h"
#include "lists/user_data_seam.h"
#include "net/download_settings.h"
#include "net/net_settings.h"
#include "platform/codepage.h"
#include "platform/diagnostics.h"
#include "platform/profile_file.h"
#include "platform/program_version.h"
#include "shell/settings.h"
#include "platform/working_folder.h"
#include "shell/window_placement.h"

namespace {

const char* const kGeneral = "General";
const char* const kColor = "Color";
const char* const kChart = "Chart";

void Replaced(const char* key, int was, int now) {
  PRT("設定 %s の値 %d は使えないので %d にします\n", key, was, now);
}

// v when lo <= v <= hi, otherwise def.
int InRangeOr(const char* key, int v, int lo, int hi, int def) {
  if (v >= lo && v <= hi) return v;
  Replaced(key, v, def);
  return def;
}

// 0 or below gives def; otherwise v kept within lo..hi.
int Clamped(const char* key, int v, int def, int lo, int hi) {
  int now = v < 1 ? def : v < lo ? lo : v > hi ? hi : v;
  if (now != v) Replaced(key, v, now);
  return now;
}

// A period or window of bars: 0 or below gives def, above max gives max.
int Period(const char* key, int v, int def, int max) { return Clamped(key, v, def, 1, max); }

void ReadInt(const ProfileFile& ini, const char* section, const char* key, int& var) {
  var = ProfileGetInt(ini, section, key, var);
}

void ReadInts(const ProfileFile& ini, const char* section, const char* key, int* vars, int n) {
  ProfileGetInts(ini, section, key, vars, n);
}

void ReadString(const ProfileFile& ini, const char* section, const char* key, char* out, size_t size) {
  char buf[PROFILE_VALUE_BYTES];
  ProfileGetString(ini, section, key, out, buf, sizeof buf);
  Cp932CopyTruncated(out, size, buf);
}

// A moving-average key: {first, second} or {third, shown}.
void ReadMoveAve(const ProfileFile& ini, const char* key, int* v, bool third) {
  const int def[2] = {v[0], v[1]};
  ReadInts(ini, kGeneral, key, v, 2);
  v[0] = Period(key, v[0], def[0], MOVE_AVE_MAX);
  if (third) v[1] = v[1] ? 1 : 0;
  else v[1] = Period(key, v[1], def[1], MOVE_AVE_MAX);
}

void ReadGeneral(const ProfileFile& ini) {
  for (const PlacementKey& k : PlacementKeys) ReadPlacement(ini, kGeneral, k.key, *k.record, k.def);
  ApplyMainWindowPlacement();

  ReadMoveAve(ini, "DayMoveAve", DayMoveAve, false);
  ReadMoveAve(ini, "DayMoveAveThird", DayMoveAveThird, true);
  ReadMoveAve(ini, "WeekMoveAve", WeekMoveAve, false);
  ReadMoveAve(ini, "WeekMoveAveThird", WeekMoveAveThird, true);
  ReadMoveAve(ini, "MonthMoveAve", MonthMoveAve, false);
  ReadMoveAve(ini, "MonthMoveAveThird", MonthMoveAveThird, true);

  ReadInts(ini, kGeneral, "CandleHaba", CandleHaba, 3);
  for (int& h : CandleHaba) {
    int nearest = NearestHaba(h);
    if (nearest != h) Replaced("CandleHaba", h, nearest);
    h = nearest;
  }
  ReadInt(ini, kGeneral, "CandleKind", AshiFlag);
  AshiFlag = InRangeOr("CandleKind", AshiFlag, 1, 3, 1);

  ReadInt(ini, kGeneral, "WebDownSelect", WebDownSelect);
  ReadInt(ini, kGeneral, "WebMillerSelect", WebMillerSelect);
  WebMillerSelect = InRangeOr("WebMillerSelect", WebMillerSelect, 0, WEB_MILLER_CHOICES - 1, 0);
  ReadInt(ini, kGeneral, "ZengoShijou", ZengoShijou);
  ReadInt(ini, kGeneral, "ZengoDekidaka", ZengoDekidaka);
  ZengoDekidaka = InRangeOr("ZengoDekidaka", ZengoDekidaka, 0, ZENGO_DEKIDAKA_MAX, 0);
  ReadInt(ini, kGeneral, "ZengoTousan", ZengoTousan);
  ReadInt(ini, kGeneral, "WheelFavorite", WheelFavorite);

  // The volume pane's share divides the pane heights: 0 or below gives the default, other
  // values are kept inside the range a chart can still be drawn with.
  ReadInt(ini, kGeneral, "DekiHabaRitu", DekiHabaRitu);
  DekiHabaRitu = Clamped("DekiHabaRitu", DekiHabaRitu, 20, DEKI_HABA_MIN, DEKI_HABA_MAX);

  ReadInt(ini, kGeneral, "CrossView", CrossView);
  ReadString(ini, kGeneral, "CsvOut", CsvOut, sizeof CsvOut);
  ReadInt(ini, kGeneral, "AutoDownload", AutoDownload);
  ReadString(ini, kGeneral, "VersionInfo", VersionInfo, sizeof VersionInfo);
  ReadInt(ini, kGeneral, "CrossFontSize", CrossFontSize);
  CrossFontSize = InRangeOr("CrossFontSize", CrossFontSize, CROSS_FONT_MIN, CROSS_FONT_MAX, 12);
}

void ReadColor(const ProfileFile& ini) {
  for (const ClrEntry& c : ClrTable) {
    int v = ProfileGetInt(ini, kColor, c.key, c.scheme[0]);
    *c.colour = InRangeOr(c.key, v, 0, CLR_MAX, c.scheme[0]);
  }
  ReadInt(ini, kColor, "FavoriteBackColor", FavoriteBackColor);
}

void ReadChart(const ProfileFile& ini) {
  int list[20] = {};
  ReadInts(ini, kChart, "DispChart3", list, 20);
  fViewKakakutai = list[0] != 0;
  fViewIchimoku = list[1] != 0;
  fViewBollinger = list[2] != 0;
  fViewParabolic = list[10] != 0;

  int kinds[20] = {};
  ReadInts(ini, kChart, "DispChart4", kinds, 20);
  SetViewShihyoFromList(kinds, 20);

  ReadInts(ini, kChart, "Ichimoku", Ichimoku, 2);
  Ichimoku[0] = Period("Ichimoku", Ichimoku[0], 26, SHIHYO_WINDOW_MAX);
  Ichimoku[1] = Period("Ichimoku", Ichimoku[1], 9, SHIHYO_WINDOW_MAX);
  ReadInts(ini, kChart, "RCI", RCI, 2);
  RCI[0] = Period("RCI", RCI[0], 8, SHIHYO_WINDOW_MAX);
  RCI[1] = Period("RCI", RCI[1], 12, SHIHYO_WINDOW_MAX);
  struct {
    const char* key;
    int* var;
    int def;
  } const windows[] = {{"RSI", &RSI, 9}, {"Psycological", &Psycological, 12}, {"DMI", &DMI, 14},
                       {"VR", &VR, 14},  {"Stoc", &Stoc, 5}};
  for (const auto& w : windows) {
    ReadInt(ini, kChart, w.key, *w.var);
    *w.var = Period(w.key, *w.var, w.def, SHIHYO_WINDOW_MAX);
  }
  ReadInts(ini, kChart, "PntFgr", PntFgr, 2);
  PntFgr[0] = InRangeOr("PntFgr", PntFgr[0], 0, PNTFGR_BOX_MAX, 0);
  PntFgr[1] = InRangeOr("PntFgr", PntFgr[1], 0, 1, 0);
  ReadInts(ini, kChart, "CompareCheck", CompareCheck, 6);
  for (int& c : CompareCheck) c = c ? 1 : 0;
  ReadInts(ini, kChart, "CompareCode", CompareCode, 3);
  ReadInts(ini, kChart, "MACD", MACD, 3);
  const int macd_def[3] = {5, 20, 9};
  for (int i = 0; i < 3; ++i) MACD[i] = Period("MACD", MACD[i], macd_def[i], SHIHYO_WINDOW_MAX);
  ReadInt(ini, kChart, "MACDHist", MACDHist);
  ReadInt(ini, kChart, "Bollinger", Bollinger);
  Bollinger = InRangeOr("Bollinger", Bollinger, 0, 7, 2);
  // The deviation windows default to the first average period of each bar period.
  const int kairi_def[3] = {DayMoveAve[0], WeekMoveAve[0], MonthMoveAve[0]};
  for (int i = 0; i < 3; ++i) Kairi[i] = kairi_def[i];
  ReadInts(ini, kChart, "Kairi", Kairi, 3);
  for (int i = 0; i < 3; ++i) Kairi[i] = Period("Kairi", Kairi[i], kairi_def[i], SHIHYO_WINDOW_MAX);
  ReadInt(ini, kChart, "DekiMoveAve", DekiMoveAve);
  DekiMoveAve = InRangeOr("DekiMoveAve", DekiMoveAve, 0, 7, 0);
  ReadInt(ini, kChart, "DekidakaView", DekidakaView);
}

void GroupSection(int g, char* out, size_t size) { std::snprintf(out, size, "SG%04d", g); }

void ReadScreening(const ProfileFile& ini) {
  ReadInt(ini, "Screening", "ScreGroupNum", ScreGroupNum);
  ScreGroupNum = Clamped("ScreGroupNum", ScreGroupNum, 1, 1, SCRE_GROUP_MAX);
  ReadInt(ini, "Screening", "ScreGroupSelect", ScreGroupSelect);
  ScreGroupSelect = InRangeOr("ScreGroupSelect", ScreGroupSelect, 0, ScreGroupNum - 1, 0);
  for (int g = 0; g < ScreGroupNum; ++g) {
    char section[16], key[16];
    GroupSection(g, section, sizeof section);
    ReadString(ini, section, "Name", ScreGroup[g].name, sizeof ScreGroup[g].name);
    for (int p = 0; p < SCRE_PAGES; ++p) {
      std::snprintf(key, sizeof key, "Group%d", p);
      ReadInts(ini, section, key, &ScreGroup[g].cond[p * SCRE_PAGE_SLOTS], SCRE_PAGE_SLOTS);
    }
  }
}

void ReadRanking(const ProfileFile& ini) {
  const int def[4] = {JuniParameter[0], JuniParameter[1], JuniParameter[2], JuniParameter[3]};
  ReadInts(ini, "Ranking", "Parameter", JuniParameter, 4);
  for (int i = 0; i < 4; ++i) JuniParameter[i] = InRangeOr("Parameter", JuniParameter[i], 0, JUNI_PARAMETER_MAX[i], def[i]);
}

void ReadNetwork(const ProfileFile& ini) {
  ReadInt(ini, "Proxy", "Use", ProxyUse);
  ReadString(ini, "Proxy", "Url", ProxyUrl, sizeof ProxyUrl);
  ReadInt(ini, "Proxy", "Port", ProxyPort);
  ProxyPort = InRangeOr("Port", ProxyPort, 1, 65535, PROXY_PORT_DEFAULT);
  ReadInt(ini, "Https", "WinInet", WinInet);
  ReadString(ini, "Https", "CAFile", HttpsCAFile, sizeof HttpsCAFile);
  ReadString(ini, "Https", "ConnectTo", HttpsConnectTo, sizeof HttpsConnectTo);
  ReadString(ini, "WebSource", "Portal", WebPortal, sizeof WebPortal);
  ReadString(ini, "WebSource", "ChartApi", WebChartApi, sizeof WebChartApi);
  ReadString(ini, "WebSource", "StockInfo", WebStockInfo, sizeof WebStockInfo);
  ReadString(ini, "WebSource", "Company", WebCompany, sizeof WebCompany);
  ApplyNetSettings();
}

void ReadReplaceTag(const ProfileFile& ini) {
  ReadInt(ini, "ReplaceTag", "Interval", ReplaceTagInterval);
  ReadInt(ini, "ReplaceTag", "NextDate", ReplaceTagNextDate);
  ReadInt(ini, "ReplaceTag", "DoneDate", ReplaceTagDoneDate);
}

void ReadAlarum(const ProfileFile& ini) {
  ReadInt(ini, "Alarum", "RiguiRitu", RiguiRitu);
  // Held negative in memory, positive in the file.
  SonkiriRitu = -ProfileGetInt(ini, "Alarum", "SonkiriRitu", -SonkiriRitu);
  ReadInt(ini, "Alarum", "AlarumCheck", AlarumCheck);
  ReadInt(ini, "Alarum", "KidouView", KidouView);
}

void ReadYahooBlock(const ProfileFile& ini) {
  LatestTime = ProfileGetInt(ini, "YahooBlock", "LatestTime", static_cast<int32_t>(LatestTime));
  ReadInt(ini, "YahooBlock", "HttpCount", nHttpCount);
  nHttpCount = InRangeOr("HttpCount", nHttpCount, 0, 0x7FFFFFFF, 0);
  ReadInts(ini, "YahooBlock", "Restart", Restart, WEB_MILLER_CHOICES);
}

void WriteGeneral(ProfileFile& ini) {
  RecordMainWindowPlacement();
  for (const PlacementKey& k : PlacementKeys) WritePlacement(ini, kGeneral, k.key, *k.record);
  ProfileSetInts(ini, kGeneral, "DayMoveAve", DayMoveAve, 2);
  ProfileSetInts(ini, kGeneral, "DayMoveAveThird", DayMoveAveThird, 2);
  ProfileSetInts(ini, kGeneral, "WeekMoveAve", WeekMoveAve, 2);
  ProfileSetInts(ini, kGeneral, "WeekMoveAveThird", WeekMoveAveThird, 2);
  ProfileSetInts(ini, kGeneral, "MonthMoveAve", MonthMoveAve, 2);
  ProfileSetInts(ini, kGeneral, "MonthMoveAveThird", MonthMoveAveThird, 2);
  ProfileSetInts(ini, kGeneral, "CandleHaba", CandleHaba, 3);
  ProfileSetInt(ini, kGeneral, "CandleKind", AshiFlag);
  ProfileSetInt(ini, kGeneral, "WebDownSelect", WebDownSelect);
  ProfileSetInt(ini, kGeneral, "WebMillerSelect", WebMillerSelect);
  ProfileSetInt(ini, kGeneral, "ZengoShijou", ZengoShijou);
  ProfileSetInt(ini, kGeneral, "ZengoDekidaka", ZengoDekidaka);
  ProfileSetInt(ini, kGeneral, "ZengoTousan", ZengoTousan);
  ProfileSetInt(ini, kGeneral, "WheelFavorite", WheelFavorite);
  // "DekiHabaRitu" is read but never written: the volume pane starts at 20 % every run
  // unless the file is edited by hand.
  ProfileSetInt(ini, kGeneral, "CrossView", CrossView);
  ProfileSetString(ini, kGeneral, "CsvOut", CsvOut);
  ProfileSetInt(ini, kGeneral, "AutoDownload", AutoDownload);
  ProfileSetString(ini, kGeneral, "VersionInfo", PROGRAM_VERSION);
  ProfileSetInt(ini, kGeneral, "CrossFontSize", CrossFontSize);
}

void WriteColor(ProfileFile& ini) {
  for (const ClrEntry& c : ClrTable) ProfileSetInt(ini, kColor, c.key, *c.colour);
  ProfileSetInt(ini, kColor, "FavoriteBackColor", FavoriteBackColor);
}

void WriteChart(ProfileFile& ini) {
  // Twelve positions of which four carry a switch, then twelve zeros.
  int overlays[24] = {};
  overlays[0] = fViewKakakutai;
  overlays[1] = fViewIchimoku;
  overlays[2] = fViewBollinger;
  overlays[10] = fViewParabolic;
  ProfileSetInts(ini, kChart, "DispChart3", overlays, 24);
  // The panes in display order, then zeros, nine numbers in all.
  int kinds[VIEW_SHIHYO_MAX + 1] = {};
  for (int i = 0; i < nViewShihyo && i < VIEW_SHIHYO_MAX; ++i) kinds[i] = ViewShihyo[i];
  ProfileSetInts(ini, kChart, "DispChart4", kinds, VIEW_SHIHYO_MAX + 1);
  ProfileSetInts(ini, kChart, "Ichimoku", Ichimoku, 2);
  ProfileSetInts(ini, kChart, "RCI", RCI, 2);
  ProfileSetInt(ini, kChart, "RSI", RSI);
  ProfileSetInt(ini, kChart, "Psycological", Psycological);
  ProfileSetInt(ini, kChart, "DMI", DMI);
  ProfileSetInt(ini, kChart, "VR", VR);
  ProfileSetInt(ini, kChart, "Stoc", Stoc);
  ProfileSetInts(ini, kChart, "PntFgr", PntFgr, 2);
  ProfileSetInts(ini, kChart, "CompareCheck", CompareCheck, 6);
  ProfileSetInts(ini, kChart, "CompareCode", CompareCode, 3);
  ProfileSetInts(ini, kChart, "MACD", MACD, 3);
  ProfileSetInt(ini, kChart, "MACDHist", MACDHist);
  ProfileSetInt(ini, kChart, "Bollinger", Bollinger);
  ProfileSetInts(ini, kChart, "Kairi", Kairi, 3);
  ProfileSetInt(ini, kChart, "DekiMoveAve", DekiMoveAve);
  ProfileSetInt(ini, kChart, "DekidakaView", DekidakaView);
}

void WriteScreening(ProfileFile& ini) {
  int num = ScreGroupNum < 1 ? 1 : ScreGroupNum > SCRE_GROUP_MAX ? SCRE_GROUP_MAX : ScreGroupNum;
  ProfileSetInt(ini, "Screening", "ScreGroupNum", num);
  ProfileSetInt(ini, "Screening", "ScreGroupSelect", ScreGroupSelect);
  for (int g = 0; g < num; ++g) {
    char section[16], key[16];
    GroupSection(g, section, sizeof section);
    ProfileSetString(ini, section, "Name", ScreGroup[g].name);
    for (int p = 0; p < SCRE_PAGES; ++p) {
      std::snprintf(key, sizeof key, "Group%d", p);
      ProfileSetInts(ini, section, key, &ScreGroup[g].cond[p * SCRE_PAGE_SLOTS], SCRE_PAGE_SLOTS);
    }
  }
}

void WriteRest(ProfileFile& ini) {
  ProfileSetInts(ini, "Ranking", "Parameter", JuniParameter, 4);
  ProfileSetInt(ini, "Proxy", "Use", ProxyUse);
  ProfileSetString(ini, "Proxy", "Url", ProxyUrl);
  ProfileSetInt(ini, "Proxy", "Port", ProxyPort);
  ProfileSetInt(ini, "Https", "WinInet", WinInet);
  ProfileSetString(ini, "Https", "CAFile", HttpsCAFile);
  ProfileSetString(ini, "Https", "ConnectTo", HttpsConnectTo);
  ProfileSetString(ini, "WebSource", "Portal", WebPortal);
  ProfileSetString(ini, "WebSource", "ChartApi", WebChartApi);
  ProfileSetString(ini, "WebSource", "StockInfo", WebStockInfo);
  ProfileSetString(ini, "WebSource", "Company", WebCompany);
  ProfileSetInt(ini, "ReplaceTag", "Interval", ReplaceTagInterval);
  ProfileSetInt(ini, "ReplaceTag", "NextDate", ReplaceTagNextDate);
  ProfileSetInt(ini, "ReplaceTag", "DoneDate", ReplaceTagDoneDate);
  ProfileSetInt(ini, "Alarum", "RiguiRitu", RiguiRitu);
  ProfileSetInt(ini, "Alarum", "SonkiriRitu", -SonkiriRitu);
  ProfileSetInt(ini, "Alarum", "AlarumCheck", AlarumCheck);
  ProfileSetInt(ini, "Alarum", "KidouView", KidouView);
  // Only the low 32 bits of the time are kept, as the file always held them.
  ProfileSetInt(ini, "YahooBlock", "LatestTime", static_cast<int32_t>(static_cast<uint32_t>(LatestTime)));
  ProfileSetInt(ini, "YahooBlock", "HttpCount", nHttpCount);
  ProfileSetInts(ini, "YahooBlock", "Restart", Restart, WEB_MILLER_CHOICES);
}

}  // namespace

void LoadSettings() {
  ResetAllSettings();
  const std::string path = DataFilePath(SETTINGS_FILE_NAME);
  ProfileFile ini;
  ProfileLoad(ini, path.c_str());
  ReadGeneral(ini);
  ReadColor(ini);
  ReadChart(ini);
  ReadScreening(ini);
  ReadRanking(ini);
  ReadNetwork(ini);
  ReadReplaceTag(ini);
  ReadAlarum(ini);
  ReadYahooBlock(ini);
  if (!LoadVurnIniOrginal()) LoadUserDataFallback(ini);
}

void SaveSettings() {
  const std::string path = DataFilePath(SETTINGS_FILE_NAME);
  PRT("%s\n", path.c_str());
  // The file is read again so that every line this program does not own is kept as it
  // stands now.
  ProfileFile ini;
  ProfileLoad(ini, path.c_str());
  WriteGeneral(ini);
  WriteColor(ini);
  WriteChart(ini);
  WriteScreening(ini);
  WriteRest(ini);
  ProfileSave(ini, path.c_str());
  SaveVurnIniOrg();
}
