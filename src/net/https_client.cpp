#include "net/https_client.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <netdb.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "net/fetch_watch.h"
#include "net/net_config.h"
#include "net/page_text.h"
#include "net/trust_store.h"
#include "platform/diagnostics.h"
#include "platform/web_url.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

int g_connect_steps_logged = 0;  // "SSL_connect() loop" lines of this run
char g_chunk[1048576];           // one read of the receive loop

// The end of the whole request in progress (HttpsGet sets it) and the last time the run
// watching the fetch was asked.
SteadyClock::time_point g_request_deadline = SteadyClock::time_point::max();
SteadyClock::time_point g_last_watch;

// Waits until fd is ready for events: 1 ready, 0 time-out, -1 error. The wait ends at the
// idle time-out, at the request's deadline, or when the run watching the fetch asks to stop
// (asked every FETCH_POLL_MS, however steadily data comes). A wait interrupted by a signal
// goes on with the time left; nothing else is retried.
int WaitSocket(int fd, short events, int timeout_ms) {
  const auto idle_end = SteadyClock::now() + std::chrono::milliseconds(timeout_ms);
  const auto end = std::min(idle_end, g_request_deadline);
  for (;;) {
    const auto now = SteadyClock::now();
    if (now >= end) {
      if (end < idle_end) PRT("request deadline: %d ms\n", CurrentNetConfig().deadline_ms);
      return 0;
    }
    if (now - g_last_watch >= std::chrono::milliseconds(FETCH_POLL_MS)) {
      g_last_watch = now;
      if (FetchStopRequested()) {
        PRT("fetch stopped by the user\n");
        return 0;
      }
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
    pollfd p{fd, events, 0};
    const int r = poll(&p, 1, static_cast<int>(std::min<long long>(left, FETCH_POLL_MS)));
    if (r > 0) return 1;  // an error or hang-up shows in the next read or write
    if (r < 0 && errno != EINTR) return -1;
  }
}

bool SetNonBlocking(int fd, bool on) {
  const int flags = fcntl(fd, F_GETFL, 0);
  if (flags < 0) return false;
  return fcntl(fd, F_SETFL, on ? flags | O_NONBLOCK : flags & ~O_NONBLOCK) == 0;
}

std::string OpenSslErrorText() {
  char text[256];
  ERR_error_string_n(ERR_peek_error(), text, sizeof text);
  return text;
}

// The TLS handshake on the connected socket: 1 done, 0 a wait timed out, -1 an error. The
// socket stays non-blocking, so no later read can block past the idle time-out.
int ssl_connect_with_timeout(SSL* ssl, int fd, int timeout_ms) {
  SetNonBlocking(fd, true);
  for (;;) {
    ERR_clear_error();
    const int r = SSL_connect(ssl);
    if (g_connect_steps_logged < 10) {
      ++g_connect_steps_logged;
      PRT("SSL_connect() loop. test=%d\n", r);
    }
    if (r == 1) return 1;
    const int err = SSL_get_error(ssl, r);
    short events = err == SSL_ERROR_WANT_READ ? POLLIN : err == SSL_ERROR_WANT_WRITE ? POLLOUT : 0;
    if (events == 0) return -1;
    const int w = WaitSocket(fd, events, timeout_ms);
    if (w <= 0) return w;
  }
}

// Says why a handshake failed, when the library knows.
void ReportHandshakeFailure(SSL* ssl, const std::string& host) {
  const long verify = SSL_get_verify_result(ssl);
  if (verify != X509_V_OK)
    PRT("certificate verify failed: %s (%s)\n", X509_verify_cert_error_string(verify), host.c_str());
  else if (ERR_peek_error() != 0)
    PRT("TLS handshake failed: %s (%s)\n", OpenSslErrorText().c_str(), host.c_str());
}

int SslWrite(SSL* ssl, int fd, const char* data, int len, int timeout_ms) {
  for (;;) {
    ERR_clear_error();
    const int r = SSL_write(ssl, data, len);
    if (r > 0) return r;
    const int err = SSL_get_error(ssl, r);
    short events = err == SSL_ERROR_WANT_READ ? POLLIN : err == SSL_ERROR_WANT_WRITE ? POLLOUT : 0;
    if (events == 0 || WaitSocket(fd, events, timeout_ms) <= 0) return r < 0 ? r : -1;
  }
}

int FailExchange(SSL* ssl) {
  PRT("do SSL_clear()\n");
  SSL_clear(ssl);
  SSL_free(ssl);
  HttpBuf[0] = '\0';  // what was received is discarded
  return 0;
}

// Receives the whole response into HttpBuf. Succeeds only when the server ends the TLS
// session cleanly; returns the bytes received, or 0.
int send_recive_loop(SSL* ssl, int fd, int timeout_ms) {
  int total = 0, reads = 0, want_reads = 0;
  short wait_for = POLLIN;
  for (;;) {
    const int w = WaitSocket(fd, wait_for, timeout_ms);
    if (w == 0) {
      PRT("timeout send_recive_loop, all=%d,(%d/%d)\n", total, want_reads, reads);
      return FailExchange(ssl);
    }
    if (w < 0) {
      PRT("select error\n");
      return FailExchange(ssl);
    }
    // Take everything the connection holds before waiting again.
    for (;;) {
      ERR_clear_error();
      const int n = SSL_read(ssl, g_chunk, sizeof g_chunk - 1);
      ++reads;
      const int err = SSL_get_error(ssl, n);
      if (err == SSL_ERROR_NONE) {
        g_chunk[n] = '\0';
        if (total + n >= HTTP_BUF_SIZE - 1) {
          PRT("HTTP_BUF_SIZE over\n");
          return FailExchange(ssl);
        }
        std::memcpy(HttpBuf + total, g_chunk, static_cast<size_t>(n) + 1);
        total += n;
        continue;
      }
      if (err == SSL_ERROR_WANT_READ) {
        ++want_reads;
        wait_for = POLLIN;
        break;
      }
      if (err == SSL_ERROR_WANT_WRITE) {
        wait_for = POLLOUT;
        break;
      }
      if (err == SSL_ERROR_ZERO_RETURN) {
        PRT("recv:EOF. all=%d,(%d/%d)\n", total, want_reads, reads);
        SSL_shutdown(ssl);
        SSL_free(ssl);
        return total;
      }
      PRT("sslErr=%d\n", err);
      return FailExchange(ssl);
    }
  }
}

// The TLS exchange on a connected socket: -1 set-up failed, 0 receive failed, or the
// bytes received.
int TlsExchange(SSL_CTX* ctx, int fd, const std::string& host, const char* request, int len, int timeout_ms) {
  SSL* ssl = SSL_new(ctx);
  if (!ssl) {
    PRT("SSL_new():error\n");
    return -1;
  }
  if (SSL_set_cipher_list(ssl, HTTPS_CIPHER_LIST) != 1) {
    PRT("SSL_set_cipher_list failed\n");
    SSL_free(ssl);
    return -1;
  }
  if (!SetVerifiedHost(ssl, host) || SSL_set_fd(ssl, fd) != 1) {
    PRT("SSL_set1_host():error\n");
    SSL_free(ssl);
    return -1;
  }
  const int connected = ssl_connect_with_timeout(ssl, fd, timeout_ms);
  if (connected <= 0) {
    PRT("SSL_connect():error = %d\n", connected);
    ReportHandshakeFailure(ssl, host);
    SSL_free(ssl);
    return -1;
  }
  if (SslWrite(ssl, fd, request, len, timeout_ms) <= 0) {
    const unsigned long e = ERR_get_error();
    char text[256];
    ERR_error_string_n(e, text, sizeof text);
    PRT("SSL_write error err=%lu %s\n", e, text);
    SSL_free(ssl);
    return -1;
  }
  return send_recive_loop(ssl, fd, timeout_ms);
}

// The host name without a port ("port 443, whatever the URL says").
std::string ConnectName(const char* host) {
  if (host[0] == '[') {
    const char* end = std::strchr(host, ']');
    return end ? std::string(host + 1, end) : std::string(host);
  }
  const char* colon = std::strchr(host, ':');
  return colon ? std::string(host, colon) : std::string(host);
}

}  // namespace

