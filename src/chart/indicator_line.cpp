#include "chart/indicator_line.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>

#include "chart/indicator_common.h"

const double NO_VALUE = std::numeric_limits<double>::quiet_NaN();

bool IsNoValue(double v) { return std::isnan(v); }

bool LineHasValue(const IndicatorLine& line, int i) {
  return i >= line.from && i <= line.to && i >= 0 && i < LINE_VALUE_COUNT &&
         !IsNoValue(line.value[i]);
}

const IndicatorLine* FindLine(const IndicatorLine* lines, int n, LineKind kind) {
  for (int k = 0; k < n; ++k)
    if (lines[k].kind == kind) return &lines[k];
  return nullptr;
}

SeriesSpan SpanOf(const DispSeries& ds) {
  // Limited to -1 ... MAX_DATE, so that adding a clamped window never overflows.
  auto limit = [](int32_t v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); };
  SeriesSpan sp;
  sp.first = limit(ds.FirstData, 0, MAX_DATE);
  sp.end = limit(ds.DispEnd, -1, MAX_DATE - 1);
  sp.start = limit(ds.DispStart, sp.first, MAX_DATE);
  sp.last = limit(ds.LastData, -1, MAX_DATE - 1);
  sp.empty = sp.end < sp.first;
  return sp;
}

int ClampWindow(int n, int lo) {
  if (n < lo) return lo;
  if (n > MAX_DATE + 1) return MAX_DATE + 1;
  return n;
}

int UsualStart(const SeriesSpan& sp, int n) {
  return sp.start - n > sp.first ? sp.start : sp.first + n - 1;
}

int ChangeStart(const SeriesSpan& sp, int n) {
  return sp.start > sp.first + n ? sp.start : sp.first + n;
}

void BeginLine(IndicatorLine* line, LineKind kind, const char* title, const char* colour, int32_t flags,
               int32_t pen_style, int32_t pen_width, int32_t label_row) {
  for (double& v : line->value) v = NO_VALUE;
  line->kind = kind;
  line->from = 0;
  line->to = -1;
  std::snprintf(line->title, LINE_TEXT, "%s", title);
  line->label[0] = '\0';
  line->short_label[0] = '\0';
  line->label_row = label_row;
  line->pen_style = pen_style;
  line->pen_width = pen_width;
  line->colour = colour;
  line->flags = flags;
}

void SetLineText(char (&field)[LINE_TEXT], const char* format, ...) {
  va_list ap;
  va_start(ap, format);
  std::vsnprintf(field, LINE_TEXT, format, ap);
  va_end(ap);
}

void SetLineRange(IndicatorLine* line, int from, int to) {
  line->from = from;
  line->to = to;
  if (from > to) {
    line->from = 0;
    line->to = -1;
  }
}

namespace {

// Window extremes in O(1) per bar without branches (van Herk / Gil-Werman): blocks of n
// bars from the first window's start; a window is the tail of one block and the head of
// the next, so its extreme is that of the block tail's suffix and the block head's prefix.
template <typename Pick>
void Sliding(const int32_t* x, int n, int from, int to, int32_t* out, Pick pick) {
  if (from > to) return;
  const int o = from - n + 1;  // first bar read
  const int len = to - o + 1;
  int32_t prefix[MAX_DATE], suffix[MAX_DATE];
  const int32_t* v = x + o;
  for (int b = 0; b < len; b += n) {
    const int e = b + n < len ? b + n : len;  // block b ... e - 1
    prefix[b] = v[b];
    for (int j = b + 1; j < e; ++j) prefix[j] = pick(prefix[j - 1], v[j]);
    suffix[e - 1] = v[e - 1];
    for (int j = e - 2; j >= b; --j) suffix[j] = pick(suffix[j + 1], v[j]);
  }
  for (int i = from; i <= to; ++i) out[i] = pick(suffix[i - n + 1 - o], prefix[i - o]);
}

}  // namespace

void SlidingHighest(const int32_t* x, int n, int from, int to, int32_t* out) {
  Sliding(x, n, from, to, out, [](int32_t a, int32_t b) { return a > b ? a : b; });
}

void SlidingLowest(const int32_t* x, int n, int from, int to, int32_t* out) {
  Sliding(x, n, from, to, out, [](int32_t a, int32_t b) { return a < b ? a : b; });
}
