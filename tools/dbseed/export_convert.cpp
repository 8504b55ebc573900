#include "export_convert.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <set>
#include <sys/stat.h>
#include <vector>

#include "db/stock_code.h"
#include "folder_source.h"
#include "platform/file_replace.h"

namespace {

struct Day {
  int date;
  long long v[5];  // open, high, low, close, volume
};

bool IsIndexSeries(int32_t code) { return code == 1001 || code == 1002 || code == 1003 || code == 1007; }

bool ReadExport(const std::string& path, std::vector<Day>* days, std::string* reason) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    *reason = path + " を開けません (" + std::strerror(errno) + ")";
    return false;
  }
  char line[512];
  int number = 0;
  bool ok = true;
  while (std::fgets(line, sizeof line, f)) {
    ++number;
    // Only a line of nothing but blanks is passed over: a stray line break before a day's
    // numbers must not drop the day.
    if (line[std::strspn(line, " \t\r\n")] == '\0') continue;
    Day day{};
    double v[7];
    const int n = ParseSourceLine(line, &day.date, v, 7);
    bool whole = n == 5 || n == 7;
    for (int k = 0; whole && k < n; ++k) whole = v[k] >= 0 && v[k] < 1e15 && v[k] == static_cast<long long>(v[k]);
    // A date the seed's calendar would refuse is refused here, not after the conversion.
    if (!whole || !ValidRealDate(day.date) || (!days->empty() && day.date <= days->back().date)) {
      *reason = path + " の " + std::to_string(number) + " 行目を読めません";
      ok = false;
      break;
    }
    for (int k = 0; k < 5; ++k) day.v[k] = static_cast<long long>(v[k]);
    days->push_back(day);
  }
  std::fclose(f);
  return ok;
}

// A price of the hundredths series as yen, so that the seed's scaling gives it back.
void Hundredths(char* out, size_t size, long long v) { std::snprintf(out, size, "%lld.%02lld", v / 100, v % 100); }

bool WriteFileSafely(const std::string& path, const std::string& text, std::string* reason) {
  FileReplace r;
  if (!FileReplaceBegin(&r, path) || !FileReplaceWrite(&r, text.data(), text.size()) || !FileReplaceCommit(&r)) {
    *reason = path + " を書き込めません (" + std::strerror(r.error) + ")";
    FileReplaceAbort(&r);
    return false;
  }
  return true;
}

}  // namespace

int ConvertExportFolder(const std::string& from_folder, const std::string& to_folder, std::string* reason) {
  DIR* dir = ::opendir(from_folder.c_str());
  if (!dir) {
    *reason = from_folder + " を開けません (" + std::strerror(errno) + ")";
    return -1;
  }
  std::vector<std::pair<int32_t, std::string>> files;
  while (dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name.size() != 8 || name.compare(4, 4, ".txt") != 0) continue;
    const int32_t code = String_to_Code(name.substr(0, 4).c_str());
    if (code > 0) files.emplace_back(code, name);
  }
  ::closedir(dir);
  std::sort(files.begin(), files.end());
  if (files.empty()) {
    *reason = from_folder + " に株価のCSVファイル(銘柄コード.txt)がありません";
    return -1;
  }
  if (::mkdir(to_folder.c_str(), 0777) != 0 && errno != EEXIST) {
    *reason = to_folder + " を作れません (" + std::strerror(errno) + ")";
    return -1;
  }
  std::set<int> calendar;
  std::vector<std::vector<Day>> all(files.size());
  for (size_t k = 0; k < files.size(); ++k) {
    if (!ReadExport(from_folder + "/" + files[k].second, &all[k], reason)) return -1;
    for (const Day& d : all[k]) calendar.insert(d.date);
  }
  std::string text;
  for (int d : calendar) text += std::to_string(d) + "\n";
  if (!WriteFileSafely(to_folder + "/calendar.txt", text, reason)) return -1;
  int written = 0;
  for (size_t k = 0; k < files.size(); ++k) {
    const int32_t code = files[k].first;
    const bool hundredths = code == 1003 || code == 1007;
    text.clear();
    char line[256], p[4][32], vol[32];
    for (const Day& d : all[k]) {
      // The seed scales a day's four prices by 100 when its opening price is below 1000.
      const bool in_yen = hundredths && d.v[0] < 100000;
      for (int i = 0; i < 4; ++i) {
        if (in_yen) Hundredths(p[i], sizeof p[i], d.v[i]);
        else std::snprintf(p[i], sizeof p[i], "%lld", d.v[i]);
      }
      if (IsIndexSeries(code)) std::snprintf(vol, sizeof vol, "%lld", d.v[4]);
      else std::snprintf(vol, sizeof vol, "%lld.%03lld", d.v[4] / 1000, d.v[4] % 1000);
      std::snprintf(line, sizeof line, "%d\t%s\t%s\t%s\t%s\t%s\n", d.date, p[0], p[1], p[2], p[3], vol);
      text += line;
    }
    if (!WriteFileSafely(to_folder + "/" + files[k].second, text, reason)) return -1;
    ++written;
  }
  return written;
}
