#include "shell/settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "chart/chart_settings.h"
#include "db/maintenance_settings.h"
#include "lists/list_settings.h"
#include "lists/screening_settings.h"
#include "net/download_settings.h"
#include "net/net_config.h"
#include "net/net_settings.h"
#include "platform/diagnostics.h"
#include "platform/hooks.h"
#include "platform/profile_file.h"
#include "db/stock_code.h"
#include "shell/settings_table.h"
#include "shell/window_placement.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace {

std::vector<WinPlacement> g_applied;
bool g_apply_ok = true;
bool g_read_ok = true;
WinPlacement g_desktop_placement;

bool RecordApply(const WinPlacement& p) {
  g_applied.push_back(p);
  return g_apply_ok;
}

bool FakeRead(WinPlacement& p) {
  if (g_read_ok) p = g_desktop_placement;
  return g_read_ok;
}

std::string History() {
  static char buf[PRT_LINES * PRT_LINE_BYTES];
  PrtHistoryText(buf, sizeof buf);
  return buf;
}

std::vector<int> Nine(const WinPlacement& p) {
  return {p.show, p.min_x, p.min_y, p.max_x, p.max_y, p.left, p.top, p.right, p.bottom};
}

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearPrtHistory();
    g_applied.clear();
    g_apply_ok = g_read_ok = true;
    g_desktop_placement = {1, -1, -1, -1, -1, 14, 12, 774, 592};
    MainPlacementApply = RecordApply;
    MainPlacementRead = FakeRead;
  }
  void TearDown() override {
    MainPlacementApply = nullptr;
    MainPlacementRead = nullptr;
    ResetAllSettings();
  }
  void Write(const std::string& text) { std::ofstream(dir.File("mirelo.ini"), std::ios::binary) << text; }
  std::string Saved() { return ReadFileBytes(dir.File("mirelo.ini")); }
  TempDir dir;
};

// A settings file that cannot be read (here a folder) is said at start-up, the defaults are
// used, and the end of the run leaves it as it was without a second word.
TEST_F(Settings, AnUnreadableFileIsSaidOnceAndKept) {
  ScriptedHost host;
  std::filesystem::create_directory(dir.File("mirelo.ini"));
  LoadSettings();
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].caption, "設定ファイル");
  EXPECT_NE(host.boxes[0].text.find("既定の設定で起動します"), std::string::npos);
  EXPECT_EQ(DayMoveAve[0], 15);
  SaveSettings();
  EXPECT_EQ(host.boxes.size(), 1u);
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("mirelo.ini")));
}

