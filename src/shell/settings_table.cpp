#include "shell/settings_table.h"

#include <cstdio>
#include <cstring>
#include <strings.h>
#include <type_traits>

#include "chart/chart_settings.h"
#include "db/maintenance_settings.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "lists/list_settings.h"
#include "lists/screening_settings.h"
#include "net/access_throttle.h"
#include "net/download_settings.h"
#include "net/net_config.h"
#include "net/net_settings.h"
#include "platform/codepage.h"
#include "platform/diagnostics.h"
#include "platform/profile_file.h"
#include "platform/program_version.h"
#include "shell/settings.h"
#include "shell/window_placement.h"

// The settings variables, by the module that uses them. Their values come from the rows
// below (every one is set when the program starts and by each reset).

// Window placements (shell/window_placement.h).
WinPlacement WinPos, FunWinPos, PntFgrWinPos, FavoriteWinPos, KensakuWinPos, YutaiWinPos, JuniWinPos,
    ScreWinPos, RirekiWinPos, CrossWinPos;

// Chart (chart/chart_settings.h).
int AshiFlag;
int DayMoveAve[2], DayMoveAveThird[2];
int WeekMoveAve[2], WeekMoveAveThird[2];
int MonthMoveAve[2], MonthMoveAveThird[2];
int CandleHaba[3];
int ZengoShijou, ZengoDekidaka, ZengoTousan, WheelFavorite;
int DekiHabaRitu;
int CrossView;
int CrossFontSize;
#define VURN_DEFINE_COLOUR(name, ...) int32_t name;
VURN_CHART_COLOURS(VURN_DEFINE_COLOUR)
#undef VURN_DEFINE_COLOUR
int Ichimoku[2];
int RCI[2];
int RSI, Psycological, DMI, VR, Stoc;
int MACD[3];
int MACDHist;
int Bollinger;
int Kairi[3];
int DekiMoveAve;
int DekidakaView;
int PntFgr[2];
int CompareCheck[6];
int CompareCode[3];

// Database maintenance (db/maintenance_settings.h).
char CsvOut[256];

// Lists (lists/list_settings.h, lists/screening_settings.h).
int JuniParameter[4];
int RiguiRitu;
int SonkiriRitu;
int AlarumCheck;
int KidouView;
int FavoriteBackColor;
ScreGroupEntry ScreGroup[SCRE_GROUP_MAX];
int ScreGroupNum;
int ScreGroupSelect;

// Downloads and network (net/download_settings.h, net/net_settings.h).
int WebDownSelect;
int WebMillerSelect;
int AutoDownload;
int WebProbeCode;
int Restart[WEB_MILLER_CHOICES];
int64_t LatestTime;
int nHttpCount;
int ProxyUse;
char ProxyUrl[256];
int ProxyPort;
int WinInet;
int HttpsRequestSeconds;
char WebPortal[256];
char WebChartApi[256];
char WebStockInfo[256];
char WebCompany[256];
char HttpsCAFile[256];
char HttpsConnectTo[256];

// Shell (shell/settings.h).
char VersionInfo[33];
int ReplaceTagInterval;
int ReplaceTagNextDate;
int ReplaceTagDoneDate;

namespace {

static_assert(std::is_same_v<int32_t, int>, "colour variables are read as int");

constexpr const char* kGeneral = "General";
constexpr const char* kColor = "Color";
constexpr const char* kChart = "Chart";

// Screen coordinates of any desktop fit in 16 bits.
constexpr int kCoordMax = 32767;
// Show states a placement can carry (hidden to forced minimised).
constexpr SettingLimit kShowState = {0, 11, SETTING_DEFAULT};
constexpr SettingLimit kCoord = {-kCoordMax, kCoordMax, SETTING_DEFAULT};

// ---- Window placements: nine numbers for a WinPlacement record.

void GetPlacement(const SettingRow& row, int* v) {
  const WinPlacement& p = *static_cast<const WinPlacement*>(row.var);
  const int n[9] = {p.show, p.min_x, p.min_y, p.max_x, p.max_y, p.left, p.top, p.right, p.bottom};
  for (int i = 0; i < 9; ++i) v[i] = n[i];
}

void SetPlacement(const SettingRow& row, const int* v) {
  *static_cast<WinPlacement*>(row.var) = {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]};
}

