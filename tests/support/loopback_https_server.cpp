#include "support/loopback_https_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <signal.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/test_pki.h"

namespace loopback {

namespace {

struct ConnectionState {
  std::string server_name;
};

// Writes on a socket whose peer left must fail with EPIPE in these threads, not raise a
// signal: the program under test decides for itself what SIGPIPE does.
void BlockSigpipeInThisThread() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void Die(const char* what) {
  std::fprintf(stderr, "loopback server: %s failed\n", what);
  std::abort();
}

const char* StatusText(int status) {
  switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
  }
}

std::string Head(const Reply& reply, size_t body_len, bool keep_alive) {
  std::string h = "HTTP/1.1 " + std::to_string(reply.status) + " " + StatusText(reply.status) + "\r\n";
  h += "Content-Type: " + reply.content_type + "\r\n";
  if (reply.header_end) h += "Content-Length: " + std::to_string(body_len) + "\r\n";
  for (const std::string& line : reply.headers) h += line + "\r\n";
  if (!keep_alive) h += "Connection: close\r\n";
  if (reply.header_end) h += "\r\n";
  return h;
}

bool ReadRequest(SSL* ssl, std::string& pending, std::string* request) {
  char buf[16384];
  for (;;) {
    const size_t end = pending.find("\r\n\r\n");
    if (end != std::string::npos) {
      *request = pending.substr(0, end + 4);
      pending.erase(0, end + 4);
      return true;
    }
    if (pending.size() > (1u << 20)) return false;
    const int n = SSL_read(ssl, buf, sizeof buf);
    if (n <= 0) return false;
    pending.append(buf, static_cast<size_t>(n));
  }
}

bool SendAll(int fd, const char* data, size_t len) {
  while (len > 0) {
    const ssize_t n = send(fd, data, len, MSG_NOSIGNAL);
    if (n <= 0) return false;
    data += n;
    len -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

std::string BuildResponse(const Reply& reply, bool keep_alive) {
  if (reply.total_size == 0) return Head(reply, reply.body.size(), keep_alive) + reply.body;
  // The length field's digits depend on the body length; two rounds settle it.
  size_t body_len = 0;
  for (int round = 0; round < 3; ++round) {
    const size_t head = Head(reply, body_len, keep_alive).size();
    body_len = reply.total_size > head ? reply.total_size - head : 0;
  }
  std::string body = reply.body.substr(0, body_len);
  body.resize(body_len, 'x');
  return Head(reply, body_len, keep_alive) + body;
}

// Noted while the client hello is read, before the client sees any certificate, so a
// client that refuses the certificate cannot outrun it.
int HttpsServer::OnServerName(SSL* ssl, int*, void* self) {
  auto* server = static_cast<HttpsServer*>(self);
  auto* state = static_cast<ConnectionState*>(SSL_get_app_data(ssl));
  const char* name = SSL_get_servername(ssl, TLSEXT_NAMETYPE_host_name);
  if (state) state->server_name = name ? name : "";
  std::lock_guard<std::mutex> lock(server->mu_);
  server->server_names_.push_back(name ? name : "");
  return SSL_TLSEXT_ERR_OK;
}

const std::string& HttpsServer::CaFile() { return TestCertificates().ca_file; }

HttpsServer::HttpsServer(Options options) : options_(std::move(options)) {
  const TestPki& pki = TestCertificates();
  const TestKeyPair& cert = options_.cert == Cert::Trusted     ? pki.leaf
                            : options_.cert == Cert::WrongHost ? pki.wrong_host
                                                               : pki.untrusted;
  ctx_ = SSL_CTX_new(TLS_server_method());
  if (!ctx_ || SSL_CTX_use_certificate(ctx_, cert.cert) != 1 || SSL_CTX_use_PrivateKey(ctx_, cert.key) != 1)
    Die("TLS context");
  if (options_.tls12_only &&
      (SSL_CTX_set_max_proto_version(ctx_, TLS1_2_VERSION) != 1 ||
       SSL_CTX_set_cipher_list(ctx_, options_.tls12_cipher.c_str()) != 1))
    Die("TLS 1.2 set-up");
  SSL_CTX_set_tlsext_servername_callback(ctx_, OnServerName);
  SSL_CTX_set_tlsext_servername_arg(ctx_, this);
  if (pipe(wake_) != 0) Die("pipe");
  listen_fd_ = Listen();
  sockaddr_in addr{};
  socklen_t len = sizeof addr;
  getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  accept_thread_ = std::thread([this] { AcceptLoop(listen_fd_, false); });
}

HttpsServer::~HttpsServer() {
  stopping_ = true;
  if (write(wake_[1], "x", 1) < 0) Die("wake");
  // The accept loops end first, so that no connection starts after the shutdown below.
  accept_thread_.join();
  if (proxy_thread_.joinable()) proxy_thread_.join();
  std::vector<std::thread> connections;
  {
    std::lock_guard<std::mutex> lock(mu_);
    for (int fd : live_fds_) shutdown(fd, SHUT_RDWR);
    connections.swap(threads_);
  }
  stop_cv_.notify_all();
  for (std::thread& t : connections) t.join();
  close(listen_fd_);
  if (proxy_fd_ >= 0) close(proxy_fd_);
  close(wake_[0]);
  close(wake_[1]);
  SSL_CTX_free(ctx_);
}

int HttpsServer::Listen() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) Die("socket");
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 128) != 0) Die("listen");
  return fd;
}