TEST_F(Settings, NoFileGivesEveryDefault) {
  LoadSettings();
  ASSERT_EQ(g_applied.size(), 1u);  // the main window is placed at once
  EXPECT_EQ(Nine(g_applied[0]), (std::vector<int>{SW_SHOW, -1, -1, -1, -1, 14, 12, 774, 592}));
  EXPECT_EQ(g_applied[0].right - g_applied[0].left, 760);
  EXPECT_EQ(g_applied[0].bottom - g_applied[0].top, 580);
  EXPECT_EQ(Nine(CrossWinPos), (std::vector<int>{1, -1, -1, -1, -1, 93, 469, 213, 605}));
  EXPECT_EQ(AshiFlag, 1);
  EXPECT_EQ(CrossView, 1);
  EXPECT_EQ(DayMoveAve[0], 15);
  EXPECT_EQ(DayMoveAve[1], 39);
  EXPECT_EQ(MonthMoveAveThird[0], 52);
  EXPECT_EQ(CandleHaba[2], 6);
  EXPECT_EQ(DekiHabaRitu, 20);
  EXPECT_EQ(AutoDownload, 1);
  EXPECT_EQ(CrossFontSize, 12);
  EXPECT_STREQ(CsvOut, "");
  EXPECT_STREQ(VersionInfo, "");
  EXPECT_EQ(Clr_ChartBackGround, Rgb(0, 0, 0));
  EXPECT_EQ(Clr_AvgShort, Rgb(255, 127, 0));
  EXPECT_EQ(Clr_Parabolic, Rgb(0, 128, 255));
  EXPECT_EQ(FavoriteBackColor, 1);
  EXPECT_EQ(nViewShihyo, 0);
  EXPECT_EQ(Ichimoku[0], 26);
  EXPECT_EQ(MACD[1], 20);
  EXPECT_EQ(Bollinger, 2);
  EXPECT_EQ(Kairi[0], 15);
  EXPECT_EQ(Kairi[1], 13);
  EXPECT_EQ(CompareCode[2], 1007);
  EXPECT_EQ(CompareCheck[0], 1);
  EXPECT_EQ(ScreGroupNum, 1);
  EXPECT_STREQ(ScreGroup[0].name, "標準のスクリーニング");
  EXPECT_EQ(JuniParameter[3], 2);
  EXPECT_EQ(ProxyPort, 8080);
  EXPECT_EQ(ProxyUse, 0);
  EXPECT_EQ(ReplaceTagInterval, 4);
  EXPECT_EQ(RiguiRitu, 5);
  EXPECT_EQ(SonkiriRitu, -5);
  EXPECT_EQ(KidouView, 1);
  EXPECT_EQ(Restart[5], 0);
  EXPECT_EQ(History(), "File not found... mirelo.iniから読み込む\n");  // only the missing user-data file
}

// Values that would divide by zero, index past a table or freeze a paint fall back, each
// with a line naming its key.
TEST_F(Settings, DamagedValuesFallBackWithLineNamingKey) {
  Write(
      "[General]\n"
      "WinPos=1 -1 -1 -1 -1 500 400 100 100\n"
      "DayMoveAve=0 -5\n"
      "WeekMoveAve=2000 20\n"
      "CandleHaba=7 3 13\n"
      "CandleKind=7\n"
      "DekiHabaRitu=0\n"
      "ZengoDekidaka=9\n"
      "WebMillerSelect=6\n"
      "CrossFontSize=0\n"
      "[Color]\n"
      "Clr_Insen=-1\n"
      "[Chart]\n"
      "DispChart4=3 3 9 1\n"
      "RSI=0\n"
      "RCI=8 -1\n"
      "MACD=0 20 9\n"
      "Kairi=0 0 0\n"
      "Bollinger=9\n"
      "PntFgr=7 3\n"
      "CompareCode=50000 -1 1301\n"
      "[Screening]\n"
      "ScreGroupNum=500\n"
      "ScreGroupSelect=500\n"
      "[Ranking]\n"
      "Parameter=0 99 0 5\n"
      "[Proxy]\n"
      "Port=0\n"
      "[Alarum]\n"
      "RiguiRitu=-3\n"
      "SonkiriRitu=101\n");
  LoadSettings();
  EXPECT_EQ(Nine(WinPos), (std::vector<int>{1, -1, -1, -1, -1, 14, 12, 774, 592}));
  EXPECT_EQ(DayMoveAve[0], 15);
  EXPECT_EQ(DayMoveAve[1], 39);
  EXPECT_EQ(WeekMoveAve[0], MOVE_AVE_MAX);
  EXPECT_EQ(WeekMoveAve[1], 20);
  EXPECT_EQ(CandleHaba[0], 6);  // nearest table spacing (the smaller on a tie)
  EXPECT_EQ(CandleHaba[1], 4);
  EXPECT_EQ(CandleHaba[2], 12);
  EXPECT_EQ(AshiFlag, 1);
  EXPECT_EQ(DekiHabaRitu, 20);
  EXPECT_EQ(ZengoDekidaka, 0);
  EXPECT_EQ(WebMillerSelect, 0);
  EXPECT_EQ(CrossFontSize, 12);
  EXPECT_EQ(Clr_Insen, Rgb(255, 255, 255));
  EXPECT_EQ(nViewShihyo, 1);  // 3 once; 9 ends the list
  EXPECT_EQ(ViewShihyo[0], 3);
  EXPECT_EQ(fViewRSI, 1);
  EXPECT_EQ(fViewPsycho, 0);
  EXPECT_EQ(RSI, 9);
  EXPECT_EQ(RCI[1], 12);
  EXPECT_EQ(MACD[0], 5);
  EXPECT_EQ(Kairi[0], 15);
  EXPECT_EQ(Kairi[2], 13);
  EXPECT_EQ(Bollinger, 2);
  EXPECT_EQ(PntFgr[0], 0);
  EXPECT_EQ(PntFgr[1], 0);
  EXPECT_EQ(ScreGroupNum, SCRE_GROUP_MAX);
  EXPECT_EQ(ScreGroupSelect, 0);
  EXPECT_EQ(JuniParameter[1], 0);
  EXPECT_EQ(JuniParameter[3], 2);
  EXPECT_EQ(ProxyPort, 8080);
  // A code outside the code range would stop the program when the comparison window
  // formats it.
  EXPECT_EQ(CompareCode[0], 1001);
  EXPECT_EQ(CompareCode[1], 1002);
  EXPECT_EQ(CompareCode[2], 1301);
  for (int c : CompareCode) EXPECT_EQ(std::string(Code_to_String(c)).size(), 4u);
  EXPECT_EQ(RiguiRitu, 5);
  EXPECT_EQ(SonkiriRitu, -5);
  const std::string h = History();
  for (const char* key : {"WinPos", "DayMoveAve", "WeekMoveAve", "CandleHaba", "CandleKind", "DekiHabaRitu",
                          "ZengoDekidaka", "WebMillerSelect", "CrossFontSize", "Clr_Insen", "RSI", "RCI", "MACD",
                          "Kairi", "Bollinger", "PntFgr", "ScreGroupNum", "ScreGroupSelect", "Parameter", "Port",
                          "CompareCode", "RiguiRitu", "SonkiriRitu"})
    EXPECT_NE(h.find(std::string("設定 ") + key + " "), std::string::npos) << key;
}

