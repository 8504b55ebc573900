// The start-up replacement of records on a full-size price database: the new file built
// from the old one (copy, three new records, sync, rename), beside a plain copy
// of the same file with write and fsync, in the same run on the same bytes.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_support.h"
#include "db/database_file.h"
#include "db/database_upgrade.h"
#include "db/master_file.h"
#include "db/packed_value.h"
#include "db/price_model.h"
#include "platform/file_replace.h"
#include "platform/working_folder.h"

namespace {

// A dense database of 8192 slots, the last three still empty, and a master file that lists
// three new stocks there.
class BenchFolder {
 public:
  BenchFolder() {
    static int32_t dates[MAX_DATE];
    for (int d = 0; d < MAX_DATE; ++d) dates[d] = BenchDate(d);
    DbImage image;
    image.header = DbHeader{DB_VERSION, MAX_KABU, MAX_DATE, MAX_DATE, MAX_KABU};
    image.dates = dates;
    image.filled = MAX_KABU - 3;
    image.fill = [](int n, Hiashi* h) {
      h->code = 1000 + n;
      h->start = 0;
      h->end = MAX_DATE - 1;
      for (int d = 0; d < MAX_DATE; ++d) h->close[d] = h->open[d] = Value_to_Packed(100 + (n + d) % 5000);
    };
    original_ = DataFilePath("original.hy3");
    if (WriteDatabaseImage(original_, image) != 0) std::abort();
    std::vector<Fundamental> entries(MAX_KABU);
    for (int n = 0; n < MAX_KABU; ++n) entries[static_cast<size_t>(n)].code = 1000 + n;
    if (WriteTag(DataFilePath(TAG_FILE), MAX_KABU, 20261201, entries.data()) != 0) std::abort();
  }
  const std::string& original() const { return original_; }

 private:
  BenchWorkFolder folder_{"vurn-bench"};
  std::string original_;
};

BenchFolder& Folder() {
  static BenchFolder f;
  return f;
}

void SetBytes(benchmark::State& state) { state.SetBytesProcessed(state.iterations() * DB_FILE_SIZE); }

void BM_ReplaceRecordsAtStartUp(benchmark::State& state) {
  BenchFolder& f = Folder();
  int err = 0;
  for (auto _ : state) {
    state.PauseTiming();
    if (!CopyFileSafely(f.original(), DataFilePath(DB_FILE), &err)) state.SkipWithError("copy failed");
    if (LoadTag() == 0) state.SkipWithError("master failed");
    state.ResumeTiming();
    UpgradeDatabase();
  }
  SetBytes(state);
}
BENCHMARK(BM_ReplaceRecordsAtStartUp)->Unit(benchmark::kMillisecond)->Iterations(3);

// Baseline: the same bytes read and written to a new file with fsync.
void BM_CopyWithFsyncBaseline(benchmark::State& state) {
  BenchFolder& f = Folder();
  std::vector<char> buf(8 << 20);
  const std::string to = DataFilePath("copy.hy3");
  for (auto _ : state) {
    int in = ::open(f.original().c_str(), O_RDONLY);
    int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ssize_t n;
    while ((n = ::read(in, buf.data(), buf.size())) > 0)
      if (::write(out, buf.data(), static_cast<size_t>(n)) != n) state.SkipWithError("write failed");
    ::fsync(out);
    ::close(in);
    ::close(out);
  }
  SetBytes(state);
}
BENCHMARK(BM_CopyWithFsyncBaseline)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
