// Helpers for the network tests: the fixture pages and replies, and a
// test base that points the network configuration at a loopback server with short
// time-outs and puts the defaults back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/diagnostics.h"
#include "support/loopback_https_server.h"
#include "support/prt_text.h"

// The bytes of tests/fixtures/<name>.
std::string ReadFixture(const std::string& name);
// A reply serving a fixture file.
loopback::Reply FixtureReply(const std::string& name, int status = 200);
// A reply serving the given body.
loopback::Reply PageReply(const std::string& body, int status = 200);

class LoopbackNetTest : public ::testing::Test {
 protected:
  static constexpr int kShortTimeoutMs = 1000;

  void SetUp() override;
  void TearDown() override;
  // Starts a server (replacing the one before) and maps every test host to it.
  loopback::HttpsServer& StartServer(loopback::Options options = {});
  // Maps every test host to 127.0.0.1:port.
  void MapTestHostsTo(int port);
  // Opens hInternet with the configuration now in force.
  void OpenSession();
  // Points the portal, the chart interface and the stock-information site at the test hosts
  // of the running server, with the test authority and short time-outs.
  void UseTestSites();
  // Serves body with status at path of the running server.
  void Serve(const std::string& path, const std::string& body, int status = 200);
  // How many requests so far contain `part` ("GET /path " for one path exactly).
  int Requests(const std::string& part) const;

  std::unique_ptr<loopback::HttpsServer> server;
};
