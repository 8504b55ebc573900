// Token lists: text runs between tags, the 199-byte rule of each list, the end marker and
// the cut of an over-long page.
#include "net/token_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/loopback_net.h"

namespace {

std::vector<std::string> Plane(const std::string& text) {
  const int n = TokenisePlane(text.c_str());
  std::vector<std::string> out(PlaneBUF, PlaneBUF + n);
  EXPECT_STREQ(PlaneBUF[n], TOKEN_END);
  return out;
}

std::vector<std::string> Yutai(const std::string& text) {
  const int n = TokeniseYutai(text.c_str());
  std::vector<std::string> out(YuPlaneBUF, YuPlaneBUF + n);
  EXPECT_STREQ(YuPlaneBUF[n], TOKEN_END);
  return out;
}

using Tokens = std::vector<std::string>;

TEST(TokenisePage, Table) {
  struct Case {
    const char* text;
    Tokens tokens;
  } cases[] = {
      {"<td>12,345 株</td>", {"12,345株"}},  // the space inside a cell is dropped
      {"<p>a\r\nb</p><p> c </p>", {"ab", "c"}},
      {"<p>a\tb</p>", {"a\tb"}},             // tabs are kept
      {"<p>a</p>tail", {"a"}},               // text after the last tag is dropped
      {"lead<p>x", {"lead"}},
      {"<a href=\"x>y\">t</a>", {"y\">t"}},  // the first ">" ends a tag
      {"<p>  </p><br><p>1</p>", {"1"}},
      {"", {}},
      {"no tags at all", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Plane(c.text), c.tokens) << c.text;
    EXPECT_EQ(Yutai(c.text), c.tokens) << c.text;
  }
}

TEST(TokenisePage, LongTokens) {
  const std::string a198(198, 'a'), a199(199, 'a'), a250(250, 'a');
  EXPECT_EQ(Plane("<p>" + a198 + "<p>" + a199 + "<p>" + a250 + "<p>"), (Tokens{a198, a199, a199}));
  // The shareholder-benefit list leaves out every token that reached 199 bytes.
  EXPECT_EQ(Yutai("<p>" + a198 + "<p>" + a199 + "<p>" + a250 + "<p>ok<p>"), (Tokens{a198, "ok"}));
  // A double-byte character that would straddle the cut is left out whole.
  const std::string a197(197, 'a');
  EXPECT_EQ(Plane("<p>" + a197 + "株<p>" + a198 + "株x<p>"), (Tokens{a197 + "株", a198}));
  EXPECT_EQ(Yutai("<p>" + a197 + "株<p>" + a198 + "株<p>"), Tokens{});
}

TEST(TokenisePage, FullListIsCutAtItsCapacity) {
  ClearPrtHistory();
  std::string page;
  for (int i = 0; i <= PlaneBUF_NUM; ++i) page += "<b>x";
  page += "<b>";
  EXPECT_EQ(TokenisePlane(page.c_str()), PlaneBUF_NUM);
  EXPECT_STREQ(PlaneBUF[PlaneBUF_NUM], TOKEN_END);
  EXPECT_NE(PrtHistory().find("page cut at 300000 tokens"), std::string::npos);

  std::string small;
  for (int i = 0; i < YuPlaneBUF_NUM + 5; ++i) small += "<b>y";
  small += "<b>";
  EXPECT_EQ(TokeniseYutai(small.c_str()), YuPlaneBUF_NUM);
  EXPECT_TRUE(IsTokenEnd(YuPlaneToken(YuPlaneBUF_NUM)));
  EXPECT_STREQ(YuPlaneToken(YuPlaneBUF_NUM - 1), "y");
}

TEST(TokenisePage, LookAheadStopsAtTheEndMarker) {
  std::string page;
  for (int i = 0; i < 50; ++i) page += "<b>old";
  TokenisePlane((page + "<b>").c_str());
  EXPECT_EQ(TokenisePlane("<b>1<b>2<b>"), 2);
  EXPECT_STREQ(PlaneToken(1), "2");
  // Entries of the longer page before are never seen past the marker.
  for (int i : {2, 3, 10, 49, PlaneBUF_NUM, PlaneBUF_NUM + 7, -1}) EXPECT_TRUE(IsTokenEnd(PlaneToken(i))) << i;
  EXPECT_FALSE(IsTokenEnd("$$$$$$"));
}

}  // namespace
