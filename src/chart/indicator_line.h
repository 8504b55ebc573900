// The result of an indicator or overlay computation: per-bar values with the range in
// which they are defined, and how the chart presents the line (pane, pen, colour, texts).
#pragma once

#include <cstdint>

#include "chart/bar_period.h"
#include "db/price_model.h"

// Value slots of a line: one per bar index, and 100 beyond the last bar for the lead of
// the Ichimoku spans.
constexpr int LINE_VALUE_COUNT = MAX_DATE + 100;

// Marks a bar at which the line has no value. Only bars from..to carry values, and those
// are always finite.
extern const double NO_VALUE;
bool IsNoValue(double v);

// How the values are scaled and drawn; none of LINE_PANE, LINE_MACD and LINE_VOLUME means
// prices on the price pane.
constexpr int32_t LINE_PANE = 1;     // an indicator pane, scale 0 ... 100
constexpr int32_t LINE_DOTS = 2;     // a filled dot per value
constexpr int32_t LINE_MACD = 4;     // MACD scale: -m ... +m mapped to 0 ... 100
constexpr int32_t LINE_BARS = 8;     // histogram bars from the pane's middle
constexpr int32_t LINE_VOLUME = 16;  // the volume pane's scale

constexpr int32_t PEN_SOLID = 0;
constexpr int32_t PEN_DOT = 2;

constexpr int LINE_TEXT = 256;

// What a line shows. Code that needs one particular line (the cloud's spans, the deviation
// bars, the MACD scale) finds it by its kind; the texts are only for the user.
enum class LineKind : int32_t {
  MoveAverage,
  VolumeAverage,
  IchimokuBase,
  IchimokuConversion,
  IchimokuSpan1,
  IchimokuSpan2,
  IchimokuLagging,
  Bollinger,
  Parabolic,
  Psycho,
  Rci,
  Rsi,
  Dmi,
  VolumeRatio,
  Stochastics,
  Kairi,
  Macd,
  MacdSignal,
  MacdHistogram,
};

struct IndicatorLine {
  double value[LINE_VALUE_COUNT];  // NO_VALUE outside from ... to
  LineKind kind;
  int32_t from;                    // first bar with a value
  int32_t to;                      // last bar with a value; from > to: the line is empty
  char title[LINE_TEXT];           // pane title; lines of one pane share it ("" on the price pane)
  char label[LINE_TEXT];           // legend text
  int32_t label_row;               // legend row: 12 pixels per row below the first
  int32_t pen_style;               // PEN_SOLID or PEN_DOT
  int32_t pen_width;
  const char* colour;           // name of the colour setting ("Clr_Rsi", ...)
  int32_t flags;                // LINE_... bits
  char short_label[LINE_TEXT];  // name in the value tip and cross window
};

// The first of the n lines with the given kind, or nullptr.
const IndicatorLine* FindLine(const IndicatorLine* lines, int n, LineKind kind);

// True when the line has a value at bar i.
bool LineHasValue(const IndicatorLine& line, int i);
