// The one-time repair after a version change: an earlier release stored the close of some
// exchange-traded funds as their code. Offered once at the first start of a new version
// while the calendar ends on 2024-12-01 or earlier.
#pragma once

constexpr int ETF_REPAIR_REPORT_LINES = 19;  // stocks listed by name before "等"

// Asks, then clears the wrong days (open, high, low, close and volume; margins kept) of every
// stock, writing each changed record and telling the screening data. Returns the number of
// stocks repaired.
int RepairEtfCloses();
