#include "net/company_sample.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "db/master_file.h"
#include "db/price_model.h"
#include "db/stock_code.h"
#include "lists/number_format.h"
#include "net/company_file.h"
#include "platform/codepage.h"

namespace {

void Text(FunRecord* r, int field, const char* text) { Cp932CopyTruncated(r->text[field], FUN_TEXT_SIZE, text); }

void Cell(FunRecord* r, int row, int column, const char* text) { SetFunCell(r->table[row][column], text); }

void Money(FunRecord* r, int row, int column, double value) {
  Cell(r, row, column, CommaAdd(static_cast<int64_t>(value)));
}

void Ratio(FunRecord* r, int row, int column, double value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", value);
  Cell(r, row, column, buf);
}

void FillSample(const Fundamental& f, FunRecord* r) {
  ClearFunRecord(r);
  r->code = f.code;
  Text(r, FUN_INDUSTRY, f.industry);
  Text(r, FUN_MARKET, MarketNameOf(f.market));
  Text(r, FUN_FISCAL, "3月");
  char unit[32];
  std::snprintf(unit, sizeof unit, "%d株", f.tani > 0 ? f.tani : 100);
  Text(r, FUN_UNIT, unit);
  // Figures per share from the valuation coefficients; the totals follow from a share count
  // drawn from the code, so every run writes the same bytes.
  const double eps = f.per_coef > 0 ? 1.0 / f.per_coef : 50.0;
  const double bps = f.pbr_coef > 0 ? 1.0 / f.pbr_coef : 800.0;
  const double shares = 200.0 + (f.code % 97) * 15.0;  // millions
  for (int row = 0; row < 3; ++row) {
    const double g = 0.86 + 0.07 * row + (f.code % 7) * 0.004 * row;  // growth towards the last year
    char period[16];
    std::snprintf(period, sizeof period, "%d.03", 2024 + row);
    Cell(r, row, 0, period);
    const double profit = eps * g * shares;
    const double sales = profit * (8.0 + (f.code % 5));
    Money(r, row, 1, sales);
    Money(r, row, 2, profit * 1.45);
    Money(r, row, 3, profit * 1.5);
    Money(r, row, 4, profit);
    Ratio(r, row, 5, eps * g);
    Ratio(r, row, 6, eps * g * 0.3);
    Ratio(r, row, 7, profit * 1.45 * 100.0 / sales);
    Ratio(r, row, 8, bps * (0.9 + 0.05 * row));
    Money(r, row, 9, bps * shares * 2.2);
    Money(r, row, 10, bps * (0.9 + 0.05 * row) * shares);
    Ratio(r, row, 13, 45.0 + (f.code % 11));
    Cell(r, row, 14, "12");
    Ratio(r, row, 16, eps * g * 100.0 / (bps * (0.9 + 0.05 * row)));
  }
}

}  // namespace

int WriteSampleCompanyFile(const std::string& folder) {
  std::string dir = folder.empty() ? std::string(".") : folder;
  if (dir.back() != '/') dir += '/';
  TagContents tag;
  std::string reason;
  if (!ReadTagFile(dir + TAG_FILE, TAG_FILE, &tag, &reason)) return ENOENT;
  const int count = tag.count > 0 && tag.count <= MAX_KABU ? tag.count : 0;
  auto records = std::make_unique<FunRecord[]>(count > 0 ? count : 1);
  for (int n = 0; n < count; ++n) {
    Fundamental f = tag.entries[n];
    f.name[sizeof f.name - 1] = f.industry[sizeof f.industry - 1] = f.company[sizeof f.company - 1] = '\0';
    records[n] = FunRecord{};
    if (!(f.flag & FLAG_INDEX)) FillSample(f, &records[n]);
  }
  return WriteFunFileImage((dir + FUN_SAMPLE_FILE).c_str(), records.get(), count, 0, count);
}
