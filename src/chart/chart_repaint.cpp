#include "chart/chart_repaint.h"

#include "platform/hooks.h"

namespace {
int g_requests = 0;
}  // namespace

void RequestChartRepaint() {
  ++g_requests;
  if (ChartRepaintHook) ChartRepaintHook();
}

void SetChartRepaintNotifier(void (*notify)()) { ChartRepaintHook = notify; }

int ChartRepaintRequests() { return g_requests; }
