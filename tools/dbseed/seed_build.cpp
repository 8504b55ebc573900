#include "seed_build.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>
#include <sys/stat.h>

#include "db/database_file.h"
#include "db/database_lock.h"
#include "db/master_file.h"
#include "db/packed_value.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "platform/diagnostics.h"
#include "platform/file_error.h"
#include "platform/file_replace.h"
#include "platform/host.h"
#include "platform/working_folder.h"

namespace {

constexpr const char* kStoppedText = "内部エラーで停止しました";

// The fixed corrections of splits that the source does not carry.
struct FixedCorrection {
  int32_t code;
  int32_t date;
  double factor;
};
constexpr FixedCorrection kFixedCorrections[] = {
    {9613, 19980805, 0.1},
    {4680, 19980805, 0.2},
    {9783, 19960326, 2.0 / 3.0},
    {9984, 20000425, 1.0 / 3.0},
};

// Writes data at offset of the new file, leaving out the file blocks that would hold only
// zero bytes: they stay holes, which read as zero. A record with a short series then takes
// a few blocks of disk instead of ten.
bool WriteSparse(FileReplace* out, const void* data, size_t size, int64_t offset) {
  constexpr int64_t kBlock = 4096;
  const char* bytes = static_cast<const char*>(data);
  const int64_t end = offset + static_cast<int64_t>(size);
  for (int64_t at = offset; at < end;) {
    const int64_t next = std::min(end, (at / kBlock + 1) * kBlock);
    const char* p = bytes + (at - offset);
    const size_t n = static_cast<size_t>(next - at);
    if ((p[0] != 0 || std::memcmp(p, p + 1, n - 1) != 0) && !FileReplaceWriteAt(out, p, n, at)) return false;
    at = next;
  }
  return true;
}

bool IsIndexSeries(int32_t code) { return code == 1001 || code == 1002 || code == 1003 || code == 1007; }
bool InHundredths(int32_t code) { return code == 1003 || code == 1007; }

class Seed {
 public:
  explicit Seed(const SeedRun& run) : run_(run), src_(*run.source), rec_(new Hiashi) {}
  SeedResult Build();

