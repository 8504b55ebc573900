// What the screening data hears from a merge of a day: a stock's record was stored, a merge
// stopped midway, a merge finished. Shell registers these with the merge at start-up.
#pragma once

#include "db/price_model.h"

// Rebuilds the screening data of one stock from its merged record.
void RefreshScreeningStock(int stock_num, const Hiashi& record);
// A merge stopped after storing some records: the screening data no longer matches the
// database and is rebuilt rather than trusted.
void MarkScreeningStale();
// A merge finished: the screening snapshot is saved.
void SaveScreeningAfterMerge();
