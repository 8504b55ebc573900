// Fetching small pages from the loopback HTTPS server: the own client (a fresh connection
// and handshake per page) and the internet library (one handle, connections reused),
// in requests per second, beside a plain TCP request and response over loopback with a
// new connection each time (no TLS), measured in the same run.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "net/https_client.h"
#include "net/internet_client.h"
#include "net/net_config.h"
#include "net/page_fetch.h"
#include "support/loopback_https_server.h"
#include "support/test_pki.h"

namespace {

constexpr int kPages = 1000;

std::string SmallPage() {
  std::string page = "<html><body><table>";
  for (int i = 0; i < 40; ++i) page += "<tr><th>始値</th><td>" + std::to_string(2800 + i) + "</td></tr>";
  return page + "</table></body></html>";
}

loopback::HttpsServer& Server() {
  static loopback::HttpsServer* server = [] {
    auto* s = new loopback::HttpsServer();
    loopback::Reply reply;
    reply.body = SmallPage();
    s->Route("/page", reply);
    NetConfig& config = CurrentNetConfig();
    config.ca_file = loopback::HttpsServer::CaFile();
    for (const char* host : kTestHosts) config.connect_to.push_back({host, "127.0.0.1", s->port()});
    init_winsock();
    return s;
  }();
  return *server;
}

// The baseline: a plain TCP server answering one request per connection with the same
// response bytes.
struct PlainServer {
  int fd = -1, port = 0;
  std::atomic<bool> stop{false};
  std::thread thread;
  std::string response;

  PlainServer() {
    loopback::Reply reply;
    reply.body = SmallPage();
    response = loopback::BuildResponse(reply, false);
    fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    listen(fd, 128);
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    thread = std::thread([this] {
      char buf[4096];
      while (!stop) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        const int c = accept(fd, nullptr, nullptr);
        if (c < 0) continue;
        std::string request;
        while (request.find("\r\n\r\n") == std::string::npos) {
          const ssize_t n = recv(c, buf, sizeof buf, 0);
          if (n <= 0) break;
          request.append(buf, static_cast<size_t>(n));
        }
        send(c, response.data(), response.size(), MSG_NOSIGNAL);
        close(c);
      }
    });
  }
  ~PlainServer() {
    stop = true;
    thread.join();
    close(fd);
  }
};

void BM_PlainTcpBaseline(benchmark::State& state) {
  static PlainServer plain;
  char request[512];
  const int request_len = BuildHttpsRequest("portal.test", "/page", request, sizeof request);
  static char buf[65536];
  for (auto _ : state) {
    const int c = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(plain.port));
    connect(c, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    send(c, request, static_cast<size_t>(request_len), MSG_NOSIGNAL);
    size_t got = 0;
    ssize_t n;
    while ((n = recv(c, buf + got, sizeof buf - got, 0)) > 0) got += static_cast<size_t>(n);
    close(c);
    benchmark::DoNotOptimize(got);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_OwnHttpsClient(benchmark::State& state) {
  Server();
  CurrentNetConfig().wininet = 0;
  for (auto _ : state)
    if (GetHttpFile("https://portal.test/page") != 1) state.SkipWithError("fetch failed");
  state.SetItemsProcessed(state.iterations());
}

void BM_InternetLibrary(benchmark::State& state) {
  Server();
  CurrentNetConfig().wininet = 1;
  long start = 0;
  hInternet = OpenInternet(&start);
  for (auto _ : state)
    if (GetHttpFile("https://portal.test/page") != 1) state.SkipWithError("fetch failed");
  CloseInternet(hInternet);
  hInternet = nullptr;
  CurrentNetConfig().wininet = 0;
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_PlainTcpBaseline)->Iterations(kPages)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OwnHttpsClient)->Iterations(kPages)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InternetLibrary)->Iterations(kPages)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace
