// Stepping from the shown stock to another in code order, past the stocks that the
// navigation filter leaves out.
#pragma once

// Moves the chart d places in code order (clamped to the table), then on in the same
// direction past stocks that fail the filter; nothing changes when that runs off the
// table, when the result is the stock already shown, or when the table is empty.
void StepStock(int d);

// The navigation filter: all three tests pass.
bool PassesNavigationFilter(int stock_num);
// ZengoShijou: 0 all, 1 market 1, 2 markets 1 to 3, 3 markets 1 to 4, 4 market 4, larger
// values all; a stock of market 0 always passes.
bool PassesMarketFilter(int stock_num);
// ZengoDekidaka 1 to 6 (thresholds 100, 200, 300, 500, 700, 1000): the screening engine's
// volume test. The engine does not exist yet, so every stock passes.
bool PassesVolumeFilter(int stock_num);
// ZengoTousan: leaves out stocks whose price has not moved for ten days or more, by the
// screening engine's test. The engine does not exist yet, so every stock passes.
bool PassesMovementFilter(int stock_num);
