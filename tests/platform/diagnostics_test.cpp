#include "platform/diagnostics.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/utf8.h"

namespace {

const char* Line(int from_end) { return PrtLines[PRT_LINES - 1 - from_end]; }

class Diagnostics : public ::testing::Test {
 protected:
  void SetUp() override { ClearPrtHistory(); }
};

TEST_F(Diagnostics, LongTextWrapsAtHundredBytes) {
  PRT("%s", std::string(250, 'x').c_str());
  EXPECT_EQ(std::string(Line(2)), std::string(100, 'x'));
  EXPECT_EQ(std::string(Line(1)), std::string(100, 'x'));
  EXPECT_EQ(std::string(Line(0)), std::string(50, 'x'));
  EXPECT_EQ(PrtColumn, 50);
}

TEST_F(Diagnostics, WrapNeverSplitsDoubleByteCharacter) {
  // 99 single bytes, then "株" (2 bytes) which would straddle the wrap.
  PRT("%s株価\n", std::string(99, 'a').c_str());
  EXPECT_EQ(std::string(Line(2)), std::string(99, 'a'));
  EXPECT_STREQ(Line(1), "株価");
  EXPECT_STREQ(Line(0), "");
}

TEST_F(Diagnostics, HistoryKeepsFourHundredLines) {
  for (int i = 0; i <= 400; ++i) PRT("line %d\n", i);
  EXPECT_STREQ(PrtLines[0], "line 2");  // lines 0 and 1 have left (the last slot is the open line)
  EXPECT_STREQ(Line(1), "line 400");
  EXPECT_STREQ(Line(0), "");
  EXPECT_EQ(PrtTop, PRT_TOP_MAX);
}

TEST_F(Diagnostics, OverlongTextIsCutAtCharacterBoundaryNotFatal) {
  std::string text(5118, 'a');
  text += "株";  // bytes 5118 and 5119: the second would be byte 5120
  PRT("%s", text.c_str());
  char all[10000];
  size_t n = PrtHistoryText(all, sizeof all);
  // 5118 'a' and no half character; the lines are 100 bytes each.
  EXPECT_EQ(n, 5118u + 52u);
  EXPECT_EQ(std::string(all).find("\x8a"), std::string::npos);  // lead byte of 株
}

TEST_F(Diagnostics, FileOutputAppendsExactlyWithCrLf) {
  TempDir dir;
  fPrtFile = 1;
  PRT("a=%d\n", 1);
  PRT("株価");
  fPrtFile = 0;
  PRT("not written\n");
  std::ifstream in(dir.File("output"), std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  EXPECT_EQ(ss.str(), "a=1\r\n株価");
}

TEST_F(Diagnostics, OffFlagSilences) {
  fPrtOff = 1;
  PRT("quiet\n");
  fPrtOff = 0;
  EXPECT_STREQ(Line(1), "");
}

TEST_F(Diagnostics, ClipboardCopy) {
  ScriptedHost host;
  CopyPrtToClipboard();
  EXPECT_EQ(host.clipboard, "");
  PRT("one\ntwo");
  CopyPrtToClipboard();
  EXPECT_EQ(host.clipboard, "one\ntwo\n");
}

TEST_F(Diagnostics, WindowTopIsClamped) {
  PrtTop = PRT_TOP_MAX;
  EXPECT_EQ(MovePrtTop(-33), -33);
  EXPECT_EQ(PrtTop, 333);
  MovePrtTop(-400);
  EXPECT_EQ(PrtTop, 0);
  MovePrtTop(1);
  EXPECT_EQ(PrtTop, 1);
  MovePrtTop(365);  // 366 stays, 365 stays
  EXPECT_EQ(PrtTop, PRT_TOP_MAX);
  MovePrtTop(-1);
  EXPECT_EQ(PrtTop, 365);
  MovePrtTop(1);
  EXPECT_EQ(PrtTop, PRT_TOP_MAX);
}

TEST(DiagnosticsDeathTest, FatalShowsLocationAndEndsWithCodeOne) {
  EXPECT_EXIT(
      {
        FatalAt("src\\db\\packed.cpp", 42);
        Fatal("detail %d", 7);
      },
      ::testing::ExitedWithCode(1), U8(u8"packed.cpp  42 行"));
  EXPECT_EXIT(Fatal("no location"), ::testing::ExitedWithCode(1), U8(u8"\\[エラーです。強制終了します\\] 内部エラーで停止しました"));
}

}  // namespace