TEST_F(Settings, ListsPartialExtraAndMalformed) {
  Write(
      "[General]\n"
      "DayMoveAve=20\n"             // second period keeps its default
      "WeekMoveAve=9 18 27 36\n"    // extra numbers ignored
      "MonthMoveAve=12abc 30\n"     // reads 12, the scan ends there
      "CrossView=x\n"               // malformed: the default stays
      "CsvOut=  /home/user/My CSV files  \n"
      "VersionInfo=Kivora 3.70 2025/01/01 with a long tail of text\n"
      "[Chart]\n"
      "CompareCode=1301 1332\n"
      "[YahooBlock]\n"
      "LatestTime=1796860800\n"
      "HttpCount=42\n"
      "Restart=1 2 3\n");
  ScriptedHost host;  // the clock of the file's LatestTime (a later one would count as 0)
  LoadSettings();
  EXPECT_EQ(DayMoveAve[0], 20);
  EXPECT_EQ(DayMoveAve[1], 39);
  EXPECT_EQ(WeekMoveAve[0], 9);
  EXPECT_EQ(WeekMoveAve[1], 18);
  EXPECT_EQ(MonthMoveAve[0], 12);
  EXPECT_EQ(MonthMoveAve[1], 26);
  EXPECT_EQ(CrossView, 1);
  EXPECT_STREQ(CsvOut, "/home/user/My CSV files");  // read whole, not up to the blank
  EXPECT_STREQ(VersionInfo, "Kivora 3.70 2025/01/01 with a lo");  // first 32 characters
  EXPECT_EQ(Kairi[0], 20);  // deviation windows follow the first average periods as loaded
  EXPECT_EQ(Kairi[1], 9);
  EXPECT_EQ(Kairi[2], 12);
  EXPECT_EQ(CompareCode[0], 1301);
  EXPECT_EQ(CompareCode[1], 1332);
  EXPECT_EQ(CompareCode[2], 1007);
  EXPECT_EQ(LatestTime, 1796860800);
  EXPECT_EQ(nHttpCount, 42);
  EXPECT_EQ(Restart[2], 3);
  EXPECT_EQ(Restart[3], 0);
}

