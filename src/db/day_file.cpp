#include "db/day_file.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

#include "db/stock_code.h"
#include "platform/diagnostics.h"
#include "platform/file_error.h"

namespace {

constexpr int64_t NUMBER_LIMIT = 1000000000000LL;  // whole part; keeps millionths inside 64 bits

// PanRolling units: codes whose volume or prices the source gives in other units.
constexpr int32_t kVolume1000[] = {2695, 2701, 2712, 4281, 4289, 4290, 4296, 4302, 4303, 4304, 4305, 4308,
                                   4813, 4829, 4839, 4842, 6778, 7707, 7708, 7709, 7725, 8306, 8307, 8308,
                                   8316, 8328, 8409, 8411, 8462, 8626, 8629, 8710, 8888, 8889};
constexpr int32_t kVolume10[] = {2914, 4676, 4680, 6887, 9021, 9022, 9434, 9613};
constexpr int32_t kVolume100[] = {8564, 9405};
constexpr int32_t kPrice1000[] = {1739, 2652, 2656, 2665, 2667, 2681, 4697, 4740, 4741, 4742, 4744, 4747, 4751,
                                  4753, 4759, 4762, 4763, 4764, 4765, 4771, 4776, 4777, 4779, 4784, 4786, 4787,
                                  4788, 4790, 4791, 4792, 4794, 4795, 4797, 4800, 4814, 4815, 4818, 4821, 4824,
                                  6786, 6790, 6829, 7589, 7717, 8305, 8421, 8473, 8627, 9442, 9444, 9445};
constexpr int32_t kPrice100[] = {1008, 6836, 7615, 7641, 9409, 9479, 9861};

template <size_t N>
bool Listed(const int32_t (&table)[N], int32_t code) {
  return std::find(std::begin(table), std::end(table), code) != std::end(table);
}

// v * factor, held at the largest number a day file can hold.
int64_t Scaled(int64_t v, int64_t factor) {
  constexpr int64_t kMax = NUMBER_LIMIT * DAY_MICRO;
  return v > kMax / factor ? kMax : v * factor;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Splits a line into its blank- or tab-separated fields.
std::vector<std::string> Fields(const char* line) {
  std::vector<std::string> out;
  const char* p = line;
  while (*p) {
    while (IsBlank(*p) || *p == '\n') ++p;
    if (!*p) break;
    const char* b = p;
    while (*p && !IsBlank(*p) && *p != '\n') ++p;
    out.emplace_back(b, static_cast<size_t>(p - b));
  }
  return out;
}

enum class NumberError { kNone, kMalformed, kNegative, kTooLarge };

// A plain decimal number ("1234", "1234.5", ".5"), read whole, in millionths: digits past
// the sixth decimal place are dropped. Signs, exponents, commas, "nan" and "inf" are not
// numbers of a day file.
NumberError ParseDecimal(const std::string& text, int64_t* micro) {
  size_t i = 0;
  if (!text.empty() && text[0] == '-') return NumberError::kNegative;
  int64_t whole = 0;
  size_t digits = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
    whole = whole * 10 + (text[i] - '0');
    if (whole >= NUMBER_LIMIT) return NumberError::kTooLarge;
  }
  int64_t frac = 0;
  int places = 0;
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
      if (places < 6) {
        frac = frac * 10 + (text[i] - '0');
        ++places;
      }
    }
  }
  if (digits == 0 || i != text.size()) return NumberError::kMalformed;
  for (; places < 6; ++places) frac *= 10;
  *micro = whole * DAY_MICRO + frac;
  return NumberError::kNone;
}

