#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/working_folder.h"
#include "shell/shell_state.h"
#include "support/scripted_host.h"

namespace {

TEST(CommandLine, SplitsAtBlanksIntoFourTokens) {
  char out[ARG_MAX_TOKENS][ARG_TOKEN_BYTES];
  EXPECT_EQ(SplitArgs("  -C7203   -D2 ", out), 2);
  EXPECT_STREQ(out[0], "-C7203");
  EXPECT_STREQ(out[1], "-D2");
  EXPECT_EQ(SplitArgs("a b c d e", out), 4);
  EXPECT_STREQ(out[3], "d");
  std::string longtok(255, 'x');
  EXPECT_EQ(SplitArgs((longtok + " ok").c_str(), out), 1);
  EXPECT_STREQ(out[0], "ok");
  EXPECT_EQ(SplitArgs("", out), 0);
}

TEST(CommandLine, OptionsPostTheirCommands) {
  struct Case {
    const char* line;
    std::vector<int> posted;
  } cases[] = {
      {"-C7203 -D2", {17203, 40039}},
      {"-C130A", {20000}},
      {"-D3", {40080}},
      {"-D4 -C0999", {}},  // code below 1001, unknown period
      {"-Cxyz1 other", {}},
  };
  for (const Case& c : cases) {
    ScriptedHost host;
    StartCode = StartAshi = 0;
    ParseStartOptions(c.line);
    PostStartCommands();
    EXPECT_EQ(host.posted, c.posted) << c.line;
  }
  StartCode = StartAshi = 0;
}

TEST(ShellState, CurrentDirEndsInOneSlash) {
  SetCurrentDir("/");
  EXPECT_STREQ(CurrentDir, "/");
  SetCurrentDir("/home/user/kivora");
  EXPECT_STREQ(CurrentDir, "/home/user/kivora/");
  EXPECT_EQ(DataFilePath("vurn.hy3"), "/home/user/kivora/vurn.hy3");
  SetCurrentDir("./");
}

}  // namespace