const SettingConvert kPlacement = {GetPlacement, SetPlacement};

// A rectangle that no window could have (empty, inverted or larger than any desktop) gives
// the default placement.
bool PlausiblePlacement(const SettingRow& row, const int* v) {
  const int left = v[5], top = v[6], right = v[7], bottom = v[8];
  if (right > left && bottom > top && right - left <= kCoordMax && bottom - top <= kCoordMax) return true;
  PRT("設定 %s の画面配置 %d %d %d %d は使えないので既定の配置にします\n", row.key, left, top, right, bottom);
  return false;
}

constexpr SettingRow PlacementRow(const char* key, WinPlacement* rec, std::initializer_list<int> def) {
  SettingRow r = IntsRow(kGeneral, key, nullptr, 9, def, kCoord)
                     .Limits({kShowState, kCoord})
                     .Convert(&kPlacement)
                     .Valid(PlausiblePlacement);
  r.var = rec;
  return r;
}

// ---- Chart.

// A moving-average period or an indicator window: 0 or below gives the default, a longer
// one the longest.
constexpr SettingLimit kMoveAve = {1, MOVE_AVE_MAX, SETTING_PERIOD};
constexpr SettingLimit kWindow = {1, SHIHYO_WINDOW_MAX, SETTING_PERIOD};

// The candle spacing is always one of the table's.
void SnapCandleHaba() {
  for (int& h : CandleHaba) {
    const int nearest = NearestHaba(h);
    if (nearest != h) SettingReplaced("CandleHaba", h, nearest);
    h = nearest;
  }
}

// "DispChart3": switches by position, 1 price-band ratio, 2 Ichimoku, 3 Bollinger, 11
// parabolic; written as twelve positions and twelve zeros.
void GetOverlays(const SettingRow&, int* v) {
  for (int i = 0; i < 24; ++i) v[i] = 0;
  v[0] = fViewKakakutai;
  v[1] = fViewIchimoku;
  v[2] = fViewBollinger;
  v[10] = fViewParabolic;
}

void SetOverlays(const SettingRow&, const int* v) {
  fViewKakakutai = v[0] != 0;
  fViewIchimoku = v[1] != 0;
  fViewBollinger = v[2] != 0;
  fViewParabolic = v[10] != 0;
}

const SettingConvert kOverlays = {GetOverlays, SetOverlays};

// "DispChart4": the lower panes in display order, read as up to twenty kinds (the list
// ends at the first number that is no kind), written as nine numbers.
void GetPanes(const SettingRow&, int* v) {
  for (int i = 0; i <= VIEW_SHIHYO_MAX; ++i) v[i] = i < nViewShihyo && i < VIEW_SHIHYO_MAX ? ViewShihyo[i] : 0;
}

void SetPanes(const SettingRow& row, const int* v) { SetViewShihyoFromList(v, row.count); }

const SettingConvert kPanes = {GetPanes, SetPanes};

// The deviation windows default to the first average period of each bar period.
void KairiDefaults(int* def) {
  def[0] = DayMoveAve[0];
  def[1] = WeekMoveAve[0];
  def[2] = MonthMoveAve[0];
}

// ---- Screening groups: sections "SG%04d" for the groups in use, each with "Name" and the
// seven condition blocks "Group0" to "Group6".

void GroupSection(int g, char* out, size_t size) { std::snprintf(out, size, "SG%04d", g); }

void ResetGroups(const SettingRow& row) {
  for (ScreGroupEntry& g : ScreGroup) {
    std::memset(&g, 0, sizeof g);
    Cp932CopyTruncated(g.name, sizeof g.name, row.def_text);
  }
}

void ReadGroups(const ProfileFile& ini, const SettingRow& row) {
  for (int g = 0; g < ScreGroupNum; ++g) {
    char section[16], key[16], buf[PROFILE_VALUE_BYTES];
    GroupSection(g, section, sizeof section);
    ProfileGetString(ini, section, "Name", ScreGroup[g].name, buf, sizeof buf);
    Cp932CopyTruncated(ScreGroup[g].name, sizeof ScreGroup[g].name, buf);
    for (int p = 0; p < SCRE_PAGES; ++p) {
      std::snprintf(key, sizeof key, "Group%d", p);
      ProfileGetInts(ini, section, key, &ScreGroup[g].cond[p * SCRE_PAGE_SLOTS], SCRE_PAGE_SLOTS);
    }
  }
}

