// dbseed: the version-4 database built from a source folder, grown by Kivora's start-up.
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "db/csv_export.h"
#include "db/database_check.h"
#include "db/database_file.h"
#include "db/database_upgrade.h"
#include "db/master_file.h"
#include "db/packed_value.h"
#include "db/record_io.h"
#include "db/stock_code.h"
#include "export_convert.h"
#include "folder_source.h"
#include "platform/file_replace.h"
#include "platform/working_folder.h"
#include "seed_build.h"
#include "platform/codepage.h"
#include "support/db_fixture.h"
#include "support/prt_text.h"
#include "support/run_command.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "tools/seed_source_fixture.h"

namespace {

constexpr int kCalendarDays = 3001;  // the Nikkei series covers the first 3000 of them

class Seeding : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDatabaseState();
    src = dir.File("src");
    ASSERT_EQ(::mkdir(src.c_str(), 0777), 0);
    dates = SeedWeekdays(kCalendarDays);
    WriteSeedCalendar(src, dates);
  }
  template <typename F>
  void Series(const char* code, int from, int to, F line) {
    WriteSeedSeries(src, dates, code, from, to, line);
  }
  void StandardSource() {
    WriteFixtureTag({SeedEntry("1001", "日経平均"), SeedEntry("7000", "分割"), SeedEntry("130A", "英字"),
                     SeedEntry("1003", "ドル円"), SeedEntry("7001", "無し"), SeedEntry("7002", "先まで")});
    Series("1001", 0, 2999, [](int i) {
      const int o = 5000 + i % 100;
      return std::to_string(o) + "\t" + std::to_string(o + 50) + "\t" + std::to_string(o - 50) + "\t" + std::to_string(o) +
             "\t123456";
    });
    // A split halves the prices before index 2800; a factor of 0 on 2900 is ignored.
    Series("7000", 500, 2999, [](int i) {
      std::string f = i == 2800 ? "\t0.5" : i == 2900 ? "\t0" : "";
      return std::string("1000\t1010\t990\t1000\t12.5") + f;
    });
    // Starts late, misses a day, ends early.
    Series("130A", 2990, 2995, [](int i) { return i == 2992 ? std::string() : std::string("300\t310\t290\t305\t1"); });
    Series("1003", 2990, 2999, [](int) { return std::string("118.53\t118.53\t118.53\t118.53\t0"); });
    // Reaches one day past the Nikkei series.
    Series("7002", 2990, 3000, [](int) { return std::string("50\t50\t50\t50\t1"); });
  }
  SeedResult Seed(std::function<bool()> cancelled = nullptr) {
    FolderSource source;
    std::string reason;
    EXPECT_TRUE(source.Open(src, &reason)) << reason;
    SeedRun run;
    run.source = &source;
    run.progress = [this](int, const char* p, const char* s) {
      last_progress = p;
      stocks_shown.push_back(s);
    };
    run.cancelled = cancelled;
    return SeedDatabase(run);
  }
  Hiashi Grown(int stock_num) {
    Hiashi h{};
    EXPECT_EQ(ReadRecord(stock_num, &h), 1) << stock_num;
    return h;
  }

  TempDir dir;
  ScriptedHost host;
  std::string src;
  std::vector<int> dates;
  std::string last_progress;
  std::vector<std::string> stocks_shown;
};

int V(uint16_t p) { return Packed_to_Value(p); }

