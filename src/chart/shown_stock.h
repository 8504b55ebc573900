// The stock shown in the chart.
#pragma once

// Stock number of the stock shown in the chart; 0 at start.
extern int DispNum;