void WriteGroups(ProfileFile& ini, const SettingRow&) {
  for (int g = 0; g < ScreGroupNum; ++g) {
    char section[16], key[16];
    GroupSection(g, section, sizeof section);
    ProfileSetString(ini, section, "Name", ScreGroup[g].name);
    for (int p = 0; p < SCRE_PAGES; ++p) {
      std::snprintf(key, sizeof key, "Group%d", p);
      ProfileSetInts(ini, section, key, &ScreGroup[g].cond[p * SCRE_PAGE_SLOTS], SCRE_PAGE_SLOTS);
    }
  }
}

const SettingCustom kGroups = {ReadGroups, WriteGroups, ResetGroups};

// The group in use is one of the groups.
void CheckGroupSelect() {
  if (ScreGroupSelect < ScreGroupNum) return;
  SettingReplaced("ScreGroupSelect", ScreGroupSelect, 0);
  ScreGroupSelect = 0;
}

// ---- Downloads: the file keeps the low 32 bits of the last request's time.

void GetLatestTime(const SettingRow&, int* v) {
  v[0] = static_cast<int32_t>(static_cast<uint32_t>(LatestTime));
}

// Read back as unsigned (the low 32 bits of a time after 2038 look negative as an int).
void SetLatestTime(const SettingRow&, const int* v) { LatestTime = LatestTimeFromFile(static_cast<uint32_t>(v[0])); }

const SettingConvert kLatestTime = {GetLatestTime, SetLatestTime};

