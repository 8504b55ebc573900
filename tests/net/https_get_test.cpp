// The own HTTPS client against the loopback server: exact requests, server name and
// certificate checks, size limits, time-outs, closes, and pages delivered whatever their
// status.
#include "net/https_client.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cstring>
#include <string>

#include "net/net_config.h"
#include "net/page_text.h"
#include "net/trust_store.h"
#include "support/loopback_net.h"

namespace {

using loopback::Cert;
using loopback::Options;
using loopback::Reply;

class HttpsGetTest : public LoopbackNetTest {};

TEST_F(HttpsGetTest, SendsTheExactRequestAndServerName) {
  StartServer().Route("/quote/7203.T?x=1", FixtureReply("net/quote_page.html"));
  const int n = HttpsGet("https://portal.test/quote/7203.T?x=1");
  const std::string body = ReadFixture("net/quote_page.html");
  ASSERT_GT(n, static_cast<int>(body.size()));  // the count includes the header
  EXPECT_EQ(HttpBufLen, static_cast<int>(body.size()));
  EXPECT_EQ(std::string(HttpBuf), body);
  ASSERT_EQ(server->requests().size(), 1u);
  EXPECT_EQ(server->requests()[0].bytes,
            "GET /quote/7203.T?x=1 HTTP/1.0\r\n"
            "Host: portal.test\r\n"
            "User-Agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64; rv:95.0) Gecko/20100101 Firefox/95.0\r\n"
            "\r\n");
  EXPECT_EQ(server->requests()[0].server_name, "portal.test");
  EXPECT_TRUE(PrtHas("recv:EOF. all="));
  EXPECT_TRUE(PrtHas(",/quote/7203.T?x=1,"));
}

TEST_F(HttpsGetTest, RefusesCertificatesItCannotVerify) {
  struct Case {
    Cert cert;
    bool use_test_ca;
    const char* url;
    const char* reason;
  } cases[] = {
      {Cert::Untrusted, true, "https://portal.test/", "unable to get local issuer certificate"},
      {Cert::WrongHost, true, "https://portal.test/", "hostname mismatch"},
      {Cert::Trusted, false, "https://portal.test/", "unable to get local issuer certificate"},
      {Cert::Trusted, true, "https://other.test/", "hostname mismatch"},
  };
  for (const Case& c : cases) {
    SetUp();
    if (!c.use_test_ca) CurrentNetConfig().ca_file.clear();  // the system store knows no test CA
    Options options;
    options.cert = c.cert;
    StartServer(options).Route("/", PageReply("<p>price</p>"));
    EXPECT_EQ(HttpsGet(c.url), -1) << c.reason;
    EXPECT_TRUE(PrtHas(std::string("certificate verify failed: ") + c.reason)) << PrtHistory();
    EXPECT_TRUE(server->requests().empty()) << c.reason;  // nothing was sent
    ASSERT_EQ(server->server_names().size(), 1u);
    EXPECT_EQ(server->server_names()[0], std::string(c.url).substr(8, std::string(c.url).find('/', 8) - 8));
    EXPECT_EQ(HttpBuf[0], '\0');
  }
}

TEST_F(HttpsGetTest, KeepsItsCipherList) {
  Options foreign;
  foreign.tls12_only = true;
  foreign.tls12_cipher = "ECDHE-ECDSA-AES128-GCM-SHA256";
  StartServer(foreign).Route("/", PageReply("x"));
  EXPECT_EQ(HttpsGet("https://portal.test/"), -1);
  EXPECT_TRUE(PrtHas("SSL_connect():error = -1"));

  Options listed = foreign;
  listed.tls12_cipher = "ECDHE-ECDSA-AES256-GCM-SHA384";
  StartServer(listed).Route("/", PageReply("tls12"));
  EXPECT_GT(HttpsGet("https://portal.test/"), 0);
  EXPECT_STREQ(HttpBuf, "tls12");
}

TEST_F(HttpsGetTest, SizeLimitCountsTheWholeResponse) {
  StartServer();
  Reply fits = PageReply("<p>");
  fits.total_size = 4194302;
  Reply over = fits;
  over.total_size = 4194303;
  server->Route("/fits", fits);
  server->Route("/over", over);

  const int n = HttpsGet("https://portal.test/fits");
  EXPECT_EQ(n, 4194302);
  EXPECT_EQ(HttpBufLen, static_cast<int>(loopback::BuildResponse(fits, false).size() -
                                         loopback::BuildResponse(fits, false).find("\r\n\r\n") - 4));
  EXPECT_EQ(HttpBuf[HttpBufLen], '\0');
  EXPECT_EQ(std::strncmp(HttpBuf, "<p>xxx", 6), 0);

  EXPECT_EQ(HttpsGet("https://portal.test/over"), 0);
  EXPECT_TRUE(PrtHas("HTTP_BUF_SIZE over"));
  EXPECT_TRUE(PrtHas("do SSL_clear()"));
  EXPECT_EQ(HttpBuf[0], '\0');  // nothing half-received is left
}

TEST_F(HttpsGetTest, SucceedsOnlyOnACleanClose) {
  Reply truncated = PageReply("<p>half a page");
  truncated.close_notify = false;
  StartServer().Route("/", truncated);
  EXPECT_EQ(HttpsGet("https://portal.test/"), 0);
  EXPECT_TRUE(PrtHas("sslErr="));
  EXPECT_EQ(HttpBuf[0], '\0');
}

TEST_F(HttpsGetTest, DeliversStatusAndRedirectPagesAsText) {
  StartServer().Route("/busy", PageReply("<p>ただいまアクセスが集中しています</p>", 503));
  Reply moved = PageReply("<a href=\"https://chart.test/new\">moved</a>", 302);
  moved.headers = {"Location: https://chart.test/new"};
  server->Route("/old", moved);

  EXPECT_GT(HttpsGet("https://portal.test/busy"), 0);
  EXPECT_EQ(std::string(HttpBuf), "<p>ただいまアクセスが集中しています</p>");
  EXPECT_GT(HttpsGet("https://portal.test/old"), 0);  // not followed
  EXPECT_EQ(std::string(HttpBuf), moved.body);
  EXPECT_EQ(server->requests().size(), 2u);
  EXPECT_GT(HttpsGet("https://portal.test/missing"), 0);
  EXPECT_NE(std::string(HttpBuf).find("Not Found"), std::string::npos);
}

TEST_F(HttpsGetTest, ResponseWithoutHeaderEndIsKeptAsReceived) {
  Reply broken = PageReply("<p>body</p>");
  broken.header_end = false;
  StartServer().Route("/", broken);
  const int n = HttpsGet("https://portal.test/");
  ASSERT_GT(n, 0);
  EXPECT_TRUE(PrtHas("no http header"));
  EXPECT_EQ(HttpBufLen, n);
  EXPECT_EQ(std::string(HttpBuf).rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
}

TEST_F(HttpsGetTest, SilenceEndsTheFetchButATrickleDoesNot) {
  Reply silent = PageReply("<p>all sent, then silence</p>");
  silent.stall_after = 1 << 20;  // after the whole response
  silent.stall_ms = 20000;
  Reply trickle = PageReply(std::string(400, 't'));
  trickle.trickle_bytes = 40;  // longer in all than the time-out, never silent for long
  trickle.trickle_ms = 150;
  StartServer().Route("/silent", silent);
  server->Route("/trickle", trickle);

  EXPECT_EQ(HttpsGet("https://portal.test/silent"), 0);
  EXPECT_TRUE(PrtHas("timeout send_recive_loop, all="));
  EXPECT_EQ(HttpBuf[0], '\0');  // the data already received is discarded

  EXPECT_GT(HttpsGet("https://portal.test/trickle"), 0);
  EXPECT_EQ(std::string(HttpBuf), trickle.body);
}

TEST_F(HttpsGetTest, HandshakeAndConnectFailures) {
  Options stall;
  stall.stall_handshake = true;
  StartServer(stall);
  EXPECT_EQ(HttpsGet("https://portal.test/"), -1);
  EXPECT_TRUE(PrtHas("SSL_connect():error = 0"));

  const int closed_port = server->port();
  server.reset();  // nobody listens there now
  MapTestHostsTo(closed_port);
  ClearPrtHistory();
  EXPECT_EQ(HttpsGet("https://portal.test/"), -1);
  EXPECT_TRUE(PrtHas("client_socket_with_timeout():error"));
}

TEST_F(HttpsGetTest, UrlLengthLimit) {
  StartServer();
  const std::string head = "https://portal.test/";
  const std::string path = "/" + std::string(1278 - head.size(), 'p');
  server->Route(path, PageReply("long"));
  EXPECT_GT(HttpsGet((head + path.substr(1)).c_str()), 0);
  EXPECT_STREQ(HttpBuf, "long");
  EXPECT_EQ(HttpsGet((head + path.substr(1) + "p").c_str()), 0);
  EXPECT_TRUE(PrtHas("url is too long"));
  EXPECT_EQ(server->connections(), 1);  // the refused URL made no connection
}

TEST_F(HttpsGetTest, LoadsTheTrustStoreOncePerRun) {
  StartServer().Route("/", PageReply("a"));
  ASSERT_GT(HttpsGet("https://portal.test/"), 0);
  const int loads = TrustStoreLoads();
  ASSERT_GT(HttpsGet("https://portal.test/"), 0);
  ASSERT_GT(HttpsGet("https://chart.test/"), 0);
  EXPECT_EQ(TrustStoreLoads(), loads);
}

TEST(NetStart, IgnoresSigpipe) {
  ASSERT_TRUE(init_winsock());
  struct sigaction now {};
  sigaction(SIGPIPE, nullptr, &now);
  EXPECT_EQ(now.sa_handler, SIG_IGN);
}

}  // namespace