// The first line's date: "yy/mm/dd" or a decimal yyyymmdd. 0 when it is neither.
int32_t ParseDate(const std::string& text) {
  if (text.size() == 8 && text[2] == '/' && text[5] == '/') {
    for (int k : {0, 1, 3, 4, 6, 7})
      if (text[k] < '0' || text[k] > '9') return 0;
    const int yy = (text[0] - '0') * 10 + (text[1] - '0');
    const int mm = (text[3] - '0') * 10 + (text[4] - '0');
    const int dd = (text[6] - '0') * 10 + (text[7] - '0');
    const int32_t date = ((yy < 50 ? 2000 + yy : 1900 + yy) * 100 + mm) * 100 + dd;
    PRT("yy/mm/dd 型の日付。%s := %d\n", text.c_str(), date);
    return date;
  }
  if (text.empty() || text.size() > 8 || text.find_first_not_of("0123456789") != std::string::npos) return 0;
  return static_cast<int32_t>(std::strtol(text.c_str(), nullptr, 10));
}

std::string LineRefusal(const std::string& name, int line_no, const char* reason, const char* line) {
  char text[512];
  std::snprintf(text, sizeof text, "%s の %d 行目を読めないため、このファイルでは更新しません。\n%s\n\n%.80s", name.c_str(),
                line_no, reason, line);
  std::string s = text;
  while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
  return s;
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool CivilDay(int32_t date, int64_t* day_number, int* weekday) {
  using namespace std::chrono;
  const int y = date / 10000, m = date / 100 % 100, d = date % 100;
  if (date <= 0 || y < 1 || m < 1 || m > 12 || d < 1) return false;
  const year_month_day ymd{year{y} / month{static_cast<unsigned>(m)} / day{static_cast<unsigned>(d)}};
  if (!ymd.ok()) return false;
  const sys_days sd{ymd};
  *day_number = sd.time_since_epoch().count();
  *weekday = static_cast<int>(std::chrono::weekday{sd}.c_encoding());
  return true;
}

int ReadLine(const std::string& bytes, size_t* pos, char line[DAY_LINE_MAX + 1]) {
  size_t p = *pos;
  int n = 0;
  bool bad = false;
  while (p < bytes.size()) {
    const char c = bytes[p++];
    if (n < DAY_LINE_MAX) line[n] = c == '\r' ? ' ' : c;
    ++n;
    if (c == '\0') bad = true;
    if (c == '\n') break;
  }
  *pos = p;
  line[std::min(n, DAY_LINE_MAX)] = '\0';
  if (bad || n > DAY_LINE_MAX) return -1;
  return n;
}

bool ParseDayFile(const std::string& bytes, const std::string& name, DayFile* out, std::string* error) {
  out->date = 0;
  out->lines.clear();
  out->pan = !name.empty() && (name[0] == 's');
  size_t pos = 0;
  char line[DAY_LINE_MAX + 1];
  int line_no = 1;
  int n = ReadLine(bytes, &pos, line);
  if (n < 0) {
    *error = LineRefusal(name, 1, "行が255バイトを超えているか、文字でないバイトを含んでいます。", line);
    return false;
  }
  const std::vector<std::string> head = n > 0 ? Fields(line) : std::vector<std::string>{};
  out->date = head.empty() ? 0 : ParseDate(head[0]);
  if (out->date == 0) {
    PRT("日付の取得に失敗\n");
    *error = LineRefusal(name, 1, "日付の取得に失敗しました（yyyymmdd か yy/mm/dd で始まる行が必要です）。", line);
    return false;
  }
  int64_t day;
  int wday;
  if (!CivilDay(out->date, &day, &wday)) {
    char reason[128];
    std::snprintf(reason, sizeof reason, "日付 %d は暦にない日付です。", out->date);
    *error = LineRefusal(name, 1, reason, line);
    return false;
  }
  std::unordered_map<int32_t, int> first_line;  // code -> line number of its first line
  while ((n = ReadLine(bytes, &pos, line)) != 0) {
    ++line_no;
    if (n < 0) {
      *error = LineRefusal(name, line_no, "行が255バイトを超えているか、文字でないバイトを含んでいます。", line);
      return false;
    }
    const std::vector<std::string> f = Fields(line);
    if (f.empty()) {
      PRT("空白だけ、改行だけの行\n");
      continue;
    }
    if (f.size() != 7 && f.size() != 8) {
      char reason[128];
      std::snprintf(reason, sizeof reason, "項目の数が %d です（コード、名前、始値、高値、安値、終値、出来高[、分割]の7か8項目）。",
                    static_cast<int>(f.size()));
      *error = LineRefusal(name, line_no, reason, line);
      return false;
    }
    DayLine d;
    d.line_no = line_no;
    d.code = String_to_Code(f[0].c_str());
    if (d.code <= 0) {
      *error = LineRefusal(name, line_no, "最初の項目が銘柄コードではありません。", line);
      return false;
    }
    d.name = f[1];
    int64_t* values[6] = {&d.open, &d.high, &d.low, &d.close, &d.volume, &d.split};
    static const char* const kWhat[6] = {"始値", "高値", "安値", "終値", "出来高", "分割"};
    for (size_t k = 2; k < f.size(); ++k) {
      const NumberError e = ParseDecimal(f[k], values[k - 2]);
      if (e == NumberError::kNone) continue;
      char reason[160];
      std::snprintf(reason, sizeof reason, "%s「%.40s」%s", kWhat[k - 2], f[k].c_str(),
                    e == NumberError::kNegative   ? "が負の数です。"
                    : e == NumberError::kTooLarge ? "が大きすぎます。"
                                                  : "は数として読めません（桁区切りのカンマや文字は使えません）。");
      *error = LineRefusal(name, line_no, reason, line);
      return false;
    }
    auto [it, fresh] = first_line.emplace(d.code, line_no);
    if (!fresh) {
      PRT("%s は %d 行目にもあります。最初の %d 行目だけを使います\n", Code_to_String(d.code).c_str(), line_no, it->second);
      continue;
    }
    out->lines.push_back(std::move(d));
  }
  return true;
}

bool ReadDayFile(const std::string& path, DayFile* out, std::string* error) {
  out->path = path;
  const std::string name = BaseName(path);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    PRT("Could not open file  1.\n");
    *error = name + " を開けません: " + FileErrorText(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<uint64_t>(st.st_size) > DAY_FILE_MAX_BYTES) {
    ::close(fd);
    *error = name + " は1日分のファイルではありません（大きすぎるか、通常のファイルではありません）。";
    return false;
  }
  std::string bytes(static_cast<size_t>(st.st_size), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      const int err = got < 0 ? errno : 0;
      ::close(fd);
      PRT("ReadFile Error\n");
      *error = name + " を読めません: " + (err ? FileErrorText(err) : "途中で短くなりました");
      return false;
    }
    done += static_cast<size_t>(got);
  }
  ::close(fd);
  return ParseDayFile(bytes, name, out, error);
}

void ApplyPanScales(DayLine* line, int stock_num, int32_t tani) {
  const int64_t volume_factor = Listed(kVolume1000, line->code) ? 1000
                          : Listed(kVolume10, line->code) ? 10
                          : Listed(kVolume100, line->code) ? 100 : 1;
  const int64_t price_factor = Listed(kPrice1000, line->code) ? 1000 : Listed(kPrice100, line->code) ? 100 : 1;
  if (price_factor != 1 && price_factor != 1000)
    PRT("%4d %10s %d 倍\n", line->code, line->name.c_str(), static_cast<int>(price_factor));
  for (int64_t* p : {&line->open, &line->high, &line->low, &line->close}) *p = Scaled(*p, price_factor);
  line->volume = Scaled(line->volume, volume_factor);
  if (stock_num > 2 && tani < 100) {
    const int32_t unit = tani < 1 ? 1000 : tani;
    const int64_t divisor = 1000 / unit;
    if (divisor > 1) line->volume /= divisor;
  }
}