TEST_F(Settings, MaximisedWindowReopensNormalAtSavedRectangle) {
  Write("[General]\nWinPos=3 -1 -1 -8 -8 100 50 900 650\n");
  LoadSettings();
  ASSERT_EQ(g_applied.size(), 1u);
  EXPECT_EQ(Nine(g_applied[0]), (std::vector<int>{SW_SHOW, -1, -1, -8, -8, 100, 50, 900, 650}));
  EXPECT_EQ(WinPos.show, 3);  // the record keeps what was saved

  g_apply_ok = false;
  LoadSettings();
  EXPECT_NE(History().find("Fail SetWinPlace!"), std::string::npos);
}

TEST_F(Settings, OverlaysAndPanesReadAndWrittenInTheirFormats) {
  Write("[Chart]\nDispChart3=0 1 0 0 0 0 0 0 0 0 1 0 0 0 0 0 0 0 0 0\nDispChart4=8 3\n");
  LoadSettings();
  EXPECT_EQ(fViewIchimoku, 1);
  EXPECT_EQ(fViewParabolic, 1);
  EXPECT_EQ(fViewKakakutai, 0);
  EXPECT_EQ(fViewBollinger, 0);
  EXPECT_EQ(nViewShihyo, 2);
  EXPECT_EQ(ViewShihyo[0], 8);
  EXPECT_EQ(ViewShihyo[1], 3);
  SaveSettings();
  ProfileFile ini;
  ASSERT_TRUE(ProfileLoad(ini, dir.File("mirelo.ini").c_str()));
  char buf[PROFILE_VALUE_BYTES];
  ProfileGetString(ini, "Chart", "DispChart3", "", buf, sizeof buf);
  EXPECT_STREQ(buf, "0 1 0 0 0 0 0 0 0 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0");  // 24 numbers
  ProfileGetString(ini, "Chart", "DispChart4", "", buf, sizeof buf);
  EXPECT_STREQ(buf, "8 3 0 0 0 0 0 0 0");  // nine numbers
}

