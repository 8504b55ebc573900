// The similar-stock search over the screening snapshot: a fixture whose answer is known,
// and the pruned search against a plain full scoring of random shapes.
#include "lists/similar_stocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "db/packed_value.h"
#include "db/price_model.h"
#include "support/db_fixture.h"

namespace {

class Similar : public ::testing::Test {
 protected:
  void SetUp() override { Stocks(8); }
  void TearDown() override { ResetDatabaseState(); }
  void Stocks(int n) {
    ResetDatabaseState();
    LastKabu = n;
    for (int k = 0; k < n; ++k) {
      std::memset(&pht[k], 0, sizeof pht[k]);
      fundamental[k].code = 7000 + k;
      std::snprintf(fundamental[k].name, sizeof fundamental[k].name, "銘柄%d", k);
    }
  }
  // Daily closes from a function of the window position.
  template <typename F>
  void Daily(int k, F f) {
    for (int i = 0; i < PHT_DAYS; ++i) pht[k].close[i] = Value_to_Packed(f(i));
  }
};

TEST_F(Similar, AFixtureWhoseAnswerIsKnown) {
  Daily(0, [](int i) { return 100 + i; });
  Daily(1, [](int i) { return 2 * (100 + i); });            // a multiple: score 0
  Daily(2, [](int i) { return 100 + i + (i % 3 == 0); });   // close
  Daily(3, [](int i) { return i < 45 ? 3 * (100 + i) : 400; });  // close, but flat at the end
  Daily(4, [](int i) { return 200 - i; });                  // the opposite shape
  Daily(5, [](int i) { return i < 41 ? 0 : 100 + i; });     // data from position 41 only
  Daily(6, [](int i) { return 3 * (100 + i); });            // another multiple: score 0
  Daily(7, [](int i) { return i < 10 ? 0 : 5 * (100 + i); });  // from position 10: ratios of 0 count as 1
  // Equal scores: the later stock first; the flat and the late stock never appear.
  EXPECT_EQ(SimilarStocks(0, 0, 30), (std::vector<int>{6, 1, 2, 7, 4}));
  EXPECT_EQ(SimilarStocks(0, 0, 2), (std::vector<int>{6, 1}));
  // Without five- and twenty-five-day steps (a short database) the other lists are empty.
  EXPECT_TRUE(SimilarStocks(0, 1, 30).empty());
  EXPECT_TRUE(SimilarStocks(0, 2, 30).empty());
  // A target without ten values in its first fifty finds nothing.
  EXPECT_TRUE(SimilarStocks(5, 0, 30).empty());
  EXPECT_TRUE(SimilarStocks(99, 0, 30).empty());
  // The weekly list reads the five-day steps, then every fifth daily close.
  for (int k : {0, 1, 4})
    for (int i = 0; i < PHT_DAYS; ++i) pht[k].close5[i] = Value_to_Packed(k == 4 ? 500 - i : (k + 1) * (50 + i));
  EXPECT_EQ(SimilarStocks(0, 1, 30), (std::vector<int>{1, 4}));
  uint16_t series[SIMILAR_SERIES_MAX];
  EXPECT_EQ(SimilarSeries(pht[0], 1, series), 60);
  EXPECT_EQ(Packed_to_Value(series[50]), 104);
  EXPECT_EQ(Packed_to_Value(series[59]), 149);
  EXPECT_EQ(SimilarSeries(pht[0], 2, series), 62);
  EXPECT_EQ(Packed_to_Value(series[50]), 54);   // close5[4]
  EXPECT_EQ(Packed_to_Value(series[60]), 124);  // close[24]
  EXPECT_EQ(Packed_to_Value(series[61]), 149);  // close[49]

  EXPECT_EQ(SimilarItemText(2, 3), "銘柄2        7002  3");
}

// The plain definition: every candidate scored in full, sorted by score, ties to the later
// stock.
std::vector<int> FullScoring(int a, int p, int n) {
  uint16_t sa[SIMILAR_SERIES_MAX], sk[SIMILAR_SERIES_MAX];
  const int len = SimilarSeries(pht[a], p, sa);
  auto first = [](const uint16_t* s) {
    for (int i = 0; i < PHT_DAYS; ++i)
      if (Packed_to_Value(s[i])) return i < 41 ? static_cast<double>(Packed_to_Value(s[i])) : 0.0;
    return 0.0;
  };
  const double a0 = first(sa);
  std::vector<std::pair<double, int>> scored;
  for (int k = 0; k < LastKabu; ++k) {
    if (k == a) continue;
    SimilarSeries(pht[k], p, sk);
    const double k0 = first(sk);
    if (k0 == 0.0) continue;
    bool flat = true;
    for (int i = 45; i < 50; ++i) flat = flat && pht[k].close[i] == pht[k].close[49];
    if (flat) continue;
    double sum = 0;
    for (int i = 0; i < len; ++i) {
      const double x = Packed_to_Value(sa[i]) ? Packed_to_Value(sa[i]) / a0 : 1.0;
      const double y = Packed_to_Value(sk[i]) ? Packed_to_Value(sk[i]) / k0 : 1.0;
      sum += (x - y) * (x - y);
    }
    scored.push_back({sum, -k});
  }
  std::sort(scored.begin(), scored.end());
  std::vector<int> out;
  for (size_t i = 0; i < scored.size() && static_cast<int>(i) < n; ++i) out.push_back(-scored[i].second);
  return out;
}

TEST_F(Similar, PrunedSearchEqualsFullScoring) {
  Stocks(600);
  std::mt19937 rng(21);
  for (int k = 0; k < 600; ++k) {
    Pht& r = pht[k];
    int c = 500 + static_cast<int>(rng() % 2000);
    const int start = rng() % 8 == 0 ? static_cast<int>(rng() % 50) : 0;
    for (int i = 0; i < PHT_DAYS; ++i) {
      c = std::max(1, c + static_cast<int>(rng() % 41) - 20);
      r.close[i] = i < start ? 0 : Value_to_Packed(c);
      r.close5[i] = Value_to_Packed(c + static_cast<int>(rng() % 300));
      r.close25[i] = Value_to_Packed(c + static_cast<int>(rng() % 900));
    }
    if (k % 50 == 7)
      for (int i = 45; i < 50; ++i) r.close[i] = r.close[44];
  }
  for (int p = 0; p < SIMILAR_LISTS; ++p)
    for (int a : {0, 17, 333}) EXPECT_EQ(SimilarStocks(a, p, 30), FullScoring(a, p, 30)) << p << " " << a;
}

}  // namespace
