// Settings of the downloads: the source and back-fill choices, the timed download, the
// resume positions of an interrupted back-fill and the state of the web-access throttling
// (section "YahooBlock"), kept across runs so that a restart inside a rest period keeps it.
// Their defaults and ranges are rows of the settings table (shell/settings_table.cpp), which
// defines them.
#pragma once

#include <cstdint>

extern int WebDownSelect;    // source choice of today's-prices download, 0 to WEB_DOWN_CHOICES - 1
extern int WebMillerSelect;  // choice of the back-fill dialog, 0 to WEB_MILLER_CHOICES - 1
extern int AutoDownload;     // the timed download is enabled
constexpr int WEB_DOWN_CHOICES = 1;
// The stock whose quote page tells today's download the trading date of the portal's prices
// (section "WebSource", key "ProbeCode"): a regular stock that is always listed.
extern int WebProbeCode;
constexpr int WEB_PROBE_CODE_DEFAULT = 7203;
constexpr int WEB_MILLER_CHOICES = 6;
// Resume position (a stock number) of each back-fill choice.
extern int Restart[WEB_MILLER_CHOICES];
// Time of the last counted history-page request (seconds since 1970; the file keeps its
// low 32 bits) and the requests counted since the rest window last expired.
extern int64_t LatestTime;
extern int nHttpCount;
