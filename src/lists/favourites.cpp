#include "lists/favourites.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "db/packed_value.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "lists/favourite_add.h"
#include "lists/list_sort.h"
#include "lists/screening_engine.h"
#include "lists/screening_snapshot.h"
#include "platform/codepage.h"
#include "platform/diagnostics.h"
#include "platform/hooks.h"
#include "platform/host.h"

namespace {

void CopyText(char* dst, size_t size, const char* src) { Cp932CopyTruncated(dst, size, src ? src : ""); }

bool FolderHolds(int group, int32_t code) {
  for (int i = 0; i < Tyumoku_Num; ++i)
    if (tyumoku[i].Group == group && tyumoku[i].Code == code) return true;
  return false;
}

}  // namespace

int32_t LatestNonZeroClose(int s) {
  if (s < 0 || s >= MAX_KABU) return 0;
  for (int w = PHT_LAST; w >= 0; --w)
    if (const int32_t c = Packed_to_Value(pht[s].close[w])) return c;
  return 0;
}

std::string LastTradingDayText() {
  if (LastDate <= 0) return "";
  const int32_t d = nikkei_date[LastDate - 1];
  char buf[16];
  std::snprintf(buf, sizeof buf, "%4d/%02d/%02d", d / 10000 % 10000, d / 100 % 100, d % 100);
  return buf;
}

bool IsTyumoku(int32_t code) {
  if (code == ALWAYS_FAVOURITE_CODE) return true;
  for (int i = 0; i < Tyumoku_Num; ++i)
    if (tyumoku[i].Code == code) return true;
  return false;
}

bool IsTyumokuStock(int s) { return s >= 0 && s < LastKabu && IsTyumoku(fundamental[s].code); }

std::vector<int> FolderRecords(int group) {
  std::vector<int> out;
  for (int i = 0; i < Tyumoku_Num; ++i)
    if (tyumoku[i].Group == group) out.push_back(i);
  return out;
}

void PriceTyumoku(Tyumoku* t) {
  const int s = Code_to_StockNum(t->Code);
  const int64_t close = s >= 0 ? LatestNonZeroClose(s) : 0;
  t->Value = close * t->Share;
  t->Profit = t->Value - int64_t{t->Share} * t->Price;
}

FolderTotals PriceFolder(int group) {
  FolderTotals sum;
  for (int i = 0; i < Tyumoku_Num; ++i) {
    if (tyumoku[i].Group != group) continue;
    PriceTyumoku(&tyumoku[i]);
    sum.value += tyumoku[i].Value;
    sum.profit += tyumoku[i].Profit;
  }
  return sum;
}

std::vector<std::string> TyumokuRow(const Tyumoku& t) {
  // One CommaAdd at a time: each call overwrites the text of the one before.
  std::vector<std::string> row;
  row.reserve(TYUMOKU_COLUMNS);
  row.emplace_back(Code_to_String(t.Code).c_str());
  row.emplace_back(t.Name);
  for (int64_t v : {int64_t{t.Price}, int64_t{t.Share}, t.Value, t.Profit}) row.emplace_back(CommaAdd(v));
  row.emplace_back(t.Date);
  return row;
}

int CountSelectCodes() {
  int n = 0;
  for (int c : SelectCode)
    if (c != -1) ++n;
  return n;
}

TyumokuAddResult AddTyumokuFromSelectCode(int group, bool single, int32_t price, int32_t share, const char* date,
                                          int* added) {
  *added = 0;
  const int num = CountSelectCodes();
  if (Tyumoku_Num + num > TYUMOKU_LIMIT) {
    PRT("現在分（Tyumoku_Num） %d  追加分（num） %d \n", Tyumoku_Num, num);
    HostMessageBox("これ以上お気に入りに追加できません。\n登録されている銘柄を一部削除して下さい。", "注意", MB_OK);
    return TYUMOKU_FULL;
  }
  if (group < 0 || group >= Group_Num) group = 0;
  for (int code : SelectCode) {
    if (code == -1) continue;
    const int s = Code_to_StockNum(code);
    if (s < 0) continue;
    if (FolderHolds(group, code)) {
      if (!single) continue;
      HostMessageBox("この銘柄はすでに同一のフォルダに含まれています。", "注意", MB_OK | MB_ICONWARNING);
      return TYUMOKU_DUPLICATE;
    }
    Tyumoku& t = tyumoku[Tyumoku_Num];
    t = Tyumoku{};
    t.Group = group;
    t.Code = code;
    CopyText(t.Name, sizeof t.Name, fundamental[s].name);
    t.Price = single ? price : PhtLatestClose(s);
    t.Share = single ? share : fundamental[s].tani;
    CopyText(t.Date, sizeof t.Date, date);
    ++Tyumoku_Num;
    ++*added;
  }
  Group_Select = group;
  RebuildTyumokuMenu();
  return TYUMOKU_ADDED;
}

