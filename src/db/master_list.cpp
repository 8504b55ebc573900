#include "db/master_list.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>

#include "db/day_index.h"
#include "db/stock_code.h"
#include "db/trading_calendar.h"
#include "platform/codepage.h"

namespace {

// True when bytes are well-formed UTF-8 (so that a CP932 file, whose double-byte
// characters are not, is told apart).
bool IsUtf8(const std::string& bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > bytes.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

std::string Trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && (s[a] == ' ' || s[a] == '\t' || s[a] == '\r' || s[a] == '\n')) ++a;
  while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r' || s[b - 1] == '\n')) --b;
  return s.substr(a, b - a);
}

// A whole number written as digits, with a ".0" that spreadsheets add to numbers; false
// for anything else.
bool WholeNumber(const std::string& text, int64_t* value) {
  std::string t = Trim(text);
  if (t.size() > 2 && t.compare(t.size() - 2, 2, ".0") == 0) t.resize(t.size() - 2);
  if (t.empty() || t.size() > 12) return false;
  int64_t v = 0;
  for (char c : t) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  *value = v;
  return true;
}

// The code of a cell: four characters ("7203", "130A"), or a number a spreadsheet wrote as
// "7203.0"; 0 when the cell is no code.
int32_t CodeOfCell(const std::string& cell) {
  int64_t n = 0;
  std::string text = Trim(cell);
  if (WholeNumber(text, &n)) {
    if (n <= 0 || n > 9999) return 0;
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04d", static_cast<int>(n));
    text = buf;
  }
  if (text.size() != 4) return 0;
  return String_to_Code(text.c_str());
}

bool Contains(const std::string& s, const char* part) { return Cp932Find(s, part) != std::string::npos; }

// An industry name without the forms in which the list and our table differ: a trailing
// "業", and the second half of a name joined by "、" ("証券、商品先物取引業" is "証券業").
std::string IndustryKey(std::string name) {
  name = Trim(name);
  const size_t comma = Cp932Find(name, "、");
  if (comma != std::string::npos) name.resize(comma);
  const std::string gyo = "業";
  if (name.size() > gyo.size() && name.compare(name.size() - gyo.size(), gyo.size(), gyo) == 0 &&
      Cp932PrefixLength(name, name.size() - gyo.size()) == name.size() - gyo.size())
    name.resize(name.size() - gyo.size());
  return name;
}

// Items joined for a message, the first 10 of them and how many more there are.
std::string TextList(const std::vector<std::string>& items, const char* separator = "、") {
  std::string text;
  const size_t shown = items.size() < 10 ? items.size() : 10;
  for (size_t k = 0; k < shown; ++k) text += (k ? separator : "") + items[k];
  if (shown < items.size()) text += std::string(separator) + "ほか" + std::to_string(items.size() - shown) + "件";
  return text;
}

std::string RowList(const std::vector<int>& rows) {
  std::vector<std::string> items;
  for (int r : rows) items.push_back(std::to_string(r) + "行目");
  return TextList(items);
}

template <size_t N>
void SetField(char (&field)[N], const std::string& text) {
  Cp932CopyTruncated(field, N, text);
}

}  // namespace

TextTable ParseCsvTable(const std::string& raw) {
  std::string bytes = raw;
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  if (IsUtf8(bytes)) bytes = Utf8ToCp932(bytes);
  TextTable table;
  std::vector<std::string> row;
  std::string cell;
  bool quoted = false, any = false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (quoted) {
      if (c == '"' && i + 1 < bytes.size() && bytes[i + 1] == '"') {
        cell += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        cell += c;
        // The trail byte of a double-byte character may be any byte but a quote's.
        if (IsCp932LeadByte(static_cast<unsigned char>(c)) && i + 1 < bytes.size()) cell += bytes[++i];
      }
      continue;
    }
    if (c == '"') {
      quoted = true;
      any = true;
    } else if (c == ',') {
      row.push_back(cell);
      cell.clear();
      any = true;
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      if (any || !cell.empty()) {
        row.push_back(cell);
        table.push_back(row);
      }
      row.clear();
      cell.clear();
      any = false;
    } else {
      cell += c;
      if (IsCp932LeadByte(static_cast<unsigned char>(c)) && i + 1 < bytes.size()) cell += bytes[++i];
    }
  }
  if (any || !cell.empty()) {
    row.push_back(cell);
    table.push_back(row);
  }
  return table;
}

