// The user guide's pages as shipped: every relative link and picture points at a file of the
// guide, nothing is fetched from elsewhere, and the pages the program's messages name exist.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGuide = fs::path(VURN_SOURCE_DIR) / "res/help";

// UTF-8 text (the sources are compiled to CP932).
std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

std::vector<fs::path> Pages() {
  std::vector<fs::path> pages;
  for (const auto& e : fs::recursive_directory_iterator(kGuide))
    if (e.path().extension() == ".html") pages.push_back(e.path());
  return pages;
}

TEST(UserGuide, EveryLinkAndPictureIsThere) {
  const std::regex ref(R"re((?:href|src)\s*=\s*"([^"]*)")re", std::regex::icase);
  std::set<fs::path> linked;
  const std::vector<fs::path> pages = Pages();
  ASSERT_GE(pages.size(), 2u);
  for (const fs::path& page : pages) {
    const std::string html = ReadFileBytes(page.string());
    EXPECT_EQ(html.find("<script"), std::string::npos) << page;
    EXPECT_NE(html.find("charset=\"utf-8\""), std::string::npos) << page;
    for (std::sregex_iterator it(html.begin(), html.end(), ref), end; it != end; ++it) {
      std::string target = (*it)[1];
      if (target.rfind("https://", 0) == 0 && it->str().rfind("href", 0) == 0) continue;  // a plain link out
      EXPECT_EQ(target.find("://"), std::string::npos) << page << ": " << target;
      if (target.empty() || target[0] == '#') continue;
      target = target.substr(0, target.find('#'));
      const fs::path file = (page.parent_path() / target).lexically_normal();
      EXPECT_TRUE(fs::is_regular_file(file)) << page << ": " << target;
      linked.insert(file);
    }
  }
  // Every page and picture is reachable; nothing lies unused.
  for (const auto& e : fs::recursive_directory_iterator(kGuide))
    if (e.is_regular_file() && e.path().filename() != "index.html" && e.path().extension() != ".css")
      EXPECT_TRUE(linked.count(e.path().lexically_normal())) << e.path() << " is linked from no page";
}

TEST(UserGuide, TheFlowChartTheSampleModeNamesIsLinkedFromTheIndex) {
  const std::string index = ReadFileBytes((kGuide / "index.html").string());
  const std::string flow = ReadFileBytes((kGuide / "flow.html").string());
  EXPECT_NE(flow.find("<title>" + U8(u8"設定の流れ図")), std::string::npos);
  EXPECT_NE(index.find(U8(u8"設定の流れ図")), std::string::npos);
  EXPECT_NE(index.find("href=\"flow.html\""), std::string::npos);
}

}  // namespace
