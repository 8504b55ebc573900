#include "net/internet_client.h"

#include <curl/curl.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "net/fetch_watch.h"
#include "net/https_client.h"
#include "net/net_config.h"
#include "net/trust_store.h"
#include "platform/host.h"
#include "platform/diagnostics.h"

InternetSession* hInternet = nullptr;

namespace {

using SteadyClock = std::chrono::steady_clock;
const SteadyClock::time_point g_program_start = SteadyClock::now();

}  // namespace

struct InternetSession {
  CURL* curl = nullptr;
  curl_slist* connect_to = nullptr;
  char error[CURL_ERROR_SIZE] = {};
  // The transfer in progress.
  char* buf = nullptr;
  size_t capacity = 0;
  size_t received = 0;
  size_t last_read = 0;
  bool full = false;
  int idle_ms = 10000;
  bool idle_timeout = false;
  bool stopped = false;  // the run watching the fetch asked to stop
  curl_off_t seen_down = -1, seen_up = -1;
  SteadyClock::time_point last_activity;
  SteadyClock::time_point last_poll;
};

struct InternetRequest {
  InternetSession* session;
};

namespace {

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto* s = static_cast<InternetSession*>(user);
  const size_t n = size * count;
  s->last_read = n;
  const size_t space = s->capacity - s->received;
  if (n > space) {
    // The buffer is full: keep what fits and stop the transfer.
    std::memcpy(s->buf + s->received, data, space);
    s->received += space;
    s->full = true;
    return space;  // less than offered: the library ends the transfer
  }
  std::memcpy(s->buf + s->received, data, n);
  s->received += n;
  if (s->received == s->capacity) s->full = true;
  return n;
}

// The idle time-out (the transfer ends when nothing moved for idle_ms) and the Cancel of the
// run watching the fetch, asked every FETCH_POLL_MS.
int OnProgress(void* user, curl_off_t, curl_off_t down, curl_off_t, curl_off_t up) {
  auto* s = static_cast<InternetSession*>(user);
  const auto now = SteadyClock::now();
  if (down != s->seen_down || up != s->seen_up) {
    s->seen_down = down;
    s->seen_up = up;
    s->last_activity = now;
  } else if (now - s->last_activity > std::chrono::milliseconds(s->idle_ms)) {
    s->idle_timeout = true;
    return 1;
  }
  if (now - s->last_poll >= std::chrono::milliseconds(FETCH_POLL_MS)) {
    s->last_poll = now;
    if (FetchStopRequested()) {
      s->stopped = true;
      return 1;
    }
  }
  return 0;
}

CURLcode OnSslContext(CURL*, void* ssl_ctx, void*) {
  UseSharedTrustStore(static_cast<SSL_CTX*>(ssl_ctx));
  return CURLE_OK;
}

}  // namespace

long ProcessClockMs() {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - g_program_start).count());
}

InternetSession* OpenInternet(long* start_clock) {
  if (!init_winsock()) {
    PRT("インターネットに接続していません。\n");
    HostMessageBox("インターネットに接続していません", "Error", MB_OK);
    return nullptr;
  }
  if (start_clock) *start_clock = ProcessClockMs();
  CURL* curl = curl_easy_init();
  if (!curl) {
    PRT("Fail InternetOpen()\n");
    HostMessageBox("Fail InternetOpen()", "Error", MB_OK);
    return nullptr;
  }
  auto* s = new InternetSession;
  s->curl = curl;
  const NetConfig& config = CurrentNetConfig();
  if (config.proxy_use) {
    char proxy[300];
    std::snprintf(proxy, sizeof proxy, "%s:%d", config.proxy_host.c_str(), config.proxy_port);
    PRT("Proxy--->:%s\n", proxy);
    curl_easy_setopt(curl, CURLOPT_PROXY, proxy);
    curl_easy_setopt(curl, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
  } else {
    // Direct: no proxy from the environment either.
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    for (const ConnectTo& c : config.connect_to) {
      const bool v6 = c.address.find(':') != std::string::npos;
      const std::string address = v6 ? "[" + c.address + "]" : c.address;
      const std::string entry = c.host + "::" + address + ":" + std::to_string(c.port);
      s->connect_to = curl_slist_append(s->connect_to, entry.c_str());
    }
    curl_easy_setopt(curl, CURLOPT_CONNECT_TO, s->connect_to);
  }
  curl_easy_setopt(curl, CURLOPT_NOPROXY, "");
  curl_easy_setopt(curl, CURLOPT_USERAGENT, INTERNET_USER_AGENT);
  curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "https");
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  // Certificates: the shared trust store, the host name checked, the server name sent.
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(curl, CURLOPT_CAINFO, nullptr);
  curl_easy_setopt(curl, CURLOPT_CAPATH, nullptr);
  curl_easy_setopt(curl, CURLOPT_SSL_CTX_FUNCTION, OnSslContext);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, s->error);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, s);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, s);
  return s;
}

