// The internet library (libcurl) in the role of the platform's internet client: one handle
// per download run, so that the connections of a run are reused; redirects to https are
// followed, no cookies are kept, and the proxy of the settings is used when it is on.
#pragma once

#include <cstddef>

constexpr const char INTERNET_USER_AGENT[] = "Mozilla/5.0 (Windows NT 6.1; Trident/7.0; rv:11.0) like Gecko";

struct InternetSession;   // a download run's handle
struct InternetRequest;   // one URL

// The handle of the download in progress, used by GetHttpFile.
extern InternetSession* hInternet;

// Milliseconds of a steady clock since the program started.
long ProcessClockMs();

// Opens a handle with the configuration now in force and stores the clock in *start_clock.
// On failure it logs, shows a box ("Error") and returns nullptr.
InternetSession* OpenInternet(long* start_clock);
void CloseInternet(InternetSession* session);

// Prepares one URL on the handle (time-outs set again for each URL); nullptr when the URL
// cannot be used. Nothing goes out before ReadInternetResponse.
InternetRequest* OpenURL(InternetSession* session, const char* url);
void CloseURL(InternetRequest* request);

enum InternetReadStatus {
  INTERNET_READ_OK,           // the whole response is in the buffer
  INTERNET_READ_FULL,         // the response filled the buffer: cut to capacity - 1 bytes
  INTERNET_OPEN_FAILED,       // no response came (no connection, refused certificate, ...)
  INTERNET_READ_FAILED,       // the response broke off or went silent
};

struct InternetReadResult {
  InternetReadStatus status;
  size_t received;     // bytes in the buffer, before the NUL
  size_t last_read;    // bytes of the last piece received
  int last_error;      // the library's error code (0 when none)
  long http_status;    // the response's status code, 0 when none came
  int cert_failed;     // 1 when the server's certificate or host name was refused
  char reason[256];    // the library's message, empty when none
};

// Sends the request and reads the whole response body into buf[capacity] (NUL-terminated;
// a response of capacity bytes or more is cut to capacity - 1 bytes).
InternetReadResult ReadInternetResponse(InternetRequest* request, char* buf, size_t capacity);
