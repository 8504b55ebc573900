// Reading every record of a full-size price database: the designed way (open, seek, read,
// close per record, through VURN_file_in), beside one sequential pass over the same file and
// a memcpy of the same number of bytes, all on the same file in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench_support.h"
#include "db/database_file.h"
#include "db/packed_value.h"
#include "db/price_model.h"
#include "platform/working_folder.h"

namespace {

// A dense database of 8192 stocks with 2816 days each, written once into a temporary folder.
class BenchDatabase {
 public:
  BenchDatabase() {
    static int32_t dates[MAX_DATE];
    for (int d = 0; d < MAX_DATE; ++d) dates[d] = 20000101 + d / 28 * 100 + d % 28;  // ascending, real
    DbImage image;
    image.header = DbHeader{DB_VERSION, MAX_KABU, MAX_DATE, MAX_DATE, MAX_KABU};
    image.dates = dates;
    image.filled = MAX_KABU;
    image.fill = [](int n, Hiashi* h) {
      h->code = 1000 + n;
      h->start = 0;
      h->end = MAX_DATE - 1;
      for (int d = 0; d < MAX_DATE; ++d) {
        const uint16_t v = Value_to_Packed(100 + (n * 7 + d) % 5000);
        h->open[d] = h->high[d] = h->low[d] = h->close[d] = v;
        h->deki[d] = Value_to_Packed(1000 * (d % 97 + 1));
      }
    };
    if (WriteDatabaseImage(DataFilePath(DB_FILE), image) != 0) std::abort();
    if (!VURN_file_in(-1, DB_IN_HEADER)) std::abort();
  }

 private:
  BenchWorkFolder folder_{"vurn-bench"};
};

BenchDatabase& Database() {
  static BenchDatabase db;
  return db;
}

void SetBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * MAX_KABU * DB_RECORD_SIZE);
}

// The designed way: every record through VURN_file_in, with its own open and close.
void BM_ReadEveryRecordDesigned(benchmark::State& state) {
  Database();
  for (auto _ : state) {
    for (int n = 0; n < MAX_KABU; ++n) {
      if (!VURN_file_in(n, DB_IN_RECORD)) state.SkipWithError("read failed");
      benchmark::DoNotOptimize(WorkHiashi()->close[n % MAX_DATE]);
    }
  }
  SetBytes(state);
}
BENCHMARK(BM_ReadEveryRecordDesigned)->Unit(benchmark::kMillisecond);

// Baseline: one open, the records read one after the other into the same buffer.
void BM_ReadEveryRecordSequential(benchmark::State& state) {
  Database();
  const std::string path = DataFilePath(DB_FILE);
  Hiashi* h = WorkHiashi();
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f || std::fseek(f, DB_HEADER_SIZE, SEEK_SET) != 0) state.SkipWithError("open failed");
    for (int n = 0; n < MAX_KABU; ++n) {
      if (std::fread(h, sizeof *h, 1, f) != 1) state.SkipWithError("read failed");
      benchmark::DoNotOptimize(h->close[n % MAX_DATE]);
    }
    std::fclose(f);
  }
  SetBytes(state);
}
BENCHMARK(BM_ReadEveryRecordSequential)->Unit(benchmark::kMillisecond);

// Baseline: copying the same number of bytes from memory (a 64 MB source, record by record).
void BM_MemcpyBaseline(benchmark::State& state) {
  constexpr size_t kSource = 64u << 20;
  std::vector<char> source(kSource, 1);
  Hiashi* h = WorkHiashi();
  const size_t per_source = kSource / sizeof *h;
  for (auto _ : state) {
    for (int n = 0; n < MAX_KABU; ++n) {
      std::memcpy(h, source.data() + (static_cast<size_t>(n) % per_source) * sizeof *h, sizeof *h);
      benchmark::DoNotOptimize(h->close[n % MAX_DATE]);
    }
  }
  SetBytes(state);
}
BENCHMARK(BM_MemcpyBaseline)->Unit(benchmark::kMillisecond);

}  // namespace