void DeleteTyumokuRecords(std::vector<int> indices) {
  std::vector<bool> gone(Tyumoku_Num, false);
  for (int i : indices)
    if (i >= 0 && i < Tyumoku_Num) gone[i] = true;
  int n = 0;
  for (int i = 0; i < Tyumoku_Num; ++i)
    if (!gone[i]) tyumoku[n++] = tyumoku[i];
  Tyumoku_Num = n;
}

int MoveTyumokuInFolder(int index, int direction) {
  if (index < 0 || index >= Tyumoku_Num) return -1;
  const int step = direction < 0 ? -1 : 1;
  for (int j = index + step; j >= 0 && j < Tyumoku_Num; j += step) {
    if (tyumoku[j].Group != tyumoku[index].Group) continue;
    std::swap(tyumoku[index], tyumoku[j]);
    return j;
  }
  return -1;
}

bool MoveTyumokuToFolder(int index, int target) {
  if (index < 0 || index >= Tyumoku_Num || target < 0 || target >= Group_Num) return false;
  if (tyumoku[index].Group == target) return true;
  if (FolderHolds(target, tyumoku[index].Code)) return false;
  tyumoku[index].Group = target;
  return true;
}

void SortTyumokuFolder(int group, int column, int state) {
  const std::vector<int> places = FolderRecords(group);
  std::vector<ListSortKey> keys;
  std::vector<Tyumoku> recs;
  for (int i : places) {
    const Tyumoku& t = tyumoku[i];
    recs.push_back(t);
    ListSortKey k;
    switch (column) {
      case 0: k.number = t.Code; break;
      case 1: k.text = true; k.str = t.Name; break;
      case 2: k.number = t.Price; break;
      case 3: k.number = t.Share; break;
      case 4: k.number = t.Value; break;
      case 5: k.number = t.Profit; break;
      default: k.text = true; k.str = t.Date; break;
    }
    keys.push_back(k);
  }
  const std::vector<int> order = ListSortOrder(keys, state);
  for (size_t n = 0; n < places.size(); ++n) tyumoku[places[n]] = recs[order[n]];
}

void CommitTyumoku(int index, int32_t price, int32_t share, const char* date, const char* memo) {
  if (index < 0 || index >= Tyumoku_Num) return;
  Tyumoku& t = tyumoku[index];
  t.Price = price;
  t.Share = share;
  CopyText(t.Date, sizeof t.Date, date);
  MakeOneLine(t.Date);
  CopyText(t.Memo, sizeof t.Memo, memo);
  MakeOneLine(t.Memo);
  PriceTyumoku(&t);
}

bool AddTyumokuFolder() {
  if (Group_Num >= GROUP_CREATE_LIMIT) {
    HostMessageBox("これ以上フォルダを作成できません", "注意", MB_OK);
    return false;
  }
  std::snprintf(GroupName[Group_Num], sizeof GroupName[0], "%s %d", "新しいお気に入りフォルダ", Group_Num + 1);
  Group_Select = Group_Num++;
  return true;
}

