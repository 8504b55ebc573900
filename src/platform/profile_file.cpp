#include "platform/profile_file.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/codepage.h"
#include "platform/diagnostics.h"
#include "platform/file_io.h"
#include "platform/file_replace.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  // A trailing blank is never the second byte of a double-byte character.
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Equal without regard to ASCII case; the second byte of a double-byte character is
// compared exactly, since it may fall into the range of the ASCII letters.
bool NameEquals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size();) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    if (IsCp932LeadByte(x) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      i += 2;
      continue;
    }
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    ++i;
  }
  return true;
}

void Classify(ProfileLine& line) {
  line.kind = ProfileLine::OTHER;
  line.name.clear();
  std::string_view t = Trim(line.text);
  if (t.empty() || t[0] == ';') return;
  if (t[0] == '[') {
    // "]" can be the second byte of a double-byte character: step over those.
    for (size_t i = 1; i < t.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(t[i]);
      if (IsCp932LeadByte(c)) {
        ++i;
        continue;
      }
      if (c == ']') {
        line.kind = ProfileLine::SECTION;
        line.name = std::string(Trim(t.substr(1, i - 1)));
        return;
      }
    }
    return;
  }
  size_t eq = t.find('=');  // "=" is never a second byte
  if (eq == std::string_view::npos) return;
  std::string_view key = Trim(t.substr(0, eq));
  if (key.empty()) return;
  line.kind = ProfileLine::KEY;
  line.name = std::string(key);
}

// The value of a key line: after the first "=", trimmed, one pair of matching quotes removed.
std::string_view ValueOf(const ProfileLine& line) {
  std::string_view t = line.text;
  std::string_view v = Trim(t.substr(t.find('=') + 1));
  if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
  return v;
}

constexpr size_t kNone = static_cast<size_t>(-1);

size_t FindSection(const ProfileFile& pf, std::string_view section) {
  for (size_t i = 0; i < pf.lines.size(); ++i)
    if (pf.lines[i].kind == ProfileLine::SECTION && NameEquals(pf.lines[i].name, section)) return i;
  return kNone;
}

size_t SectionEnd(const ProfileFile& pf, size_t header) {
  size_t i = header + 1;
  while (i < pf.lines.size() && pf.lines[i].kind != ProfileLine::SECTION) ++i;
  return i;
}

const ProfileLine* FindKey(const ProfileFile& pf, const char* section, const char* key) {
  size_t h = FindSection(pf, section);
  if (h == kNone) return nullptr;
  size_t e = SectionEnd(pf, h);
  for (size_t i = h + 1; i < e; ++i)
    if (pf.lines[i].kind == ProfileLine::KEY && NameEquals(pf.lines[i].name, key)) return &pf.lines[i];
  return nullptr;
}

// Parses a decimal integer at p (after blanks, with an optional sign), saturating.
// Returns the number of bytes used, 0 when there is no number.
size_t ParseInt(std::string_view s, size_t p, int* out) {
  size_t i = p;
  while (i < s.size() && (IsBlank(s[i]) || s[i] == '\r' || s[i] == '\n' || s[i] == '\v' || s[i] == '\f')) ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  size_t digits = i;
  long long v = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    if (v <= static_cast<long long>(INT_MAX) + 1) v = v * 10 + (s[i] - '0');
    ++i;
  }
  if (i == digits) return 0;
  if (neg) v = -v;
  if (v > INT_MAX) v = INT_MAX;
  if (v < INT_MIN) v = INT_MIN;
  *out = static_cast<int>(v);
  return i - p;
}

bool NeedsQuotes(std::string_view v) {
  if (v.empty()) return false;
  if (IsBlank(v.front()) || IsBlank(v.back())) return true;
  return v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0];
}

}  // namespace

void ProfileParse(ProfileFile& pf, std::string_view text) {
  pf.lines.clear();
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  // Lines end in CR LF, LF or a lone CR (as an old editor of another system saves them).
  size_t p = 0;
  while (p < text.size()) {
    const size_t nl = text.find_first_of("\r\n", p);
    const size_t end = nl == std::string_view::npos ? text.size() : nl;
    ProfileLine line;
    line.text = std::string(text.substr(p, end - p));
    Classify(line);
    pf.lines.push_back(std::move(line));
    if (nl == std::string_view::npos) break;
    p = nl + (text[nl] == '\r' && nl + 1 < text.size() && text[nl + 1] == '\n' ? 2 : 1);
  }
}