TEST_F(Seeding, BuildsTheVersion4FileThatTheStartupGrows) {
  StandardSource();
  host.Answer(IDOK, "Kivora DB作成完了");
  ASSERT_EQ(Seed(), SeedResult::kDone);
  const std::string db = dir.File("vurn.hy3");
  const std::string bytes = ReadFileBytes(db);
  ASSERT_EQ(bytes.size(), 161688596u);
  int32_t header[5];
  std::memcpy(header, bytes.data(), sizeof header);
  EXPECT_EQ(header[0], 4);
  EXPECT_EQ(header[1], 4096);
  EXPECT_EQ(header[2], 2816);
  EXPECT_EQ(header[3], 2816);  // the newest 2816 days of the 3000
  EXPECT_EQ(header[4], 6);
  const int first = 3000 - 2816;
  int32_t d0, dlast;
  std::memcpy(&d0, bytes.data() + 20, 4);
  std::memcpy(&dlast, bytes.data() + 20 + 4 * 2815, 4);
  EXPECT_EQ(d0, dates[first]);
  EXPECT_EQ(dlast, dates[2999]);
  // Slots from LastKabu on are zero bytes.
  EXPECT_EQ(bytes.find_first_not_of('\0', DbRecordOffset(6)), std::string::npos);
  EXPECT_EQ(last_progress, "4096/4096");
  EXPECT_EQ(stocks_shown[2], "130A 英字");
  EXPECT_EQ(stocks_shown[6], "    0 ------");
  EXPECT_TRUE(LeftoverTemporaries(db).empty());

  // Kivora's next start grows it and reads every record back.
  ASSERT_NE(LoadTag(), 0);
  UpgradeDatabase();
  ASSERT_EQ(ReadFileBytes(db).size(), static_cast<size_t>(DB_FILE_SIZE));
  ASSERT_EQ(VURN_file_in(-1, 0), 1);
  EXPECT_EQ(DbVersion, 6);
  EXPECT_EQ(LastDate, 2816);

  const Hiashi nikkei = Grown(0);
  EXPECT_EQ(nikkei.start, 0);
  EXPECT_EQ(nikkei.end, 2815);
  EXPECT_EQ(nikkei.flag, FLAG_INDEX);  // the series starts before the window: no 0x01
  EXPECT_EQ(V(nikkei.open[0]), 5000 + first % 100);
  EXPECT_EQ(V(nikkei.deki[0]), 123400);  // whole volume, packed to four digits

  const Hiashi split = Grown(1);
  const int s = 500 - first, d = 2800 - first;
  EXPECT_EQ(split.start, s);
  EXPECT_EQ(split.flag, 0x01);
  EXPECT_EQ(V(split.close[s]), 500);
  EXPECT_EQ(V(split.high[d - 1]), 505);
  EXPECT_EQ(V(split.close[d]), 1000);
  EXPECT_EQ(V(split.close[2900 - first - 1]), 1000);  // the factor 0 changed nothing
  EXPECT_EQ(V(split.deki[s]), 12500);                 // thousands of shares
  EXPECT_TRUE(PrtHas("の権利落ち係数 0 は使えません"));

  const Hiashi alpha = Grown(2);
  EXPECT_EQ(alpha.code, 10000);
  EXPECT_EQ(alpha.start, 2990 - first);
  EXPECT_EQ(alpha.end, 2995 - first);
  EXPECT_EQ(alpha.flag, 0x01 | FLAG_DELISTED);
  const int gap = 2992 - first;
  EXPECT_EQ(V(alpha.open[gap]), 305);  // filled from the close before, volume 0
  EXPECT_EQ(V(alpha.deki[gap]), 0);
  EXPECT_EQ(V(alpha.deki[gap + 1]), 1000);

  const Hiashi yen = Grown(3);
  EXPECT_EQ(V(yen.close[2995 - first]), 11850);  // scaled before truncating (11853, packed to four digits)

  const Hiashi none = Grown(4);
  EXPECT_EQ(none.code, 7001);
  EXPECT_STREQ(none.name, "無し");
  EXPECT_EQ(none.end, 0);
  EXPECT_EQ(V(none.close[0]), 0);

  const Hiashi past = Grown(5);
  EXPECT_EQ(past.end, 2815);  // clamped to the calendar
  EXPECT_TRUE(PrtHas("株価がカレンダーの最終日"));
}

