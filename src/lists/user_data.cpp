#include "lists/user_data.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/codepage.h"
#include "platform/diagnostics.h"
#include "platform/file_error.h"
#include "platform/file_io.h"
#include "platform/file_replace.h"
#include "platform/format_text.h"
#include "platform/host.h"
#include "platform/profile_file.h"
#include "platform/working_folder.h"

Tyumoku tyumoku[TYUMOKU_MAX];
int Tyumoku_Num = 0;
char GroupName[GROUP_MAX][100];
int Group_Num = 1;
int Group_Select = 0;
Rireki rireki[RIREKI_MAX];
int Rireki_Num = 0;
Alarum alarum[ALARUM_MAX];
int Alarum_Num = 0;

namespace {

constexpr size_t VALUE_BYTES = 256;  // one looked-up value, its NUL included
constexpr const char* CAPTION = "お気に入り等のデータファイル";

// Looks one value up: section, key, default, output of VALUE_BYTES bytes.
using Lookup = std::function<void(const char*, const char*, const char*, char*)>;
// Whether a record's section is there.
using Has = std::function<bool(const char*)>;

struct SectionKey {
  const char* key;
  bool integer;
};

// One table of records: the section holding its count and the sections of its records.
struct RecordKind {
  const char* table;
  const char* prefix;  // record sections are prefix + four digits
  const char* format;
  int max;
  std::vector<SectionKey> keys;
};

const RecordKind kFavourites{"Portfolio", "PF", "PF%04d", TYUMOKU_MAX,
                             {{"Group", true}, {"Code", true}, {"Name", false}, {"Price", true},
                              {"Share", true}, {"Date", false}, {"Memo", false}}};
const RecordKind kFolders{"PortfolioGroup", "PG", "PG%04d", GROUP_MAX, {{"Group", false}}};
const RecordKind kHistory{"Rireki", "PR", "PR%04d", RIREKI_MAX,
                          {{"Code", true}, {"Name", false}, {"Share", true}, {"BuyDate", false},
                           {"BuyPrice", true}, {"SellDate", false}, {"SellPrice", true},
                           {"Cost", true}, {"Memo", false}}};
const RecordKind kAlerts{"Alarum", "PAL", "PAL%04d", ALARUM_MAX,
                         {{"Flag", true}, {"Code", true}, {"Name", false}, {"Check1", true},
                          {"Price1", true}, {"Check2", true}, {"Price2", true}}};
const RecordKind* const kKinds[] = {&kFavourites, &kFolders, &kHistory, &kAlerts};
const std::vector<SectionKey> kCountKeys{{"Num", true}};
const std::vector<SectionKey> kFolderCountKeys{{"Num", true}, {"Code", true}};

// The record table a section name belongs to, or null.
const RecordKind* RecordKindOf(std::string_view name) {
  for (const RecordKind* k : kKinds) {
    const size_t n = std::strlen(k->prefix);
    if (name.size() != n + 4 || name.compare(0, n, k->prefix) != 0) continue;
    if (std::all_of(name.begin() + n, name.end(), [](char c) { return c >= '0' && c <= '9'; })) return k;
  }
  return nullptr;
}

// The keys the writer puts in a section of that name, or null for a name it never writes.
const std::vector<SectionKey>* KeysOf(std::string_view name) {
  if (const RecordKind* k = RecordKindOf(name)) return &k->keys;
  if (name == kFolders.table) return &kFolderCountKeys;
  for (const RecordKind* k : kKinds)
    if (name == k->table) return &kCountKeys;
  return nullptr;
}

// The file's text as lines, with the first header line of every section name, so that a
// lookup costs a few lines instead of a scan of the whole text.
struct TextIndex {
  std::string_view text;
  std::vector<std::string_view> lines;  // without their line feeds
  std::unordered_map<std::string_view, size_t> sections;  // name -> header line
  std::string_view duplicate;  // a section name that has a second header
  // The text does not end with a line feed: the file was cut inside its last line, which
  // is not read.
  bool cut = false;
  // The last record of the file when it lacks some of its keys: the file was cut inside
  // it, and it is not read.
  std::string_view cut_record;

