// The stock shown in the chart, the one way to change it, and the notice that it changed.
#pragma once

#include "platform/notice_list.h"

// Stock number of the stock shown in the chart; 0 at start. Read it freely; change it
// only through ShowStock.
extern int DispNum;

// Shows stock n in the chart: every way of choosing a stock (stepping, a code, a list or
// favourite, the command line) comes here. A number outside the stock table is refused
// with a diagnostic line and false; otherwise the chart is asked to repaint (also when n
// is already shown). The listeners hear of the change at the start of that paint.
bool ShowStock(int n);

// "The shown stock changed", with the new stock number: the tool windows that follow the
// chart (company information, point and figure, comparison) join it.
extern NoticeList<int> ShownStockChanged;

// Tells ShownStockChanged when DispNum differs from the stock it last told (the chart
// calls it at the start of each paint, so several steps between two paints are told
// once); true when it told.
bool TellShownStockChange();

// Back to the start: DispNum 0, nothing told yet, no listeners (tests).
void ResetShownStock();
