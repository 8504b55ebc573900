#include "support/loopback_net.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "net/internet_client.h"
#include "net/net_config.h"
#include "platform/diagnostics.h"
#include "support/test_pki.h"

std::string ReadFixture(const std::string& name) {
  std::ifstream in(std::string(VURN_FIXTURE_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in.good()) << "missing fixture " << name;
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

loopback::Reply FixtureReply(const std::string& name, int status) {
  loopback::Reply r;
  r.status = status;
  r.body = ReadFixture(name);
  if (name.size() > 5 && name.compare(name.size() - 5, 5, ".json") == 0) r.content_type = "application/json";
  return r;
}

loopback::Reply PageReply(const std::string& body, int status) {
  loopback::Reply r;
  r.status = status;
  r.body = body;
  return r;
}

void LoopbackNetTest::SetUp() {
  ClearPrtHistory();
  CurrentNetConfig() = NetConfig{};
  CurrentNetConfig().timeout_ms = kShortTimeoutMs;
  CurrentNetConfig().ca_file = loopback::HttpsServer::CaFile();
}

void LoopbackNetTest::TearDown() {
  CloseInternet(hInternet);
  hInternet = nullptr;
  server.reset();
  CurrentNetConfig() = NetConfig{};
}

loopback::HttpsServer& LoopbackNetTest::StartServer(loopback::Options options) {
  server.reset();
  server = std::make_unique<loopback::HttpsServer>(std::move(options));
  MapTestHostsTo(server->port());
  return *server;
}

void LoopbackNetTest::MapTestHostsTo(int port) {
  CurrentNetConfig().connect_to.clear();
  for (const char* host : kTestHosts) CurrentNetConfig().connect_to.push_back({host, "127.0.0.1", port});
  CurrentNetConfig().connect_to.push_back({"other.test", "127.0.0.1", port});
}

void LoopbackNetTest::OpenSession() {
  CloseInternet(hInternet);
  long start = 0;
  hInternet = OpenInternet(&start);
  ASSERT_NE(hInternet, nullptr);
}

void LoopbackNetTest::UseTestSites() {
  CurrentNetConfig().portal_url = "https://portal.test";
  CurrentNetConfig().chart_url = "https://chart.test";
  CurrentNetConfig().stock_info_url = "https://info.test";
  CurrentNetConfig().ca_file = loopback::HttpsServer::CaFile();
  CurrentNetConfig().timeout_ms = kShortTimeoutMs;
  if (server) MapTestHostsTo(server->port());
}

void LoopbackNetTest::Serve(const std::string& path, const std::string& body, int status) {
  server->Route(path, PageReply(body, status));
}

int LoopbackNetTest::Requests(const std::string& part) const {
  int n = 0;
  for (const loopback::Request& r : server->requests())
    if (r.bytes.find(part) != std::string::npos) ++n;
  return n;
}