  explicit TextIndex(std::string_view t) {
    text = t;
    if (!text.empty() && text.back() == '\0') text.remove_suffix(1);  // the writer's final NUL
    size_t pos = 0;
    while (pos < text.size()) {
      size_t lf = text.find('\n', pos);
      if (lf == std::string_view::npos) {
        cut = true;
        break;
      }
      lines.push_back(text.substr(pos, lf - pos));
      pos = lf + 1;
    }
    std::string_view last;
    for (size_t i = 0; i < lines.size(); ++i) {
      std::string_view l = Trimmed(lines[i]);
      if (l.size() < 2 || l[0] != '[' || l.back() != ']') continue;
      last = l.substr(1, l.size() - 2);
      if (!sections.emplace(last, i).second && duplicate.empty()) duplicate = last;  // the first counts
    }
    if (const RecordKind* k = RecordKindOf(last)) {
      std::string_view v;
      for (const SectionKey& key : k->keys)
        if (!Find(std::string(last).c_str(), key.key, &v)) cut_record = last;
    }
  }

  // A line without the carriage return before its line feed.
  static std::string_view Trimmed(std::string_view l) {
    if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
    return l;
  }

  bool HasSection(const char* section) const { return sections.count(section) != 0; }
  // A record that is there whole enough to be read.
  bool HasRecord(const char* section) const { return HasSection(section) && cut_record != section; }

  // The value of key in section (one carriage return before the line end dropped), or
  // false when the section or the key is missing. A key belongs to the section whose
  // header comes before it, up to the next line that begins with "[".
  bool Find(const char* section, const char* key, std::string_view* value) const {
    auto it = sections.find(section);
    if (it == sections.end()) return false;
    const size_t klen = std::strlen(key);
    for (size_t i = it->second + 1; i < lines.size(); ++i) {
      std::string_view l = lines[i];
      if (!l.empty() && l[0] == '[') return false;
      if (l.size() > klen && l[klen] == '=' && l.compare(0, klen, key) == 0) {
        *value = Trimmed(l.substr(klen + 1));
        return true;
      }
    }
    return false;
  }

