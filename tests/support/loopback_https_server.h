// A loopback HTTPS server for the network tests and the fetch benchmark, running on its
// own threads inside the test program on a free port of 127.0.0.1. It answers any of the
// test host names (reached through the connect-to setting), serves the replies given per
// path, records every request and the server name each client sent, and can misbehave on
// purpose: stalls, trickles, truncated closes, exact sizes, a missing header end, wrong
// or untrusted certificates, an old protocol with a foreign cipher. A CONNECT proxy can be
// started beside it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

typedef struct ssl_ctx_st SSL_CTX;
typedef struct ssl_st SSL;

namespace loopback {

struct Reply {
  int status = 200;
  std::string body;
  std::string content_type = "text/html; charset=UTF-8";
  std::vector<std::string> headers;  // extra header lines, without CRLF ("Location: ...")
  bool close_notify = true;          // false: the TCP connection ends without TLS close_notify
  bool header_end = true;            // false: the empty line after the headers is missing
  size_t total_size = 0;             // > 0: the body is padded so the whole response has this size
  long stall_after = -1;             // >= 0: after this many response bytes, silence ...
  int stall_ms = 0;                  // ... this long (ended early when the server stops)
  int trickle_bytes = 0;             // > 0: the response goes out in pieces of this size ...
  int trickle_ms = 0;                // ... this far apart
};

enum class Cert { Trusted, WrongHost, Untrusted };

struct Options {
  Cert cert = Cert::Trusted;
  bool tls12_only = false;       // at most TLS 1.2, with tls12_cipher as the only cipher
  std::string tls12_cipher = "ECDHE-ECDSA-AES128-GCM-SHA256";
  bool stall_handshake = false;  // accepts connections but never answers a handshake
};

struct Request {
  std::string bytes;        // as received, up to and including the empty line
  std::string server_name;  // server name indication of its connection ("" when none)
  int connection = 0;       // 1, 2, ... in the order connections were accepted
};

class HttpsServer {
 public:
  explicit HttpsServer(Options options = {});
  ~HttpsServer();
  HttpsServer(const HttpsServer&) = delete;
  HttpsServer& operator=(const HttpsServer&) = delete;

  int port() const { return port_; }
  // The PEM file of the CA that signs the trusted certificate.
  static const std::string& CaFile();

  // Serves reply for requests whose target (path and query) is exactly path. Unknown
  // paths get a 404 page.
  void Route(const std::string& path, Reply reply);
  std::vector<Request> requests() const;
  // One entry per handshake attempt, successful or not.
  std::vector<std::string> server_names() const;
  int connections() const { return connections_; }

  // Starts the CONNECT proxy (once) and returns its port. Every tunnel it opens ends at
  // this server, whatever host the client names; proxy_requests() holds the CONNECT
  // requests as received.
  int StartProxy();
  std::vector<std::string> proxy_requests() const;

 private:
  static int OnServerName(SSL* ssl, int* alert, void* self);
  int Listen();
  void AcceptLoop(int listen_fd, bool proxy);
  void Spawn(int fd, bool proxy);
  void ServeTls(int fd, int connection);
  void ServeProxy(int fd);
  bool SendReply(SSL* ssl, const std::string& bytes, const Reply& reply);
  bool Pause(int ms);  // false when the server is stopping
  void Track(int fd);
  void Untrack(int fd);  // and close

  Options options_;
  SSL_CTX* ctx_ = nullptr;
  int listen_fd_ = -1, proxy_fd_ = -1, port_ = 0, proxy_port_ = 0;
  int wake_[2] = {-1, -1};
  std::atomic<int> connections_{0};
  std::atomic<bool> stopping_{false};
  mutable std::mutex mu_;
  std::condition_variable stop_cv_;
  std::map<std::string, Reply> routes_;
  std::vector<Request> requests_;
  std::vector<std::string> server_names_;
  std::vector<std::string> proxy_requests_;
  std::set<int> live_fds_;
  std::thread accept_thread_, proxy_thread_;
  std::vector<std::thread> threads_;  // one per connection
};

// The response bytes the server sends for reply; keep_alive adds no "Connection: close".
std::string BuildResponse(const Reply& reply, bool keep_alive);

}  // namespace loopback