// A hand-written file with odd values and lines of other owners: after a save every line
// the program does not own is there byte for byte and in order, and a second load reads
// the same values.
TEST_F(Settings, SaveKeepsEveryUnknownLineAndReadsBackTheSame) {
  const std::string kept[] = {
      "; Kivora settings, edited by hand",
      "DekiHabaRitu = 40 ; taller volume pane",
      "  Obsolete=old key",
      "[Portfolio]",
      "Num=1",
      "[PF0000]",
      "Name=トヨタ自動車",
      "Memo=  with blanks  ",
      "[Alarum]",
      "Num=0",
      "[MyOwnSection]",
      "anything goes here",
  };
  Write(
      "\xEF\xBB\xBF; Kivora settings, edited by hand\n"
      "[general]\n"
      "winpos = 1 -1 -1 -1 -1 30 40 830 640\n"
      "DekiHabaRitu = 40 ; taller volume pane\n"
      "  Obsolete=old key\n"
      "CandleKind=2\n"
      "[Portfolio]\n"
      "Num=1\n"
      "[PF0000]\n"
      "Name=トヨタ自動車\n"
      "Memo=  with blanks  \n"
      "[Alarum]\n"
      "Num=0\n"
      "SonkiriRitu=7\n"
      "[MyOwnSection]\n"
      "anything goes here\n"
      "[Proxy]\n"
      "Url=\"proxy.example\"\n");
  LoadSettings();
  EXPECT_EQ(DekiHabaRitu, 40);
  EXPECT_EQ(AshiFlag, 2);
  EXPECT_EQ(SonkiriRitu, -7);
  EXPECT_STREQ(ProxyUrl, "proxy.example");
  EXPECT_EQ(WinPos.left, 30);

  // Values the user typed may carry line breaks; the file must not.
  std::snprintf(ScreGroup[0].name, sizeof ScreGroup[0].name, "%s", "買い\r\n[Proxy]\r\nUse=1");
  g_desktop_placement = {3, -1, -1, -8, -8, 31, 41, 831, 641};
  SaveSettings();
  const std::string text = Saved();
  size_t from = 0;
  for (const std::string& line : kept) {
    size_t at = text.find(line + "\r\n", from);
    ASSERT_NE(at, std::string::npos) << line;
    from = at + line.size();
  }
  size_t lf = 0, crlf = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    lf += text[i] == '\n';
    crlf += text[i] == '\n' && i > 0 && text[i - 1] == '\r';
  }
  EXPECT_EQ(lf, crlf);  // every line ends in CR LF
  EXPECT_NE(text.find("VersionInfo=Kivora 3.74 2026/10/31\r\n"), std::string::npos);
  EXPECT_NE(text.find("SonkiriRitu=7\r\n"), std::string::npos);  // positive in the file
  EXPECT_NE(text.find("WinPos=3 -1 -1 -8 -8 31 41 831 641\r\n"), std::string::npos);
  EXPECT_EQ(text.find("\nUse=1"), std::string::npos);  // no line of its own

  LoadSettings();
  EXPECT_EQ(DekiHabaRitu, 40);
  EXPECT_EQ(AshiFlag, 2);
  EXPECT_EQ(SonkiriRitu, -7);
  EXPECT_EQ(ProxyUse, 0);
  EXPECT_STREQ(ScreGroup[0].name, "買い  [Proxy]  Use=1");
  EXPECT_EQ(Nine(WinPos), (std::vector<int>{3, -1, -1, -8, -8, 31, 41, 831, 641}));
}

TEST_F(Settings, FailedPlacementReadKeepsTheRecord) {
  Write("[General]\nWinPos=1 -1 -1 -1 -1 30 40 830 640\n");
  LoadSettings();
  g_read_ok = false;
  SaveSettings();
  EXPECT_NE(History().find("画面配置位置取得失敗"), std::string::npos);
  EXPECT_NE(Saved().find("WinPos=1 -1 -1 -1 -1 30 40 830 640\r\n"), std::string::npos);
}

// Every number of every key, at either end of the int range: nothing reaches undefined
// behaviour (the sanitizers watch the load, the paint-time helpers and the save), every
// number lands inside its row's range, and what is saved reads back the same.
TEST_F(Settings, ExtremeNumbersLandInsideEveryRange) {
  for (const char* extreme : {"-2147483648", "2147483647"}) {
    std::string text;
    const char* section = "";
    for (const SettingRow& row : SettingRows()) {
      if (row.form != SETTING_INTS) continue;
      if (std::string(section) != row.section) text += std::string("[") + (section = row.section) + "]\n";
      text += std::string(row.key) + "=";
      for (int i = 0; i < row.count; ++i) text += std::string(i ? " " : "") + extreme;
      text += "\n";
    }
    Write(text);
    LoadSettings();
    for (const SettingRow& row : SettingRows()) {
      if (row.form != SETTING_INTS) continue;
      int v[SETTING_MAX_NUMBERS] = {};
      SettingGetNumbers(row, v);
      for (int i = 0; i < row.count && i < (row.written ? row.written : row.count); ++i) {
        const SettingLimit& l = SettingLimitOf(row, i);
        EXPECT_GE(v[i], l.lo) << row.key << " " << i << " " << extreme;
        EXPECT_LE(v[i], l.hi) << row.key << " " << i << " " << extreme;
      }
    }
    EXPECT_EQ(NearestHaba(CandleHaba[0]), CandleHaba[0]);
    EXPECT_LE(SonkiriRitu, 0);
    EXPECT_GT(WinPos.right, WinPos.left);

    SaveSettings();
    const std::string saved = Saved();
    LoadSettings();
    SaveSettings();
    EXPECT_EQ(Saved(), saved) << extreme;
  }
}

