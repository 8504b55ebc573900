// Writing one record of a full company-information file (8192 downloaded records, 49 MB):
// the update through a copy renamed over the file (what a download of the shown stock does),
// beside the same record written in place and the whole file written from memory, on the same
// file in the same run.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "db/price_model.h"
#include "net/company_file.h"
#include "platform/codepage.h"
#include "platform/file_io.h"
#include "platform/working_folder.h"

namespace {

// Every record downloaded: a dense file, as after a run over all stocks.
class BenchCompanyFile {
 public:
  BenchCompanyFile() : records_(std::make_unique<FunRecord[]>(MAX_KABU)) {
    std::string tmpl = (std::filesystem::temp_directory_path() / "vurn-bench-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) std::abort();
    dir_ = tmpl;
    SetCurrentDir(dir_.c_str());
    for (int n = 0; n < MAX_KABU; ++n) {
      ClearFunRecord(&records_[n]);
      records_[n].code = 1301 + n;
      for (int c = 0; c < FUN_COLUMNS; ++c) SetFunCell(records_[n].table[0][c], "1,234,567");
    }
    if (WriteFunFileImage(DataFilePath(FUN_FILE).c_str(), records_.get(), MAX_KABU, 20261209, MAX_KABU) != 0)
      std::abort();
  }
  ~BenchCompanyFile() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  const FunRecord* Records() const { return records_.get(); }

 private:
  std::unique_ptr<FunRecord[]> records_;
  std::string dir_;
};

BenchCompanyFile& File() {
  static BenchCompanyFile f;
  return f;
}

// The update of one record: copy, write, sync and rename.
void BM_RecordThroughCopy(benchmark::State& state) {
  File();
  if (!ReadFun(100, 1)) std::abort();
  for (auto _ : state) {
    if (!WriteFun(100, 2)) std::abort();
  }
}
BENCHMARK(BM_RecordThroughCopy)->Unit(benchmark::kMillisecond)->Iterations(10);

// The same record written in place, unsynced (a kill may leave it half written).
void BM_RecordInPlace(benchmark::State& state) {
  File();
  if (!ReadFun(100, 1)) std::abort();
  const int fd = ::open(DataFilePath(FUN_FILE).c_str(), O_RDWR);
  for (auto _ : state) {
    if (WriteFully(fd, &FunBuf, sizeof FunBuf, FUN_HEADER_SIZE + int64_t{sizeof FunBuf} * 100) != 0) std::abort();
  }
  ::close(fd);
}
BENCHMARK(BM_RecordInPlace)->Unit(benchmark::kMillisecond)->Iterations(10);

// The whole file written from memory through a temporary file (synced and renamed).
void BM_WholeFileFromMemory(benchmark::State& state) {
  const BenchCompanyFile& f = File();
  for (auto _ : state) {
    if (WriteFunFileImage(DataFilePath(FUN_FILE).c_str(), f.Records(), MAX_KABU, 20261209, MAX_KABU) != 0)
      std::abort();
  }
}
BENCHMARK(BM_WholeFileFromMemory)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