TEST_F(Seeding, AnExistingDatabaseIsReplacedOnlyAfterTwoOks) {
  StandardSource();
  WriteFileBytes(dir.File("vurn.hy3"), "old");
  host.Answer(IDCANCEL, "現在のデータベースを破棄しますか？");
  EXPECT_EQ(Seed(), SeedResult::kDeclined);
  host.Answer(IDOK, "現在のデータベースを破棄しますか？");
  host.Answer(IDCANCEL, "DB削除の最終警告");
  EXPECT_EQ(Seed(), SeedResult::kDeclined);
  EXPECT_EQ(ReadFileBytes(dir.File("vurn.hy3")), "old");
  EXPECT_EQ(host.boxes[0].type, MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2);

  // Stopped midway: the old file stays, no temporary file is left.
  host.Answer(IDOK);
  host.Answer(IDOK);
  int asked = 0;
  EXPECT_EQ(Seed([&asked] { return ++asked > 3; }), SeedResult::kStopped);
  EXPECT_EQ(ReadFileBytes(dir.File("vurn.hy3")), "old");
  EXPECT_TRUE(LeftoverTemporaries(dir.File("vurn.hy3")).empty());

  host.Answer(IDOK);
  host.Answer(IDOK);
  host.Answer(IDOK, "Kivora DB作成完了");
  EXPECT_EQ(Seed(), SeedResult::kDone);
  EXPECT_EQ(ReadFileBytes(dir.File("vurn.hy3")).size(), 161688596u);
}

// A master file of more than 4096 stocks is seeded whole, in the current layout, and the
// next start reads every stock's record as written.
TEST_F(Seeding, MoreThan4096StocksAreSeededInTheCurrentLayout) {
  constexpr int kStocks = 4100;
  std::vector<Fundamental> entries = {SeedEntry("1001", "日経平均")};
  Series("1001", 2990, 2999, [](int) { return std::string("5000\t5050\t4950\t5000\t1000"); });
  for (int s = 1; s < kStocks; ++s) {
    const std::string code = std::to_string(2000 + s);
    entries.push_back(SeedEntry(code.c_str(), code.c_str()));
    // Every 100th stock has no price file: its record still carries its code.
    if (s % 100 == 0) continue;
    Series(code.c_str(), 2997, 2999, [s](int i) {
      const std::string p = std::to_string(100 + s + i % 2);
      return p + "\t" + p + "\t" + p + "\t" + p + "\t" + std::to_string(s);
    });
  }
  WriteFixtureTag(entries);
  host.Answer(IDOK, "Kivora DB作成完了");
  ASSERT_EQ(Seed(), SeedResult::kDone);
  EXPECT_EQ(last_progress, "8192/8192");
  const std::string db = dir.File("vurn.hy3");
  struct stat st {};
  ASSERT_EQ(::stat(db.c_str(), &st), 0);
  ASSERT_EQ(st.st_size, DB_FILE_SIZE);

  ASSERT_NE(LoadTag(), 0);
  UpgradeDatabase();  // nothing to grow or to add
  EXPECT_FALSE(PrtHas("vurn.hy3の拡張"));
  EXPECT_FALSE(PrtHas("Tag変更での追加"));
  ASSERT_EQ(VURN_file_in(-1, 0), 1);
  ASSERT_EQ(VURN_file_in(-1, 1), 1);
  EXPECT_EQ(DbVersion, DB_VERSION);
  EXPECT_EQ(LastKabu, kStocks);
  ASSERT_EQ(LastDate, 10);
  EXPECT_EQ(DbSlotsInFile(), MAX_KABU);
  Hiashi h{};
  for (int s = 1; s < kStocks; ++s) {
    ASSERT_EQ(ReadRecord(s, &h), 1);
    ASSERT_EQ(h.code, 2000 + s) << s;
    ASSERT_STREQ(h.name, std::to_string(2000 + s).c_str());
    if (s % 100 == 0) {
      ASSERT_EQ(h.end, 0) << s;
      continue;
    }
    ASSERT_EQ(h.start, 7) << s;
    ASSERT_EQ(h.end, 9) << s;
    ASSERT_EQ(V(h.close[8]), 100 + s) << s;
    ASSERT_EQ(V(h.close[9]), 101 + s) << s;
    ASSERT_EQ(V(h.deki[9]), Packed_to_Value(Value_to_Packed(1000 * s))) << s;
  }
  // The slots after the last stock are empty.
  ASSERT_EQ(ReadRecord(kStocks, &h), 1);
  EXPECT_EQ(h.end, 0);
  EXPECT_EQ(V(h.close[9]), 0);
}