bool ReadListedIssues(const TextTable& table, ListedIssueList* list, std::string* error) {
  *list = ListedIssueList{};
  if (table.empty()) {
    *error = "一覧が空です";
    return false;
  }
  std::map<std::string, size_t> column;
  for (size_t c = 0; c < table[0].size(); ++c) column.emplace(Trim(table[0][c]), c);
  auto find = [&](const char* heading) { return column.count(heading) ? static_cast<long>(column[heading]) : -1L; };
  const long code_col = find("コード"), name_col = find("銘柄名");
  if (code_col < 0 || name_col < 0) {
    *error = "見出しに「コード」と「銘柄名」がありません（上場銘柄一覧ではないようです）";
    return false;
  }
  const long date_col = find("日付"), segment_col = find("市場・商品区分"), industry_col = find("33業種区分");
  const long unit_col = find("売買単位");
  auto cell = [](const std::vector<std::string>& row, long col) {
    return col >= 0 && static_cast<size_t>(col) < row.size() ? Trim(row[static_cast<size_t>(col)]) : std::string();
  };
  std::vector<int> unnamed, undated;
  std::vector<std::string> doubled;
  std::map<int32_t, int> row_of;  // code -> the row that first gave it
  for (size_t r = 1; r < table.size(); ++r) {
    const std::vector<std::string>& row = table[r];
    ListedIssue issue;
    issue.line = static_cast<int>(r) + 1;
    const std::string code_text = cell(row, code_col);
    if (code_text.empty() && cell(row, name_col).empty()) continue;  // a blank row
    issue.code = CodeOfCell(code_text);
    if (issue.code <= 0) {
      list->problems.push_back(std::to_string(issue.line) + "行目: コード「" + code_text + "」は銘柄コードではありません");
      continue;
    }
    issue.name = cell(row, name_col);
    if (issue.name.empty()) unnamed.push_back(issue.line);
    const auto first = row_of.emplace(issue.code, issue.line);
    if (!first.second)
      doubled.push_back(std::string(Code_to_String(issue.code).c_str()) + "（" + std::to_string(first.first->second) +
                        "行目と" + std::to_string(issue.line) + "行目）");
    issue.segment = cell(row, segment_col);
    issue.industry = cell(row, industry_col);
    int64_t n = 0;
    if (WholeNumber(cell(row, unit_col), &n) && n > 0 && n <= 1000000) issue.tani = static_cast<int32_t>(n);
    const std::string date_text = cell(row, date_col);
    if (!date_text.empty()) {
      int yday = 0, wday = 0, year = 0;
      if (!WholeNumber(date_text, &n) || n > INT32_MAX || !IsRealDate(static_cast<int32_t>(n)) ||
          !CalendarDayFacts(static_cast<int32_t>(n), &yday, &wday, &year))
        undated.push_back(issue.line);
      else if (list->date == 0)
        list->date = static_cast<int32_t>(n);
    }
    list->issues.push_back(issue);
  }
  std::vector<std::string> faults;
  if (list->issues.empty())
    faults.push_back("銘柄コードのある行がありません（見出しだけか、コードがどれも銘柄コードではありません）");
  if (!unnamed.empty()) faults.push_back("銘柄名が空です: " + RowList(unnamed));
  if (!doubled.empty()) faults.push_back("コードが二度あります: " + TextList(doubled));
  if (!undated.empty()) faults.push_back("日付が暦にない日です: " + RowList(undated));
  if (faults.empty()) return true;
  *error = TextList(faults, "\n");
  return false;
}

int MarketOfSegment(const std::string& segment, bool* known) {
  *known = true;
  if (Contains(segment, "プライム")) return 1;
  if (Contains(segment, "スタンダード")) return 2;
  if (Contains(segment, "グロース")) return 3;
  if (Contains(segment, "ETF") || Contains(segment, "ETN") || Contains(segment, "REIT") ||
      Contains(segment, "ファンド"))
    return 4;
  // Known segments without a market of their own.
  if (Contains(segment, "PRO Market") || Contains(segment, "出資証券")) return 0;
  *known = false;
  return 0;
}

