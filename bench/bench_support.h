// What the benchmarks share: a temporary working folder, the calendar of the synthetic
// databases and the 95th percentile of per-run times.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/working_folder.h"

// A new folder in the system's temporary folder, made the working folder (CurrentDir), and
// removed with all it holds at the end.
class BenchWorkFolder {
 public:
  explicit BenchWorkFolder(const char* prefix) {
    std::string tmpl = (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    if (!mkdtemp(tmpl.data())) std::abort();
    path_ = tmpl;
    SetCurrentDir(path_.c_str());
  }
  ~BenchWorkFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  BenchWorkFolder(const BenchWorkFolder&) = delete;
  BenchWorkFolder& operator=(const BenchWorkFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Day d of the synthetic calendars: real dates, days 1 to 28 of every month from 2000-01-01.
constexpr int32_t BenchDate(int d) { return (2000 + d / 336) * 10000 + (d / 28 % 12 + 1) * 100 + d % 28 + 1; }

// The 95th percentile, for ComputeStatistics over repetitions of one run each.
inline double P95(const std::vector<double>& v) {
  std::vector<double> s = v;
  std::sort(s.begin(), s.end());
  return s.empty() ? 0.0 : s[static_cast<size_t>(0.95 * static_cast<double>(s.size() - 1))];
}