// A lock that cannot be taken for another reason than another program's update (here the
// lock file is a folder, as a read-only folder would refuse it) is named as it is.
TEST_F(Seeding, ALockFileThatCannotBeOpenedIsNamed) {
  StandardSource();
  std::filesystem::create_directory(dir.File("vurn.hy3.lock"));
  host.Answer(IDOK, "dbseed");
  EXPECT_EQ(Seed(), SeedResult::kStopped);
  const std::string& text = host.boxes.back().text;
  EXPECT_NE(text.find("vurn.hy3.lock"), std::string::npos) << Cp932ToUtf8(text);
  EXPECT_NE(text.find("フォルダです"), std::string::npos) << Cp932ToUtf8(text);
  EXPECT_EQ(text.find("更新中"), std::string::npos) << Cp932ToUtf8(text);
  EXPECT_FALSE(std::filesystem::exists(dir.File("vurn.hy3")));
}

TEST_F(Seeding, MissingMasterFileOrNikkeiStops) {
  host.Answer(IDOK);
  host.Answer(IDOK);
  EXPECT_EQ(Seed(), SeedResult::kStopped);
  EXPECT_EQ(host.boxes[0].text, "vurn.tag の読みこみ失敗");
  EXPECT_EQ(host.boxes[1].text, "内部エラーで停止しました");

  WriteFixtureTag(2);
  host.Answer(IDOK);
  EXPECT_EQ(Seed(), SeedResult::kStopped);  // no 1001 series
  EXPECT_EQ(::access(dir.File("vurn.hy3").c_str(), F_OK), -1);
}

TEST_F(Seeding, AMissingDateInsideTheCalendarIsAskedOnceAndCancelStops) {
  // 9984's fixed correction date lies inside a calendar that lacks it.
  dates = {20000420, 20000421, 20000424, 20000426, 20000427};
  WriteSeedCalendar(src, dates);
  WriteFixtureTag({SeedEntry("1001", "日経平均"), SeedEntry("9984", "ソフト"), SeedEntry("1003", "ドル円")});
  Series("1001", 0, 4, [](int) { return std::string("100\t100\t100\t100\t1"); });
  Series("9984", 0, 4, [](int) { return std::string("900\t900\t900\t900\t1"); });
  Series("1003", 0, 4, [](int) { return std::string("100\t100\t100\t100\t1"); });
  host.Answer(IDCANCEL);
  host.Answer(IDOK);
  EXPECT_EQ(Seed(), SeedResult::kStopped);
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_NE(host.boxes[0].text.find("この日=20000425はDB上に存在しない"), std::string::npos);
  EXPECT_EQ(::access(dir.File("vurn.hy3").c_str(), F_OK), -1);

  // OK goes on; 1003's fixed date of 1999 lies before the calendar and is not asked about.
  host.Answer(IDOK);
  host.Answer(IDOK, "Kivora DB作成完了");
  EXPECT_EQ(Seed(), SeedResult::kDone);
  EXPECT_EQ(host.boxes.size(), 4u);
}

