// The preparation of the regular database's build: vurn.hy3 written whole from a master
// file of 8192 stocks (every slot a record with code, flag and name), beside writing the
// same number of bytes to a new file with fsync, in the same run.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.h"
#include "db/database_file.h"
#include "db/master_file.h"
#include "db/price_model.h"
#include "db/regular_database.h"
#include "platform/working_folder.h"

namespace {

// The sample database (stock 0 only, 60 days) and a master file of 8192 stocks.
class BenchFolder {
 public:
  BenchFolder() {
    static int32_t dates[MAX_DATE];
    for (int d = 0; d < 60; ++d) dates[d] = BenchDate(d);
    DbImage sample;
    sample.header = DbHeader{DB_VERSION, MAX_KABU, MAX_DATE, 60, 20};
    sample.dates = dates;
    sample.filled = 1;
    sample.fill = [](int, Hiashi* h) { h->code = 1000; };
    if (WriteDatabaseImage(DataFilePath(SAMPLE_DB_FILE), sample) != 0) std::abort();
    std::vector<Fundamental> entries(MAX_KABU);
    for (int n = 0; n < MAX_KABU; ++n) {
      entries[static_cast<size_t>(n)].code = 1000 + n;
      std::snprintf(entries[static_cast<size_t>(n)].name, sizeof entries[0].name, "stock%d", n);
    }
    if (WriteTag(DataFilePath(TAG_FILE), MAX_KABU, 20261201, entries.data()) != 0) std::abort();
  }

 private:
  BenchWorkFolder folder_{"vurn-bench"};
};

BenchFolder& Folder() {
  static BenchFolder f;
  return f;
}

void SetBytes(benchmark::State& state) { state.SetBytesProcessed(state.iterations() * DB_FILE_SIZE); }

void BM_WriteRegularDatabase(benchmark::State& state) {
  Folder();
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(DataFilePath(DB_FILE));
    if (!VURN_file_in(-1, DB_IN_HEADER) || !VURN_file_in(-1, DB_IN_CALENDAR) || !fSampleDB)
      state.SkipWithError("sample not read");
    state.ResumeTiming();
    if (!WriteRegularDatabase()) state.SkipWithError(DbFailureText());
  }
  SetBytes(state);
}
BENCHMARK(BM_WriteRegularDatabase)->Unit(benchmark::kMillisecond)->Iterations(3);

// Baseline: the same number of bytes written to a new file and synced.
void BM_WriteWithFsyncBaseline(benchmark::State& state) {
  Folder();
  std::vector<char> buf(8 << 20, 1);
  const std::string to = DataFilePath("plain.hy3");
  for (auto _ : state) {
    int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (int64_t left = DB_FILE_SIZE; left > 0;) {
      const size_t n = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(buf.size())));
      if (::write(out, buf.data(), n) != static_cast<ssize_t>(n)) state.SkipWithError("write failed");
      left -= static_cast<int64_t>(n);
    }
    ::fsync(out);
    ::close(out);
  }
  SetBytes(state);
}
BENCHMARK(BM_WriteWithFsyncBaseline)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
