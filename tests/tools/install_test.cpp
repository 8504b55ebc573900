// Installation as a desktop program: cmake --install into a fresh prefix, then the installed
// launcher started as a new user would, headless.
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/db_fixture.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

namespace {

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

// The exit code of a command; its output is appended to *out.
int RunInto(const std::string& cmd, std::string* out) {
  const CommandRun r = RunCommand(cmd);
  *out += r.out;
  return r.code;
}

TEST(Install, LauncherStartsInTheUsersDataFolderWithTheSampleData) {
  const std::string bin = VURN_BINARY_DIR;
  if (!Exists(bin + "/Vurn") || !Exists(bin + "/icons/kivora-48.png")) GTEST_SKIP() << "the program is not built";
  TempDir dir;
  const std::string prefix = dir.File("prefix");
  std::string out;
  ASSERT_EQ(RunInto("cmake --install " + bin + " --prefix " + prefix, &out), 0) << out;
  for (const char* f : {"bin/Vurn", "bin/vurndb", "bin/make_sample_data", "bin/dbseed", "bin/kivora",
                        "share/applications/kivora.desktop", "share/icons/hicolor/16x16/apps/kivora.png",
                        "share/icons/hicolor/48x48/apps/kivora.png", "share/icons/hicolor/256x256/apps/kivora.png",
                        "share/kivora/help/index.html", "share/kivora/help/flow.html", "share/kivora/help/guide.css"})
    EXPECT_TRUE(Exists(prefix + "/" + f)) << f;
  const std::string desktop = ReadFileBytes(prefix + "/share/applications/kivora.desktop");
  EXPECT_NE(desktop.find("Name=Kivora\n"), std::string::npos);
  EXPECT_NE(desktop.find("Exec=kivora\n"), std::string::npos);
  EXPECT_NE(desktop.find("Icon=kivora\n"), std::string::npos);
  EXPECT_NE(desktop.find("Comment[ja]="), std::string::npos);

  // A new user: no data folder yet. The launcher prepares the sample data there and starts
  // the program in it; the screenshot option ends the run.
  const std::string env = "env -u KIVORA_DATA HOME=" + dir.File("home") + " XDG_DATA_HOME=" + dir.File("xdg") +
                          " QT_QPA_PLATFORM=offscreen ";
  out.clear();
  ASSERT_EQ(RunInto(env + prefix + "/bin/kivora --screenshot first.png", &out), 0) << out;
  const std::string data = dir.File("xdg") + "/kivora/";
  EXPECT_TRUE(Exists(data + "vurn.tag"));
  EXPECT_TRUE(Exists(data + "try.hy3"));
  EXPECT_TRUE(Exists(data + "first.png"));
  // A second start keeps the data folder as it is.
  const std::string tag = ReadFileBytes(data + "vurn.tag");
  WriteFileBytes(data + "vurn.tag.keep", tag);
  out.clear();
  ASSERT_EQ(RunInto(env + prefix + "/bin/kivora --screenshot second.png", &out), 0) << out;
  EXPECT_TRUE(Exists(data + "second.png"));
  EXPECT_EQ(ReadFileBytes(data + "vurn.tag"), tag);
}

}  // namespace