// A day holding a number beyond what a packed value takes is left out with a log line and
// filled from its neighbours like any day without prices, never stored saturated.
TEST_F(Seeding, DaysBeyondThePackedRangeAreLeftOut) {
  dates = SeedWeekdays(10);
  WriteSeedCalendar(src, dates);
  WriteFixtureTag({SeedEntry("1001", "日経平均"), SeedEntry("7000", "大きい")});
  Series("1001", 0, 9, [](int) { return std::string("100\t110\t90\t100\t1"); });
  const struct {
    const char* what;
    int day;
    const char* fields;
    bool read;
  } cases[] = {
      {"close", 5, "1000\t2147483648\t990\t2147483648\t12.5", false},
      {"high", 5, "1000\t2147483648\t990\t1000\t12.5", false},
      {"volume in thousands", 5, "1000\t1010\t990\t1000\t2147484", false},
      {"the first day", 0, "2147483648\t2147483648\t990\t1000\t12.5", false},
      {"the largest values", 5, "2147483647\t2147483647\t2147483647\t2147483647\t2147483", true},
  };
  for (const auto& c : cases) {
    ::unlink(dir.File("vurn.hy3").c_str());
    Series("7000", 0, 9, [&c](int i) { return std::string(i == c.day ? c.fields : "1000\t1010\t990\t1000\t12.5"); });
    host.Answer(IDOK, "Kivora DB作成完了");
    ASSERT_EQ(Seed(), SeedResult::kDone) << c.what;
    Hiashi h{};
    DbInspectError error;
    ASSERT_TRUE(ReadDbRecordRaw(dir.File("vurn.hy3"), 1, &h, &error)) << error.text;
    const std::string told = "7000: " + std::to_string(dates[static_cast<size_t>(c.day)]) + " の株価か出来高が";
    if (c.read) {
      EXPECT_EQ(V(h.close[c.day]), 2147000000) << c.what;
      EXPECT_EQ(V(h.deki[c.day]), 2147000000) << c.what;
    } else {
      EXPECT_EQ(V(h.close[c.day]), 1000) << c.what;
      EXPECT_EQ(V(h.high[c.day]), 1000) << c.what;
      EXPECT_EQ(h.deki[c.day], 0) << c.what;
      EXPECT_TRUE(PrtHas(told)) << c.what;
    }
  }
}

// Export every stock, convert, seed, grow: the records come back as they were (margins and
// flags aside, which the seed does not carry).
TEST_F(Seeding, ExportConvertSeedAndGrowGiveTheRecordsBack) {
  const std::vector<Fundamental> entries = {SeedEntry("1001", "日経平均"), SeedEntry("7000", "大商い"),
                                            SeedEntry("130A", "途中から"), SeedEntry("1003", "ドル円")};
  WriteFixtureTag(entries);
  const int days = 40;
  std::vector<int32_t> cal = FixtureCalendar(days);
  cal.resize(MAX_DATE, 0);
  DbImage image;
  image.header.last_date = days;
  image.header.last_kabu = 4;
  image.dates = cal.data();
  image.filled = 4;
  image.fill = [&entries](int n, Hiashi* h) {
    FillFixtureRecord(n, days, h);
    h->code = entries[n].code;
    std::memcpy(h->name, entries[n].name, sizeof h->name);
    for (int d = 0; d < days; ++d) {
      if (n == 1) h->deki[d] = Value_to_Packed(1234567 * (d + 1));
      if (n == 1) h->margin_buy[d] = Value_to_Packed(5000);
      if (n == 3) {
        h->open[d] = h->high[d] = h->low[d] = h->close[d] = Value_to_Packed(11853 + d);
        h->high[d] = Value_to_Packed(11900 + d);
      }
    }
    if (n == 1) h->flag |= FLAG_MARGIN;
    if (n == 2) {
      h->start = 5;
      for (int d = 0; d < 5; ++d)
        for (uint16_t* a : {h->open, h->high, h->low, h->close, h->deki}) a[d] = 0;
    }
  };
  ASSERT_EQ(WriteDatabaseImage(DataFilePath(DB_FILE), image), 0);
  ASSERT_NE(LoadTag(), 0);
  ASSERT_EQ(VURN_file_in(-1, 0), 1);
  ASSERT_EQ(VURN_file_in(-1, 1), 1);
  std::vector<Hiashi> before(4);
  const std::string csv = dir.File("csv/");
  ASSERT_EQ(::mkdir(csv.c_str(), 0777), 0);
  for (int s = 0; s < 4; ++s) {
    ASSERT_EQ(ReadRecord(s, &before[s]), 1);
    ASSERT_EQ(WriteCsvFile(csv, before[s], 0, days - 1), 0);
  }
  std::string reason;
  ASSERT_EQ(ConvertExportFolder(csv, dir.File("moved"), &reason), 4) << reason;
  src = dir.File("moved");
  host.Answer(IDOK);
  host.Answer(IDOK);
  host.Answer(IDOK, "Kivora DB作成完了");
  ASSERT_EQ(Seed(), SeedResult::kDone);

  ResetDatabaseState();
  ASSERT_NE(LoadTag(), 0);
  UpgradeDatabase();
  ASSERT_EQ(VURN_file_in(-1, 0), 1);
  ASSERT_EQ(VURN_file_in(-1, 1), 1);
  EXPECT_EQ(LastDate, days);
  for (int s = 0; s < 4; ++s) {
    const Hiashi after = Grown(s);
    const Hiashi& was = before[s];
    EXPECT_EQ(after.code, was.code);
    EXPECT_STREQ(after.name, was.name);
    EXPECT_EQ(after.start, was.start) << s;
    EXPECT_EQ(after.end, was.end) << s;
    EXPECT_EQ(std::memcmp(after.open, was.open, 5 * sizeof after.open), 0) << s;
  }
}

