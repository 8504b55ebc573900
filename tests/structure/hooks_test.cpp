// Every hook (a function pointer through which core code reaches a module above it or a
// window) is declared in platform/hooks.h, so one list shows them all.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

namespace {

namespace fs = std::filesystem;

TEST(Hooks, EveryHookIsListedInOnePlace) {
  const fs::path root = VURN_SOURCE_DIR;
  // A function-pointer variable at namespace scope: `void (*Name)(...)`, `extern bool (*Name)(`.
  const std::regex hook(R"(^(extern\s+)?(static\s+)?[A-Za-z_][\w:]*\s*\(\s*\*\s*\w+\s*\)\s*\()");
  std::string found;
  for (const auto& entry : fs::recursive_directory_iterator(root / "src")) {
    if (!entry.is_regular_file()) continue;
    const std::string ext = entry.path().extension().string();
    if (ext != ".h" && ext != ".cpp") continue;
    const std::string file = fs::relative(entry.path(), root).generic_string();
    if (file == "src/platform/hooks.h" || file == "src/platform/hooks.cpp") continue;
    std::ifstream in(entry.path());
    std::string line;
    for (int n = 1; std::getline(in, line); ++n)
      if (std::regex_search(line, hook)) found += file + ":" + std::to_string(n) + ": " + line + "\n";
  }
  EXPECT_TRUE(found.empty()) << "hooks outside platform/hooks.h:\n" << found;
}

}  // namespace
