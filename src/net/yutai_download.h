// Downloading the shareholder-benefit ranking of the stock-information site, page by page,
// into the benefit table and its file.
#pragma once

struct DownloadProgress;
struct InternetSession;

constexpr int YUTAI_PAGE_MAX = 79;
// The pages the time estimate counts on (the ranking has about that many).
constexpr int YUTAI_PROGRESS_PAGES = 74;
constexpr int YUTAI_FETCH_TRIES = 5;
constexpr int YuHttpBuf_SIZE = 262144;
constexpr const char YUTAI_RANKING_PATH[] = "/yutai/popular_ranking/total?page=%d";
constexpr const char YUTAI_STOCK_PATH[] = "/stock/%s/yutai";

// The handle of the benefit download.
extern InternetSession* hYutaiInternet;
// Records stored by the run so far, from -1 up.
extern int yutai_num;

// One page into YuPlaneBUF. 1, or 0 when no page came, it came with a status of 400 or
// more, or it is the site's not-found page: each is a failed attempt.
int YutaiFetch(const char* url);
// Stores the page's benefit rows into the download's table. 1 when the page stored at least
// one record, else 0 (the ranking has ended).
int ParseYutaiPage();
// The whole download: up to 79 pages, each tried up to five times, shown page by page
// through progress (may be null), whose Cancel is honoured after each page. On success the
// table in memory is replaced (sorted by code, dated today) and 1 returned; a failure, a
// cancel or an empty ranking returns 0 and leaves the table and the file as they were.
int YutaiGetHttpFile(DownloadProgress* progress = nullptr);
// The download and, on success, the file written (through a temporary file). 1 when both
// succeeded.
int RunYutaiDownload(DownloadProgress* progress = nullptr);
// Opens the shown stock's benefit page in the browser (only a well-formed address).
void OpenYutaiPage();
