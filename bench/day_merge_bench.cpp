// Merging a day of 4000 stocks into a full-size database, each figure beside a baseline on
// the same bytes in the same run:
//   append (in place, warm cache)        beside a raw read of the same 4000 records, and
//                                        beside reading, writing back and syncing them;
//   full calendar (every record shifted,  beside copying the same bytes into a new file with
//   a new file synced and renamed)       fsync and rename (dd conv=fsync, then mv).
#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench_support.h"
#include "db/database_file.h"
#include "db/day_file.h"
#include "db/day_merge.h"
#include "db/master_file.h"
#include "db/packed_value.h"
#include "db/price_model.h"
#include "db/sample_data.h"
#include "db/stock_code.h"
#include "platform/diagnostics.h"
#include "platform/working_folder.h"

namespace {

constexpr int STOCKS = 4000;

int32_t CodeOf(int n) { return 1300 + n; }

// A folder with vurn.tag and vurn.hy3: STOCKS stocks with prices on every one of `days`
// weekdays ending 2026-12-09.
class BenchDatabase {
 public:
  explicit BenchDatabase(int days) : days_(days) {
    Use();
    auto entries = std::make_unique<Fundamental[]>(STOCKS);
    for (int n = 0; n < STOCKS; ++n) {
      Fundamental& f = entries[n];
      std::memset(&f, 0, sizeof f);
      f.code = CodeOf(n);
      std::snprintf(f.name, sizeof f.name, "bench%d", n);
      f.market = 1;
      f.tani = 100;
      f.flag = FLAG_DAILY_DOWNLOAD;
    }
    if (WriteTag(DataFilePath(TAG_FILE), STOCKS, 20261201, entries.get()) != 0) std::abort();
    dates_.assign(MAX_DATE, 0);
    BuildTradingCalendar(20261210, days, dates_.data());
    DbImage image;
    image.header = DbHeader{DB_VERSION, MAX_KABU, MAX_DATE, days, STOCKS};
    image.dates = dates_.data();
    image.filled = STOCKS;
    image.fill = [days](int n, Hiashi* h) {
      h->code = CodeOf(n);
      std::snprintf(h->name, sizeof h->name, "bench%d", n);
      h->flag = FLAG_DAILY_DOWNLOAD;
      h->start = 0;
      h->end = days - 1;
      for (int d = 0; d < days; ++d) {
        const int32_t c = 500 + (n * 7 + d) % 3000;
        h->open[d] = Value_to_Packed(c);
        h->high[d] = Value_to_Packed(c + 10);
        h->low[d] = Value_to_Packed(c - 10);
        h->close[d] = Value_to_Packed(c + 5);
        h->deki[d] = Value_to_Packed(1000 * (d % 97 + 1));
      }
    };
    if (WriteDatabaseImage(DataFilePath(DB_FILE), image) != 0) std::abort();
    Load();
  }
  void Use() const { SetCurrentDir(folder_.path().c_str()); }
  void Load() const {
    Use();
    if (LoadTag() == 0) std::abort();
    MakeCodeOrder();
    if (!VURN_file_in(-1, 0) || !VURN_file_in(-1, 1)) std::abort();
  }
  // A day file of every stock for date.
  std::string WriteDayFile(int32_t date) const {
    std::string text = std::to_string(date) + "\n";
    char line[128];
    for (int n = 0; n < STOCKS; ++n) {
      const int c = 600 + n % 2000;
      std::snprintf(line, sizeof line, "%s\tbench%d\t%d\t%d\t%d\t%d\t%d.%03d\n", Code_to_String(CodeOf(n)).c_str(), n, c,
                    c + 20, c - 20, c + 3, n % 900, n % 1000);
      text += line;
    }
    const std::string path = folder_.path() + "/y" + std::to_string(date % 1000000) + ".txt";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fclose(f) != 0) std::abort();
    return path;
  }
  // Puts the database back as before an append of day index `days`: the header's day count,
  // and in every record that day cleared and the last day before it, so that the next merge
  // writes all the bytes a real append writes.
  void SetDays(int days) const {
    const int fd = ::open(DataFilePath(DB_FILE).c_str(), O_WRONLY);
    if (fd < 0 || ::pwrite(fd, &days, sizeof days, 12) != sizeof days) std::abort();
    const uint16_t zero = 0;
    const int32_t end = days - 1;
    for (int n = 0; n < STOCKS; ++n) {
      const int64_t rec = DbRecordOffset(n);
      for (int k = 0; k < 7; ++k)
        if (::pwrite(fd, &zero, sizeof zero, rec + (int64_t{k} * MAX_DATE + days) * 2) != sizeof zero) std::abort();
      if (::pwrite(fd, &end, sizeof end, rec + offsetof(Hiashi, end)) != sizeof end) std::abort();
    }
    ::close(fd);
  }
  const std::string& dir() const { return folder_.path(); }

 private:
  int days_;
  BenchWorkFolder folder_{"vurn-merge-bench"};
  std::vector<int32_t> dates_;
};

