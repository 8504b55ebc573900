// A market-data source of our own: a folder of text files that dbseed reads in place of the
// outside product.
//
//   calendar.txt     one trading date (yyyymmdd) per line, strictly ascending; the line number
//                    (from 0) is the day index of that date.
//   <code>.txt       one file per stock, named by its code text (7203.txt, 130A.txt): one line
//                    per trading day, ascending, fields separated by tabs, commas or blanks:
//                      date open high low close volume [rights factor]
//                    with prices as decimal numbers, the volume in thousands of shares for
//                    company stocks and as is for the indices 1001, 1002, 1003 and 1007, and
//                    the rights factor (1 when absent). Days missing between the first and the
//                    last line read as 0. Lines starting with '#' and empty lines are skipped.
//                    A line is split at tabs when it holds one, else at commas when it holds
//                    one, else at blanks. A UTF-8 byte order mark at the start of a file is
//                    passed over.
//
// The series of a stock reaches from the index of its first line to that of its last line.
// A stock without a file has no series. A file that cannot be read to its end, a line that
// does not parse, a negative number, a date outside the calendar or out of order, or a file
// without prices makes the selection fail with the file, the line and the reason in
// SelectProblem(), as an error of the product would.
#pragma once

#include <string>
#include <vector>

#include "market_source.h"

class FolderSource final : public MarketSource {
 public:
  // Reads calendar.txt. False, with *reason (CP932), when the folder holds no readable,
  // ascending calendar.
  bool Open(const std::string& folder, std::string* reason);

  bool SelectSeries(const char* code_text) override;
  bool FirstIndex(long* index) override;
  bool LastIndex(long* index) override;
  bool Open(long index, double* value) override { return Value(0, index, value); }
  bool High(long index, double* value) override { return Value(1, index, value); }
  bool Low(long index, double* value) override { return Value(2, index, value); }
  bool Close(long index, double* value) override { return Value(3, index, value); }
  bool Volume(long index, double* value) override { return Value(4, index, value); }
  bool RightsFactor(long index, double* value) override { return Value(5, index, value); }
  bool CalendarDate(long index, double* ole_date) override;
  std::string SelectProblem() const override { return problem_; }

  const std::vector<int>& Dates() const { return dates_; }

 private:
  bool Value(int field, long index, double* value);
  std::string folder_;
  std::vector<int> dates_;
  bool selected_ = false;
  std::string problem_;
  long first_ = 0, last_ = -1;
  std::vector<double> values_[6];  // indexed by index - first_
};

// Whether yyyymmdd is a real date of the years 1900 to 9999.
bool ValidRealDate(int date);

// Parses one line of a price file into date and up to seven numbers; the count of numbers
// read, or -1 when the line holds something else.
int ParseSourceLine(const char* line, int* date, double* values, int max_values);