bool init_winsock() {
  static int state = 0;  // 1 started, -1 failed
  if (state != 0) return state > 0;
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, nullptr);
  const bool ok =
      OPENSSL_init_ssl(OPENSSL_INIT_LOAD_SSL_STRINGS | OPENSSL_INIT_LOAD_CRYPTO_STRINGS, nullptr) == 1 &&
      curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  if (!ok) PRT("fail init_winsock()\n");
  state = ok ? 1 : -1;
  return ok;
}

bool SplitHttpsUrl(const char* url, char* host, size_t host_size, char* path, size_t path_size) {
  const size_t len = std::strlen(url);
  if (len > HTTPS_URL_MAX) {
    PRT("url is too long\n");
    return false;
  }
  if (std::strncmp(url, "https://", 8) != 0) {
    PRT("not https\n");
    return false;
  }
  const char* h = url + 8;
  const char* slash = std::strchr(h, '/');
  if (!slash) {
    PRT("no /\n");
    return false;
  }
  if (slash == h) {
    PRT("no host\n");
    return false;
  }
  if (UrlHasBlankOrControl(url)) {
    PRT("bad character in url\n");
    return false;
  }
  const size_t host_len = static_cast<size_t>(slash - h);
  const size_t path_len = len - 8 - host_len;
  if (host_len >= host_size || path_len >= path_size) return false;
  std::memcpy(host, h, host_len);
  host[host_len] = '\0';
  std::memcpy(path, slash, path_len + 1);
  return true;
}

int BuildHttpsRequest(const char* host, const char* path, char* out, size_t size) {
  const int n = std::snprintf(out, size, "GET %s HTTP/1.0\r\nHost: %s\r\nUser-Agent: %s\r\n\r\n", path, host,
                              HTTPS_USER_AGENT);
  return n < 0 || static_cast<size_t>(n) >= size ? 0 : n;
}

