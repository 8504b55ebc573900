// The program's own HTTPS client: one GET over a fresh TLS connection per URL, HTTP/1.0,
// the response ending with the server's close. The body lands in HttpBuf.
#pragma once

#include <cstddef>

constexpr int HTTPS_URL_MAX = 1278;  // longest URL the own client takes
constexpr const char HTTPS_USER_AGENT[] =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64; rv:95.0) Gecko/20100101 Firefox/95.0";
constexpr const char HTTPS_CIPHER_LIST[] = "ECDHE-ECDSA-AES256-GCM-SHA384:ECDHE-RSA-AES128-GCM-SHA256";

// Starts the network layer once per run: SIGPIPE is ignored (a peer that resets a
// connection must not end the program), the TLS and internet libraries are initialised.
// Returns false (with a diagnostic line) when that fails; later fetches then fail.
bool init_winsock();

// Checks a URL for the own client and splits it into host (between "https://" and the next
// "/") and path (from that "/" on, query included). On a refusal it writes "url is too
// long", "not https", "no /" or "no host" to the diagnostic history and returns false.
bool SplitHttpsUrl(const char* url, char* host, size_t host_size, char* path, size_t path_size);
// The request text: "GET <path> HTTP/1.0", "Host", "User-Agent", an empty line. Returns
// its length, or 0 when it does not fit in out[size].
int BuildHttpsRequest(const char* host, const char* path, char* out, size_t size);

// Connects a TCP socket to host and service (port) within timeout_ms; -1 on failure.
int client_socket_with_timeout(const char* host, const char* service, int timeout_ms);

// The status code of the response in the first len bytes of HttpBuf, 0 without a status line.
int StatusOfResponse(int len);
// Removes the HTTP header from the len bytes in HttpBuf; returns the body's length (len
// unchanged when there is no header end).
int SkipHttpHeader(int len);

// Fetches url. Returns the bytes received (header included) with the body in HttpBuf and
// HttpBufLen; 0 for a refused URL, a time-out or a broken transfer; -1 when the
// connection or TLS set-up failed (an unverifiable certificate among them).
int HttpsGet(const char* url);
