#include "db/day_merge.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "db/database_check.h"
#include "db/database_file.h"
#include "db/database_lock.h"
#include "db/packed_value.h"
#include "db/record_io.h"
#include "db/record_repair.h"
#include "db/stock_code.h"
#include "db/update_journal.h"
#include "platform/diagnostics.h"
#include "platform/file_error.h"
#include "platform/file_io.h"
#include "platform/file_replace.h"
#include "platform/working_folder.h"
#include "platform/hooks.h"


namespace {

constexpr const char* CAPTION_FAILED = "データベース更新失敗";
constexpr const char* CAPTION_UPDATE = "データベース更新";
constexpr const char* CAPTION_READ = "データベースの読みこみ失敗";
constexpr int32_t DATE_MIN = 19991017;
constexpr int32_t DATE_MAX = 20990102;

// Everything one merge decides before it touches a record.
struct Plan {
  int32_t date = 0;
  int old_days = 0;                 // LastDate of the file
  int32_t old_dates[MAX_DATE] = {};
  bool insert = false;              // fInsert
  bool drop = false;                // fDropOldest
  int insert_pos = 0;               // InsertPos, after the drop when both
  int work_days = 0;                // days of a record once the oldest is dropped
  int new_days = 0;
  int32_t new_dates[MAX_DATE] = {};
  bool rewrite = false;             // the save pass writes a new file
  int slots = 0;                    // record slots the file holds
  int gap_days = 0;                 // civil days from the last calendar day to the new one
  int last_weekday = 0;             // of the last calendar day (0 = Sunday)
  std::vector<DayLine> line;        // per stock number: its line (code 0: none)
  std::vector<char> first_prices;   // per stock number: a new listing got its first bar
  bool told_delisted_shift = false;
};

// One run's reporting: the diagnostic history always, a box unless timed.
struct Teller {
  MergeUi* ui;
  void Stop(const char* text, const char* caption, unsigned icon) {
    PRT("%s\n", text);
    if (!ui->timed) ui->Box(text, caption, MB_OK | icon);
    ui->Stopped(text);
  }
};

void DateText(int32_t d, char* out, size_t size) {
  std::snprintf(out, size, "%04d/%02d/%02d", d / 10000, d / 100 % 100, d % 100);
}

int32_t WholeUnits(int64_t micro) {
  const int64_t v = micro / DAY_MICRO;
  return v > PACKED_MAX_VALUE ? PACKED_MAX_VALUE : static_cast<int32_t>(v);
}

// The volume in thousands of shares, as whole shares rounded to the nearest.
uint16_t PackedShares(int64_t thousands_micro) {
  const int64_t shares = (thousands_micro + 500) / 1000;
  return Double_to_Packed(static_cast<double>(shares));
}

enum class Slot { kRead, kFailed, kNotOurs };

// Reads stock s's record from the open database into the merge's own buffer, kept inside
// the calendar of `days` days as the database reader keeps it (values beyond it are no
// data, and the record written back holds none). A record of another code is not this
// stock's history: the merge leaves that slot alone. raw, when given, gets the bytes as
// stored.
Slot ReadStock(int fd, int s, Hiashi* h, int days, Hiashi* raw = nullptr) {
  if (ReadSlot(fd, s, h) != 0) return Slot::kFailed;
  if (raw) std::memcpy(raw, h, sizeof *h);
  if (h->code != fundamental[s].code) return Slot::kNotOurs;
  ClearDaysFrom(h, days);
  h->name[sizeof h->name - 1] = '\0';
  if (h->start < 0) h->start = 0;
  if (h->start > days) h->start = days;
  if (h->end > days - 1) h->end = days - 1;
  if (h->end < -1) h->end = -1;
  return Slot::kRead;
}

void TellNotOurs(int s, const Hiashi& h) {
  PRT("stock_num=%d のレコードは別の銘柄(code=%d)のものです。この銘柄は更新しません\n", s, h.code);
}

bool IsZero(const Hiashi& h) {
  const char* p = reinterpret_cast<const char*>(&h);
  return p[0] == 0 && std::memcmp(p, p + 1, sizeof h - 1) == 0;
}

// The day's place in the calendar, and the refusals that come before any
// record is read. Fills plan; false when refused (already reported).
bool PlaceTheDay(const DayFile& file, Plan* p, Teller* tell) {
  char text[512];
  p->date = file.date;
  p->old_days = LastDate;
  std::memcpy(p->old_dates, nikkei_date, sizeof p->old_dates);
  const int L = p->old_days;
  if (L >= MAX_DATE) {
    PRT("登録日数の限界！。LastDate=%d,MAX_DATE=%d。古いデータを１日削る。\n", L, MAX_DATE);
    p->drop = true;
  }
  const int32_t last = L > 0 ? p->old_dates[L - 1] : 0;
  if (L > 0 && p->date <= last) {
    int below = 0;
    while (below < L && p->old_dates[below] < p->date) ++below;
    if (below < L && p->old_dates[below] == p->date) {
      std::snprintf(text, sizeof text, "既に%dの株価はDBに登録されています", p->date);
      tell->Stop(text, CAPTION_FAILED, MB_ICONERROR);
      return false;
    }
    p->insert = true;
    p->insert_pos = below;
    if (p->drop) {
      if (below == 0) {
        std::snprintf(text, sizeof text,
                      "%d は、データベースの最初の日(%d)より前の日付です。\n登録日数が上限(%d日)のため、最初の日より前には挿入できません。",
                      p->date, p->old_dates[0], MAX_DATE);
        tell->Stop(text, CAPTION_FAILED, MB_ICONERROR);
        return false;
      }
      p->insert_pos = below - 1;
      PRT("１日削る場合は、挿入日付もずらす\n");
    }
    const int pos = below;
    PRT("%dの株価を(%d)に挿入する。現在は%d,-1=%d,+1=%d\n", p->date, p->insert_pos, p->old_dates[pos],
        pos > 0 ? p->old_dates[pos - 1] : 0, pos + 1 < L ? p->old_dates[pos + 1] : 0);
  }
  if (p->date < DATE_MIN || p->date > DATE_MAX) {
    std::snprintf(text, sizeof text, "日付の範囲が不正です =%d", p->date);
    tell->Stop(text, CAPTION_FAILED, MB_ICONERROR);
    return false;
  }
  PRT("new_date=%d, LastDate=%d\n", p->date, last);
  int64_t t2 = 0;
  int w2 = 0;
  if (!CivilDay(p->date, &t2, &w2)) {
    tell->Stop("日付変換エラー", CAPTION_FAILED, MB_ICONERROR);
    return false;
  }
  char d1[16] = "-", d2[16];
  DateText(p->date, d2, sizeof d2);
  if (L > 0) {
    int64_t t1 = 0;
    int w1 = 0;
    if (!CivilDay(last, &t1, &w1)) {
      tell->Stop("日付変換エラー", CAPTION_FAILED, MB_ICONERROR);
      return false;
    }
    DateText(last, d1, sizeof d1);
    PRT("最終更新日:%s\n", d1);
    PRT("更新する日:%s\n", d2);
    const int days = static_cast<int>(t2 - t1);
    PRT("days=%d日,t1=%lld,t2=%lld,t2-t1=%d\n", days, static_cast<long long>(t1), static_cast<long long>(t2), days);
    PRT("t1week=%d,t2week=%d\n", w1, w2);
    if (w1 == 0 || w1 == 6) {
      std::snprintf(text, sizeof text, "t1が土日\nデータベースの最後の日 %s が土曜日か日曜日です。", d1);
      tell->Stop(text, CAPTION_FAILED, MB_ICONERROR);
      return false;
    }
    p->gap_days = days;
    p->last_weekday = w1;
  } else {
    PRT("更新する日:%s\n", d2);
  }
  if (w2 == 0 || w2 == 6) {
    std::snprintf(text, sizeof text, "t2が土日\n%s は土曜日か日曜日です。", d2);
    tell->Stop(text, CAPTION_FAILED, MB_ICONERROR);
    return false;
  }
  return true;
}

// The questions of the check pass; false when the user declined.
bool Ask(const Plan& p, MergeUi* ui) {
  const int days = p.gap_days;
  char text[512];
  const int32_t last = p.old_days > 0 ? p.old_dates[p.old_days - 1] : 0;
  int answer = IDOK;
  if (p.insert) {
    std::snprintf(text, sizeof text,
                  "DBへの登録を忘れてしまった過去データを登録します。\n\n%d までのデータに %d を追加\n\n\nデータを挿入してもいいですか？",
                  last, p.date);
    answer = ui->Box(text, "データベースへの途中追加", MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2);
  } else if (!ui->timed) {
    if (p.old_days > 0)
      std::snprintf(text, sizeof text, "%d までのデータに %d を追加します", last, p.date);
    else
      std::snprintf(text, sizeof text, "空のデータベースに %d を追加します", p.date);
    answer = ui->Box(text, CAPTION_UPDATE, MB_OKCANCEL);
    // Friday to Monday is no gap; any other step of more than one day is asked about.
    if (answer == IDOK && p.old_days > 0 && days != 1 && !(days == 3 && p.last_weekday == 5)) {
      std::snprintf(text, sizeof text, "%d までのデータに %d を追加\n日付が%d日飛んでいます。本当に更新してよろしいですか？", last,
                    p.date, days - 1);
      answer = ui->Box(text, CAPTION_UPDATE, MB_OKCANCEL | MB_ICONWARNING);
    }
  }
  if (answer == IDOK) return true;
  PRT("中止しました\n");
  ui->Box("中止しました", CAPTION_UPDATE, MB_OK);
  ui->Stopped("中止しました");
  return false;
}

// A line whose prices or volume (in shares) lie beyond what a packed value holds is no
// price of ours: storing it would keep a saturated number over the day.
bool Storable(const DayLine& l) {
  constexpr int64_t kMax = static_cast<int64_t>(PACKED_MAX_VALUE) * DAY_MICRO;
  for (int64_t v : {l.open, l.high, l.low, l.close})
    if (v > kMax) return false;
  return l.volume <= kMax / 1000;
}

// Which stock each line belongs to; false when no line is for a stock of the database.
bool AssignLines(const DayFile& file, Plan* p, Teller* tell) {
  p->line.assign(static_cast<size_t>(LastKabu), DayLine{});
  p->first_prices.assign(static_cast<size_t>(LastKabu), 0);
  std::vector<int> stock_of(static_cast<size_t>(CODE_MAX) + 1, -1);
  for (int s = LastKabu - 1; s >= 0; --s) {
    const int32_t c = fundamental[s].code;
    if (c > 0 && c <= CODE_MAX) stock_of[static_cast<size_t>(c)] = s;  // the first match wins
  }
  int assigned = 0;
  for (const DayLine& l : file.lines) {
    const int s = l.code > 0 && l.code <= CODE_MAX ? stock_of[static_cast<size_t>(l.code)] : -1;
    if (s < 0) {
      if (l.name != "--unregistered--") PRT("%4d %10s はVURN.HYSに存在しない\n", l.code, l.name.c_str());
      continue;
    }
    if (l.code == 9129 && p->date > 20000215) {
      PRT("9129 大洋海運は2000年2月16日に上場廃止。以下は無視\n");
      continue;
    }
    DayLine scaled = l;
    if (file.pan) ApplyPanScales(&scaled, s, fundamental[s].tani);
    if (!Storable(scaled)) {
      PRT("%d 行目 %s の株価か出来高が記録できる上限を超えるため、この行は使いません\n", l.line_no,
          Code_to_String(l.code).c_str());
      continue;
    }
    p->line[static_cast<size_t>(s)] = scaled;
    DayLine& mine = p->line[static_cast<size_t>(s)];
    ++assigned;
    if (!p->insert && mine.split != 0) p->rewrite = true;  // a split changes past days
  }
  if (assigned == 0) {
    char text[512];
    std::snprintf(text, sizeof text, "%.300s には、データベースの銘柄の株価が1つもありません。\n日付 %d は追加しません。",
                  file.path.c_str(), p->date);
    tell->Stop(text, CAPTION_FAILED, MB_ICONERROR);
    return false;
  }
  return true;
}

// The day's prices of a line after the zero rules of an append; false when the stock gets no
// bar today.
struct Bar {
  int32_t open, high, low, close;
  uint16_t deki;
};

// A split percentage is taken only within 1:1000 to 1000:1 shares (-99.9 to 99900 percent)
// and of at least one percent: anything else is a typo that would scale (or, truncating,
// wipe) the whole history. Nor is a split taken that would take a past price to 0 or beyond
// what a packed value holds. False (with the fault naming the line) when refused.
bool SplitIsPlausible(const Hiashi& h, const DayLine& line, double factor, int days, RecordFault* fault) {
  const int64_t p = line.split;
  const char* why = nullptr;
  if (p < -999 * DAY_MICRO / 10 || p > 99900 * DAY_MICRO || (p > -DAY_MICRO && p < DAY_MICRO)) {
    why = "分割の比率が 1000:1 から 1:1000 の範囲（-99.9 から 99900 %）にないか、1 % 未満です";
  } else {
    const int from = h.start < 0 ? 0 : h.start;
    for (int d = from; d < days && d <= h.end && !why; ++d)
      for (const uint16_t* a : {h.open, h.high, h.low, h.close}) {
        const double v = Packed_to_Value(a[d]) * factor;
        if (a[d] != 0 && v < 1.0) why = "過去の株価が 0 になります";
        if (v > PACKED_MAX_VALUE) why = "過去の株価が記録できる上限を超えます";
      }
  }
  if (!why) return true;
  fault->failed = true;
  std::snprintf(fault->text, sizeof fault->text, "%d 行目: 分割 %.6g %% は使えません。%s", line.line_no,
                static_cast<double>(p) / DAY_MICRO, why);
  PRT("%s\n", fault->text);
  return false;
}

// Applies the day to one stock's record (read into h). Returns true when the record changed
// and must be written; a fault stops the merge.
bool MergeStock(Plan* p, int s, Hiashi* h, int pass, RecordFault* fault, bool* merged) {
  *merged = false;
  const DayLine& line = p->line[static_cast<size_t>(s)];
  bool use_line = line.code != 0;
  if (p->drop) DropOldestDay(h, p->old_days);
  const int W = p->work_days;
  const CodeText code_text = Code_to_String(fundamental[s].code);
  Bar bar{WholeUnits(line.open), WholeUnits(line.high), WholeUnits(line.low), WholeUnits(line.close),
          PackedShares(line.volume)};
  if (use_line && (h->flag & FLAG_NO_PRICES)) {
    PRT("新規追加銘柄,%12.32s,%d(%s),", fundamental[s].name, fundamental[s].code, code_text.c_str());
    if (bar.open && bar.high && bar.low && bar.close) {
      h->flag = fundamental[s].flag & ~FLAG_NO_PRICES;
      h->start = W;
      h->end = W - 1;
      p->first_prices[static_cast<size_t>(s)] = 1;
    } else {
      PRT("株価に0が入。未上場？\n");
      use_line = false;
    }
  }
  const bool has_last = h->end >= 0 && h->end < W && h->close[h->end] != 0;
  if (use_line && !p->insert) {
    if (bar.close == 0) {
      if (has_last) {
        bar.open = bar.high = bar.low = bar.close = Packed_to_Value(h->close[h->end]);
      } else {
        PRT("%s 終値が0で、前の終値もないため、この日の株価はありません\n", code_text.c_str());
        use_line = false;
      }
    } else {
      for (int32_t* v : {&bar.open, &bar.high, &bar.low})
        if (*v == 0) *v = bar.close;
    }
  }
  if (use_line) {
    *merged = true;
    if (!p->insert) {
      // The days since the stock last traded take its last close.
      if (has_last)
        for (int d = h->end + 1; d < W; ++d) h->open[d] = h->high[d] = h->low[d] = h->close[d] = h->close[h->end];
      h->open[W] = Value_to_Packed(bar.open);
      h->high[W] = Value_to_Packed(bar.high);
      h->low[W] = Value_to_Packed(bar.low);
      h->close[W] = Value_to_Packed(bar.close);
      h->deki[W] = bar.deki;
      h->end = W;
    } else {
      const int P = p->insert_pos;
      ShiftDaysLater(h, P);
      ClearDay(h, P);
      h->open[P] = Value_to_Packed(bar.open);
      h->high[P] = Value_to_Packed(bar.high);
      h->low[P] = Value_to_Packed(bar.low);
      h->close[P] = Value_to_Packed(bar.close);
      h->deki[P] = bar.deki;
      if (h->start >= P && h->end >= P) ++h->start;
      h->end = h->end < P ? P : h->end + 1;
    }
    if (!p->insert && line.split != 0) {
      const double factor = 100.0 / (static_cast<double>(line.split) / DAY_MICRO + 100.0);
      if (WholeUnits(line.close) > 0 && !SplitIsPlausible(*h, line, factor, p->work_days, fault)) return false;
      // A stock that did not trade today gives no split: its close was taken from the past.
      if (WholeUnits(line.close) > 0 && std::isfinite(factor) && factor > 0) {
        PRT("%.32s(%d)\n%.32s\n\n1 :% 4.2f の分割。\n\n過去のデータを修正。セーブは気をつけて！\n", fundamental[s].name,
            fundamental[s].code, h->name, (static_cast<double>(line.split) / DAY_MICRO + 100.0) / 100.0);
        AdjustSplit(h, p->new_dates, p->new_days, p->date, factor, fault);
        if (fault->failed) return false;
      } else {
        PRT("%s の分割(%lld%%)は使いません（終値または比率が不正）\n", code_text.c_str(), static_cast<long long>(line.split / DAY_MICRO));
      }
    }
  } else if (p->insert) {
    const int P = p->insert_pos;
    if (h->end < P) {
      PRT("%-10.32s(%d)...昔、倒産\n", fundamental[s].name, fundamental[s].code);
      if (!p->drop) return false;
    } else {
      ShiftDaysLater(h, P);
      ClearDay(h, P);
      ++h->end;
      if (h->start >= P) ++h->start;
    }
  } else {
    if (!p->drop) return false;
    if (!p->told_delisted_shift) {
      PRT("上場廃止銘柄も１日ずらしておく。通常の追加処理\n");
      p->told_delisted_shift = true;
    }
  }
  if (pass == 0) {
    CheckRecord(h, p->new_dates, p->new_days);
    CheckLastDay(*h, p->new_dates, p->new_days, fault);
    if (!fault->failed) RecalcRange(h, p->new_days, fault, false);
  } else {
    RecalcRange(h, p->new_days, fault, true);
    if (!fault->failed) RepairRecord(h, p->new_dates, p->new_days, true);
    std::string why;
    if (!fault->failed && !RecordIsSound(*h, p->new_days, &why)) {
      fault->failed = true;
      std::snprintf(fault->text, sizeof fault->text, "更新後のレコードが検査を通りません: %.200s", why.c_str());
    }
  }
  return !fault->failed;
}

// The new calendar: the old one with the day dropped, inserted or appended.
void PlanCalendar(Plan* p) {
  const int shift = p->drop ? 1 : 0;
  p->work_days = p->old_days - shift;
  p->new_days = p->work_days + 1;
  std::memset(p->new_dates, 0, sizeof p->new_dates);
  const int32_t* src = p->old_dates + shift;
  if (p->insert) {
    const int P = p->insert_pos;
    std::memcpy(p->new_dates, src, static_cast<size_t>(P) * sizeof(int32_t));
    p->new_dates[P] = p->date;
    std::memcpy(p->new_dates + P + 1, src + P, static_cast<size_t>(p->work_days - P) * sizeof(int32_t));
  } else {
    std::memcpy(p->new_dates, src, static_cast<size_t>(p->work_days) * sizeof(int32_t));
    p->new_dates[p->work_days] = p->date;
  }
}

void ShowStock(MergeUi* ui, int s) {
  char count[32], stock[96];
  std::snprintf(count, sizeof count, "%4d/%4d", CodeOrder[s][0] + 1, LastKabu);
  std::snprintf(stock, sizeof stock, "%s %.32s", Code_to_String(fundamental[s].code).c_str(), fundamental[s].name);
  ui->ProgressStock(s, LastKabu, count, stock);
}

bool Touches(const Plan& p, int s) { return p.rewrite || p.insert || p.drop || p.line[static_cast<size_t>(s)].code != 0; }

void ReadFailure(Teller* tell, int which, const char* detail) {
  char text[512];
  std::snprintf(text, sizeof text, "DB更新時のファイル読みこみエラー%d\n%s", which, detail);
  tell->Stop(text, CAPTION_READ, MB_ICONERROR);
}

void FaultStop(Teller* tell, int s, const RecordFault& fault) {
  char text[512];
  std::snprintf(text, sizeof text, "%s %.32s の株価がおかしいため、更新を中止しました。データベースは元のままです。\n%s",
                Code_to_String(fundamental[s].code).c_str(), fundamental[s].name, fault.text);
  tell->Stop(text, CAPTION_FAILED, MB_ICONERROR);
}

// The check pass: every record the save pass will write is merged in the buffer and checked.
bool CheckPass(Plan* p, Hiashi* h, Teller* tell) {
  MergeUi* ui = tell->ui;
  PRT("\n更新データのチェック中...\n");
  const int fd = ::open(DataFilePath(DB_FILE).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    ReadFailure(tell, 2, FileErrorText(errno));
    return false;
  }
  for (int s = 0; s < LastKabu; ++s) {
    if (!Touches(*p, s)) continue;
    ShowStock(ui, s);
    if (ui->Cancelled()) {
      ::close(fd);
      tell->Stop("中止しました", CAPTION_UPDATE, MB_ICONINFORMATION);
      return false;
    }
    const Slot read = ReadStock(fd, s, h, p->old_days);
    if (read == Slot::kFailed) {
      ::close(fd);
      char detail[128];
      std::snprintf(detail, sizeof detail, "stock_num=%d のレコードが読めません", s);
      ReadFailure(tell, 2, detail);
      return false;
    }
    if (read == Slot::kNotOurs) {
      TellNotOurs(s, *h);
      continue;
    }
    RecordFault fault;
    bool merged;
    if (!MergeStock(p, s, h, 0, &fault, &merged) && fault.failed) {
      ::close(fd);
      FaultStop(tell, s, fault);
      return false;
    }
  }
  ::close(fd);
  p->told_delisted_shift = false;
  return true;
}

void NotifyStale() {
  if (ScreeningStaleHook) ScreeningStaleHook();
}

void WriteFailure(Teller* tell, const char* what, int err) {
  char text[512];
  std::snprintf(text, sizeof text, "%s: %s\nデータベースは元のままです。", what, FileErrorText(err));
  tell->Stop(text, CAPTION_FAILED, MB_ICONERROR);
}

// The save pass of a plain append: the changed bytes of the records, the calendar and the
// header in place, through the undo journal, so that a kill at any step leaves the database
// as before (put back by the next taker of the update lock) or as after.
bool SaveInPlace(Plan* p, Hiashi* h, Teller* tell, int* merged_count) {
  const std::string path = DataFilePath(DB_FILE);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    ReadFailure(tell, 2, FileErrorText(errno));
    return false;
  }
  auto stored = std::make_unique<Hiashi>();
  UpdateJournal journal;
  bool noted = false;
  auto stop = [&]() {
    ::close(fd);
    if (noted) NotifyStale();
    return false;
  };
  for (int s = 0; s < LastKabu; ++s) {
    if (!Touches(*p, s)) continue;
    ShowStock(tell->ui, s);
    const Slot read = ReadStock(fd, s, h, p->old_days, stored.get());
    if (read == Slot::kFailed) {
      stop();
      ReadFailure(tell, 2, "レコードが読めません");
      return false;
    }
    if (read == Slot::kNotOurs) continue;
    RecordFault fault;
    bool merged = false;
    if (!MergeStock(p, s, h, 1, &fault, &merged)) {
      if (!fault.failed) continue;
      stop();
      FaultStop(tell, s, fault);
      return false;
    }
    JournalChange(&journal, DbRecordOffset(s), stored.get(), h, sizeof *h);
    noted = true;
    if (merged) ++*merged_count;
    if (RecordMergedHook) RecordMergedHook(s, *h);
  }
  // The header and the calendar change with the records, in the same journal.
  static unsigned char old_head[DB_HEADER_SIZE], new_head[DB_HEADER_SIZE];
  int err = 0;
  if (ReadFully(fd, old_head, sizeof old_head, 0, &err) != sizeof old_head) {
    stop();
    ReadFailure(tell, 0, err ? FileErrorText(err) : "ヘッダが読めません");
    return false;
  }
  ::close(fd);
  const DbHeader header{DB_VERSION, MAX_KABU, MAX_DATE, p->new_days, LastKabu};
  std::memcpy(new_head, &header, sizeof header);
  std::memcpy(new_head + DB_CALENDAR_OFFSET, p->new_dates, sizeof p->new_dates);
  // The calendar before the header: a reader racing the update never counts a day whose date
  // is not yet there.
  JournalChange(&journal, DB_CALENDAR_OFFSET, old_head + DB_CALENDAR_OFFSET, new_head + DB_CALENDAR_OFFSET,
                sizeof new_head - DB_CALENDAR_OFFSET);
  JournalChange(&journal, 0, old_head, new_head, DB_CALENDAR_OFFSET);
  if (int e = JournalCommit(journal)) {
    if (noted) NotifyStale();
    WriteFailure(tell, "vurn.hy3 に書き込めません", e);
    return false;
  }
  LastDate = p->new_days;
  std::memcpy(nikkei_date, p->new_dates, sizeof nikkei_date);
  return true;
}