int client_socket_with_timeout(const char* host, const char* service, int timeout_ms) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* res = nullptr;
  int e = getaddrinfo(host, service, &hints, &res);
  if (e != 0) {
    PRT("getaddrinfo():%s\n", gai_strerror(e));
    return -1;
  }
  auto fail = [&](int fd) {
    if (fd >= 0) close(fd);
    freeaddrinfo(res);
    return -1;
  };
  char nhost[NI_MAXHOST], nserv[NI_MAXSERV];
  e = getnameinfo(res->ai_addr, res->ai_addrlen, nhost, sizeof nhost, nserv, sizeof nserv,
                  NI_NUMERICHOST | NI_NUMERICSERV);
  if (e != 0) {
    PRT("getnameinfo():%s\n", gai_strerror(e));
    return fail(-1);
  }
  const int fd = socket(res->ai_family, res->ai_socktype | SOCK_CLOEXEC, res->ai_protocol);
  if (fd < 0) {
    PRT("socket err\n");
    return fail(-1);
  }
  if (!SetNonBlocking(fd, true)) PRT("ioctlsocket err=%d\n", errno);
  if (connect(fd, res->ai_addr, res->ai_addrlen) != 0 && errno != EINPROGRESS && errno != EINTR) {
    PRT("connect err=%d\n", errno);
    return fail(fd);
  }
  const int w = WaitSocket(fd, POLLOUT | POLLIN, timeout_ms);
  if (w < 0) {
    PRT("select err\n");
    return fail(fd);
  }
  if (w == 0) {
    PRT("select:timeout\n");
    return fail(fd);
  }
  int so_error = 0;
  socklen_t so_len = sizeof so_error;
  if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &so_error, &so_len) != 0) {
    PRT("getsockopt e=%d\n", errno);
    return fail(fd);
  }
  if (so_error != 0) {
    PRT("getsockopt:%d:%s\n", so_error, std::strerror(so_error));
    return fail(fd);
  }
  SetNonBlocking(fd, false);
  freeaddrinfo(res);
  return fd;
}

int StatusOfResponse(int len) {
  // "HTTP/1.x NNN ..."
  if (len < 12 || std::memcmp(HttpBuf, "HTTP/", 5) != 0) return 0;
  const char* sp = static_cast<const char*>(std::memchr(HttpBuf, ' ', static_cast<size_t>(len < 16 ? len : 16)));
  if (!sp || sp + 4 > HttpBuf + len) return 0;
  int status = 0;
  for (int i = 1; i <= 3; ++i) {
    if (sp[i] < '0' || sp[i] > '9') return 0;
    status = status * 10 + (sp[i] - '0');
  }
  return status;
}

int SkipHttpHeader(int len) {
  const void* end = memmem(HttpBuf, static_cast<size_t>(len), "\r\n\r\n", 4);
  if (!end) {
    PRT("no http header\n");
    return len;
  }
  const int skip = static_cast<int>(static_cast<const char*>(end) - HttpBuf) + 4;
  const int body = len - skip;
  std::memmove(HttpBuf, HttpBuf + skip, static_cast<size_t>(body));
  HttpBuf[body] = '\0';
  return body;
}

int HttpsGet(const char* url) {
  HttpBuf[0] = '\0';
  HttpBufLen = 0;
  HttpStatus = 0;
  char host[HTTPS_URL_MAX + 1], path[HTTPS_URL_MAX + 1];
  if (!SplitHttpsUrl(url, host, sizeof host, path, sizeof path)) return 0;
  char request[2 * HTTPS_URL_MAX + 256];
  const int request_len = BuildHttpsRequest(host, path, request, sizeof request);
  if (OPENSSL_init_ssl(0, nullptr) != 1) {
    PRT("SSL_library_init():error\n");
    return -1;
  }
  init_winsock();
  SSL_CTX* ctx = SSL_CTX_new(TLS_client_method());
  if (!ctx) {
    PRT("client_ctx():error\n");
    return -1;
  }
  UseSharedTrustStore(ctx);
  const NetConfig& config = CurrentNetConfig();
  g_last_watch = SteadyClock::now();
  g_request_deadline = g_last_watch + std::chrono::milliseconds(config.deadline_ms);
  const std::string name = ConnectName(host);
  const ConnectTo* mapped = FindConnectTo(config, name);
  const std::string address = mapped ? mapped->address : name;
  const std::string service = mapped ? std::to_string(mapped->port) : "443";
  const int fd = client_socket_with_timeout(address.c_str(), service.c_str(), config.timeout_ms);
  if (fd < 0) {
    PRT("client_socket_with_timeout():error\n");
    SSL_CTX_free(ctx);
    return -1;
  }
  const int result = TlsExchange(ctx, fd, name, request, request_len, config.timeout_ms);
  PRT("%6d,%s,", result, path);
  close(fd);
  SSL_CTX_free(ctx);
  if (result > 0) {
    HttpStatus = StatusOfResponse(result);
    HttpBufLen = SkipHttpHeader(result);
  }
  return result;
}
