#include "folder_source.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cctype>
#include <cstring>
#include <string>
#include <sys/types.h>
#include <vector>

#include "platform/diagnostics.h"

namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

constexpr long kOleEpoch = -25569;  // 1899-12-30 in days since 1970-01-01

}  // namespace

bool ValidRealDate(int date) {
  const int y = date / 10000, m = date / 100 % 100, d = date % 100;
  if (y < 1900 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (d > kDays[m - 1]) return false;
  if (m == 2 && d == 29 && !((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) return false;
  return true;
}

double RealDateToOleDate(int real_date) {
  return static_cast<double>(DaysFromCivil(real_date / 10000, real_date / 100 % 100, real_date % 100) - kOleEpoch);
}

int OleDateToRealDate(double ole_date) {
  if (!std::isfinite(ole_date) || ole_date < 0 || ole_date > 3000000) return 0;
  long z = static_cast<long>(std::floor(ole_date)) + kOleEpoch + 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int y = static_cast<int>(yoe + era * 400 + (m <= 2));
  if (y < 1900 || y > 9999) return 0;
  return y * 10000 + m * 100 + d;
}

int ParseSourceLine(const char* line, int* date, double* values, int max_values) {
  // One separator per line: a line with a tab is split at tabs, else one with a comma at
  // commas, else at blanks. So a number written with a thousands separator ("1,234.5") in a
  // tab-separated line is refused instead of read as two fields.
  const char sep = std::strchr(line, '\t') ? '\t' : std::strchr(line, ',') ? ',' : ' ';
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  std::vector<std::string> fields;
  const char* p = line;
  while (blank(*p)) ++p;
  while (*p) {
    const char* q = p;
    while (*q && (sep == ' ' ? !blank(*q) : *q != sep)) ++q;
    const char* e = q;
    while (e > p && blank(e[-1])) --e;
    if (e == p) return -1;  // an empty field between two separators
    fields.emplace_back(p, e);
    p = q;
    if (sep != ' ' && *p == sep) {
      ++p;
      while (blank(*p)) ++p;
      if (!*p) return -1;  // a separator closing the line
    } else {
      while (blank(*p)) ++p;
    }
  }
  if (fields.empty() || static_cast<int>(fields.size()) - 1 > max_values) return -1;
  char* end = nullptr;
  errno = 0;
  const long d = std::strtol(fields[0].c_str(), &end, 10);
  if (*end || errno || d < 0 || d > 99999999 || !std::isdigit(static_cast<unsigned char>(fields[0][0]))) return -1;
  *date = static_cast<int>(d);
  for (size_t k = 1; k < fields.size(); ++k) {
    const double v = std::strtod(fields[k].c_str(), &end);
    if (*end || !std::isfinite(v)) return -1;
    values[k - 1] = v;
  }
  return static_cast<int>(fields.size()) - 1;
}

bool FolderSource::Open(const std::string& folder, std::string* reason) {
  folder_ = folder;
  dates_.clear();
  selected_ = false;
  const std::string path = folder + "/calendar.txt";
  FILE* f = std::fopen(path.c_str(), "rb");
  char buf[256];
  if (!f) {
    std::snprintf(buf, sizeof buf, "%s を開けません (%s)", path.c_str(), std::strerror(errno));
    *reason = buf;
    return false;
  }
  char line[256];
  int number = 0;
  bool ok = true;
  while (std::fgets(line, sizeof line, f)) {
    ++number;
    const char* p = line;
    if (number == 1 && std::strncmp(p, "\xEF\xBB\xBF", 3) == 0) p += 3;  // UTF-8 byte order mark
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == '#' || *p == '\r' || *p == '\n' || !*p) continue;
    char* end = nullptr;
    const long d = std::strtol(p, &end, 10);
    while (*end == ' ' || *end == '\t' || *end == '\r' || *end == '\n') ++end;
    if (end == p || *end || !ValidRealDate(static_cast<int>(d)) ||
        (!dates_.empty() && d <= dates_.back())) {
      std::snprintf(buf, sizeof buf, "%s の %d 行目が昇順の日付(yyyymmdd)ではありません", path.c_str(), number);
      ok = false;
      break;
    }
    dates_.push_back(static_cast<int>(d));
  }
  std::fclose(f);
  if (ok && dates_.empty()) {
    std::snprintf(buf, sizeof buf, "%s に日付がありません", path.c_str());
    ok = false;
  }
  if (!ok) {
    *reason = buf;
    dates_.clear();
  }
  return ok;
}

bool FolderSource::SelectSeries(const char* code_text) {
  selected_ = false;
  problem_.clear();
  for (auto& v : values_) v.clear();
  // The code text names the file: it must not reach outside the folder.
  if (!*code_text || std::strpbrk(code_text, "/\\.") || std::strlen(code_text) > 8) return false;
  const std::string path = folder_ + "/" + code_text + ".txt";
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    // No file is a stock without prices; a file that is there but cannot be read is a fault.
    if (errno != ENOENT) problem_ = path + " を開けません (" + std::strerror(errno) + ")";
    return false;
  }
  char* line = nullptr;
  size_t capacity = 0;
  ssize_t length;
  int number = 0;
  long prev = -1;
  char why[160] = "";
  while (!*why && (length = ::getline(&line, &capacity, f)) >= 0) {
    ++number;
    char* p = line;
    // A UTF-8 byte order mark before the first line is an encoding mark, not data.
    if (number == 1 && length >= 3 && std::strncmp(p, "\xEF\xBB\xBF", 3) == 0) p += 3;
    if (std::memchr(line, 0, static_cast<size_t>(length))) {
      std::snprintf(why, sizeof why, "%d 行目に NUL 文字があります", number);
      break;
    }
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == '#' || *p == '\r' || *p == '\n' || !*p) continue;
    int date = 0;
    double v[7];
    const int n = ParseSourceLine(p, &date, v, 7);
    const auto it = std::lower_bound(dates_.begin(), dates_.end(), date);
    if (n < 0) {
      std::snprintf(why, sizeof why, "%d 行目に数値でない項目があります", number);
    } else if (n < 5 || n > 6) {
      std::snprintf(why, sizeof why, "%d 行目の数値が %d 個です (始値・高値・安値・終値・出来高と権利落ち係数で5個か6個)",
                    number, n);
    } else if (it == dates_.end() || *it != date) {
      std::snprintf(why, sizeof why, "%d 行目の日付 %d は calendar.txt にありません", number, date);
    } else if (it - dates_.begin() <= prev) {
      std::snprintf(why, sizeof why, "%d 行目の日付 %d が前の行より後ではありません", number, date);
    } else if (*std::min_element(v, v + 5) < 0) {
      std::snprintf(why, sizeof why, "%d 行目に負の値があります", number);
    }
    if (*why) break;
    const long index = it - dates_.begin();
    if (prev < 0) first_ = index;
    prev = index;
    const size_t at = static_cast<size_t>(index - first_);
    for (int k = 0; k < 6; ++k) values_[k].resize(at + 1, k == 5 ? 1.0 : 0.0);
    for (int k = 0; k < 5; ++k) values_[k][at] = v[k];
    values_[5][at] = n >= 6 ? v[5] : 1.0;
  }
  if (!*why && std::ferror(f)) std::snprintf(why, sizeof why, "%d 行目の後を読めません (%s)", number, std::strerror(errno));
  if (!*why && prev < 0) std::snprintf(why, sizeof why, "株価がありません");
  std::free(line);
  std::fclose(f);
  if (*why) {
    problem_ = path + ": " + why;
    PRT("%s\n", problem_.c_str());
    for (auto& v : values_) v.clear();
    return false;
  }
  last_ = prev;
  selected_ = true;
  return true;
}

bool FolderSource::FirstIndex(long* index) {
  if (!selected_) return false;
  *index = first_;
  return true;
}

bool FolderSource::LastIndex(long* index) {
  if (!selected_) return false;
  *index = last_;
  return true;
}

bool FolderSource::Value(int field, long index, double* value) {
  if (!selected_ || index < first_ || index > last_) return false;
  *value = values_[field][static_cast<size_t>(index - first_)];
  return true;
}

bool FolderSource::CalendarDate(long index, double* ole_date) {
  if (index < 0 || index >= static_cast<long>(dates_.size())) return false;
  *ole_date = RealDateToOleDate(dates_[static_cast<size_t>(index)]);
  return true;
}