void CloseInternet(InternetSession* session) {
  if (!session) return;
  curl_easy_cleanup(session->curl);
  curl_slist_free_all(session->connect_to);
  delete session;
}

InternetRequest* OpenURL(InternetSession* session, const char* url) {
  if (!session || !url) return nullptr;
  CURLU* parsed = curl_url();
  const bool ok = parsed && curl_url_set(parsed, CURLUPART_URL, url, 0) == CURLUE_OK;
  curl_url_cleanup(parsed);
  if (!ok || curl_easy_setopt(session->curl, CURLOPT_URL, url) != CURLE_OK) return nullptr;
  const int timeout_ms = CurrentNetConfig().timeout_ms;
  curl_easy_setopt(session->curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeout_ms));
  // The whole request, however steadily a slow server trickles.
  curl_easy_setopt(session->curl, CURLOPT_TIMEOUT_MS, static_cast<long>(CurrentNetConfig().deadline_ms));
  session->idle_ms = timeout_ms;
  return new InternetRequest{session};
}

void CloseURL(InternetRequest* request) { delete request; }

InternetReadResult ReadInternetResponse(InternetRequest* request, char* buf, size_t capacity) {
  InternetReadResult r{};
  InternetSession* s = request->session;
  s->buf = buf;
  s->capacity = capacity;
  s->received = s->last_read = 0;
  s->full = s->idle_timeout = s->stopped = false;
  s->seen_down = s->seen_up = -1;
  s->last_activity = s->last_poll = SteadyClock::now();
  s->error[0] = '\0';
  if (capacity == 0) {
    r.status = INTERNET_READ_FAILED;
    return r;
  }
  const CURLcode rc = curl_easy_perform(s->curl);
  long status_code = 0;
  curl_easy_getinfo(s->curl, CURLINFO_RESPONSE_CODE, &status_code);
  r.received = s->received;
  r.http_status = static_cast<int>(status_code);
  r.last_read = s->last_read;
  if (s->full) {
    r.status = INTERNET_READ_FULL;
    r.received = capacity - 1;
  } else if (rc == CURLE_OK) {
    r.status = INTERNET_READ_OK;
  } else {
    r.status = status_code == 0 ? INTERNET_OPEN_FAILED : INTERNET_READ_FAILED;
    r.last_error = s->idle_timeout ? CURLE_OPERATION_TIMEDOUT : rc;
    r.cert_failed = rc == CURLE_PEER_FAILED_VERIFICATION;
    if (s->idle_timeout)
      std::snprintf(r.reason, sizeof r.reason, "no data for %d ms", s->idle_ms);
    else if (s->stopped)
      std::snprintf(r.reason, sizeof r.reason, "stopped by the user");
    else
      std::snprintf(r.reason, sizeof r.reason, "%s", s->error[0] ? s->error : curl_easy_strerror(rc));
    if (r.received >= capacity) r.received = capacity - 1;
  }
  buf[r.received] = '\0';
  s->buf = nullptr;
  return r;
}
