#include "lists/screening_refresh.h"

// The screening snapshot is not built yet: until it is, there is nothing to refresh.
void RefreshScreeningStock(int, const Hiashi&) {}
void MarkScreeningStale() {}
void SaveScreeningAfterMerge() {}
