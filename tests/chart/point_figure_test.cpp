// The point-and-figure figure on hand-worked closes: levels, boxes, the three-box
// reversal, gaps and flat runs, the failures and the grid rules.
#include "chart/point_figure.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/diagnostics.h"
#include "support/prt_text.h"

namespace {

PntFgrFigure Build(const std::vector<int32_t>& closes, double ratio) {
  PntFgrFigure f;
  EXPECT_TRUE(BuildPntFgr(closes.data(), static_cast<int>(closes.size()), ratio, &f));
  return f;
}

// Marks as text: "X" a cross, "O" a circle, "|" between columns.
std::string MarkText(const PntFgrFigure& f) {
  std::string s;
  for (size_t i = 0; i < f.marks.size(); ++i) {
    if (i > 0 && f.marks[i] != f.marks[i - 1]) s += '|';
    s += f.marks[i] > 0 ? 'X' : 'O';
  }
  return s;
}

TEST(PointFigure, ProportionalAndUnitLevels) {
  std::vector<int32_t> levels;
  ASSERT_TRUE(MakePntFgrLevels(100, 130, 0.10, &levels));
  EXPECT_EQ(levels, (std::vector<int32_t>{100, 110, 121, 133}));
  // 50 x 1 % is below one yen: one yen per box, the highest close in a box of its own.
  ASSERT_TRUE(MakePntFgrLevels(50, 54, 0.01, &levels));
  EXPECT_EQ(levels, (std::vector<int32_t>{50, 51, 52, 53, 54}));
  const PntFgrFigure f = Build({53, 54}, 0.01);
  EXPECT_EQ(f.boxes, (std::vector<int>{0, 1}));
  EXPECT_EQ(f.nLevels, 3);
  // Closes from 100 to 130 fall into the boxes below the first level above them.
  EXPECT_EQ(Build({100, 109, 110, 121, 130}, 0.10).boxes, (std::vector<int>{0, 0, 1, 2, 2}));
}

TEST(PointFigure, ThreeBoxReversalOnHandWorkedCloses) {
  // Unit boxes throughout (closes below 100 with a 1 % box), so a box is one yen.
  const struct {
    std::vector<int32_t> closes;
    const char* marks;
    int columns;
    int first_box;
  } cases[] = {
      {{50, 54, 52, 55}, "XXXXX", 1, 0},           // up four, back two, one above the top
      {{50, 53, 50}, "XXX|OOO", 2, 0},             // exactly three up, exactly three down
      {{50, 53, 51}, "XXX", 1, 0},                 // a two-box retracement is absorbed
      {{50, 53, 50, 52}, "XXX|OOO", 2, 0},         // two back up: not yet a reversal
      {{50, 53, 50, 53}, "XXX|OOO|XXX", 3, 0},     // and three back up is one
      {{50, 58, 57, 60}, "XXXXXXXXXX", 1, 0},      // a gap of eight boxes, then new highs
      {{60, 57, 58, 54}, "OOOOOO", 1, 6},          // a falling start
      {{50, 50, 50, 53, 53, 53, 50}, "XXX|OOO", 2, 0},  // flat runs add no steps
      {{50, 0, 53, 0, 0, 50}, "XXX|OOO", 2, 0},    // bars without data are left out
      {{50, 51, 52}, "", 1, 0},                    // two boxes: no column yet
  };
  for (const auto& c : cases) {
    const PntFgrFigure f = Build(c.closes, 0.01);
    EXPECT_EQ(MarkText(f), c.marks) << ::testing::PrintToString(c.closes);
    EXPECT_EQ(f.nColumns, c.columns) << ::testing::PrintToString(c.closes);
    EXPECT_EQ(f.first_box, c.first_box) << ::testing::PrintToString(c.closes);
  }
  // The same shape on proportional boxes: 1000, 1100, 1210, 1331 are boxes 0 to 3.
  EXPECT_EQ(MarkText(Build({1000, 1331, 1000}, 0.10)), "XXX|OOO");
}

TEST(PointFigure, FlatRangesEmptyRangesAndOverflow) {
  ClearPrtHistory();
  // All closes equal: one level and no marks, with unit and with proportional boxes.
  for (const double ratio : {0.10, 0.01}) {
    const PntFgrFigure f = Build({70, 70, 70}, ratio);
    EXPECT_EQ(f.levels.size(), 1u);
    EXPECT_TRUE(f.marks.empty());
    EXPECT_EQ(f.nColumns, 1);
  }
  EXPECT_FALSE(PrtHas("j==0"));

  PntFgrFigure f;
  const std::vector<int32_t> none = {0, 0};
  EXPECT_FALSE(BuildPntFgr(none.data(), 2, 0.1, &f));
  EXPECT_TRUE(PrtHas("n==0"));
  // 1 to 2000 yen on unit boxes needs 2000 levels.
  const std::vector<int32_t> wide = {1, 2000};
  EXPECT_FALSE(BuildPntFgr(wide.data(), 2, 0.01, &f));
  EXPECT_TRUE(PrtHas("枠の作成でOver"));
  // More than 1024 bars.
  const std::vector<int32_t> many(1025, 500);
  EXPECT_FALSE(BuildPntFgr(many.data(), 1025, 0.1, &f));
  EXPECT_TRUE(PrtHas("終値が枠のどこに入るか、でOver"));
  // Swinging between 1 and 600 yen crosses more than 1024 boxes.
  std::vector<int32_t> swing;
  for (int i = 0; i < 6; ++i) swing.push_back(i % 2 ? 600 : 1);
  EXPECT_FALSE(BuildPntFgr(swing.data(), 6, 0.01, &f));
  EXPECT_TRUE(PrtHas("検査中にOver"));
}

TEST(PointFigure, StoredOptionsAndGridRules) {
  EXPECT_EQ(PntFgrBoxIndex(-3), 0);
  EXPECT_EQ(PntFgrBoxIndex(7), PNTFGR_BOX_COUNT - 1);
  EXPECT_EQ(PntFgrMarkStyle(5), 1);
  EXPECT_DOUBLE_EQ(PntFgrBoxRatio[PntFgrBoxIndex(2)], 0.03);

  EXPECT_TRUE(PntFgrGridRow(1, 10));
  EXPECT_FALSE(PntFgrGridRow(2, 10));
  EXPECT_TRUE(PntFgrGridRow(4, 25));
  EXPECT_FALSE(PntFgrGridRow(5, 25));
  EXPECT_TRUE(PntFgrGridRow(6, 40));  // every fifth row from 1 with 40 levels
  EXPECT_FALSE(PntFgrGridRow(5, 40));

  EXPECT_EQ(PntFgrGridPrice(999), 999);
  EXPECT_EQ(PntFgrGridPrice(1234), 1230);
  EXPECT_EQ(PntFgrGridPrice(12345), 12300);
  EXPECT_EQ(PntFgrGridPrice(123456), 123000);
  EXPECT_EQ(PntFgrGridPrice(1234567), 1230000);
  EXPECT_EQ(PntFgrGridPrice(12345678), 12300000);
}

}  // namespace