TEST(SeedSource, BadFoldersAreRefusedWithTheReason) {
  TempDir dir;
  FolderSource source;
  std::string reason;
  EXPECT_FALSE(source.Open(dir.File("none"), &reason));
  WriteFileBytes(dir.File("calendar.txt"), "20260105\n20260105\n");
  EXPECT_FALSE(source.Open(dir.path(), &reason));
  EXPECT_NE(reason.find("2 行目"), std::string::npos) << reason;
  WriteFileBytes(dir.File("calendar.txt"), "\xEF\xBB\xBF" "20260105\n20260106\n");  // a byte order mark is passed over
  ASSERT_TRUE(source.Open(dir.path(), &reason)) << reason;
  WriteFileBytes(dir.File("7203.txt"), "20260105 1 2 3 x 5\n");
  EXPECT_FALSE(source.SelectSeries("7203"));
  WriteFileBytes(dir.File("7203.txt"), "20260107 1 2 3 4 5\n");  // not a calendar day
  EXPECT_FALSE(source.SelectSeries("7203"));
  EXPECT_FALSE(source.SelectSeries("../x"));
  WriteFileBytes(dir.File("7203.txt"), "20260106,1,2,3,4,5,0.5\n");
  ASSERT_TRUE(source.SelectSeries("7203"));
  long first = -1;
  double factor = 0;
  EXPECT_TRUE(source.FirstIndex(&first));
  EXPECT_EQ(first, 1);
  EXPECT_TRUE(source.RightsFactor(1, &factor));
  EXPECT_EQ(factor, 0.5);
  double ole = 0;
  EXPECT_TRUE(source.CalendarDate(0, &ole));
  EXPECT_EQ(OleDateToRealDate(ole), 20260105);
  EXPECT_EQ(OleDateToRealDate(2.0), 19000101);
}

// An export the seed could not read back is refused at once, naming the line.
TEST(SeedSource, ExportLinesThatAreRefused) {
  const struct {
    const char* text;
    const char* line;
  } cases[] = {
      {"20261207\t1000\t1010\t990\t1005\t12300\n2026127\t1100\t1120\t1090\t1110\t4000\n", "2 行目"},  // found by fuzzing
      {"20260231 1 2 3 4 5\n", "1 行目"},
      {"20260105 1 2 3 4 5\n20260105 1 2 3 4 5\n", "2 行目"},
      {"20260105 1 2 3 4.5 5\n", "1 行目"},
      {"\r 7\t15025\t15100\t14950\t15050\t0\r", "1 行目"},  // found by fuzzing: once passed over
  };
  for (const auto& c : cases) {
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.File("csv").c_str(), 0755), 0);
    WriteFileBytes(dir.File("csv/7203.txt"), c.text);
    std::string reason;
    EXPECT_EQ(ConvertExportFolder(dir.File("csv"), dir.File("moved"), &reason), -1) << c.text;
    EXPECT_NE(reason.find(c.line), std::string::npos) << reason;
  }
  // A stray line break before a day's numbers keeps the day.
  TempDir dir;
  ASSERT_EQ(::mkdir(dir.File("csv").c_str(), 0755), 0);
  WriteFileBytes(dir.File("csv/7203.txt"), "\r20261207\t1000\t1010\t990\t1005\t12300\n\r\n");
  std::string reason;
  ASSERT_EQ(ConvertExportFolder(dir.File("csv"), dir.File("moved"), &reason), 1) << reason;
  EXPECT_EQ(ReadFileBytes(dir.File("moved/calendar.txt")), "20261207\n");
}