// The save pass of a shift: the whole database as a new file renamed over the old one.
bool SaveAsNewFile(Plan* p, Hiashi* h, Teller* tell, int* merged_count) {
  const std::string path = DataFilePath(DB_FILE);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    ReadFailure(tell, 2, FileErrorText(errno));
    return false;
  }
  FileReplace r;
  if (!FileReplaceBegin(&r, path)) {
    ::close(fd);
    WriteFailure(tell, "vurn.hy3 の新しいファイルを作れません", r.error);
    return false;
  }
  bool stored = false;
  // Every way out before the rename leaves the old file as it was.
  auto give_up = [&]() {
    FileReplaceAbort(&r);
    ::close(fd);
    if (stored) NotifyStale();
    return false;
  };
  const DbHeader header{DB_VERSION, MAX_KABU, MAX_DATE, p->new_days, LastKabu};
  FileReplaceWrite(&r, &header, sizeof header);
  FileReplaceWrite(&r, p->new_dates, sizeof p->new_dates);
  for (int s = 0; s < p->slots; ++s) {
    if (s < LastKabu) {
      ShowStock(tell->ui, s);
      if (tell->ui->Cancelled()) {
        give_up();
        tell->Stop("中止しました", CAPTION_UPDATE, MB_ICONINFORMATION);
        return false;
      }
    } else {
      // Slots after the stocks in use are copied as they are; holes stay holes.
      const off_t at = static_cast<off_t>(DbRecordOffset(s));
      const off_t data = ::lseek(fd, at, SEEK_DATA);
      if (data < 0 && errno == ENXIO) break;  // nothing but holes to the end
      if (data >= at + DB_RECORD_SIZE) {
        s = static_cast<int>((data - DB_HEADER_SIZE) / DB_RECORD_SIZE) - 1;
        continue;
      }
    }
    const Slot read = s < LastKabu ? ReadStock(fd, s, h, p->old_days) : (ReadSlot(fd, s, h) ? Slot::kFailed : Slot::kRead);
    if (read == Slot::kFailed) {
      give_up();
      ReadFailure(tell, 2, "レコードが読めません");
      return false;
    }
    if (s < LastKabu && read == Slot::kRead) {
      RecordFault fault;
      bool merged = false;
      const bool changed = MergeStock(p, s, h, 1, &fault, &merged);
      if (fault.failed) {
        give_up();
        FaultStop(tell, s, fault);
        return false;
      }
      if (merged) ++*merged_count;
      if (changed) {
        stored = true;
        if (RecordMergedHook) RecordMergedHook(s, *h);
      }
    } else if (IsZero(*h)) {
      continue;
    }
    if (!FileReplaceWriteAt(&r, h, sizeof *h, DbRecordOffset(s))) {
      const int err = r.error;
      give_up();
      WriteFailure(tell, "vurn.hy3 の新しいファイルに書き込めません", err);
      return false;
    }
  }
  ::close(fd);
  if (!FileReplaceSetSize(&r, DbRecordOffset(p->slots)) || !FileReplaceCommit(&r)) {
    const int err = r.error;
    FileReplaceAbort(&r);
    if (stored) NotifyStale();
    WriteFailure(tell, "vurn.hy3 の新しいファイルを書き終えられません", err);
    return false;
  }
  LastDate = p->new_days;
  std::memcpy(nikkei_date, p->new_dates, sizeof nikkei_date);
  return true;
}

}  // namespace

