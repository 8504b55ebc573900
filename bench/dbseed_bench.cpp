// dbseed from a source folder of 4096 stocks x 2816 days, beside writing the same number of
// bytes with write and fsync; and the CSV export of every stock beside writing the same
// bytes of text with write and fsync. Both in the same run, in the same folder.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "db/csv_export.h"
#include "db/database_file.h"
#include "db/master_file.h"
#include "db/packed_value.h"
#include "db/record_io.h"
#include "folder_source.h"
#include "platform/host.h"
#include "platform/working_folder.h"
#include "seed_build.h"

namespace {

constexpr int kStocks = 4096;

class SeedFolder {
 public:
  SeedFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "vurn-seed-bench-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) std::abort();
    dir_ = tmpl;
    SetCurrentDir(dir_.c_str());
    src_ = dir_ + "/src";
    std::filesystem::create_directory(src_);
    std::vector<int> dates;
    std::string cal;
    for (int d = 0; d < MAX_DATE; ++d) {
      dates.push_back((2000 + d / 336) * 10000 + (d / 28 % 12 + 1) * 100 + d % 28 + 1);
      cal += std::to_string(dates.back()) + "\n";
    }
    Write(src_ + "/calendar.txt", cal);
    std::vector<Fundamental> entries(MAX_KABU);
    for (int n = 0; n < kStocks; ++n) {
      entries[static_cast<size_t>(n)].code = n == 0 ? 1001 : 2000 + n;
      std::string text;
      char line[96];
      for (int d = 0; d < MAX_DATE; ++d) {
        const int c = 100 + (n + d) % 5000;
        std::snprintf(line, sizeof line, "%d\t%d\t%d\t%d\t%d\t%d.%03d\n", dates[d], c, c + 5, c - 5, c, d % 900, n % 1000);
        text += line;
      }
      Write(src_ + "/" + std::to_string(entries[static_cast<size_t>(n)].code) + ".txt", text);
    }
    if (WriteTag(DataFilePath(TAG_FILE), kStocks, 20261201, entries.data()) != 0) std::abort();
  }
  ~SeedFolder() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  static void Write(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
  const std::string& src() const { return src_; }
  const std::string& dir() const { return dir_; }

 private:
  std::string dir_, src_;
};

SeedFolder& Folder() {
  static SeedFolder folder;
  return folder;
}

// A host that answers every box with OK.
struct YesHost final : Host {
  int MessageBox(const char*, const char*, unsigned) override { return IDOK; }
};

void WriteAndSync(const std::string& path, size_t bytes, size_t chunk) {
  static std::vector<char> buf(1 << 20, 'x');
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  for (size_t done = 0; done < bytes;) {
    const size_t n = std::min(chunk, bytes - done);
    if (::write(fd, buf.data(), n) != static_cast<ssize_t>(n)) std::abort();
    done += n;
  }
  ::fsync(fd);
  ::close(fd);
}

void BM_Seed(benchmark::State& state) {
  SeedFolder& f = Folder();
  YesHost host;
  SetHost(&host);
  FolderSource source;
  std::string reason;
  if (!source.Open(f.src(), &reason)) std::abort();
  for (auto _ : state) {
    SeedRun run;
    run.source = &source;
    if (SeedDatabase(run) != SeedResult::kDone) std::abort();
  }
  SetHost(nullptr);
}
BENCHMARK(BM_Seed)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_SeedBaselineWriteSameBytes(benchmark::State& state) {
  SeedFolder& f = Folder();
  for (auto _ : state) WriteAndSync(f.dir() + "/baseline", SEED_FILE_SIZE, 1 << 20);
}
BENCHMARK(BM_SeedBaselineWriteSameBytes)->Unit(benchmark::kMillisecond)->Iterations(1);

size_t g_export_bytes = 0;

void BM_ExportAll(benchmark::State& state) {
  SeedFolder& f = Folder();
  YesHost host;
  SetHost(&host);
  if (!LoadTag()) std::abort();
  VURN_file_in(-1, 0);
  VURN_file_in(-1, 1);
  const std::string out = f.dir() + "/csv/";
  std::filesystem::create_directory(out);
  Hiashi h;
  for (auto _ : state) {
    g_export_bytes = 0;
    for (int s = 0; s < kStocks; ++s) {
      ReadRecord(s, &h);
      if (WriteCsvFile(out, h, 0, LastDate - 1) != 0) std::abort();
    }
    ::sync();
  }
  for (int s = 0; s < kStocks; ++s) {
    ReadRecord(s, &h);
    g_export_bytes += CsvFileText(h, 0, LastDate - 1).size();
  }
  SetHost(nullptr);
}
BENCHMARK(BM_ExportAll)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ExportBaselineWriteSameBytes(benchmark::State& state) {
  SeedFolder& f = Folder();
  for (auto _ : state) WriteAndSync(f.dir() + "/baseline", g_export_bytes, 1 << 20);
}
BENCHMARK(BM_ExportBaselineWriteSameBytes)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
