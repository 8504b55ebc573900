#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

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

// What the program's own command line accepts; every refusal names its own option.
TEST(CommandLine, ProgramOptionsAndTheirRefusals) {
  struct Case {
    std::vector<const char*> args;
    bool ok;
    const char* names;      // in the error (refusals) or ""
    const char* not_named;  // absent from the error
  } cases[] = {
      {{"--help"}, true, "", ""},
      {{"--version"}, true, "", ""},
      {{"-C7203", "-D2"}, true, "", ""},
      {{"--screenshot", "a.png", "--code", "130A", "--ashi", "2", "--scheme", "shiro", "--size", "1280x800",
        "--commands", "40094,40141", "--keys", " \b"},
       true, "", ""},
      {{"--screenshot=a.png", "--size=800x500"}, true, "", ""},
      {{"--ashi", "5", "--size", "800x500"}, false, "--ashi", "--size"},
      {{"--screenshot", "a.png", "--size", "800x500", "--ashi", "5"}, false, "--ashi", "--size"},
      {{"--screenshot", "a.png", "--size", "800x0"}, false, "--size", "--screenshot"},
      {{"--screenshot", "a.png", "--size", "99999x500"}, false, "--size", ""},
      {{"--screenshot", "a.png", "--size", "12x34x5"}, false, "--size", ""},
      {{"--screenshot", "a.png", "--scheme", "pink"}, false, "--scheme", ""},
      {{"--screenshot", "a.png", "--code", "72O3"}, false, "--code", ""},
      {{"--screenshot", "a.png", "--commands", "40094,,1"}, false, "--commands", ""},
      {{"--screenshot"}, false, "--screenshot", ""},
      {{"--print-pdf", "c.pdf", "--code", "7203", "--size", "800x500"}, true, "", ""},
      {{"--print-pdf="}, false, "--print-pdf", ""},
      {{"--frobnicate"}, false, "--frobnicate", ""},
      {{"-x"}, false, "-x", ""},
      {{"somefile"}, true, "", ""},  // other words are ignored, as they always were
      {{"-C0999"}, false, "-C", "-D"},
      {{"-Cabcd", "-D2"}, false, "-C", "-D"},
      {{"-C7203", "-D4"}, false, "-D", "-C"},
      {{"--code", "7203"}, false, "--code", ""},  // a picture option without a picture
  };
  for (const Case& c : cases) {
    std::vector<const char*> argv{"Vurn"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    ProgramOptions o;
    std::string error;
    const bool ok = ParseProgramOptions(static_cast<int>(argv.size()), argv.data(), &o, &error);
    std::string line;
    for (const char* a : c.args) line += std::string(a) + " ";
    EXPECT_EQ(ok, c.ok) << line << error;
    EXPECT_EQ(error.empty(), c.ok) << line;
    EXPECT_NE(error.find(c.names), std::string::npos) << line << error;
    if (*c.not_named) {
      EXPECT_EQ(error.find(c.not_named), std::string::npos) << line << error;
    }
  }
}

TEST(CommandLine, ProgramOptionValues) {
  const char* argv[] = {"Vurn",   "-C7203",  "-D2",     "--screenshot", "s.png",   "--code", "130A",
                        "--ashi", "3",       "--scheme", "\xe7\xb4\xba" /* 紺 */, "--size", "640x480",
                        "--commands", "40094,40141", "--keys", " p"};
  ProgramOptions o;
  std::string error;
  ASSERT_TRUE(ParseProgramOptions(static_cast<int>(std::size(argv)), argv, &o, &error)) << error;
  EXPECT_EQ(o.start_options, "-C7203 -D2");
  EXPECT_EQ(o.screenshot, "s.png");
  EXPECT_EQ(o.code, "130A");
  EXPECT_EQ(o.ashi, 3);
  EXPECT_EQ(o.scheme, 2);
  EXPECT_EQ(o.width, 640);
  EXPECT_EQ(o.height, 480);
  EXPECT_EQ(o.commands, (std::vector<int>{40094, 40141}));
  EXPECT_EQ(o.keys, " p");
  EXPECT_TRUE(o.ChartShot());
  EXPECT_NE(ProgramUsageText().find("--screenshot FILE"), std::string::npos);
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
