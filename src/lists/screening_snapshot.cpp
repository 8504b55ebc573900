#include "lists/screening_snapshot.h"

#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "db/database_file.h"
#include "db/master_file.h"
#include "db/packed_value.h"
#include "db/record_io.h"
#include "db/week_month_bars.h"
#include "platform/diagnostics.h"
#include "platform/file_error.h"
#include "platform/file_replace.h"
#include "platform/host.h"
#include "platform/working_folder.h"

static_assert(std::endian::native == std::endian::little);

Pht pht[MAX_KABU];
PhtValue pht_value[MAX_KABU];
uint16_t MoveAveTable[3][MAX_KABU][LADDER_COUNT];
int PeriodLadder[LADDER_COUNT];
int fPhtChanged = 0;
unsigned PhtGeneration = 0;

namespace {

constexpr const char* WAIT_TEXT =
    "日々のデータベースを作成中です。\n30秒ほどお待ち下さい。\n\nこの処理は最初に１度だけ行われます。";

// The record buffer of the rebuild and the refresh: the chart's work record stays as it is.
Hiashi g_record;
Shuashi g_weeks;
Tsukiashi g_months;

// The first change after the file was loaded or written makes the file stale: it is
// removed, so that a run that ends without saving never leaves a file that looks current.
void MarkChanged() {
  ++PhtGeneration;
  if (fPhtChanged) return;
  fPhtChanged = 1;
  const std::string path = DataFilePath(PHT_FILE);
  if (::unlink(path.c_str()) != 0 && errno != ENOENT)
    PRT("%s を消せません: %s\n", PHT_FILE, FileErrorText(errno));
}

uint16_t PerUnit(uint16_t packed, int32_t unit) {
  if (unit <= 1) return packed;
  return Value_to_Packed(Packed_to_Value(packed) / unit);
}

// The average of the last P of n closes (oldest first), divided by P even when fewer.
void FillLadder(uint16_t* out, const int32_t* closes, int n) {
  int64_t sum = 0;
  int taken = 0;
  for (int j = 0; j < LADDER_COUNT; ++j) {
    const int p = PeriodLadder[j];
    while (taken < p && taken < n) sum += closes[n - 1 - taken++];
    out[j] = Value_to_Packed(static_cast<int32_t>(sum / p));
  }
}

void BuildMoveAve(int s, const Hiashi& h) {
  static int32_t closes[MAX_DATE];
  int n = 0;
  if (h.end >= h.start && h.end >= 0) {
    for (int d = h.start < 0 ? 0 : h.start; d <= h.end && d < MAX_DATE; ++d) closes[n++] = Packed_to_Value(h.close[d]);
  }
  FillLadder(MoveAveTable[MA_DAILY][s], closes, n);

  n = 0;
  MakeShuashi(h, g_weeks);
  for (int w = g_weeks.start; w <= g_weeks.end; ++w) closes[n++] = g_weeks.bar[w].close;
  FillLadder(MoveAveTable[MA_WEEKLY][s], closes, n);

  n = 0;
  MakeTsukiashi(h, g_months);
  for (int m = g_months.first_month; m <= g_months.last_month; ++m) closes[n++] = g_months.close[m];
  FillLadder(MoveAveTable[MA_MONTHLY][s], closes, n);
}

// A window whose start or end lies outside the window positions is emptied.
void CheckRange(int s) {
  Pht& p = pht[s];
  if (p.start >= 0 && p.start <= PHT_LAST && p.end >= 0 && p.end <= PHT_LAST) return;
  PRT("pht->start,endの範囲が変 %4d,%4d,%-12s(%d)\n", p.start, p.end, fundamental[s].name, fundamental[s].code);
  std::memset(&p, 0, offsetof(Pht, close5));
  p.start = p.end = 0;
}

}  // namespace

void MakePeriodLadder() {
  int p = 0;
  for (int j = 0; j < LADDER_COUNT; ++j) {
    int step = p / 5;
    p += step < 1 ? 1 : step;
    PeriodLadder[j] = p;
  }
}

void BuildPht(int s, const Hiashi& h) {
  if (s < 0 || s >= MAX_KABU) return;
  if (PeriodLadder[0] == 0) MakePeriodLadder();
  Pht& p = pht[s];
  std::memset(&p, 0, sizeof p);
  const int32_t unit = TaniDivisor(fundamental[s]);
  p.valid = 1;
  for (int w = 0; w < PHT_DAYS; ++w) {
    const int d = LastDate - PHT_DAYS + w;
    if (d < 0 || d >= MAX_DATE) continue;
    p.open[w] = h.open[d];
    p.high[w] = h.high[d];
    p.low[w] = h.low[d];
    p.close[w] = h.close[d];
    p.volume[w] = PerUnit(h.deki[d], unit);
    p.margin_sell[w] = PerUnit(h.margin_sell[d], unit);
    p.margin_buy[w] = PerUnit(h.margin_buy[d], unit);
  }
  if (LastDate >= PHT_LONG_MIN_DAYS) {
    for (int i = 0; i < PHT_DAYS; ++i) {
      const int d5 = LastDate - 296 + 5 * i, d25 = LastDate - 1526 + 25 * i;
      if (d5 >= 0 && d5 < MAX_DATE) p.close5[i] = h.close[d5];
      if (d25 >= 0 && d25 < MAX_DATE) p.close25[i] = h.close[d25];
    }
  }
  p.code = h.code;
  // A record whose last day lies beyond the calendar or before its first day has no
  // usable window.
  const bool has_data = h.end >= 0 && h.end < LastDate && h.start <= h.end;
  p.end = has_data ? h.end - LastDate + PHT_DAYS : -1;
  if (p.end < 0) {
    p.end = 0;
    p.start = 0;
    p.valid = 0;
  } else {
    p.start = h.start - LastDate + PHT_DAYS;
    if (p.start < 0) p.start = 0;
  }
  CheckRange(s);

  PhtValue& v = pht_value[s];
  v = PhtValue{};
  if (p.valid && p.end == PHT_LAST) {
    const int32_t close = Packed_to_Value(p.close[PHT_LAST]);
    const Fundamental& f = fundamental[s];
    if (close == 0) {
      PRT("終値が0円？=%s(%d)\n", f.name, f.code);
    } else {
      v.per = close * f.per_coef;
      v.pbr = close * f.pbr_coef;
      v.yield = f.dividend / close;
      if (!(v.yield <= 1000)) v.yield = 0;
    }
  }
  BuildMoveAve(s, h);
  MarkChanged();
}