 private:
  bool ReadCalendar();
  bool CheckSources(int stocks);
  bool Confirm();
  void BuildRecord(const Fundamental& f);
  bool ReadDay(long i, double v[6]);
  bool Reselect(const char* text);
  void RightsAdjust(int32_t date, double factor);
  void Repair();
  int Lookup(int32_t date);
  uint16_t Pack(double value);
  void Note(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void Stop() {
    HostMessageBox(kStoppedText, "dbseed", MB_OK | MB_ICONERROR);
    stopped_ = true;
  }

  const SeedRun& run_;
  MarketSource& src_;
  TagContents tag_;
  int32_t dates_[MAX_DATE] = {};
  int last_date_ = 0;
  long first_ = 0, last_ = 0;
  bool lookup_answered_ = false;
  bool stopped_ = false;
  std::vector<bool> skip_;  // stocks left without prices because their files are faulty
  std::unique_ptr<Hiashi> rec_;
};

// A warning of the build: into the diagnostic history and to whoever runs the build.
void Seed::Note(const char* format, ...) {
  char line[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  PRT("%s\n", line);
  if (run_.note) run_.note(line);
}

uint16_t Seed::Pack(double value) {
  if (!std::isfinite(value) || value < 0) {
    PRT("負または不正な値 %g を 0 として扱います (code=%d)\n", value, rec_->code);
    return 0;
  }
  return Double_to_Packed(SeedWhole(value));
}

// The day index of a real date. A date inside the calendar's span that the calendar lacks is
// asked about once per run; a date before or after the span simply lies outside it.
int Seed::Lookup(int32_t date) {
  for (int d = 0; d < last_date_; ++d)
    if (dates_[d] == date) return d;
  if (last_date_ == 0 || date < dates_[0] || date > dates_[last_date_ - 1] || lookup_answered_) return -1;
  char text[640];
  std::snprintf(text, sizeof text,
                "内部日付変換に失敗。\nこの日=%dはDB上に存在しない！\nnikkei_date[%d]=%d\n\n"
                "このエラーは「チャートギャラリープロ」がインストールされている場合に発生するかもしれません。\n\n"
                "続行しますか？\n続行した場合、以降のエラーは無視されます。",
                date, last_date_ - 1, dates_[last_date_ - 1]);
  if (HostMessageBox(text, "dbseed", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
    Stop();
    return -1;
  }
  lookup_answered_ = true;
  return -1;
}

bool Seed::ReadCalendar() {
  if (!src_.SelectSeries("1001") || !src_.FirstIndex(&first_) || !src_.LastIndex(&last_) || last_ < first_) {
    const std::string problem = src_.SelectProblem();
    const std::string text = "日経平均(1001)の株価を読めません。\n" + (problem.empty() ? "" : problem + "\n") +
                             "データベースは作成できません。";
    HostMessageBox(text.c_str(), "dbseed", MB_OK | MB_ICONERROR);
    return false;
  }
  if (last_ - first_ + 1 > MAX_DATE) first_ = last_ - (MAX_DATE - 1);
  last_date_ = static_cast<int>(last_ - first_ + 1);
  for (long i = first_; i <= last_; ++i) {
    double ole = 0;
    const int date = src_.CalendarDate(i, &ole) ? OleDateToRealDate(ole) : 0;
    const int d = static_cast<int>(i - first_);
    // The calendar must be real dates in ascending order, or no record could be placed.
    if (date == 0 || (d > 0 && date <= dates_[d - 1])) {
      char text[256];
      std::snprintf(text, sizeof text, "カレンダーの日付が正しくありません (index=%ld)。\nデータベースは作成できません。", i);
      HostMessageBox(text, "dbseed", MB_OK | MB_ICONERROR);
      return false;
    }
    dates_[d] = date;
  }
  return true;
}

// Reads every stock's series once. A file that is there but cannot be read whole would give
// its stock an empty record: listed, and the build goes on without those stocks only when
// the answer is Yes. Stocks without a file are told as one warning.
bool Seed::CheckSources(int stocks) {
  skip_.assign(static_cast<size_t>(stocks), false);
  std::vector<std::string> bad;
  std::string missing;
  int missing_count = 0;
  for (int s = 0; s < stocks; ++s) {
    if (s > 0 && s % 64 == 0) HostPumpEvents();  // keeps the window alive over a large master file
    const Fundamental& f = tag_.entries[s];
    const CodeText text = Code_to_String(f.code);
    if (src_.SelectSeries(text)) continue;
    const std::string problem = src_.SelectProblem();
    if (problem.empty()) {
      if (++missing_count <= 10) missing += std::string(" ") + text.c_str();
      continue;
    }
    skip_[static_cast<size_t>(s)] = true;
    bad.push_back(std::string(text.c_str()) + " " + f.name + ": " + problem);
  }
  if (missing_count > 0)
    Note("株価ファイルのない %d 銘柄は株価のない記録になります:%s%s", missing_count, missing.c_str(),
         missing_count > 10 ? " ..." : "");
  if (bad.empty()) return true;
  std::string text = "次の " + std::to_string(bad.size()) + " 銘柄の株価ファイルを最後まで読めません。\n\n";
  constexpr size_t kShown = 20;
  for (size_t k = 0; k < bad.size() && k < kShown; ++k) text += bad[k] + "\n";
  if (bad.size() > kShown) text += "ほか " + std::to_string(bad.size() - kShown) + " 銘柄\n";
  text += "\nこれらの銘柄を株価のない記録にして作成を続けますか？\n"
          "「いいえ」では何も変更しません。ファイルを直してからやり直して下さい。";
  if (HostMessageBox(text.c_str(), SEED_BAD_SOURCE_CAPTION, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
    return false;
  for (const std::string& b : bad) Note("株価のない記録にします: %s", b.c_str());
  return true;
}

bool Seed::Confirm() {
  struct stat st {};
  if (::stat(DataFilePath(DB_FILE).c_str(), &st) != 0) return true;
  char text[1024];
  std::snprintf(text, sizeof text,
                "既に%sファイルが存在します。\nこのファイルはKivoraの全銘柄の過去データを保持しています。\n\n"
                "このファイルを消去して新たにPanRolling社のDBから作り直しますか？\n"
                "その場合、今まで日々ダウンロードした銘柄の全データが消去されます。\n\n"
                "（Pan相場アプリケーションをアンインストールして再度インストール\n"
                "すれば最新版に更新できます（2001/12/08現在) )\n",
                DB_FILE);
  const unsigned type = MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2;
  if (HostMessageBox(text, "現在のデータベースを破棄しますか？", type) != IDOK) return false;
  return HostMessageBox("本当に現在のデータベースを削除してよろしいですか？", "DB削除の最終警告", type) == IDOK;
}

bool Seed::Reselect(const char* text) {
  long b = 0, e = 0;
  return src_.SelectSeries(text) && src_.FirstIndex(&b) && src_.LastIndex(&e);
}

bool Seed::ReadDay(long i, double v[6]) {
  return src_.Open(i, &v[0]) && src_.High(i, &v[1]) && src_.Low(i, &v[2]) && src_.Close(i, &v[3]) &&
         src_.Volume(i, &v[4]) && src_.RightsFactor(i, &v[5]);
}

void Seed::RightsAdjust(int32_t date, double factor) {
  Hiashi& h = *rec_;
  const int d = Lookup(date);
  if (d < 0 || d <= h.start || d > h.end) return;
  // A factor that would carry an earlier price past what a packed value holds is not applied:
  // stored saturated, the whole earlier series would be wrong.
  for (int k = h.start; k < d; ++k)
    for (uint16_t* a : {h.open, h.high, h.low, h.close})
      if (static_cast<double>(Packed_to_Value(a[k])) * factor > PACKED_MAX_VALUE) {
        Note("%s: %d の権利落ち係数 %g では前の株価が記録できる上限を超えます。無視します",
             Code_to_String(h.code).c_str(), date, factor);
        return;
      }
  for (int k = h.start; k < d; ++k) {
    for (uint16_t* a : {h.open, h.high, h.low, h.close})
      a[k] = Pack(static_cast<double>(Packed_to_Value(a[k])) * factor);
  }
}

void Seed::Repair() {
  Hiashi& h = *rec_;
  auto set4 = [&h](int d, uint16_t v) { h.open[d] = h.high[d] = h.low[d] = h.close[d] = v; };
  for (int d = h.start + 1; d <= h.end; ++d)
    if (h.close[d] == 0) {
      set4(d, h.close[d - 1]);
      h.deki[d] = 0;
    }
  for (int d = h.end - 1; d >= h.start; --d)
    if (h.close[d] == 0) {
      set4(d, h.close[d + 1]);
      h.deki[d] = 0;
    }
  for (int d = h.start; d <= h.end; ++d) {
    const int32_t o = Packed_to_Value(h.open[d]), hi = Packed_to_Value(h.high[d]), lo = Packed_to_Value(h.low[d]),
                  c = Packed_to_Value(h.close[d]);
    if (!(hi >= lo && hi >= o && hi >= c && lo <= o && lo <= c)) h.open[d] = h.high[d] = h.low[d] = h.close[d];
  }
  if (h.code == 1003) {
    const int d = Lookup(19991227);
    if (!stopped_ && d > h.start && d <= h.end && Packed_to_Value(h.close[d]) != 10200) set4(d, Value_to_Packed(10200));
  }
}

void Seed::BuildRecord(const Fundamental& f) {
  Hiashi& h = *rec_;
  std::memset(&h, 0, sizeof h);
  std::memcpy(h.name, f.name, sizeof h.name);
  h.name[sizeof h.name - 1] = 0;
  h.code = f.code;
  const CodeText text = Code_to_String(f.code);
  long b = 0, e = 0;
  if (skip_[static_cast<size_t>(&f - tag_.entries.get())]) return;
  if (!src_.SelectSeries(text) || !src_.FirstIndex(&b) || !src_.LastIndex(&e)) {
    PRT("%s %s: 株価を読めません。空のレコードにします\n", text.c_str(), h.name);
    return;
  }
  if (b < first_) b = first_;
  if (e > last_) {
    Note("%s: 株価がカレンダーの最終日(%d)より後まであります。最終日までを使います", text.c_str(),
         dates_[last_date_ - 1]);
    e = last_;
  }
  if (e < first_ || b > e) return;
  h.start = static_cast<int32_t>(b - first_);
  h.end = static_cast<int32_t>(e - first_);
  const bool hundredths = InHundredths(f.code), index = IsIndexSeries(f.code);
  for (long i = b; i <= e && !stopped_; ++i) {
    const int d = static_cast<int>(i - first_);
    double v[6];
    if (!ReadDay(i, v)) {
      PRT("%s: %d の株価を読めません\n", text.c_str(), dates_[d]);
      if (!Reselect(text)) break;
      continue;
    }
    // The two series held in hundredths: scaled before the whole number is taken, so 118.53
    // is stored as 11853.
    const double scale = hundredths && v[0] < 1000.0 ? 100.0 : 1.0;
    const double volume = index ? v[4] : v[4] * 1000.0;
    // A number beyond what a packed value holds would be stored saturated: the day is left
    // without data (the repair then fills it like any day without a close).
    if (v[0] * scale > PACKED_MAX_VALUE || v[1] * scale > PACKED_MAX_VALUE || v[2] * scale > PACKED_MAX_VALUE ||
        v[3] * scale > PACKED_MAX_VALUE || volume > PACKED_MAX_VALUE) {
      Note("%s: %d の株価か出来高が記録できる上限を超えるため、この日は使いません", text.c_str(), dates_[d]);
      continue;
    }
    h.open[d] = Pack(v[0] * scale);
    h.high[d] = Pack(v[1] * scale);
    h.low[d] = Pack(v[2] * scale);
    h.close[d] = Pack(v[3] * scale);
    h.deki[d] = Pack(volume);
    const double factor = v[5];
    if (factor == 1.0) continue;
    if (!std::isfinite(factor) || factor <= 0) {
      Note("%s: %d の権利落ち係数 %g は使えません。無視します", text.c_str(), dates_[d], factor);
      continue;
    }
    RightsAdjust(dates_[d], factor);
  }
  if (stopped_) return;
  h.flag = 0;
  if (h.start != 0) h.flag |= 0x01;
  if (h.end != last_date_ - 1) h.flag |= FLAG_DELISTED;
  if (index || f.code == 1319) h.flag |= FLAG_INDEX;
  Repair();
  for (const FixedCorrection& c : kFixedCorrections)
    if (!stopped_ && c.code == f.code) RightsAdjust(c.date, c.factor);
}

SeedResult Seed::Build() {
  std::string reason;
  if (!ReadTagFile(DataFilePath(TAG_FILE), TAG_FILE, &tag_, &reason)) {
    PRT("%s\n", reason.c_str());
    HostMessageBox("vurn.tag の読みこみ失敗", "dbseed", MB_OK | MB_ICONERROR);
    HostMessageBox(kStoppedText, "dbseed", MB_OK | MB_ICONERROR);
    return SeedResult::kStopped;
  }
  if (!ReadCalendar()) return SeedResult::kStopped;
  const int stocks = tag_.count;
  const SeedLayout layout = SeedLayoutFor(stocks);
  if (!CheckSources(stocks)) return SeedResult::kRefused;
  if (!Confirm()) return SeedResult::kDeclined;
  if (layout.version != SEED_VERSION)
    PRT("vurn.tag の %d 銘柄は %d 件の版4の形式に入りません。現在の形式(%d 件)で作成します\n", stocks, SEED_SLOTS,
        layout.slot_count);

  DatabaseLockHold lock;
  FileReplace out;
  const std::string path = DataFilePath(DB_FILE);
  int32_t header[5] = {layout.version, layout.slot_count, MAX_DATE, last_date_, stocks};
  if (!lock.held() || !FileReplaceBegin(&out, path) || !FileReplaceWrite(&out, header, sizeof header) ||
      !FileReplaceWrite(&out, dates_, sizeof dates_)) {
    char text[512];
    std::snprintf(text, sizeof text, "%s を作成できません。\n%s", DB_FILE,
                  lock.held() ? FileErrorText(out.error) : LockFailureText(lock.error).c_str());
    FileReplaceAbort(&out);
    HostMessageBox(text, "dbseed", MB_OK | MB_ICONERROR);
    return SeedResult::kStopped;
  }
  char progress[32], stock[80];
  for (int s = 0; s < layout.slot_count; ++s) {
    HostPumpEvents();
    if (run_.cancelled && run_.cancelled()) {
      FileReplaceAbort(&out);
      PRT("dbseed: 中止しました。%s は元のままです\n", DB_FILE);
      return SeedResult::kStopped;
    }
    std::snprintf(progress, sizeof progress, "%4d/%4d", s + 1, layout.slot_count);
    if (s >= stocks) {
      // Empty slots stay holes of the new file: they read as zero bytes.
      if (run_.progress) run_.progress(s, progress, "    0 ------");
      continue;
    }
    const Fundamental& f = tag_.entries[s];
    std::snprintf(stock, sizeof stock, "%4s %.31s", Code_to_String(f.code).c_str(), f.name);
    if (run_.progress) run_.progress(s, progress, stock);
    BuildRecord(f);
    if (stopped_ || !WriteSparse(&out, rec_.get(), sizeof(Hiashi), DbRecordOffset(s))) break;
  }
  if (stopped_ || !FileReplaceSetSize(&out, layout.size) || !FileReplaceCommit(&out)) {
    const int error = out.error;
    FileReplaceAbort(&out);
    if (!stopped_) {
      char text[512];
      std::snprintf(text, sizeof text, "%s を書き込めません。\n%s\n\n元のデータベースはそのままです。", DB_FILE,
                    std::strerror(error));
      HostMessageBox(text, "dbseed", MB_OK | MB_ICONERROR);
    }
    return SeedResult::kStopped;
  }
  HostMessageBox("データベースの作成が終了しました", "Kivora DB作成完了", MB_OK | MB_ICONINFORMATION);
  return SeedResult::kDone;
}

}  // namespace

SeedLayout SeedLayoutFor(int stocks) {
  if (stocks <= SEED_SLOTS) return {SEED_VERSION, SEED_SLOTS, SEED_FILE_SIZE};
  return {DB_VERSION, MAX_KABU, DB_FILE_SIZE};
}

double SeedWhole(double value) {
  if (!std::isfinite(value)) return 0;
  const double r = std::round(value);
  const double tolerance = std::fabs(value) > 1000.0 ? std::fabs(value) * 1e-12 : 1e-9;
  if (std::fabs(value - r) <= tolerance) return r;
  return std::trunc(value);
}

SeedResult SeedDatabase(const SeedRun& run) {
  Seed seed(run);
  return seed.Build();
}