void HttpsServer::Route(const std::string& path, Reply reply) {
  std::lock_guard<std::mutex> lock(mu_);
  routes_[path] = std::move(reply);
}

std::vector<Request> HttpsServer::requests() const {
  std::lock_guard<std::mutex> lock(mu_);
  return requests_;
}

std::vector<std::string> HttpsServer::server_names() const {
  std::lock_guard<std::mutex> lock(mu_);
  return server_names_;
}

std::vector<std::string> HttpsServer::proxy_requests() const {
  std::lock_guard<std::mutex> lock(mu_);
  return proxy_requests_;
}

int HttpsServer::StartProxy() {
  std::lock_guard<std::mutex> lock(mu_);
  if (proxy_fd_ < 0) {
    proxy_fd_ = Listen();
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    getsockname(proxy_fd_, reinterpret_cast<sockaddr*>(&addr), &len);
    proxy_port_ = ntohs(addr.sin_port);
    proxy_thread_ = std::thread([this] { AcceptLoop(proxy_fd_, true); });
  }
  return proxy_port_;
}

void HttpsServer::AcceptLoop(int listen_fd, bool proxy) {
  BlockSigpipeInThisThread();
  for (;;) {
    pollfd p[2] = {{listen_fd, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    if (poll(p, 2, -1) < 0) continue;
    if (stopping_ || (p[1].revents & POLLIN)) return;
    if (!(p[0].revents & POLLIN)) continue;
    const int fd = accept4(listen_fd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    Spawn(fd, proxy);
  }
}

void HttpsServer::Spawn(int fd, bool proxy) {
  Track(fd);
  // Small writes (the close_notify after a reply) go out at once, as a web server sends
  // them, instead of waiting for the client's delayed acknowledgement.
  const int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  const int connection = ++connections_;
  std::lock_guard<std::mutex> lock(mu_);
  threads_.emplace_back([this, fd, proxy, connection] {
    BlockSigpipeInThisThread();
    if (proxy) ServeProxy(fd);
    else ServeTls(fd, connection);
  });
}

void HttpsServer::Track(int fd) {
  std::lock_guard<std::mutex> lock(mu_);
  live_fds_.insert(fd);
}

void HttpsServer::Untrack(int fd) {
  std::lock_guard<std::mutex> lock(mu_);
  live_fds_.erase(fd);
  close(fd);
}

bool HttpsServer::Pause(int ms) {
  std::unique_lock<std::mutex> lock(mu_);
  return !stop_cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping_.load(); });
}

bool HttpsServer::SendReply(SSL* ssl, const std::string& bytes, const Reply& reply) {
  size_t pos = 0;
  auto send_to = [&](size_t end) {
    while (pos < end) {
      size_t piece = end - pos;
      if (reply.trickle_bytes > 0 && piece > static_cast<size_t>(reply.trickle_bytes)) piece = reply.trickle_bytes;
      const int n = SSL_write(ssl, bytes.data() + pos, static_cast<int>(piece));
      if (n <= 0) return false;
      pos += static_cast<size_t>(n);
      if (reply.trickle_bytes > 0 && pos < bytes.size() && !Pause(reply.trickle_ms)) return false;
    }
    return true;
  };
  if (reply.stall_after >= 0) {
    const size_t at = std::min(bytes.size(), static_cast<size_t>(reply.stall_after));
    if (!send_to(at) || !Pause(reply.stall_ms)) return false;
  }
  return send_to(bytes.size());
}

void HttpsServer::ServeTls(int fd, int connection) {
  if (options_.stall_handshake) {
    Pause(60000);
    Untrack(fd);
    return;
  }
  SSL* ssl = SSL_new(ctx_);
  ConnectionState state;
  SSL_set_app_data(ssl, &state);
  SSL_set_fd(ssl, fd);
  const int accepted = SSL_accept(ssl);
  if (accepted == 1) {
    std::string pending, request;
    while (!stopping_ && ReadRequest(ssl, pending, &request)) {
      const size_t sp1 = request.find(' ');
      const size_t sp2 = request.find(' ', sp1 + 1);
      const size_t eol = request.find("\r\n");
      const std::string target = sp1 < sp2 && sp2 < eol ? request.substr(sp1 + 1, sp2 - sp1 - 1) : "";
      const bool http11 = request.compare(sp2 + 1, 8, "HTTP/1.1") == 0;
      const bool close_asked = strcasestr(request.c_str(), "\r\nConnection: close") != nullptr;
      Reply reply;
      {
        std::lock_guard<std::mutex> lock(mu_);
        requests_.push_back({request, state.server_name, connection});
        auto it = routes_.find(target);
        if (it != routes_.end()) {
          reply = it->second;
        } else {
          reply.status = 404;
          reply.body = "<html><body><h1>Not Found</h1></body></html>\n";
        }
      }
      const bool plain = reply.close_notify && reply.header_end && reply.total_size == 0 && reply.stall_after < 0 &&
                         reply.trickle_bytes == 0;
      const bool keep_alive = http11 && !close_asked && plain;
      if (!SendReply(ssl, BuildResponse(reply, keep_alive), reply)) break;
      if (keep_alive) continue;
      if (reply.close_notify) SSL_shutdown(ssl);
      break;
    }
  }
  SSL_free(ssl);
  ERR_clear_error();
  // Let the client read everything before the connection goes away.
  shutdown(fd, SHUT_WR);
  char drain[4096];
  for (int i = 0; i < 20 && !stopping_; ++i) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 50) > 0 && recv(fd, drain, sizeof drain, 0) <= 0) break;
  }
  Untrack(fd);
}

