// dbseed from a source folder of 4096 stocks x 2816 days (goal: at most 10 s), beside writing
// as many bytes as the new file holds and flushing them; and the CSV export of every stock
// (goal: at most twice its baseline) beside writing the same bytes in 1 MiB blocks as dd does,
// into one file and into as many files of the same sizes (creating 4096 files costs the file
// system far more than writing one). The export and its baselines run twice: into the page
// cache (/0), and flushed to the disk (/1). All in the same run, in the same folder, in this
// order (the export reads the seed's database).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.h"
#include "db/csv_export.h"
#include "db/database_file.h"
#include "db/database_upgrade.h"
#include "db/maintenance_settings.h"
#include "db/master_file.h"
#include "db/price_model.h"
#include "folder_source.h"
#include "platform/host.h"
#include "platform/working_folder.h"
#include "seed_build.h"

namespace {

constexpr int kStocks = 4096;

class SeedFolder {
 public:
  SeedFolder() {
    src_ = folder_.path() + "/src";
    std::filesystem::create_directory(src_);
    std::vector<int> dates;
    std::string cal;
    for (int d = 0; d < MAX_DATE; ++d) {
      dates.push_back(BenchDate(d));
      cal += std::to_string(dates.back()) + "\n";
    }
    Write(src_ + "/calendar.txt", cal);
    std::vector<Fundamental> entries(MAX_KABU);
    for (int n = 0; n < kStocks; ++n) {
      Fundamental& f = entries[static_cast<size_t>(n)];
      f.code = n == 0 ? 1001 : 2000 + n;
      std::snprintf(f.name, sizeof f.name, "銘柄%d", n);
      std::string text;
      char line[96];
      for (int d = 0; d < MAX_DATE; ++d) {
        const int c = 100 + (n + d) % 5000;
        std::snprintf(line, sizeof line, "%d\t%d\t%d\t%d\t%d\t%d.%03d\n", dates[static_cast<size_t>(d)], c, c + 5,
                      c - 5, c, d % 900, n % 1000);
        text += line;
      }
      Write(src_ + "/" + std::to_string(f.code) + ".txt", text);
    }
    if (WriteTag(DataFilePath(TAG_FILE), kStocks, 20261201, entries.data()) != 0) std::abort();
  }
  static void Write(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
  const std::string& src() const { return src_; }
  const std::string& dir() const { return folder_.path(); }

 private:
  BenchWorkFolder folder_{"vurn-seed-bench"};
  std::string src_;
};

SeedFolder& Folder() {
  static SeedFolder folder;
  return folder;
}

// The answers a user gives to seed and to export every stock: OK, and "いいえ" (all stocks)
// to the export's first question; no date range and no other folder.
struct BenchHost final : Host {
  int MessageBox(const char* text, const char* caption, unsigned type) override {
    if ((type & MB_BUTTON_MASK) == MB_YESNO) return IDNO;
    if (!std::strcmp(caption, "日付範囲の指定") || !std::strcmp(caption, "出力ディレクトリの指定")) return IDCANCEL;
    return IDOK;
  }
};

// Writes bytes in blocks of 1 MiB over the file, as dd bs=1M does.
void WriteLikeDd(const std::string& path, size_t bytes) {
  static std::vector<char> buf(1 << 20, 'x');
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) std::abort();
  for (size_t done = 0; done < bytes;) {
    const size_t n = std::min(buf.size(), bytes - done);
    if (::write(fd, buf.data(), n) != static_cast<ssize_t>(n)) std::abort();
    done += n;
  }
  ::close(fd);
}

// Flushes what was written into the folder's file system to the disk.
void Flush(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) std::abort();
  ::syncfs(fd);
  ::close(fd);
}

// Each timed run starts alike: nothing left to write back. The export and its baselines write
// over the files of an untimed first run (as a repeated export does): creating thousands of
// files just after many were removed (as every run of this program does at its end) costs the
// file system seconds that vary from run to run.
void Settle() { ::sync(); }

void BM_Seed(benchmark::State& state) {
  SeedFolder& f = Folder();
  BenchHost host;
  SetHost(&host);
  FolderSource source;
  std::string reason;
  if (!source.Open(f.src(), &reason)) std::abort();
  ::sync();
  for (auto _ : state) {
    SeedRun run;
    run.source = &source;
    if (SeedDatabase(run) != SeedResult::kDone) state.SkipWithError("seed failed");
  }
  SetHost(nullptr);
}
BENCHMARK(BM_Seed)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_SeedBaselineWriteSameBytes(benchmark::State& state) {
  const std::string out = Folder().dir() + "/baseline";
  Settle();
  for (auto _ : state) {
    WriteLikeDd(out, SEED_FILE_SIZE);
    Flush(Folder().dir());
  }
}
BENCHMARK(BM_SeedBaselineWriteSameBytes)->Unit(benchmark::kMillisecond)->Iterations(1);

// The sizes of the files the export wrote, for its baselines.
std::vector<size_t> g_export_sizes;

size_t ExportBytes() {
  size_t bytes = 0;
  for (size_t n : g_export_sizes) bytes += n;
  return bytes;
}

void BM_ExportAll(benchmark::State& state) {
  Folder();
  BenchHost host;
  SetHost(&host);
  static bool grown = false;
  if (!grown) {
    // Kivora's start-up after the seed: the master file, the grown database.
    grown = true;
    if (!LoadTag()) std::abort();
    UpgradeDatabase();
    if (!VURN_file_in(-1, DB_IN_HEADER) || !VURN_file_in(-1, DB_IN_CALENDAR)) std::abort();
  }
  const std::string out = Folder().dir() + "/csv";
  if (std::filesystem::create_directory(out)) {
    std::snprintf(CsvOut, sizeof CsvOut, "%s", out.c_str());
    ExportCsv(0);
  }
  Settle();
  for (auto _ : state) {
    ExportCsv(0);
    if (state.range(0)) Flush(out);
  }
  SetHost(nullptr);
  g_export_sizes.clear();
  for (const auto& e : std::filesystem::directory_iterator(out)) g_export_sizes.push_back(e.file_size());
  if (g_export_sizes.size() != kStocks) state.SkipWithError("files missing");
  state.SetBytesProcessed(static_cast<int64_t>(ExportBytes()));
}

// Baseline: the export's bytes in one file.
void BM_ExportBaselineOneFile(benchmark::State& state) {
  const std::string out = Folder().dir() + "/baseline";
  Settle();
  for (auto _ : state) {
    WriteLikeDd(out, ExportBytes());
    if (state.range(0)) Flush(Folder().dir());
  }
  state.SetBytesProcessed(static_cast<int64_t>(ExportBytes()));
}

// Baseline: the export's files, each of its size, written as dd would, one after another.
void BM_ExportBaselineSameFiles(benchmark::State& state) {
  const std::string out = Folder().dir() + "/files/";
  auto write_all = [&out] {
    for (size_t n = 0; n < g_export_sizes.size(); ++n) WriteLikeDd(out + std::to_string(n) + ".txt", g_export_sizes[n]);
  };
  if (std::filesystem::create_directory(out)) write_all();
  Settle();
  for (auto _ : state) {
    write_all();
    if (state.range(0)) Flush(out);
  }
  state.SetBytesProcessed(static_cast<int64_t>(ExportBytes()));
}

#define EXPORT_RUNS(fn) \
  BENCHMARK(fn)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)

EXPORT_RUNS(BM_ExportAll);
EXPORT_RUNS(BM_ExportBaselineOneFile);
EXPORT_RUNS(BM_ExportBaselineSameFiles);

}  // namespace