bool ProfileLoad(ProfileFile& pf, const char* path) {
  pf.lines.clear();
  pf.unreadable = false;
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return false;
    pf.unreadable = true;
    PRT("設定ファイル %s を開けません(%s)\n", path, std::strerror(errno));
    return false;
  }
  struct stat st;
  std::string text;
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
            static_cast<unsigned long long>(st.st_size) <= PROFILE_MAX_FILE_BYTES;
  if (ok) {
    text.resize(static_cast<size_t>(st.st_size));
    int err = 0;
    ok = ReadFully(fd, text.data(), text.size(), 0, &err) == text.size() && err == 0;
  }
  close(fd);
  if (!ok) {
    pf.unreadable = true;
    PRT("設定ファイル %s を読めません。既定値で起動し、終了時にも書き換えません\n", path);
    return false;
  }
  ProfileParse(pf, text);
  return true;
}

std::string ProfileText(const ProfileFile& pf) {
  std::string out;
  size_t total = 0;
  for (const ProfileLine& l : pf.lines) total += l.text.size() + 2;
  out.reserve(total);
  for (const ProfileLine& l : pf.lines) {
    out += l.text;
    out += "\r\n";
  }
  return out;
}

bool ProfileSave(const ProfileFile& pf, const char* path) {
  if (pf.unreadable) {
    PRT("設定ファイル %s は読めなかったので書き換えません\n", path);
    return false;
  }
  const std::string text = ProfileText(pf);
  // A new file renamed over the old one, with the old one's permissions.
  FileReplace r;
  if (!FileReplaceBegin(&r, path) || !FileReplaceWrite(&r, text.data(), text.size()) || !FileReplaceCommit(&r)) {
    FileReplaceAbort(&r);
    PRT("設定ファイル %s を書けません(%s)\n", path, std::strerror(r.error));
    return false;
  }
  return true;
}

bool ProfileGetString(const ProfileFile& pf, const char* section, const char* key, const char* def,
                      char* out, size_t size) {
  const ProfileLine* line = FindKey(pf, section, key);
  Cp932CopyTruncated(out, size, line ? ValueOf(*line) : std::string_view(def ? def : ""));
  return line != nullptr;
}

int ProfileGetInt(const ProfileFile& pf, const char* section, const char* key, int def) {
  const ProfileLine* line = FindKey(pf, section, key);
  if (!line) return def;
  int v;
  return ParseInt(ValueOf(*line), 0, &v) ? v : def;
}

int ScanInts(std::string_view text, int* values, int count) {
  size_t p = 0;
  int n = 0;
  while (n < count) {
    int v;
    size_t used = ParseInt(text, p, &v);
    if (used == 0) break;
    values[n++] = v;
    p += used;
  }
  return n;
}

int ProfileGetInts(const ProfileFile& pf, const char* section, const char* key, int* values, int count) {
  const ProfileLine* line = FindKey(pf, section, key);
  return line ? ScanInts(ValueOf(*line), values, count) : 0;
}

void ProfileSetString(ProfileFile& pf, const char* section, const char* key, const char* value) {
  std::string v(value ? value : "");
  for (char& c : v)
    if (c == '\r' || c == '\n') c = ' ';
  if (NeedsQuotes(v)) {
    v.insert(v.begin(), '"');
    v.push_back('"');
  }
  ProfileLine line;
  line.text.append(key).append("=").append(v);
  Classify(line);

  size_t h = FindSection(pf, section);
  if (h == kNone) {
    ProfileLine header;
    header.text.append("[").append(section).append("]");
    Classify(header);
    pf.lines.push_back(std::move(header));
    pf.lines.push_back(std::move(line));
    return;
  }
  size_t e = SectionEnd(pf, h);
  size_t insert = h + 1;
  for (size_t i = h + 1; i < e; ++i) {
    if (pf.lines[i].kind == ProfileLine::KEY && NameEquals(pf.lines[i].name, key)) {
      pf.lines[i] = std::move(line);
      return;
    }
    if (!Trim(pf.lines[i].text).empty()) insert = i + 1;
  }
  pf.lines.insert(pf.lines.begin() + static_cast<std::ptrdiff_t>(insert), std::move(line));
}

void ProfileSetInt(ProfileFile& pf, const char* section, const char* key, int value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d", value);
  ProfileSetString(pf, section, key, buf);
}

void ProfileSetInts(ProfileFile& pf, const char* section, const char* key, const int* values, int count) {
  std::string v;
  char buf[16];
  for (int i = 0; i < count; ++i) {
    std::snprintf(buf, sizeof buf, i ? " %d" : "%d", values[i]);
    v += buf;
  }
  ProfileSetString(pf, section, key, v.c_str());
}