void HttpsServer::ServeProxy(int fd) {
  std::string head;
  char buf[16384];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
    const ssize_t n = recv(fd, buf, sizeof buf, 0);
    if (n <= 0) {
      Untrack(fd);
      return;
    }
    head.append(buf, static_cast<size_t>(n));
  }
  const size_t end = head.find("\r\n\r\n") + 4;
  const std::string request = head.substr(0, end);
  const std::string early = head.substr(end);
  {
    std::lock_guard<std::mutex> lock(mu_);
    proxy_requests_.push_back(request);
  }
  if (request.rfind("CONNECT ", 0) != 0) {
    const char refuse[] = "HTTP/1.1 405 Method Not Allowed\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    SendAll(fd, refuse, sizeof refuse - 1);
    Untrack(fd);
    return;
  }
  const int up = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port_));
  if (up < 0 || connect(up, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    if (up >= 0) close(up);
    const char fail[] = "HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n";
    SendAll(fd, fail, sizeof fail - 1);
    Untrack(fd);
    return;
  }
  Track(up);
  const char ok[] = "HTTP/1.1 200 Connection established\r\n\r\n";
  bool open = SendAll(fd, ok, sizeof ok - 1) && SendAll(up, early.data(), early.size());
  while (open && !stopping_) {
    pollfd p[2] = {{fd, POLLIN, 0}, {up, POLLIN, 0}};
    if (poll(p, 2, 100) <= 0) continue;
    for (int i = 0; i < 2 && open; ++i) {
      if (!(p[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      const ssize_t n = recv(p[i].fd, buf, sizeof buf, 0);
      open = n > 0 && SendAll(p[1 - i].fd, buf, static_cast<size_t>(n));
    }
  }
  Untrack(up);
  Untrack(fd);
}

}  // namespace loopback
