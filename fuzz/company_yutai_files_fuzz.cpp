// Fuzz target for the loaders of the company file ("vurn_fu4.hy3") and the benefit file
// ("vurn_yu2.hy3"): the input's first byte chooses the file, the rest is its start, padded
// to the file's size in a scratch working folder. A company record read gives the company
// window's lines and change chart; a benefit table read gives the benefit list's rows under
// every filter. Texts stay terminated, rows within the table, the chart's points on it.
#include <cmath>
#include <cstring>
#include <string>

#include "db/database_file.h"
#include "db/price_model.h"
#include "fuzz_scratch.h"
#include "net/company_file.h"
#include "net/company_view.h"
#include "net/yutai_table.h"

namespace {

constexpr int STOCKS = 3;

bool Terminated(const char* field, size_t size) { return std::memchr(field, 0, size) != nullptr; }

void CompanyRecords() {
  for (int s = 0; s < STOCKS; ++s) {
    ResetFunBuffer();
    if (!ReadFun(s, 1)) continue;
    const FunRecord r = FunBuf;
    for (const auto& text : r.text) Require(Terminated(text, sizeof text), "texts terminated");
    for (const auto& row : r.table)
      for (const auto& cell : row) Require(Terminated(cell, sizeof cell), "cells terminated");
    const FunPeerStats stats = ComputePeerStats(s);
    for (int i = 0; i < FUN_PAGE_LINES; ++i) Require(!FunLongLine(i, r, stats).empty(), "a line for each line");
    const FunChartBox box = FunChartBoxAt(0);
    for (int column = 1; column < FUN_COLUMNS; ++column) {
      const FunChange c = FunChangeOf(r, column);
      if (!c.shown) continue;
      Require(std::isfinite(c.r1) && std::isfinite(c.r2), "finite changes");
      FunSegment seg;
      if (FunClipSegment(box, 0, 0, 100, c.r1, &seg))
        Require(seg.y1 >= std::min(box.top, box.bottom) && seg.y1 <= std::max(box.top, box.bottom), "points on the chart");
    }
  }
}

void BenefitTable() {
  if (!ReadYutai()) return;
  Require(Yutai_Last_Num >= 0 && Yutai_Last_Num <= YUTAI_MAX_KABU, "record count within the table");
  Require(Terminated(YutaiDateText, sizeof YutaiDateText), "header text terminated");
  static int rows[YUTAI_MAX_KABU];
  for (int month = 0; month <= 12; ++month) {
    for (int kind = 0; kind < YUTAI_KIND_COUNT; kind += month == 0 ? 1 : 8) {
      const int n = YutaiListRows(month, kind, rows, YUTAI_MAX_KABU);
      Require(n >= 0 && n <= Yutai_Last_Num, "rows within the table");
      for (int i = 0; i < n; ++i) {
        const Yutai& y = yutai[rows[i]];
        Require(Terminated(y.name, sizeof y.name) && Terminated(y.kakutei, sizeof y.kakutei), "fields terminated");
        Require(!YutaiKindText(y.bunrui).empty(), "a kind text");
      }
    }
  }
}

}  // namespace

void FuzzOne(const unsigned char* data, size_t size) {
  if (size < 1) return;
  const std::string& dir = FreshScratchFolder();
  ForgetLoadedDatabase();
  LastKabu = STOCKS;
  for (int s = 0; s < STOCKS; ++s) {
    fundamental[s].code = 7201 + s;
    fundamental[s].market = 1;
    std::strcpy(fundamental[s].industry, "輸送用機器");
  }
  const bool company = (data[0] & 1) != 0;
  WriteScratchFile(dir + (company ? FUN_FILE : YUTAI_FILE), data + 1, size - 1, company ? FUN_FILE_SIZE : YUTAI_FILE_SIZE);
  if (company) CompanyRecords();
  else BenefitTable();
}
