#include "chart/chart_repaint.h"

namespace {
void (*g_notify)() = nullptr;
int g_requests = 0;
}  // namespace

void RequestChartRepaint() {
  ++g_requests;
  if (g_notify) g_notify();
}

void SetChartRepaintNotifier(void (*notify)()) { g_notify = notify; }

int ChartRepaintRequests() { return g_requests; }