int MergeDayFile(const DayFile& file, MergeUi* ui, MergeSummary* summary) {
  Teller tell{ui};
  struct stat st {};
  if (::stat(DataFilePath(DB_FILE).c_str(), &st) != 0) {
    tell.Stop("vurn.hy3 がありません。データの更新には正規のデータベースが必要です。", CAPTION_FAILED, MB_ICONERROR);
    return 0;
  }
  DatabaseLockHold lock;
  if (!lock.held()) {
    char text[256];
    std::snprintf(text, sizeof text, "vurn.hy3 を更新できません（ロックを取れません）: %s", FileErrorText(lock.error));
    tell.Stop(text, CAPTION_FAILED, MB_ICONERROR);
    return 0;
  }
  // Under the lock the file is what this merge works from, whatever memory held before.
  if (!VURN_file_in(-1, 0)) {
    ReadFailure(&tell, 0, DbFailureText());
    return 0;
  }
  if (DbVersion != DB_VERSION) {
    ReadFailure(&tell, 0, "vurn.hy3 が古い形式のままです。プログラムを起動し直して拡張して下さい。");
    return 0;
  }
  const int slots = DbSlotsInFile();
  if (!VURN_file_in(-1, 1)) {
    ReadFailure(&tell, 1, DbFailureText());
    return 0;
  }
  auto plan = std::make_unique<Plan>();
  Plan* p = plan.get();
  p->slots = slots;
  if (LastKabu > slots) {
    ReadFailure(&tell, 2, "vurn.hy3 のレコードが銘柄の数より少なくなっています");
    return 0;
  }
  if (!PlaceTheDay(file, p, &tell)) return 0;
  if (!AssignLines(file, p, &tell)) return 0;
  if (!Ask(*p, ui)) return 0;
  PlanCalendar(p);
  if (p->insert || p->drop) p->rewrite = true;

  auto buffer = std::make_unique<Hiashi>();
  ui->ProgressOpen("DBチェック中");
  struct Closer {
    MergeUi* ui;
    ~Closer() { ui->ProgressClose(); }
  } closer{ui};
  if (!CheckPass(p, buffer.get(), &tell)) return 0;

  ui->ProgressTitle("DB更新中");
  if (p->drop) PRT("登録日数の限界！。LastDate=%d,MAX_DATE=%d。古いデータを１日削る。\n", p->old_days, MAX_DATE);
  PRT("\n更新データのセーブ中...\n");
  int merged = 0;
  const bool ok = p->rewrite ? SaveAsNewFile(p, buffer.get(), &tell, &merged) : SaveInPlace(p, buffer.get(), &tell, &merged);
  if (!ok) return 0;
  for (int s = 0; s < LastKabu; ++s)
    if (p->first_prices[static_cast<size_t>(s)]) fundamental[s].flag &= ~FLAG_NO_PRICES;
  PRT("%d の株価を %d 銘柄 登録しました（LastDate=%d）\n", p->date, merged, LastDate);
  if (MergeFinishedHook) MergeFinishedHook();
  if (summary) {
    summary->date = p->date;
    summary->inserted = p->insert;
    summary->dropped_oldest = p->drop;
    summary->rewritten = p->rewrite;
    summary->stocks_merged = merged;
    summary->last_date = LastDate;
  }
  return 1;
}

int MergeDayFilePath(const std::string& path, MergeUi* ui, MergeSummary* summary) {
  auto file = std::make_unique<DayFile>();
  std::string error;
  if (!ReadDayFile(path, file.get(), &error)) {
    PRT("%s\n", error.c_str());
    if (!ui->timed) ui->Box(error.c_str(), CAPTION_FAILED, MB_OK | MB_ICONERROR);
    ui->Stopped(error.c_str());
    return 0;
  }
  if (file->pan) PRT("%s,fPanDataFile=%d\n", path.c_str(), 1);
  return MergeDayFile(*file, ui, summary);
}
