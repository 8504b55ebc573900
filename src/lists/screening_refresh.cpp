#include "lists/screening_refresh.h"

#include "lists/screening_snapshot.h"

// A stored record only makes the file stale: the new day moves every stock's window, so the
// whole data are rebuilt once the merge ends (or stops), not stock by stock.
void RefreshScreeningStock(int, const Hiashi&) { MarkPhtChanged(); }
void MarkScreeningStale() { RebuildAllPht(false); }
void SaveScreeningAfterMerge() { RefreshScreeningAfterMerge(); }
