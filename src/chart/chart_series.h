// What a chart paint draws from: the display series of the shown stock in the current
// bar period, the moving-average buffer and the line list (averages, overlays, indicator
// lines, volume averages), all rebuilt at every paint.
#pragma once

#include <cstdint>

#include "chart/disp_series.h"
#include "chart/indicator_line.h"
#include "db/price_model.h"

extern DispSeries ChartSeries;
extern double MoveAveBuf[MAX_DATE];

// The line list. It holds the largest combination (three averages, six Bollinger lines,
// the parabolic, seventeen indicator records, three volume averages) plus the work record
// that a computation may use beyond its own lines.
constexpr int CHART_LINE_MAX = 32;
extern IndicatorLine ChartLines[CHART_LINE_MAX];
extern int nChartLine;
// Where each record's legend stands. Records appended without a place get the indicator
// rule at drawing time: x = 0, y = (PriceBottom + 32) + 12 x label_row.
struct LinePlace {
  bool set;
  int x, y;
};
extern LinePlace ChartLinePlace[CHART_LINE_MAX];
// Records 0 ... this - 1 are the price averages (their legends use the larger font).
extern int nMoveAveLine;

// The flag bits and the code of the shown stock's record, taken by the last
// BuildDispSeries (FLAG_NO_PRICES: the no-data notice; FLAG_MARGIN: margin rows).
extern int32_t ChartRecordFlag;
extern int32_t ChartRecordCode;

// The work record holding the shown stock: read from the database unless it already
// holds that stock.
Hiashi* ShownRecord();

// The stored average period of line 0 to 2 of a bar period 1 to 3; any other argument
// stops the program.
int GetMoveAveTerm(int ashi, int line);
// The colour setting of average line 0 to 2, by name and by value; any other line stops
// the program.
const char* MoveAveColourName(int line);
int32_t MoveAveColour(int line);
// The value of a colour setting by its name ("Clr_Rsi"), Clr_ChartMoji for an unknown one.
int32_t ChartColourByName(const char* name);

// Builds the display series of DispNum in the current bar period, the bars shown (from
// the period's scroll position and the layout in Metrics) and the moving-average records
// of the line list. False (with "AshiFlag Error1") for a bar period outside 1 to 3.
bool BuildDispSeries();
// Appends the volume averages chosen by DekiMoveAve (volume scale).
void AppendVolumeAverageLines();
// A fresh record at the end of the list, or nullptr when the list is full.
IndicatorLine* AppendChartLine();
