// The day-file reader: what it takes, and every kind of line it refuses (naming the line).
#include "db/day_file.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/diagnostics.h"
#include "support/db_fixture.h"

namespace {

DayFile Parse(const std::string& text, const std::string& name = "y261210.txt", std::string* error = nullptr) {
  DayFile f;
  std::string e;
  EXPECT_TRUE(ParseDayFile(text, name, &f, &e)) << Cp932ToUtf8(e);
  if (error) *error = e;
  return f;
}

TEST(DayFile, ReadsTheDownloadFormatWithTabsBlanksAndCarriageReturns) {
  ClearPrtHistory();
  DayFile f = Parse("20261210\n7000\t銘柄0\t1001\t1005\t999\t1002\t1234.5\n\n7001 x 10 11 9 10 1.001 100\r\n"
                    "1003 円ドル 15012 15100 14990 15050 0\n");
  EXPECT_EQ(f.date, 20261210);
  EXPECT_FALSE(f.pan);
  ASSERT_EQ(f.lines.size(), 3u);
  EXPECT_EQ(f.lines[0].code, 7000);
  EXPECT_EQ(f.lines[0].line_no, 2);
  EXPECT_EQ(f.lines[0].open, 1001 * DAY_MICRO);
  EXPECT_EQ(f.lines[0].volume, 1234500000);  // thousands, in millionths
  EXPECT_EQ(f.lines[1].line_no, 4);
  EXPECT_EQ(f.lines[1].volume, 1001000);
  EXPECT_EQ(f.lines[1].split, 100 * DAY_MICRO);
  EXPECT_NE(PrtJoined().find("空白だけ、改行だけの行"), std::string::npos);
}

TEST(DayFile, ShortYearDatesAndPanRollingNames) {
  EXPECT_EQ(Parse("26/12/10\n").date, 20261210);
  EXPECT_EQ(Parse("99/12/10\n").date, 19991210);
  EXPECT_TRUE(Parse("20261210\n", "s261210.txt").pan);
  EXPECT_FALSE(Parse("20261210\n", "y261210.txt").pan);
}

TEST(DayFile, ACodeListedTwiceIsMergedOnceFromItsFirstLine) {
  ClearPrtHistory();
  DayFile f = Parse("20261210\n7000 a 1 2 1 2 3\n7001 b 1 2 1 2 3\n7000 a 5 6 5 6 7\n");
  ASSERT_EQ(f.lines.size(), 2u);
  EXPECT_EQ(f.lines[0].close, 2 * DAY_MICRO);
  EXPECT_NE(PrtJoined().find("4 行目にもあります"), std::string::npos) << PrtJoined();
}

TEST(DayFile, BadFilesAreRefusedNamingTheLine) {
  const std::string ok = "7000 a 100 110 90 105 12\n";
  const std::string long_line = "7001 " + std::string(240, 'x') + " 1 2 1 2 3\n";
  struct Case {
    const char* what;
    std::string text;
    int line;
  } cases[] = {
      {"empty file", "", 1},
      {"no date", "hello\n" + ok, 1},
      {"date not in the calendar", "20240231\n" + ok, 1},
      {"date with letters", "2026121O\n" + ok, 1},
      {"five fields", "20261210\n" + ok + "7001 b 1 2 3\n", 3},
      {"nine fields", "20261210\n7001 b 1 2 1 2 3 4 5\n", 2},
      {"thousands comma", "20261210\n7001 b 100 110 90 105 1,234\n", 2},
      {"decimal comma", "20261210\n7001 b 100,5 110 90 105 12\n", 2},
      {"nan", "20261210\n7001 b nan 110 90 105 12\n", 2},
      {"inf", "20261210\n7001 b 100 inf 90 105 12\n", 2},
      {"exponent", "20261210\n7001 b 100 110 9e1 105 12\n", 2},
      {"hex", "20261210\n7001 b 0x10 110 90 105 12\n", 2},
      {"negative", "20261210\n7001 b 100 110 90 -105 12\n", 2},
      {"negative split", "20261210\n7001 b 100 110 90 105 12 -50\n", 2},
      {"no digits", "20261210\n7001 b . 110 90 105 12\n", 2},
      {"too large", "20261210\n7001 b 100 110 90 105 99999999999999\n", 2},
      {"not a code", "20261210\n" + ok + ok + "ABCD b 1 2 1 2 3\n", 4},
      {"line over 255 bytes", "20261210\n" + ok + long_line, 3},
      {"NUL byte", std::string("20261210\n7001 b 1 2 1\0 2 3\n", 27), 2},
  };
  for (const Case& c : cases) {
    DayFile f;
    std::string error;
    EXPECT_FALSE(ParseDayFile(c.text, "y261210.txt", &f, &error)) << c.what;
    const std::string expected = "y261210.txt の " + std::to_string(c.line) + " 行目";
    EXPECT_NE(error.find(expected), std::string::npos) << c.what << ": " << Cp932ToUtf8(error);
  }
}

TEST(DayFile, ALineOfExactly255BytesIsRead) {
  const std::string head = "7001 ";
  const std::string tail = " 1 2 1 2 3\n";
  const std::string line = head + std::string(255 - head.size() - tail.size(), 'x') + tail;
  ASSERT_EQ(line.size(), 255u);
  EXPECT_EQ(Parse("20261210\n" + line).lines.size(), 1u);
}

TEST(DayFile, CivilDaysIgnoreClockChanges) {
  int64_t a, b;
  int wa, wb;
  ASSERT_TRUE(CivilDay(20260306, &a, &wa));  // a Friday
  ASSERT_TRUE(CivilDay(20260309, &b, &wb));  // the Monday after (clocks change in many zones)
  EXPECT_EQ(b - a, 3);
  EXPECT_EQ(wa, 5);
  EXPECT_EQ(wb, 1);
  EXPECT_FALSE(CivilDay(20240231, &a, &wa));
  EXPECT_FALSE(CivilDay(20241301, &a, &wa));
}

TEST(DayFile, PanRollingUnits) {
  DayLine l;
  l.code = 8306;  // volume in thousands of units
  l.close = 500 * DAY_MICRO;
  l.volume = 2 * DAY_MICRO;
  ApplyPanScales(&l, 10, 100);
  EXPECT_EQ(l.volume, 2000 * DAY_MICRO);
  EXPECT_EQ(l.close, 500 * DAY_MICRO);
  DayLine p;
  p.code = 4697;  // prices in thousands
  p.close = DAY_MICRO / 2;
  ApplyPanScales(&p, 10, 100);
  EXPECT_EQ(p.close, 500 * DAY_MICRO);
  DayLine t;
  t.code = 7000;  // unit of 10 shares: volumes divided by 1000 / 10
  t.volume = 1000 * DAY_MICRO;
  ApplyPanScales(&t, 10, 10);
  EXPECT_EQ(t.volume, 10 * DAY_MICRO);
  t.volume = 1000 * DAY_MICRO;
  ApplyPanScales(&t, 2, 10);  // the first stocks (indices) keep theirs
  EXPECT_EQ(t.volume, 1000 * DAY_MICRO);
}

}  // namespace