  void Get(const char* section, const char* key, const char* def, char* out) const {
    std::memset(out, 0, VALUE_BYTES);
    std::string_view v;
    if (!Find(section, key, &v)) v = def;
    Cp932CopyTruncated(out, VALUE_BYTES, v);
  }
};

// A leading decimal integer, as a "%d" scan reads it; saturated at the int range; 0 when
// the text holds no number.
int32_t ScanInt(const char* s) {
  while (*s == ' ' || *s == '\t' || *s == '\r' || *s == '\n' || *s == '\v' || *s == '\f') ++s;
  bool neg = false;
  if (*s == '-' || *s == '+') neg = *s++ == '-';
  long long v = 0;
  for (; *s >= '0' && *s <= '9'; ++s) {
    v = v * 10 + (*s - '0');
    if (v > 1LL + INT32_MAX) v = 1LL + INT32_MAX;
  }
  if (neg) v = -v;
  if (v > INT32_MAX) v = INT32_MAX;
  if (v < INT32_MIN) v = INT32_MIN;
  return static_cast<int32_t>(v);
}

// A value the writer could have written for an integer key: a decimal integer, blanks
// around it allowed.
bool IsIntegerText(std::string_view v) {
  while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
  while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.remove_suffix(1);
  if (!v.empty() && v.front() == '-') v.remove_prefix(1);
  return !v.empty() && v.size() <= 10 && std::all_of(v.begin(), v.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A byte that ends a word field: a blank or any control byte (the writer turns control
// bytes into blanks, so the word read is the word written back).
bool IsWordBreak(unsigned char c) { return c <= 0x20 || c == 0x7F; }

// The first word (up to a blank or a control byte), as a "%s" scan of the written line
// reads it, cut to the field.
void ScanWord(char* field, size_t size, const char* s) {
  while (*s && IsWordBreak(static_cast<unsigned char>(*s))) ++s;
  size_t n = 0;
  while (s[n] && !IsWordBreak(static_cast<unsigned char>(s[n]))) ++n;
  Cp932CopyTruncated(field, size, std::string_view(s, n));
}

void Section(char* out, const char* format, int i) { std::snprintf(out, 16, format, i); }

std::string AsciiLower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// The indexes of a table's records that are there, in order. Only these are read: a count
// larger than the records (a cut file, a damaged count) adds no records of defaults, and a
// smaller one drops none.
std::vector<int> Present(const Has& has, const RecordKind& k) {
  std::vector<int> out;
  char sec[16];
  for (int i = 0; i < k.max; ++i) {
    Section(sec, k.format, i);
    if (has(sec)) out.push_back(i);
  }
  return out;
}

// Fills the tables through a lookup, in the file's order, with the defaults key by key.
void FillTables(const Lookup& get, const Has& has) {
  char v[VALUE_BYTES];
  char sec[16];
  ResetUserData();

  for (int i : Present(has, kFavourites)) {
    Tyumoku& t = tyumoku[Tyumoku_Num++];
    Section(sec, kFavourites.format, i);
    get(sec, "Group", "0", v), t.Group = ScanInt(v);
    get(sec, "Code", "1001", v), t.Code = ScanInt(v);
    get(sec, "Name", "----", v), ScanWord(t.Name, sizeof t.Name, v);
    get(sec, "Price", "0", v), t.Price = ScanInt(v);
    get(sec, "Share", "0", v), t.Share = ScanInt(v);
    get(sec, "Date", "0", v), ScanWord(t.Date, sizeof t.Date, v);
    get(sec, "Memo", "", v), Cp932CopyTruncated(t.Memo, sizeof t.Memo, v);
    MakeOneLine(t.Memo);
  }

  // Every folder that is there or that a favourite names stays, at its index, so no
  // favourite changes folder; a folder whose name was lost gets a name that says so.
  const std::vector<int> folders = Present(has, kFolders);
  Group_Num = folders.empty() ? 1 : folders.back() + 1;
  for (int i = 0; i < Tyumoku_Num; ++i) {
    const int g = tyumoku[i].Group;
    if (g >= 0 && g < GROUP_MAX) {
      Group_Num = std::max(Group_Num, g + 1);
    } else {
      PRT("お気に入り %d のフォルダ %d は範囲外なのでフォルダ 0 に移します\n", i, g);
      tyumoku[i].Group = 0;
    }
  }
  for (int i = 0; i < Group_Num; ++i) {
    Section(sec, kFolders.format, i);
    if (has(sec) || i == 0) {
      get(sec, "Group", DEFAULT_GROUP_NAME, v);
    } else {
      std::snprintf(v, sizeof v, "復元したフォルダ%d", i);
      PRT("フォルダ %d の名前がないので「%s」とします\n", i, v);
    }
    Cp932CopyTruncated(GroupName[i], sizeof GroupName[i], v);
    MakeOneLine(GroupName[i]);
  }
  get("PortfolioGroup", "Code", "0", v);
  Group_Select = std::clamp(ScanInt(v), 0, Group_Num - 1);

  for (int i : Present(has, kHistory)) {
    Rireki& r = rireki[Rireki_Num++];
    Section(sec, kHistory.format, i);
    get(sec, "Code", "1001", v), r.Code = ScanInt(v);
    get(sec, "Name", "----", v), ScanWord(r.Name, sizeof r.Name, v);
    get(sec, "Share", "0", v), r.Share = ScanInt(v);
    get(sec, "BuyDate", "----", v), ScanWord(r.BuyDate, sizeof r.BuyDate, v);
    get(sec, "BuyPrice", "0", v), r.BuyPrice = ScanInt(v);
    get(sec, "SellDate", "----", v), ScanWord(r.SellDate, sizeof r.SellDate, v);
    get(sec, "SellPrice", "0", v), r.SellPrice = ScanInt(v);
    get(sec, "Cost", "0", v), r.Cost = ScanInt(v);
    get(sec, "Memo", "", v), Cp932CopyTruncated(r.Memo, sizeof r.Memo, v);
    MakeOneLine(r.Memo);
  }

  for (int i : Present(has, kAlerts)) {
    Alarum& a = alarum[Alarum_Num++];
    Section(sec, kAlerts.format, i);
    get(sec, "Flag", "0", v), a.Flag = ScanInt(v) ? 1 : 0;
    get(sec, "Code", "1001", v), a.Code = ScanInt(v);
    get(sec, "Name", "---", v), ScanWord(a.Name, sizeof a.Name, v);
    get(sec, "Check1", "0", v), a.Check1 = ScanInt(v) ? 1 : 0;
    get(sec, "Price1", "0", v), a.Price1 = ScanInt(v);
    get(sec, "Check2", "0", v), a.Check2 = ScanInt(v) ? 1 : 0;
    get(sec, "Price2", "0", v), a.Price2 = ScanInt(v);
  }
}

// Why the text is not a whole file of the writer ("" when it is).
std::string Damage(const TextIndex& ix) {
  if (ix.text.empty()) return "ファイルが空です";
  if (ix.cut) return "最後の行が途中で切れています";
  std::string_view section;
  for (size_t i = 0; i < ix.lines.size(); ++i) {
    const std::string_view l = TextIndex::Trimmed(ix.lines[i]);
    const int no = static_cast<int>(i) + 1;
    if (l.find('\0') != std::string_view::npos) return FormatText("%d 行目に NUL バイトがあります", no);
    if (l.empty()) continue;
    if (l[0] == '[') {
      section = l.size() >= 2 && l.back() == ']' ? l.substr(1, l.size() - 2) : std::string_view();
      if (!KeysOf(section)) return FormatText("%d 行目の節の見出しが読めません", no);
      continue;
    }
    const std::vector<SectionKey>* keys = KeysOf(section);
    const size_t eq = l.find('=');
    const SectionKey* known = nullptr;
    if (keys && eq != std::string_view::npos)
      for (const SectionKey& k : *keys)
        if (l.substr(0, eq) == k.key) known = &k;
    if (!known || (known->integer && !IsIntegerText(l.substr(eq + 1))))
      return FormatText("%d 行目が読めません", no);
  }
  if (!ix.duplicate.empty())
    return FormatText("[%.*s] が二度あります", static_cast<int>(ix.duplicate.size()), ix.duplicate.data());
  if (!ix.cut_record.empty())
    return FormatText("最後の記録 [%.*s] が途中で切れています", static_cast<int>(ix.cut_record.size()),
                      ix.cut_record.data());

  const Has has = [&ix](const char* s) { return ix.HasRecord(s); };
  char sec[16];
  for (const RecordKind* k : kKinds) {
    std::string_view num;
    if (!ix.Find(k->table, "Num", &num)) return FormatText("[%s] の件数がありません", k->table);
    const int n = ScanInt(std::string(num).c_str());
    const std::vector<int> present = Present(has, *k);
    if (n != static_cast<int>(present.size()))
      return FormatText("[%s] の件数は %d ですが、記録は %d 件です", k->table, n, static_cast<int>(present.size()));
    for (int i = 0; i < n; ++i) {
      if (present[i] != i) {
        Section(sec, k->format, i);
        return FormatText("[%s] がありません", sec);
      }
    }
  }
  // The records' own text: a favourite in a folder that is not there.
  char v[VALUE_BYTES];
  for (int i : Present(has, kFavourites)) {
    Section(sec, kFavourites.format, i);
    ix.Get(sec, "Group", "0", v);
    char folder[16];
    Section(folder, kFolders.format, ScanInt(v));
    if (!ix.HasRecord(folder)) return FormatText("[%s] のフォルダ %d がありません", sec, ScanInt(v));
  }
  return "";
}

// What was on disk when the file was loaded (or written) by this run, to notice a save of
// another instance in between.
struct DiskIdentity {
  bool exists = false;
  long long size = 0, mtime_ns = 0, inode = 0;
  bool operator==(const DiskIdentity&) const = default;
};
DiskIdentity g_loaded;

DiskIdentity IdentityOf(const std::string& path) {
  DiskIdentity id;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return id;
  id.exists = true;
  id.size = st.st_size;
  id.mtime_ns = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  id.inode = static_cast<long long>(st.st_ino);
  return id;
}

bool ReadWhole(const std::string& path, std::string* out, int* err) {
  *err = 0;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    *err = errno;
    return false;
  }
  out->clear();
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out->append(buf, n);
  const bool ok = !std::ferror(f);
  if (!ok) *err = errno ? errno : EIO;
  std::fclose(f);
  return ok;
}

std::string BackupPath(const std::string& path, int n) { return path + "." + std::to_string(n); }

bool IsSoundFile(const std::string& path, std::string* why) {
  std::string text;
  int err = 0;
  if (!ReadWhole(path, &text, &err)) {
    *why = FileErrorText(err);
    return false;
  }
  *why = Damage(TextIndex(text));
  return why->empty();
}

// A new backup generation at most every three days, never of a damaged file.
void RotateBackups(const std::string& path) {
  const std::string first = BackupPath(path, 1);
  struct stat st {};
  bool due = false;
  if (::stat(first.c_str(), &st) != 0) {
    PRT("CreateFile failed with %d\n", errno);
    due = true;
  } else {
    const long long diff = HostNow() - static_cast<long long>(st.st_mtim.tv_sec);
    const time_t t = st.st_mtim.tv_sec;
    struct tm lt {};
    localtime_r(&t, &lt);
    const long long days = diff < 0 ? -1 : diff / 86400;
    PRT("%02d/%02d/%d  %02d:%02d, ", lt.tm_mon + 1, lt.tm_mday, lt.tm_year + 1900, lt.tm_hour, lt.tm_min);
    PRT("sec=%lld,days=%lld\n", diff, days);
    due = days >= BACKUP_INTERVAL_DAYS;
  }
  if (!due) return;
  std::string why;
  if (IdentityOf(path).exists && !IsSoundFile(path, &why)) {
    PRT("mirelo.in2 が壊れているのでバックアップを作りません（%s）\n", why.c_str());
    return;
  }
  PRT("Backup in2.\n");
  // Shift only up to the first missing generation: a rotation that was cut short left one
  // gap, which the next one closes instead of pushing the oldest generation out.
  int gap = 1;
  while (gap <= USER_DATA_BACKUPS && IdentityOf(BackupPath(path, gap)).exists) ++gap;
  for (int n = std::min(gap, USER_DATA_BACKUPS) - 1; n >= 1; --n) {
    const int err = RenameFile(BackupPath(path, n).c_str(), BackupPath(path, n + 1).c_str());
    if (err) PRT("バックアップ %s の名前を変えられません: %s\n", BackupPath(path, n).c_str(), FileErrorText(err));
  }
  int err = 0;
  if (IdentityOf(path).exists && !CopyFileSafely(path, first, &err))
    PRT("バックアップ %s を作れません: %s\n", first.c_str(), FileErrorText(err));
}

void Line(std::string& out, const char* key, const char* value) {
  out += key;
  out += '=';
  out += value;
  out += '\n';
}

void IntLine(std::string& out, const char* key, int32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d", v);
  Line(out, key, buf);
}

// A text field as one line: CR, LF and control bytes never reach the file.
void TextLine(std::string& out, const char* key, const char* value, size_t width) {
  char buf[256];
  Cp932CopyTruncated(buf, std::min(sizeof buf, width), value);
  MakeOneLine(buf);
  Line(out, key, buf);
}

void Header(std::string& out, const char* name) {
  out += '[';
  out += name;
  out += "]\n";
}

}  // namespace

void ResetUserData() {
  std::memset(tyumoku, 0, sizeof tyumoku);
  std::memset(GroupName, 0, sizeof GroupName);
  std::memset(rireki, 0, sizeof rireki);
  std::memset(alarum, 0, sizeof alarum);
  Tyumoku_Num = Rireki_Num = Alarum_Num = 0;
  Group_Num = 1;
  Group_Select = 0;
  std::snprintf(GroupName[0], sizeof GroupName[0], "%s", DEFAULT_GROUP_NAME);
}

void MakeOneLine(char* text) {
  for (unsigned char* p = reinterpret_cast<unsigned char*>(text); *p; ++p) {
    if (IsCp932LeadByte(*p) && IsCp932TrailByte(p[1])) {
      ++p;
      continue;
    }
    if (*p < 0x20 || *p == 0x7F) *p = ' ';
  }
}

bool ParseUserDataText(const std::string& text, std::string* why) {
  const TextIndex ix(text);
  FillTables([&ix](const char* s, const char* k, const char* d, char* out) { ix.Get(s, k, d, out); },
             [&ix](const char* s) { return ix.HasRecord(s); });
  *why = Damage(ix);
  return why->empty();
}

std::string UserDataText() {
  std::string out;
  out.reserve(static_cast<size_t>(Tyumoku_Num) * 160 + static_cast<size_t>(Rireki_Num) * 260 +
              static_cast<size_t>(Alarum_Num) * 120 + 8192);
  char sec[16];
  Header(out, "Portfolio");
  IntLine(out, "Num", Tyumoku_Num);
  for (int i = 0; i < Tyumoku_Num; ++i) {
    const Tyumoku& t = tyumoku[i];
    Section(sec, "PF%04d", i);
    Header(out, sec);
    IntLine(out, "Group", t.Group);
    IntLine(out, "Code", t.Code);
    TextLine(out, "Name", t.Name, sizeof t.Name);
    IntLine(out, "Price", t.Price);
    IntLine(out, "Share", t.Share);
    TextLine(out, "Date", t.Date, sizeof t.Date);
    TextLine(out, "Memo", t.Memo, sizeof t.Memo);
    if (i % 512 == 511) HostPumpEvents();
  }
  Header(out, "PortfolioGroup");
  IntLine(out, "Num", Group_Num);
  IntLine(out, "Code", Group_Select);
  for (int i = 0; i < Group_Num; ++i) {
    Section(sec, "PG%04d", i);
    Header(out, sec);
    TextLine(out, "Group", GroupName[i], sizeof GroupName[i]);
  }
  Header(out, "Rireki");
  IntLine(out, "Num", Rireki_Num);
  for (int i = 0; i < Rireki_Num; ++i) {
    const Rireki& r = rireki[i];
    Section(sec, "PR%04d", i);
    Header(out, sec);
    IntLine(out, "Code", r.Code);
    TextLine(out, "Name", r.Name, sizeof r.Name);
    IntLine(out, "Share", r.Share);
    TextLine(out, "BuyDate", r.BuyDate, sizeof r.BuyDate);
    IntLine(out, "BuyPrice", r.BuyPrice);
    TextLine(out, "SellDate", r.SellDate, sizeof r.SellDate);
    IntLine(out, "SellPrice", r.SellPrice);
    IntLine(out, "Cost", r.Cost);
    TextLine(out, "Memo", r.Memo, sizeof r.Memo);
  }
  Header(out, "Alarum");
  IntLine(out, "Num", Alarum_Num);
  for (int i = 0; i < Alarum_Num; ++i) {
    const Alarum& a = alarum[i];
    Section(sec, "PAL%04d", i);
    Header(out, sec);
    IntLine(out, "Flag", a.Flag);
    IntLine(out, "Code", a.Code);
    TextLine(out, "Name", a.Name, sizeof a.Name);
    IntLine(out, "Check1", a.Check1);
    IntLine(out, "Price1", a.Price1);
    IntLine(out, "Check2", a.Check2);
    IntLine(out, "Price2", a.Price2);
  }
  out += '\0';
  return out;
}

namespace {

// Removes the temporary files of saves and backup copies that a killed run left beside the
// file (those of a live process may be another instance's save under way).
void RemoveLeftovers(const std::string& path) {
  std::vector<std::string> names = {path, path + ".damaged", path + ".conflict"};
  for (int n = 1; n <= USER_DATA_BACKUPS; ++n) names.push_back(BackupPath(path, n));
  int removed = 0;
  for (const std::string& name : names)
    for (const std::string& temp : DeadRunTemporaries(name)) removed += ::unlink(temp.c_str()) == 0;
  if (removed > 0) PRT("中断された保存の一時ファイルを %d 個削除しました\n", removed);
}

}  // namespace

int LoadVurnIniOrginal() {
  const std::string path = DataFilePath(USER_DATA_FILE);
  RemoveLeftovers(path);
  g_loaded = IdentityOf(path);
  if (!g_loaded.exists) {
    PRT("File not found... mirelo.iniから読み込む\n");
    return 0;
  }
  std::string text;
  int err = 0;
  if (!ReadWhole(path, &text, &err)) {
    PRT("Fail CreateFile in  LoadVurnIniOrginal() %s\n", FileErrorText(err));
    HostMessageBox("ファイル保存中です。時間をおいて再度起動してください。", "ファイルオープンの失敗", MB_OK);
    FatalAt(__FILE__, __LINE__);
    Fatal("%s", "");
  }
  std::string why;
  if (!ParseUserDataText(text, &why)) {
    PRT("mirelo.in2 が壊れています: %s\n", why.c_str());
    const std::string kept = path + ".damaged";
    if (!CopyFileSafely(path, kept, &err)) PRT("%s を作れません: %s\n", kept.c_str(), FileErrorText(err));
    int sound = 0;
    std::string backup_text;
    for (int n = 1; n <= USER_DATA_BACKUPS && !sound; ++n) {
      std::string b;
      if (ReadWhole(BackupPath(path, n), &b, &err) && Damage(TextIndex(b)).empty()) {
        sound = n;
        backup_text = std::move(b);
      }
    }
    char msg[768];
    if (sound) {
      std::snprintf(msg, sizeof msg,
                    "お気に入り・売買履歴・アラームのファイル mirelo.in2 が壊れています（%s）。\n"
                    "壊れたファイルは mirelo.in2.damaged に残しました。\n\n"
                    "最も新しい正常なバックアップ mirelo.in2.%d から読み込みますか？\n"
                    "「いいえ」では壊れたファイルから読める分だけを読み込みます。",
                    why.c_str(), sound);
      if (HostMessageBox(msg, CAPTION, MB_YESNO | MB_ICONWARNING) == IDYES) {
        std::string ignored;
        ParseUserDataText(backup_text, &ignored);
        PRT("mirelo.in2.%d から読み込みました\n", sound);
      }
    } else {
      std::snprintf(msg, sizeof msg,
                    "お気に入り・売買履歴・アラームのファイル mirelo.in2 が壊れています（%s）。\n"
                    "正常なバックアップがないので、読める分だけを読み込みます。\n"
                    "壊れたファイルは mirelo.in2.damaged に残しました。",
                    why.c_str());
      HostMessageBox(msg, CAPTION, MB_OK | MB_ICONWARNING);
    }
  }
  PRT("Load...VurnIniSize=%ld, ", static_cast<long>(text.size() + 1));
  PRT("Tyumoku=%d,Group=%d,%d,Alarm=%d\n", Tyumoku_Num, Group_Num, Group_Select, Alarum_Num);
  return 1;
}

void LoadUserDataFallback(const ProfileFile& ini) {
  std::unordered_set<std::string> sections;  // as the profile matches them: ASCII case ignored
  for (const ProfileLine& l : ini.lines)
    if (l.kind == ProfileLine::SECTION) sections.insert(AsciiLower(l.name));
  FillTables(
      [&ini](const char* s, const char* k, const char* d, char* out) {
        std::memset(out, 0, VALUE_BYTES);
        ProfileGetString(ini, s, k, d, out, VALUE_BYTES);
      },
      [&sections](const char* s) { return sections.count(AsciiLower(s)) != 0; });
}

bool SaveVurnIniOrg() {
  const std::string path = DataFilePath(USER_DATA_FILE);
  const DiskIdentity now = IdentityOf(path);
  if (now.exists && !(now == g_loaded)) {
    const std::string kept = path + ".conflict";
    int err = 0;
    const bool copied = CopyFileSafely(path, kept, &err);
    PRT("mirelo.in2 は読み込んだ後で書き換えられています。%s\n", copied ? "mirelo.in2.conflict に残しました" : "");
    if (copied) {
      HostMessageBox("mirelo.in2 は、この画面が読み込んだ後で別の Kivora によって書き換えられています。\n"
                     "その内容を mirelo.in2.conflict に残し、この画面の内容を保存します。",
                     CAPTION, MB_OK | MB_ICONWARNING);
    } else {
      PRT("%s を作れません: %s\n", kept.c_str(), FileErrorText(err));
      HostMessageBox("mirelo.in2 は別の Kivora によって書き換えられていて、その控えも作れませんでした。\n"
                     "上書きせずに終わります。今回の変更点は保存されません。",
                     CAPTION, MB_OK | MB_ICONWARNING);
      return false;
    }
  }
  RotateBackups(path);

  HostWaitOpen("データを保存中です。\nしばらくお待ちください。");
  const std::string text = UserDataText();
  HostWaitClose();

  FileReplace r;
  bool ok = FileReplaceBegin(&r, path);
  if (ok) {
    PRT("VurnIniSize=%d\n", static_cast<int>(text.size()));
    ok = FileReplaceWrite(&r, text.data(), text.size()) && FileReplaceCommit(&r);
  }
  if (!ok) {
    PRT("Fail CreateFile in  SaveVurnIniOrg() %s\n", FileErrorText(r.error));
    HostMessageBox("ファイル書き込みエラー。今回の変更点は保存されません。", "時間をおいて保存してください", MB_OK);
    return false;
  }
  g_loaded = IdentityOf(path);
  return true;
}
