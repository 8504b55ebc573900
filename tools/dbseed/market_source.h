// The outside market-data product as dbseed sees it: the price series of one stock at a time
// and the trading calendar, both addressed by the product's own day index (the same index is
// the same trading day in both). Each call returns false when the product raised an error;
// the seed then treats the stock or the day as the product failed it.
#pragma once

#include <string>

struct MarketSource {
  virtual ~MarketSource() = default;
  // Selects the series of the stock whose code text is given.
  virtual bool SelectSeries(const char* code_text) = 0;
  // First and last index of the selected series.
  virtual bool FirstIndex(long* index) = 0;
  virtual bool LastIndex(long* index) = 0;
  // Values of the selected series on one index. Volume is in thousands of shares for company
  // stocks, in shares (or points) for the market indices 1001, 1002, 1003 and 1007.
  virtual bool Open(long index, double* value) = 0;
  virtual bool High(long index, double* value) = 0;
  virtual bool Low(long index, double* value) = 0;
  virtual bool Close(long index, double* value) = 0;
  virtual bool Volume(long index, double* value) = 0;
  // Rights factor of the day: exactly 1.0 on an ordinary day, otherwise the factor by which
  // the prices of all earlier days of the series are multiplied.
  virtual bool RightsFactor(long index, double* value) = 0;
  // Calendar date of an index as an OLE date (days since 1899-12-30).
  virtual bool CalendarDate(long index, double* ole_date) = 0;
  // Why the last SelectSeries failed (CP932: file, line, reason); empty when the stock simply
  // has no series in the source.
  virtual std::string SelectProblem() const { return {}; }
};

// yyyymmdd of an OLE date, 0 when it is not a date of the years 1900 to 9999.
int OleDateToRealDate(double ole_date);
// The OLE date of yyyymmdd.
double RealDateToOleDate(int real_date);