// The rows themselves: each key once, defaults inside their ranges, and a negated number
// whose range keeps its negative defined.
TEST(SettingsTable, RowsAreConsistent) {
  std::vector<std::string> seen;
  for (const SettingRow& row : SettingRows()) {
    const std::string id = std::string(row.section) + "/" + row.key;
    for (const std::string& s : seen) EXPECT_NE(s, id);
    seen.push_back(id);
    EXPECT_EQ(FindSettingRow(row.section, row.key), &row) << id;
    if (row.form != SETTING_INTS) continue;
    EXPECT_LE(row.count, SETTING_MAX_NUMBERS) << id;
    EXPECT_LE(row.written, SETTING_MAX_NUMBERS) << id;
    int def[SETTING_MAX_NUMBERS];
    SettingDefaults(row, def);
    for (int i = 0; i < row.count; ++i) {
      const SettingLimit& l = SettingLimitOf(row, i);
      EXPECT_LE(l.lo, def[i]) << id << " " << i;
      EXPECT_GE(l.hi, def[i]) << id << " " << i;
      if (row.flags & SETTING_NEGATED) {
        EXPECT_GT(l.lo, INT_MIN) << id;
      }
    }
  }
  EXPECT_EQ(FindSettingRow("general", "candlehaba"), FindSettingRow("General", "CandleHaba"));
  EXPECT_EQ(FindSettingRow("General", "NoSuchKey"), nullptr);
}

// The reset, the load and the save run from the same rows: a value stored through a row
// is written, and after a reset reads back through the same row.
TEST_F(Settings, EveryNumberSurvivesSaveAndLoad) {
  LoadSettings();
  std::vector<std::vector<int>> want;
  for (const SettingRow& row : SettingRows()) {
    std::vector<int> v(SETTING_MAX_NUMBERS, 0);
    if (row.form == SETTING_INTS && !row.convert && !(row.flags & SETTING_NOT_WRITTEN)) {
      // A legal value other than the default: the top of each range (clamped to something
      // the placements accept).
      for (int i = 0; i < row.count; ++i) {
        const SettingLimit& l = SettingLimitOf(row, i);
        v[i] = l.hi == INT_MAX ? 123456 : l.hi;
      }
      SettingSetNumbers(row, v.data());
    }
    std::vector<int> got(SETTING_MAX_NUMBERS, 0);
    if (row.form == SETTING_INTS) SettingGetNumbers(row, got.data());
    want.push_back(got);
  }
  SaveSettings();
  ResetAllSettings();
  LoadSettings();
  size_t n = 0;
  for (const SettingRow& row : SettingRows()) {
    std::vector<int> got(SETTING_MAX_NUMBERS, 0);
    if (row.form == SETTING_INTS) SettingGetNumbers(row, got.data());
    EXPECT_EQ(got, want[n++]) << row.key;
  }
  EXPECT_EQ(SonkiriRitu, -SONKIRI_RITU_MAX);
  EXPECT_NE(Saved().find("SonkiriRitu=100\r\n"), std::string::npos);
}

TEST(WindowPlacement, PositionOnlyRestoreKeepsPartOnDesktop) {
  struct Case {
    int left, top, want_left, want_top;
  } const cases[] = {
      {100, 100, 100, 100},     // on the desktop: unchanged
      {-500, -500, -160, -80},  // at most 80 % off to the left and top
      {5000, 5000, 1880, 1030}, // a fifth of the width, and 50 pixels of height, stay visible
  };
  for (const Case& c : cases) {
    WinPlacement p = {1, -1, -1, -1, -1, c.left, c.top, c.left + 200, c.top + 100};
    ClampPlacementPosition(p, 200, 100, 1920, 1080);
    EXPECT_EQ(p.left, c.want_left);
    EXPECT_EQ(p.top, c.want_top);
    EXPECT_EQ(p.right, c.left + 200);
  }
}