struct QuietUi final : MergeUi {
  QuietUi() { timed = true; }
};

void Merge(const std::string& path) {
  QuietUi ui;
  fPrtOff = 1;  // the history is not what is measured
  const int ok = MergeDayFilePath(path, &ui);
  fPrtOff = 0;
  if (ok != 1) std::abort();
}

BenchDatabase& AppendDb() {
  static BenchDatabase db(MAX_DATE - 1);
  return db;
}

void BM_AppendMerge(benchmark::State& state) {
  BenchDatabase& db = AppendDb();
  db.Load();
  const std::string day = db.WriteDayFile(20261210);
  Merge(day);  // warm
  for (auto _ : state) {
    state.PauseTiming();
    db.SetDays(MAX_DATE - 1);
    state.ResumeTiming();
    Merge(day);
  }
  state.SetBytesProcessed(state.iterations() * int64_t{STOCKS} * DB_RECORD_SIZE);
}

void BM_AppendBaselineRawRead(benchmark::State& state) {
  BenchDatabase& db = AppendDb();
  db.Use();
  auto buf = std::make_unique<Hiashi>();
  for (auto _ : state) {
    const int fd = ::open(DataFilePath(DB_FILE).c_str(), O_RDONLY);
    for (int n = 0; n < STOCKS; ++n)
      if (::pread(fd, buf.get(), sizeof(Hiashi), DbRecordOffset(n)) != sizeof(Hiashi)) std::abort();
    ::close(fd);
    benchmark::DoNotOptimize(buf->close[0]);
  }
  state.SetBytesProcessed(state.iterations() * int64_t{STOCKS} * DB_RECORD_SIZE);
}

// The bytes an append cannot avoid: the same records read, written back in place, synced.
void BM_AppendBaselineReadWriteFsync(benchmark::State& state) {
  BenchDatabase& db = AppendDb();
  db.Use();
  auto buf = std::make_unique<Hiashi>();
  for (auto _ : state) {
    const int fd = ::open(DataFilePath(DB_FILE).c_str(), O_RDWR);
    for (int n = 0; n < STOCKS; ++n) {
      if (::pread(fd, buf.get(), sizeof(Hiashi), DbRecordOffset(n)) != sizeof(Hiashi)) std::abort();
      if (::pwrite(fd, buf.get(), sizeof(Hiashi), DbRecordOffset(n)) != sizeof(Hiashi)) std::abort();
    }
    if (::fsync(fd) != 0) std::abort();
    ::close(fd);
  }
  state.SetBytesProcessed(state.iterations() * int64_t{STOCKS} * DB_RECORD_SIZE);
}

BenchDatabase& FullDb() {
  static BenchDatabase db(MAX_DATE);
  return db;
}

// The next weekday after date.
int32_t NextWeekday(int32_t date) {
  for (int i = 1; i < 8; ++i) {
    const int32_t next = static_cast<int32_t>(date + i);  // days within the month only
    int64_t d2;
    int w2;
    if (CivilDay(next, &d2, &w2) && w2 != 0 && w2 != 6) return next;
  }
  std::abort();
}

void BM_FullCalendarMerge(benchmark::State& state) {
  BenchDatabase& db = FullDb();
  db.Load();
  int32_t date = 20261209;
  for (auto _ : state) {
    state.PauseTiming();
    date = NextWeekday(date);
    const std::string day = db.WriteDayFile(date);
    state.ResumeTiming();
    Merge(day);
  }
  state.SetBytesProcessed(state.iterations() * DbRecordOffset(STOCKS));
}

// dd if=vurn.hy3 of=copy bs=1M count=<header and records> conv=fsync; mv copy other
void BM_FullCalendarBaselineCopyFsyncRename(benchmark::State& state) {
  BenchDatabase& db = FullDb();
  db.Use();
  const size_t bytes = static_cast<size_t>(DbRecordOffset(STOCKS));
  std::vector<char> chunk(1 << 20);
  const std::string from = DataFilePath(DB_FILE), temp = db.dir() + "/copy.tmp", to = db.dir() + "/copy";
  for (auto _ : state) {
    const int in = ::open(from.c_str(), O_RDONLY);
    const int out = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (size_t done = 0; done < bytes;) {
      const size_t n = std::min(chunk.size(), bytes - done);
      if (::read(in, chunk.data(), n) != static_cast<ssize_t>(n) || ::write(out, chunk.data(), n) != static_cast<ssize_t>(n))
        std::abort();
      done += n;
    }
    if (::fsync(out) != 0) std::abort();
    ::close(out);
    ::close(in);
    if (std::rename(temp.c_str(), to.c_str()) != 0) std::abort();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}

}  // namespace

BENCHMARK(BM_AppendMerge)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_AppendBaselineRawRead)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_AppendBaselineReadWriteFsync)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FullCalendarMerge)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FullCalendarBaselineCopyFsyncRename)->Unit(benchmark::kMillisecond)->Iterations(3);
