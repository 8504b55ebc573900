// Downloading company information: the overview and financial-results pages of the shown
// stock or of every stock into the company-information file, shown in the download dialog.
#pragma once

struct DownloadProgress;

enum FunScope {
  FUN_SCOPE_SHOWN = 0,    // the shown stock only, updating it
  FUN_SCOPE_MISSING = 1,  // every stock not yet downloaded
  FUN_SCOPE_ALL = 2,      // every stock, updating
};

// The two page paths; "%s" is the code text.
constexpr const char FUN_OVERVIEW_PATH[] = "/nkd/company/gaiyo/?scode=%s";
constexpr const char FUN_RESULTS_PATH[] = "/nkd/company/kessan/?scode=%s";

// The download loop over the scope, on an open hInternet and an open update of the file
// (BeginFunUpdate). Stocks already downloaded are skipped in FUN_SCOPE_MISSING, indices
// always; Cancel (asked through progress, which may be null) stops before the next stock and
// a failed write of the file stops the loop. Returns the number of pages that failed.
int DownloadCompanyPages(int scope, DownloadProgress* progress);
// The whole run of the download button: the file made when it does not exist, the Internet
// handle opened, the loop run on a copy of the file that then replaces it (a cancelled run
// keeps the stocks fetched so far), the handle closed. 1 when the loop ran and its records
// were kept; 0 when the file could not be made or written or there was no Internet handle
// (the user is told).
int RunCompanyDownload(int scope, DownloadProgress* progress = nullptr);
