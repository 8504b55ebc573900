// Price-band ratio (価格帯レシオ): the volume of the bars shown, spread over 20 price bands
// in proportion to how much of each bar's range lies in the band; drawn as horizontal
// lines from the left edge of the price pane.
#pragma once

#include "chart/disp_series.h"

constexpr int KAKAKUTAI_BANDS = 20;

struct KakakutaiBands {
  double band[KAKAKUTAI_BANDS];  // volume per band, lowest band first
  double height;                 // price range of one band: (max_high - min_low) / 20
  double largest;                // the largest band total, at least 1
};

// Spreads the volumes of bars DispStart ... DispEnd over the bands between min_low and
// max_high (the lowest low and highest high shown).
void CalcKakakutai(const DispSeries& ds, int min_low, int max_high, KakakutaiBands* out);

// Length in pixels of band b's line: (chart_w - 60) scaled by the band's share of the
// largest band; 0 ... chart_w - 60.
int KakakutaiLineLength(const KakakutaiBands& k, int b, int chart_w);
// y of band b's line (the band's middle) on the price scale.
int KakakutaiLineY(const KakakutaiBands& k, int b, int price_bottom, double price_per_dot);