bool RefreshPhtStock(int s) {
  if (s < 0 || s >= MAX_KABU) return false;
  // A record that cannot be read (or is another stock's) arrives empty: no window.
  const bool ok = ReadRecordChecked(s, &g_record) != RecordRead::kFailed;
  BuildPht(s, g_record);
  return ok;
}

int RebuildAllPht(bool show_wait) {
  if (PeriodLadder[0] == 0) MakePeriodLadder();
  // The full database build shows its own progress.
  const bool wait = show_wait && !fDbMake;
  if (wait) HostWaitOpen(WAIT_TEXT);
  int failed = 0;
  std::memset(pht, 0, sizeof pht);
  std::memset(pht_value, 0, sizeof pht_value);
  std::memset(MoveAveTable, 0, sizeof MoveAveTable);
  for (int s = 0; s < LastKabu; ++s) {
    if (ReadRecordChecked(s, &g_record) == RecordRead::kFailed) ++failed;
    BuildPht(s, g_record);
    if (s % 64 == 63) HostPumpEvents();
  }
  if (wait) HostWaitClose();
  if (failed) PRT("条件検索データ: %d 銘柄のレコードが読めませんでした\n", failed);
  MarkChanged();
  return failed;
}

void MarkPhtChanged() { MarkChanged(); }

void RefreshScreeningAfterMerge() {
  RebuildAllPht(false);
  SavePhtFile();
}

bool LoadPhtFile() {
  const std::string path = DataFilePath(PHT_FILE);
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    PRT("条件検索DATAの読み込み失敗 fopen() fail..\n");
    return false;
  }
  struct stat st {};
  int32_t head[3] = {};
  const bool sized = ::fstat(::fileno(f), &st) == 0 && st.st_size == PHT_FILE_SIZE;
  const bool got_head = sized && std::fread(head, sizeof head, 1, f) == 1;
  const int32_t last_day = LastDate > 0 ? nikkei_date[LastDate - 1] : 0;
  if (!got_head || head[0] != PHT_FILE_VERSION || head[1] != last_day || head[2] != fSampleDB) {
    if (!sized) PRT("%s の大きさが違います(%lld バイト)\n", PHT_FILE, static_cast<long long>(st.st_size));
    PRT("tmp_fileが変。Version=%d, date=%d, fFlag=%d\n", head[0], head[1], head[2]);
    std::fclose(f);
    return false;
  }
  const bool ok = std::fread(pht, sizeof pht, 1, f) == 1 && std::fread(pht_value, sizeof pht_value, 1, f) == 1 &&
                  std::fread(MoveAveTable, sizeof MoveAveTable, 1, f) == 1;
  std::fclose(f);
  if (!ok) {
    PRT("%s が読めません\n", PHT_FILE);
    return false;
  }
  PRT("vurn_tmp.hy1 Load ... Make Date=%d, Ver=%d\n", head[1], head[0]);
  fPhtChanged = 0;
  ++PhtGeneration;
  // A slot built for another stock (the stock table changed since) is rebuilt.
  int mismatched = 0;
  for (int s = 0; s < LastKabu; ++s) {
    if (pht[s].code == fundamental[s].code) continue;
    ++mismatched;
    RefreshPhtStock(s);
  }
  if (mismatched) PRT("条件検索データ: 銘柄の違う %d 件を作り直しました\n", mismatched);
  return true;
}

bool SavePhtFile() {
  const std::string path = DataFilePath(PHT_FILE);
  const int32_t head[3] = {PHT_FILE_VERSION, LastDate > 0 ? nikkei_date[LastDate - 1] : 0, fSampleDB};
  FileReplace r;
  bool ok = FileReplaceBegin(&r, path) && FileReplaceWrite(&r, head, sizeof head) &&
            FileReplaceWrite(&r, pht, sizeof pht) && FileReplaceWrite(&r, pht_value, sizeof pht_value) &&
            FileReplaceWrite(&r, MoveAveTable, sizeof MoveAveTable) && FileReplaceCommit(&r);
  if (!ok) {
    FileReplaceAbort(&r);
    PRT("%s を保存できません: %s\n", PHT_FILE, FileErrorText(r.error));
    return false;
  }
  PRT("vurn_tmp.hy1 save... completed\n");
  fPhtChanged = 0;
  return true;
}

void SavePhtIfChanged() {
  if (fPhtChanged) SavePhtFile();
}

void ScreeningBuildAll() {
  MakePeriodLadder();
  if (!LoadPhtFile()) RebuildAllPht(true);
  for (int s = 0; s < LastKabu; ++s) CheckRange(s);
}

int32_t PhtLatestClose(int s) {
  if (s < 0 || s >= MAX_KABU) return 0;
  return Packed_to_Value(pht[s].close[PHT_LAST]);
}