constinit const SettingRow kRows[] = {
    // ---- [General]
    PlacementRow("WinPos", &WinPos, {1, -1, -1, -1, -1, 14, 12, 774, 592})
        .Loaded(ApplyMainWindowPlacement)
        .Saving(RecordMainWindowPlacement),
    PlacementRow("FunWinPos", &FunWinPos, {1, -1, -1, -1, -1, 419, 66, 930, 636}),
    PlacementRow("PntFgrWinPos", &PntFgrWinPos, {1, -1, -1, -1, -1, 419, 66, 930, 636}),
    PlacementRow("FavoriteWinPos", &FavoriteWinPos, {1, -1, -1, -1, -1, 53, 75, 586, 588}),
    PlacementRow("KensakuWinPos", &KensakuWinPos, {1, -1, -1, -1, -1, 89, 93, 296, 508}),
    PlacementRow("YutaiWinPos", &YutaiWinPos, {1, -1, -1, -1, -1, 53, 75, 586, 588}),
    PlacementRow("JuniWinPos", &JuniWinPos, {1, -1, -1, -1, -1, 168, 138, 424, 714}),
    PlacementRow("ScreWinPos", &ScreWinPos, {1, -1, -1, -1, -1, 153, 171, 591, 417}),
    PlacementRow("RirekiWinPos", &RirekiWinPos, {1, -1, -1, -1, -1, 130, 158, 735, 671}),
    PlacementRow("CrossWinPos", &CrossWinPos, {1, -1, -1, -1, -1, 93, 469, 213, 605}),
    IntsRow(kGeneral, "DayMoveAve", DayMoveAve, 2, {15, 39}, kMoveAve),
    IntsRow(kGeneral, "DayMoveAveThird", DayMoveAveThird, 2, {150, 0}, kMoveAve).Limits({kMoveAve, SWITCH}),
    IntsRow(kGeneral, "WeekMoveAve", WeekMoveAve, 2, {13, 26}, kMoveAve),
    IntsRow(kGeneral, "WeekMoveAveThird", WeekMoveAveThird, 2, {70, 0}, kMoveAve).Limits({kMoveAve, SWITCH}),
    IntsRow(kGeneral, "MonthMoveAve", MonthMoveAve, 2, {13, 26}, kMoveAve),
    IntsRow(kGeneral, "MonthMoveAveThird", MonthMoveAveThird, 2, {52, 0}, kMoveAve).Limits({kMoveAve, SWITCH}),
    IntsRow(kGeneral, "CandleHaba", CandleHaba, 3, {12, 8, 6}, {HabaTable[0], HabaTable[HABA_COUNT - 1], SETTING_CLAMP})
        .Loaded(SnapCandleHaba),
    IntRow(kGeneral, "CandleKind", &AshiFlag, 1, {1, 3}),
    IntRow(kGeneral, "WebDownSelect", &WebDownSelect, 0, {0, WEB_DOWN_CHOICES - 1}),
    IntRow(kGeneral, "WebMillerSelect", &WebMillerSelect, 0, {0, WEB_MILLER_CHOICES - 1}),
    IntRow(kGeneral, "ZengoShijou", &ZengoShijou, 0, {0, ZENGO_SHIJOU_MAX}),
    IntRow(kGeneral, "ZengoDekidaka", &ZengoDekidaka, 0, {0, ZENGO_DEKIDAKA_MAX}),
    IntRow(kGeneral, "ZengoTousan", &ZengoTousan, 0, SWITCH),
    IntRow(kGeneral, "WheelFavorite", &WheelFavorite, 0, SWITCH),
    // Read only: the volume pane starts at 20 % every run unless the file is edited by hand.
    IntRow(kGeneral, "DekiHabaRitu", &DekiHabaRitu, 20, {DEKI_HABA_MIN, DEKI_HABA_MAX, SETTING_PERIOD})
        .Flags(SETTING_NOT_WRITTEN),
    IntRow(kGeneral, "CrossView", &CrossView, 1, SWITCH),
    TextRow(kGeneral, "CsvOut", CsvOut, sizeof CsvOut, ""),
    IntRow(kGeneral, "AutoDownload", &AutoDownload, 1, SWITCH),
    // The version of the program that last saved the file; a save writes this program's.
    TextRow(kGeneral, "VersionInfo", VersionInfo, sizeof VersionInfo, "").WriteText(PROGRAM_VERSION),
    IntRow(kGeneral, "CrossFontSize", &CrossFontSize, 12, {CROSS_FONT_MIN, CROSS_FONT_MAX}),

    // ---- [Color]: scheme 0 is the default.
#define VURN_COLOUR_ROW(name, r0, g0, b0, ...) IntRow(kColor, #name, &name, Rgb(r0, g0, b0), {0, CLR_MAX}),
    VURN_CHART_COLOURS(VURN_COLOUR_ROW)
#undef VURN_COLOUR_ROW
    IntRow(kColor, "FavoriteBackColor", &FavoriteBackColor, 1, SWITCH),

    // ---- [Chart]
    IntsRow(kChart, "DispChart3", nullptr, 20, {}, SWITCH).Convert(&kOverlays).Written(24),
    IntsRow(kChart, "DispChart4", nullptr, 20, {}, ANY_INT).Convert(&kPanes).Written(VIEW_SHIHYO_MAX + 1),
    IntsRow(kChart, "Ichimoku", Ichimoku, 2, {26, 9}, kWindow),
    IntsRow(kChart, "RCI", RCI, 2, {8, 12}, kWindow),
    IntRow(kChart, "RSI", &RSI, 9, kWindow),
    IntRow(kChart, "Psycological", &Psycological, 12, kWindow),
    IntRow(kChart, "DMI", &DMI, 14, kWindow),
    IntRow(kChart, "VR", &VR, 14, kWindow),
    IntRow(kChart, "Stoc", &Stoc, 5, kWindow),
    IntsRow(kChart, "PntFgr", PntFgr, 2, {0, 0}, {0, PNTFGR_BOX_MAX}).Limits({{0, PNTFGR_BOX_MAX}, {0, 1}}),
    IntsRow(kChart, "CompareCheck", CompareCheck, 6, {1, 0, 0, 0, 0, 0}, SWITCH),
    IntsRow(kChart, "CompareCode", CompareCode, 3, {1001, 1002, 1007}, {1, CODE_MAX}),
    IntsRow(kChart, "MACD", MACD, 3, {5, 20, 9}, kWindow),
    IntRow(kChart, "MACDHist", &MACDHist, 0, SWITCH),
    IntRow(kChart, "Bollinger", &Bollinger, 2, {0, 7}),
    IntsRow(kChart, "Kairi", Kairi, 3, {}, kWindow).Defaults(KairiDefaults),
    IntRow(kChart, "DekiMoveAve", &DekiMoveAve, 0, {0, 7}),
    IntRow(kChart, "DekidakaView", &DekidakaView, 1, SWITCH),

    // ---- [Screening] and one section per group in use.
    IntRow("Screening", "ScreGroupNum", &ScreGroupNum, 1, {1, SCRE_GROUP_MAX, SETTING_PERIOD}),
    IntRow("Screening", "ScreGroupSelect", &ScreGroupSelect, 0, {0, SCRE_GROUP_MAX - 1}).Loaded(CheckGroupSelect),
    CustomRow("SG%04d", "Name Group0-6", ScreGroup, &kGroups).DefaultText(SCRE_GROUP_DEFAULT_NAME),

    // ---- [Ranking]
    IntsRow("Ranking", "Parameter", JuniParameter, 4, {0, 0, 0, 2}, {})
        .Limits({{0, JUNI_PARAMETER_MAX[0]}, {0, JUNI_PARAMETER_MAX[1]}, {0, JUNI_PARAMETER_MAX[2]},
                 {0, JUNI_PARAMETER_MAX[3]}}),

    // ---- [Proxy], [Https], [WebSource]
    IntRow("Proxy", "Use", &ProxyUse, 0, SWITCH),
    TextRow("Proxy", "Url", ProxyUrl, sizeof ProxyUrl, PROXY_URL_DEFAULT),
    IntRow("Proxy", "Port", &ProxyPort, PROXY_PORT_DEFAULT, {1, 65535}),
    IntRow("Https", "WinInet", &WinInet, 0, SWITCH),
    IntRow("Https", "RequestSeconds", &HttpsRequestSeconds, 60, {5, 3600}),
    TextRow("Https", "CAFile", HttpsCAFile, sizeof HttpsCAFile, ""),
    TextRow("Https", "ConnectTo", HttpsConnectTo, sizeof HttpsConnectTo, ""),
    TextRow("WebSource", "Portal", WebPortal, sizeof WebPortal, PORTAL_URL_DEFAULT),
    TextRow("WebSource", "ChartApi", WebChartApi, sizeof WebChartApi, CHART_URL_DEFAULT),
    TextRow("WebSource", "StockInfo", WebStockInfo, sizeof WebStockInfo, STOCK_INFO_URL_DEFAULT),
    TextRow("WebSource", "Company", WebCompany, sizeof WebCompany, COMPANY_URL_DEFAULT),
    IntRow("WebSource", "ProbeCode", &WebProbeCode, WEB_PROBE_CODE_DEFAULT, {1000, CODE_MAX}),

    // ---- [ReplaceTag]: carried through unchanged; nothing reads them.
    IntRow("ReplaceTag", "Interval", &ReplaceTagInterval, 4, ANY_INT),
    IntRow("ReplaceTag", "NextDate", &ReplaceTagNextDate, 0, ANY_INT),
    IntRow("ReplaceTag", "DoneDate", &ReplaceTagDoneDate, 0, ANY_INT),

    // ---- [Alarum]: the percentages proposed for a new alert; the stop-loss is positive in
    // the file and negative in memory.
    IntRow("Alarum", "RiguiRitu", &RiguiRitu, 5, {0, RIGUI_RITU_MAX}),
    IntRow("Alarum", "SonkiriRitu", &SonkiriRitu, 5, {0, SONKIRI_RITU_MAX}).Flags(SETTING_NEGATED),
    IntRow("Alarum", "AlarumCheck", &AlarumCheck, 0, SWITCH),
    IntRow("Alarum", "KidouView", &KidouView, 1, SWITCH),

    // ---- [YahooBlock]: the access throttling and the resume point of each back-fill choice.
    IntRow("YahooBlock", "LatestTime", nullptr, 0, ANY_INT).Convert(&kLatestTime),
    IntRow("YahooBlock", "HttpCount", &nHttpCount, 0, {0, INT_MAX}),
    IntsRow("YahooBlock", "Restart", Restart, WEB_MILLER_CHOICES, {}, {0, MAX_KABU - 1}),
};

}  // namespace

std::span<const SettingRow> SettingRows() { return kRows; }

const SettingRow* FindSettingRow(const char* section, const char* key) {
  for (const SettingRow& r : kRows)
    if (strcasecmp(r.section, section) == 0 && strcasecmp(r.key, key) == 0) return &r;
  return nullptr;
}

namespace {
// Every variable holds its default from the start, before any settings are loaded.
[[maybe_unused]] const bool kDefaultsSet = (ResetAllSettings(), true);
}  // namespace