int IndustryOfListName(const std::string& name) {
  const std::string t = Trim(name);
  if (t.empty() || t == "-") return -2;
  for (int i = 0; i < INDUSTRY_COUNT; ++i)
    if (t == IndustryName[i]) return i;
  const std::string key = IndustryKey(t);
  for (int i = 0; i < INDUSTRY_COUNT; ++i)
    if (key == IndustryKey(IndustryName[i])) return i;
  return -1;
}

bool IsRegionalMarket(int market) {
  switch (market) {
    case 5: case 6: case 7: case 23:  // Nagoya
    case 8: case 25:                  // Fukuoka
    case 9:                           // Sapporo
      return true;
    default:
      return false;
  }
}

bool MakeMasterEdition(const Fundamental* current, int count, const ListedIssueList& list,
                       std::vector<Fundamental>* edition, EditionSummary* summary, std::string* error) {
  *summary = EditionSummary{};
  edition->assign(current, current + count);
  std::map<int32_t, int> number_of;  // code -> stock number (first entry of a code)
  for (int n = 0; n < count; ++n) number_of.emplace(current[n].code, n);
  std::map<int32_t, bool> listed;
  for (const ListedIssue& issue : list.issues) {
    if (listed.count(issue.code)) {
      summary->warnings.push_back(std::to_string(issue.line) + "行目: コード " +
                                  Code_to_String(issue.code).c_str() + " は二度目なので読み飛ばしました");
      continue;
    }
    listed[issue.code] = true;
    bool known = true;
    const bool has_segment = !issue.segment.empty();
    const int market = has_segment ? MarketOfSegment(issue.segment, &known) : 0;
    if (!known)
      summary->warnings.push_back(std::string(Code_to_String(issue.code).c_str()) + ": 市場区分「" +
                                  issue.segment + "」は不明です（指定なしにします）");
    const int industry = IndustryOfListName(issue.industry);
    if (industry == -1)
      summary->warnings.push_back(std::string(Code_to_String(issue.code).c_str()) + ": 業種「" + issue.industry +
                                  "」は不明です（空欄にします）");
    auto it = number_of.find(issue.code);
    if (it == number_of.end()) {
      if (edition->size() >= static_cast<size_t>(MAX_KABU)) {
        *error = "銘柄数が上限(" + std::to_string(MAX_KABU) + ")を超えます";
        return false;
      }
      Fundamental f{};
      f.code = issue.code;
      SetField(f.name, issue.name);
      SetField(f.company, issue.name);
      if (industry >= 0) SetField(f.industry, IndustryName[industry]);
      f.market = static_cast<int8_t>(market);
      f.tani = issue.tani > 0 ? issue.tani : 100;
      f.flag = FLAG_NO_PRICES | FLAG_DAILY_DOWNLOAD;
      edition->push_back(f);
      summary->added.push_back(issue.code);
      continue;
    }
    Fundamental& f = (*edition)[static_cast<size_t>(it->second)];
    if (f.flag & FLAG_INDEX) continue;
    const Fundamental before = f;
    if (!issue.name.empty()) SetField(f.name, issue.name);
    if (industry >= 0) SetField(f.industry, IndustryName[industry]);
    if (has_segment) f.market = static_cast<int8_t>(market);
    if (issue.tani > 0) f.tani = issue.tani;
    // Listed again (or still): back in the daily download.
    f.flag = (f.flag & ~FLAG_DELISTED) | FLAG_DAILY_DOWNLOAD;
    if (std::memcmp(&before, &f, sizeof f) != 0) summary->changed.push_back(issue.code);
  }
  for (int n = 0; n < count; ++n) {
    const Fundamental& was = current[n];
    if ((was.flag & FLAG_INDEX) || IsRegionalMarket(was.market)) continue;
    if ((was.flag & FLAG_DELISTED) && !(was.flag & FLAG_DAILY_DOWNLOAD)) continue;  // delisted before
    ++summary->listed;
    if (listed.count(was.code)) continue;
    Fundamental& f = (*edition)[static_cast<size_t>(n)];
    f.flag = (f.flag | FLAG_DELISTED) & ~FLAG_DAILY_DOWNLOAD;
    summary->delisted.push_back(f.code);
  }
  return true;
}

int DelistLimit(int listed) {
  const int share = (listed * 5 + 99) / 100;
  return share > 50 ? share : 50;
}
