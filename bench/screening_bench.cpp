// The screening data and the user-data file at full size, each beside a baseline on the
// same bytes in the same run: the full rebuild of the screening data beside a raw read of
// the same records; one screening run with every condition set over 8192 stocks beside a
// memcpy of the data it reads; the load and save of mirelo.in2 at full capacity beside a
// raw read and a write with fsync of the same file.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "chart/chart_settings.h"
#include "shell/settings.h"
#include "bench_support.h"
#include "db/database_file.h"
#include "db/packed_value.h"
#include "db/price_model.h"
#include "lists/screening_engine.h"
#include "lists/screening_snapshot.h"
#include "lists/user_data.h"
#include "platform/diagnostics.h"
#include "platform/working_folder.h"

namespace {

class BenchFolder {
 public:
  BenchFolder() {
    fPrtOff = 1;
    ResetAllSettings();
    static int32_t dates[MAX_DATE];
    for (int d = 0; d < MAX_DATE; ++d) dates[d] = BenchDate(d);
    DbImage image;
    image.header = DbHeader{DB_VERSION, MAX_KABU, MAX_DATE, MAX_DATE, MAX_KABU};
    image.dates = dates;
    image.filled = MAX_KABU;
    image.fill = [](int n, Hiashi* h) {
      h->code = 1300 + n;
      h->start = 0;
      h->end = MAX_DATE - 1;
      for (int d = 0; d < MAX_DATE; ++d) {
        const int c = 500 + (n * 7 + d * 13) % 900;
        h->open[d] = Value_to_Packed(c);
        h->close[d] = Value_to_Packed(c + d % 3);
        h->high[d] = Value_to_Packed(c + 20);
        h->low[d] = Value_to_Packed(c - 20);
        h->deki[d] = Value_to_Packed(1000 * (d % 97 + 1));
        h->margin_buy[d] = Value_to_Packed(5000 + n);
        h->margin_sell[d] = Value_to_Packed(2000 + d);
      }
    };
    if (WriteDatabaseImage(DataFilePath(DB_FILE), image) != 0) std::abort();
    if (!VURN_file_in(-1, 0) || !VURN_file_in(-1, 1)) std::abort();
    LastKabu = MAX_KABU;
    for (int n = 0; n < MAX_KABU; ++n) {
      Fundamental& f = fundamental[n];
      f.code = 1300 + n;
      f.tani = 100;
      f.market = 1 + n % 3;
      std::snprintf(f.name, sizeof f.name, "銘柄%d", n);
      std::strcpy(f.industry, IndustryName[n % INDUSTRY_COUNT]);
      f.per_coef = 0.01 + n % 50 * 0.001;
      f.pbr_coef = 0.001 + n % 40 * 0.0001;
      f.dividend = 10 + n % 30;
      f.roe = n % 25;
    }
  }

