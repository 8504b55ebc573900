// The include rules of the source tree: a core file includes only its own layer and the
// layers below it (platform, db, chart, lists, net, shell, lowest first); core files never
// include Qt parts; a ui folder includes no other subsystem's ui folder, except shell/ui,
// which builds the main window from all of them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::map<std::string, int> kLayer = {
    {"platform", 0}, {"res", 0}, {"db", 1}, {"chart", 2}, {"lists", 3}, {"net", 4}, {"shell", 5},
};

// Where a path (relative to the source root, such as "src/chart/ui/chart_window.cpp" or the
// included "chart/ui/chart_window.h") lies: its subsystem and whether it is a Qt part.
struct Place {
  std::string subsystem;
  bool qt = false;
};

Place PlaceOf(const std::string& path) {
  std::string p = path.rfind("src/", 0) == 0 ? path.substr(4) : path;
  Place place;
  place.subsystem = p.substr(0, p.find('/'));
  place.qt = p.find("/ui/") != std::string::npos || p.rfind("platform/qt/", 0) == 0;
  return place;
}

// The name in a line `#include "name"`, or "" for any other line.
std::string QuotedInclude(const std::string& line) {
  const size_t hash = line.find_first_not_of(" \t");
  if (hash == std::string::npos || line[hash] != '#') return "";
  const size_t word = line.find_first_not_of(" \t", hash + 1);
  if (word == std::string::npos || line.compare(word, 7, "include") != 0) return "";
  const size_t open = line.find_first_not_of(" \t", word + 7);
  if (open == std::string::npos || line[open] != '"') return "";
  const size_t close = line.find('"', open + 1);
  return close == std::string::npos ? "" : line.substr(open + 1, close - open - 1);
}

std::vector<std::string> Violations() {
  const fs::path root = VURN_SOURCE_DIR;
  std::vector<std::string> out;
  for (const char* top : {"src", "res"}) {
    for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
      if (!entry.is_regular_file()) continue;
      const std::string ext = entry.path().extension().string();
      if (ext != ".h" && ext != ".cpp") continue;
      const std::string file = fs::relative(entry.path(), root).generic_string();
      const Place from = PlaceOf(file);
      std::ifstream in(entry.path());
      std::string line;
      while (std::getline(in, line)) {
        const std::string inc = QuotedInclude(line);
        if (inc.empty()) continue;
        const Place to = PlaceOf(inc);
        if (!kLayer.count(to.subsystem)) continue;  // a header beside the file
        const std::string what = file + " includes " + inc;
        if (!kLayer.count(from.subsystem)) {
          out.push_back(what + " (a folder outside the layers)");
        } else if (!from.qt && to.qt) {
          out.push_back(what + " (a core file includes a Qt part)");
        } else if (from.qt && to.qt && from.subsystem != to.subsystem && from.subsystem != "shell" &&
                   !(to.subsystem == "platform")) {
          out.push_back(what + " (one ui folder includes another subsystem's ui)");
        } else if (from.subsystem == "platform" && from.qt && to.subsystem != "platform" && to.subsystem != "res") {
          out.push_back(what + " (the platform's Qt part includes a higher layer)");
        } else if (!from.qt && kLayer.at(to.subsystem) > kLayer.at(from.subsystem)) {
          out.push_back(what + " (an include upward)");
        }
      }
    }
  }
  return out;
}

TEST(IncludeLayers, NoIncludeCrossesTheLayersTheWrongWay) {
  const std::vector<std::string> bad = Violations();
  std::string list;
  for (const std::string& b : bad) list += b + "\n";
  EXPECT_TRUE(bad.empty()) << list;
}

TEST(IncludeLayers, TheRulesSeeTheirCases) {
  EXPECT_EQ(PlaceOf("src/chart/ui/chart_window.cpp").subsystem, "chart");
  EXPECT_TRUE(PlaceOf("chart/ui/chart_window.h").qt);
  EXPECT_TRUE(PlaceOf("platform/qt/qt_host.h").qt);
  EXPECT_FALSE(PlaceOf("platform/host.h").qt);
  EXPECT_EQ(PlaceOf("res/menus.h").subsystem, "res");
  EXPECT_EQ(QuotedInclude("  #  include \"db/price_model.h\"  // x"), "db/price_model.h");
  EXPECT_EQ(QuotedInclude("#include <QWidget>"), "");
}

}  // namespace