TEST(SeedSource, WholeNumbersToleratesBinaryNoise) {
  EXPECT_EQ(SeedWhole(118.53 * 100), 11853);
  EXPECT_EQ(SeedWhole(12.34 * 1000.0), 12340);
  EXPECT_EQ(SeedWhole(118.53), 118);
  EXPECT_EQ(SeedWhole(-1.5), -1);
  EXPECT_EQ(SeedWhole(NAN), 0);
}

// The program without a window, as scripts run it.
TEST(SeedTool, RunsWithoutAWindowAndConvertsTheExport) {
  const std::string tool = std::string(VURN_BINARY_DIR) + "/dbseed";
  if (::access(tool.c_str(), X_OK) != 0) GTEST_SKIP() << "dbseed is not built";
  TempDir dir;
  EXPECT_EQ(RunCommand(tool + " --bad").code, 2);
  CommandRun bad = RunCommand("cd " + dir.path() + " && " + tool + " --source nowhere --yes");
  EXPECT_EQ(bad.code, 1);
  EXPECT_NE(bad.out.find("calendar.txt"), std::string::npos) << bad.out;

  // An export folder: two stocks.
  ASSERT_EQ(::mkdir(dir.File("csv").c_str(), 0777), 0);
  WriteFileBytes(dir.File("csv/1001.txt"), "20261207\t100\t110\t90\t105\t5000\r\n20261208\t105\t115\t95\t110\t6000\r\n");
  WriteFileBytes(dir.File("csv/7203.txt"), "20261208\t2000\t2100\t1900\t2050\t1234000\t500\t600\r\n");
  CommandRun conv = RunCommand("cd " + dir.path() + " && " + tool + " --convert csv --to src");
  ASSERT_EQ(conv.code, 0) << conv.out;
  EXPECT_EQ(ReadFileBytes(dir.File("src/calendar.txt")), "20261207\n20261208\n");
  EXPECT_EQ(ReadFileBytes(dir.File("src/7203.txt")), "20261208\t2000\t2100\t1900\t2050\t1234.000\n");
  WriteFixtureTag({SeedEntry("1001", "日経平均"), SeedEntry("7203", "トヨタ")});
  WriteFileBytes(dir.File("vurn.hy3"), "old");
  CommandRun no = RunCommand("cd " + dir.path() + " && " + tool + " --source src");
  EXPECT_EQ(no.code, 0) << no.out;
  EXPECT_EQ(ReadFileBytes(dir.File("vurn.hy3")), "old");
  CommandRun yes = RunCommand("cd " + dir.path() + " && " + tool + " --source src --yes");
  ASSERT_EQ(yes.code, 0) << yes.out;
  EXPECT_EQ(ReadFileBytes(dir.File("vurn.hy3")).size(), 161688596u);
}