// A size beyond the screen is cut to the available area before a window gets it; the
// position then follows the position-only rule, relative to the area's origin.
TEST(WindowPlacement, FitToDesktopCutsSizeAndKeepsPartVisible) {
  struct Case {
    WinPlacement in;
    int desk[4];
    int want[4];
  } const cases[] = {
      {{1, -1, -1, -1, -1, 14, 12, 774, 592}, {0, 0, 1920, 1080}, {14, 12, 774, 592}},        // fits: unchanged
      {{1, -1, -1, -1, -1, 14, 12, 25014, 25012}, {0, 0, 1920, 1040}, {14, 12, 1934, 1052}},  // cut to the area
      {{1, -1, -1, -1, -1, 30000, -30000, 30400, -29700}, {0, 0, 800, 600}, {720, -240, 1120, 60}},
      {{1, -1, -1, -1, -1, 2000, 100, 2600, 500}, {1920, 0, 3840, 1080}, {2000, 100, 2600, 500}},  // second screen
      {{1, -1, -1, -1, -1, -32767, -32767, 32767, 32767}, {1920, 0, 3840, 1080}, {384, -864, 2304, 216}},
  };
  for (const Case& c : cases) {
    WinPlacement p = c.in;
    FitPlacementToDesktop(p, c.desk[0], c.desk[1], c.desk[2], c.desk[3]);
    EXPECT_EQ((std::vector<int>{p.left, p.top, p.right, p.bottom}),
              (std::vector<int>{c.want[0], c.want[1], c.want[2], c.want[3]}))
        << c.in.left << "," << c.in.top;
    EXPECT_EQ(p.show, c.in.show);
  }
}

}  // namespace

namespace {

// The web-source, CA-file and connect-to keys reach the transport's configuration; a bad
// value is reported by its key and falls back.
TEST_F(Settings, NetworkKeysReachTheTransport) {
  Write("[Proxy]\r\nUse=1\r\nUrl=proxy.lan\r\nPort=3128\r\n"
        "[Https]\r\nCAFile=/tmp/ca.pem\r\nConnectTo=portal.test=127.0.0.1:8443; chart.test=127.0.0.1:9443\r\n"
        "[WebSource]\r\nPortal=https://portal.test/\r\nChartApi=ftp://chart.test\r\n");
  LoadSettings();
  const NetConfig& c = CurrentNetConfig();
  EXPECT_EQ(c.proxy_use, 1);
  EXPECT_EQ(c.proxy_host, "proxy.lan");
  EXPECT_EQ(c.proxy_port, 3128);
  EXPECT_EQ(c.ca_file, "/tmp/ca.pem");
  ASSERT_EQ(c.connect_to.size(), 2u);
  EXPECT_EQ(c.connect_to[1].host, "chart.test");
  EXPECT_EQ(c.connect_to[1].port, 9443);
  EXPECT_EQ(c.portal_url, "https://portal.test");
  EXPECT_EQ(c.chart_url, NetConfig().chart_url);
  EXPECT_NE(History().find("ChartApi=ftp://chart.test"), std::string::npos);

  Write("[Https]\r\nConnectTo=portal.test:443\r\n");
  LoadSettings();
  EXPECT_TRUE(CurrentNetConfig().connect_to.empty());
  EXPECT_NE(History().find("ConnectTo=portal.test:443"), std::string::npos);
  SaveSettings();
  EXPECT_NE(Saved().find("[WebSource]\r\nPortal=https://finance.yahoo.co.jp\r\n"), std::string::npos);
}

}  // namespace
