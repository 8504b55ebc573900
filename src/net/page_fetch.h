// The general page fetch: a URL through the path the configuration chooses, the body in
// HttpBuf and its plain text in PageText. An error page arrives like any other page; its
// status code is left in HttpStatus for the readers that refuse one.
#pragma once

struct InternetSession;

// The body of url in HttpBuf (NUL-terminated, HttpBufLen bytes) and its status code in
// HttpStatus (0 when none came); internet-library URLs use session. 1, or 0 when no
// page came (with diagnostic lines saying why).
int FetchHttpBody(const char* url, InternetSession* session);

// 1 when PageText holds the reduced text of the page, 0 on failure (with diagnostic
// lines saying why). Internet-library URLs use the handle hInternet.
int GetHttpFile(const char* url);