// Price files that cannot be read whole, through the program without a window: each refuses
// the run naming the file, the line and the reason, and the old vurn.hy3 stays byte for
// byte. --skip-bad goes on without the stock; a byte order mark is an encoding mark, read.
TEST(SeedTool, FaultyPriceFilesRefuseTheRun) {
  const std::string tool = std::string(VURN_BINARY_DIR) + "/dbseed";
  if (::access(tool.c_str(), X_OK) != 0) GTEST_SKIP() << "dbseed is not built";
  const std::vector<int> dates = SeedWeekdays(5);  // 20140106 to 20140110
  const std::string day = "\t1000\t1010\t990\t1000\t12\n";
  auto line = [&dates, &day](int i) { return std::to_string(dates[static_cast<size_t>(i)]) + day; };
  const std::string good = line(0) + line(1) + line(2) + line(3) + line(4);
  const struct {
    const char* what;
    const char* code;  // the file that is written
    std::string content;
    const char* options;
    int exit;
    const char* told;  // on standard error, with the file name
  } cases[] = {
      {"junk line", "7000", line(0) + "xyz\n" + line(2), "", 3, "7000.txt: 2 行目に数値でない項目があります"},
      {"nan", "7000", line(0) + "20140107\t1000\tnan\t990\t1000\t12\n", "", 3, "2 行目に数値でない項目"},
      {"inf volume", "7000", "20140106\t1000\t1010\t990\t1000\tinf\n", "", 3, "1 行目に数値でない項目"},
      {"thousands separator", "7000", line(0) + "20140107\t1000\t1010\t990\t1000\t1,234.5\n", "", 3,
       "2 行目に数値でない項目"},
      {"a Sunday", "7000", line(0) + "20140105" + day, "", 3, "2 行目の日付 20140105 は calendar.txt にありません"},
      {"lines swapped", "7000", line(1) + line(0) + line(2), "", 3, "2 行目の日付 20140106 が前の行より後ではありません"},
      {"four numbers", "7000", line(0) + "20140107\t1000\t1010\t990\t1000\n", "", 3, "2 行目の数値が 4 個です"},
      {"seven numbers", "7000", "20140106\t1000\t1010\t990\t1000\t12\t1\t5\n", "", 3, "1 行目の数値が 7 個です"},
      {"negative", "7000", "20140106\t1000\t1010\t-990\t1000\t12\n", "", 3, "1 行目に負の値があります"},
      {"NUL inside", "7000", line(0) + std::string("20140107\t1000\t10\0\t990\t1000\t12\n", 31), "", 3,
       "2 行目に NUL 文字があります"},
      {"empty file", "7000", "", "", 3, "7000.txt: 株価がありません"},
      {"headings only", "7000", "date\topen\thigh\tlow\tclose\tvolume\n", "", 3, "1 行目に数値でない項目"},
      {"the Nikkei series", "1001", good + "junk\n", "", 1, "1001.txt: 6 行目に数値でない項目があります"},
      {"--yes alone", "7000", line(0) + "xyz\n", "", 3, "株価ファイルを最後まで読めません"},
      {"--skip-bad", "7000", line(0) + "xyz\n", " --skip-bad", 0, "株価のない記録にします: 7000 分割: "},
      {"byte order mark", "7000", "\xEF\xBB\xBF" + good, "", 0, "株価ファイルのない 1 銘柄"},
      {"factor beyond the range", "7000", line(0) + line(1) + "20140108\t1000\t1010\t990\t1000\t12\t1e300\n", "",
       0, "20140108 の権利落ち係数 1e+300 では前の株価が記録できる上限を超えます。無視します"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.File("src").c_str(), 0777), 0);
    WriteSeedCalendar(dir.File("src"), dates);
    WriteFixtureTag({SeedEntry("1001", "日経平均"), SeedEntry("7000", "分割"), SeedEntry("7001", "無し")});
    WriteFileBytes(dir.File("src/1001.txt"), good);
    WriteFileBytes(dir.File("src/7000.txt"), good);
    WriteFileBytes(dir.File(std::string("src/") + c.code + ".txt"), c.content);
    const std::string old = "old database";
    WriteFileBytes(dir.File("vurn.hy3"), old);
    const CommandRun run =
        RunCommand("cd " + dir.path() + " && " + tool + " --source src --yes" + c.options + " 2>&1");
    EXPECT_EQ(run.code, c.exit) << c.what << "\n" << run.out;
    EXPECT_NE(run.out.find(Cp932ToUtf8(c.told)), std::string::npos) << c.what << "\n" << run.out;
    if (c.exit != 0) {
      EXPECT_EQ(ReadFileBytes(dir.File("vurn.hy3")), old) << c.what;
      EXPECT_TRUE(LeftoverTemporaries(dir.File("vurn.hy3")).empty()) << c.what;
      continue;
    }
    // Built: the stock read whole, or without prices after --skip-bad.
    Hiashi h{};
    DbInspectError error;
    ASSERT_TRUE(ReadDbRecordRaw(dir.File("vurn.hy3"), 1, &h, &error)) << c.what << error.text;
    EXPECT_EQ(h.code, 7000) << c.what;
    const bool skipped = std::strstr(c.options, "--skip-bad") != nullptr;
    EXPECT_EQ(h.end, skipped ? 0 : c.content.size() == good.size() + 3 ? 4 : 2) << c.what;
    EXPECT_EQ(V(h.close[0]), skipped ? 0 : 1000) << c.what;
  }
}

}  // namespace