 private:
  BenchWorkFolder folder_{"vurn-screening-bench"};
};

BenchFolder& Folder() {
  static BenchFolder f;
  return f;
}

// Baseline: one open, every record read into one buffer.
void BM_RawReadEveryRecord(benchmark::State& state) {
  Folder();
  static Hiashi buf;
  for (auto _ : state) {
    int fd = ::open(DataFilePath(DB_FILE).c_str(), O_RDONLY);
    for (int n = 0; n < MAX_KABU; ++n) {
      if (::pread(fd, &buf, sizeof buf, DbRecordOffset(n)) != static_cast<ssize_t>(sizeof buf)) std::abort();
      benchmark::DoNotOptimize(buf.close[n % MAX_DATE]);
    }
    ::close(fd);
  }
}
BENCHMARK(BM_RawReadEveryRecord)->Unit(benchmark::kMillisecond);

void BM_RebuildAllScreeningData(benchmark::State& state) {
  Folder();
  for (auto _ : state) {
    if (RebuildAllPht(false) != 0) state.SkipWithError("records failed");
  }
}
BENCHMARK(BM_RebuildAllScreeningData)->Unit(benchmark::kMillisecond);

// Every condition set (one side of each pair that cannot be set together).
void SetEveryCondition(int32_t* c) {
  std::memset(c, 0, sizeof(int32_t) * SCRE_SLOTS);
  c[0] = 1, c[1] = 2, c[2] = 3;
  c[3] = 1, c[4] = 2, c[5] = 3;
  c[6] = 1, c[7] = 10, c[8] = 1, c[9] = 11, c[10] = 1, c[11] = 1;
  c[20] = 7, c[23] = 7, c[40] = 7, c[43] = 7;
  c[60] = 1, c[61] = 1, c[62] = 1, c[63] = 1, c[64] = 1, c[65] = 1, c[66] = 1;
  c[80] = 7, c[81] = 7, c[82] = 6, c[83] = 6, c[91] = 1, c[84] = 1, c[85] = 17, c[86] = 1, c[87] = 8;
  c[100] = 12, c[101] = 1, c[102] = 1;
  c[120] = 3, c[121] = 5, c[122] = 0, c[123] = 0, c[124] = 1, c[125] = 13, c[126] = 0, c[127] = 1;
}

// One run over every stock, each condition evaluated whenever the stock still passes; and
// the same run with every stock evaluated through all the indicator tests.
void RunOver(benchmark::State& state, const int32_t* cond) {
  for (auto _ : state) {
    int hits = 0;
    for (int s = 0; s < LastKabu; ++s)
      if (pht[s].end == PHT_LAST && ScreeningPasses(s, cond)) ++hits;
    benchmark::DoNotOptimize(hits);
  }
}

void BM_ScreeningRunEveryCondition(benchmark::State& state) {
  Folder();
  if (pht[0].code == 0) RebuildAllPht(false);
  Tyumoku_Num = 1;
  tyumoku[0].Code = 1300;
  static int32_t cond[SCRE_SLOTS];
  SetEveryCondition(cond);
  RunOver(state, cond);
}
BENCHMARK(BM_ScreeningRunEveryCondition)->Unit(benchmark::kMillisecond);

// Indicator conditions only, which the flat fixture prices let most stocks reach.
void BM_ScreeningRunIndicators(benchmark::State& state) {
  Folder();
  if (pht[0].code == 0) RebuildAllPht(false);
  static int32_t cond[SCRE_SLOTS];
  std::memset(cond, 0, sizeof cond);
  cond[60] = 1, cond[65] = 1, cond[66] = 1, cond[84] = 1, cond[87] = 8, cond[100] = 12, cond[102] = 1;
  RunOver(state, cond);
}
BENCHMARK(BM_ScreeningRunIndicators)->Unit(benchmark::kMillisecond);

// Baseline: a copy of the bytes a run reads.
void BM_CopyScreeningData(benchmark::State& state) {
  static std::vector<char> out(sizeof pht + sizeof pht_value + sizeof MoveAveTable);
  for (auto _ : state) {
    std::memcpy(out.data(), pht, sizeof pht);
    std::memcpy(out.data() + sizeof pht, pht_value, sizeof pht_value);
    std::memcpy(out.data() + sizeof pht + sizeof pht_value, MoveAveTable, sizeof MoveAveTable);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_CopyScreeningData)->Unit(benchmark::kMillisecond);

void FillUserData() {
  ResetUserData();
  Group_Num = GROUP_MAX;
  for (int i = 0; i < GROUP_MAX; ++i) std::snprintf(GroupName[i], sizeof GroupName[i], "フォルダ%d", i);
  Tyumoku_Num = TYUMOKU_MAX;
  for (int i = 0; i < TYUMOKU_MAX; ++i) {
    tyumoku[i] = Tyumoku{i % GROUP_MAX, 1300 + i, {}, 1000 + i, 100, 0, 0, "2026/12/09", {}};
    std::snprintf(tyumoku[i].Name, sizeof tyumoku[i].Name, "銘柄%d", i);
    std::snprintf(tyumoku[i].Memo, sizeof tyumoku[i].Memo, "メモ %d 長めの説明文をここに書いておく", i);
  }
  Rireki_Num = RIREKI_MAX;
  for (int i = 0; i < RIREKI_MAX; ++i) {
    rireki[i] = Rireki{1300 + i, {}, 100, "2025/01/05", 1000, "2026/02/03", 1100, 500, {}, 0};
    std::snprintf(rireki[i].Name, sizeof rireki[i].Name, "履歴%d", i);
    std::snprintf(rireki[i].Memo, sizeof rireki[i].Memo, "売買のメモ %d", i);
  }
  Alarum_Num = ALARUM_MAX;
  for (int i = 0; i < ALARUM_MAX; ++i) alarum[i] = Alarum{0, 1300 + i, "警報", 0, 1, 900, 1, 1200};
}

void BM_SaveUserDataFull(benchmark::State& state) {
  Folder();
  FillUserData();
  for (auto _ : state) {
    if (!SaveVurnIniOrg()) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_SaveUserDataFull)->Unit(benchmark::kMillisecond);

void BM_LoadUserDataFull(benchmark::State& state) {
  Folder();
  FillUserData();
  SaveVurnIniOrg();
  for (auto _ : state) {
    if (LoadVurnIniOrginal() != 1 || Tyumoku_Num != TYUMOKU_MAX) state.SkipWithError("load failed");
  }
}
BENCHMARK(BM_LoadUserDataFull)->Unit(benchmark::kMillisecond);

// Baselines: the same file written with fsync, and read raw.
void BM_WriteFsyncSameBytes(benchmark::State& state) {
  Folder();
  FillUserData();
  const std::string text = UserDataText();
  const std::string path = DataFilePath("baseline.bin");
  for (auto _ : state) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (::write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) std::abort();
    ::fsync(fd);
    ::close(fd);
  }
  state.SetLabel(std::to_string(text.size()) + " bytes");
}
BENCHMARK(BM_WriteFsyncSameBytes)->Unit(benchmark::kMillisecond);

void BM_RawReadSameBytes(benchmark::State& state) {
  Folder();
  FillUserData();
  SaveVurnIniOrg();
  std::vector<char> buf(4 << 20);
  for (auto _ : state) {
    int fd = ::open(DataFilePath("mirelo.in2").c_str(), O_RDONLY);
    ssize_t n = ::read(fd, buf.data(), buf.size());
    ::close(fd);
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_RawReadSameBytes)->Unit(benchmark::kMillisecond);

}  // namespace