bool DeleteTyumokuFolder(int group) {
  if (Group_Num <= 1) {
    HostMessageBox("全てのお気に入りフォルダを消すことは出来ません", "注意", MB_OK);
    return false;
  }
  if (group < 0 || group >= Group_Num) return false;
  std::vector<int> gone = FolderRecords(group);
  DeleteTyumokuRecords(gone);
  for (int i = 0; i < Tyumoku_Num; ++i)
    if (tyumoku[i].Group > group) --tyumoku[i].Group;
  for (int g = group; g + 1 < Group_Num; ++g) std::memcpy(GroupName[g], GroupName[g + 1], sizeof GroupName[g]);
  --Group_Num;
  std::memset(GroupName[Group_Num], 0, sizeof GroupName[Group_Num]);
  Group_Select = std::max(0, Group_Select - 1);
  ScreFolderDeleted(ScreCond, group);
  return true;
}

ClipboardText TyumokuCopyText(int group) {
  ClipboardText clip(TYUMOKU_CLIP_BYTES);
  for (int i : FolderRecords(group)) {
    const Tyumoku& t = tyumoku[i];
    ClipboardAppendf(&clip, "%s\t%s\t%d\t%s\t%d\t%lld\t%lld\r\n", Code_to_String(t.Code).c_str(), t.Name, t.Share,
                     t.Date, t.Price, static_cast<long long>(t.Value), static_cast<long long>(t.Profit));
  }
  return clip;
}

int CollectPastedCodes(const std::string& text) {
  std::fill(std::begin(SelectCode), std::end(SelectCode), -1);
  int n = 0;
  std::string field;
  bool in_line_tail = false;  // after a tab: the rest of the line is ignored
  auto end_line = [&] {
    if (!field.empty() && n < SELECT_CODE_MAX - 1) {
      const int32_t code = String_to_Code(field.c_str());
      if (code > 0 && Code_to_StockNum(code) >= 0 && std::find(SelectCode, SelectCode + n, code) == SelectCode + n)
        SelectCode[n++] = code;
    }
    field.clear();
    in_line_tail = false;
  };
  for (char ch : text) {
    if (ch == '\0') break;
    if (ch == '\r' || ch == '\n') {
      end_line();
    } else if (ch == '\t') {
      in_line_tail = true;
    } else if (!in_line_tail) {
      field += ch;
      if (field.size() >= 256) field.clear();
    }
  }
  end_line();  // a last line without a line break counts too
  return n;
}

int TyumokuWheelTarget(int steps, int shown) {
  std::vector<int> stocks;
  for (int i : FolderRecords(Group_Select)) {
    const int s = Code_to_StockNum(tyumoku[i].Code);
    if (s >= 0) stocks.push_back(s);
  }
  if (stocks.empty() || steps == 0) return -1;
  const int count = static_cast<int>(stocks.size());
  int pos = static_cast<int>(std::find(stocks.begin(), stocks.end(), shown) - stocks.begin());
  if (pos == count) pos = steps > 0 ? count : -1;
  pos += steps > 0 ? -1 : 1;
  pos = std::clamp(pos, 0, count - 1);
  return stocks[pos] == shown ? -1 : stocks[pos];
}

int ProfitBand(int64_t profit, int64_t price, int64_t share) {
  const double pct = static_cast<double>(profit) * 100.0 / (static_cast<double>(price) * static_cast<double>(share) + 0.0001);
  if (pct >= 20) return 0;
  if (pct >= 10) return 1;
  if (pct >= 5) return 2;
  if (pct > 0) return 3;
  if (pct == 0) return 4;
  if (pct > -5) return 5;
  if (pct > -10) return 6;
  if (pct > -20) return 7;
  return 8;
}

uint32_t ProfitBandRgb(int band) {
  static const uint32_t kRgb[9] = {0xA6F7A4, 0xC8FAC7, 0xE2FDE1, 0xF0FEEF, 0xFFFFFF,
                                   0xFEEBFD, 0xFCD6F9, 0xF9ACF3, 0xF481EC};
  return band >= 0 && band < 9 ? kRgb[band] : 0xFFFFFF;
}

std::vector<std::pair<int32_t, std::string>> TyumokuMenuItems() {
  std::vector<std::pair<int32_t, std::string>> items;
  for (int i : FolderRecords(Group_Select)) items.emplace_back(tyumoku[i].Code, tyumoku[i].Name);
  return items;
}

void RebuildTyumokuMenu() {
  if (TyumokuMenuHook) TyumokuMenuHook();
}
