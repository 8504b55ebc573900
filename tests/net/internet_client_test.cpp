// The internet-library path against the loopback server: requests, connection reuse,
// certificate checks, redirects, the proxy, the buffer limit and the idle time-out.
#include "net/internet_client.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "net/net_config.h"
#include "net/page_fetch.h"
#include "net/page_text.h"
#include "support/loopback_net.h"

namespace {

using loopback::Cert;
using loopback::Options;
using loopback::Reply;

// Every fetch here goes through the internet library ("WinInet" = 1).
class InternetClientTest : public LoopbackNetTest {
 protected:
  void SetUp() override {
    LoopbackNetTest::SetUp();
    CurrentNetConfig().wininet = 1;
  }
};

const char kRequest[] =
    "GET /quote/7203.T HTTP/1.1\r\n"
    "Host: portal.test\r\n"
    "User-Agent: Mozilla/5.0 (Windows NT 6.1; Trident/7.0; rv:11.0) like Gecko\r\n"
    "Accept: */*\r\n"
    "\r\n";

TEST_F(InternetClientTest, RequestsAndReusesTheConnection) {
  StartServer().Route("/quote/7203.T", FixtureReply("net/quote_page.html"));
  OpenSession();
  ASSERT_EQ(GetHttpFile("https://portal.test/quote/7203.T"), 1);
  EXPECT_EQ(std::string(HttpBuf), ReadFixture("net/quote_page.html"));
  ASSERT_EQ(GetHttpFile("https://portal.test/quote/7203.T"), 1);
  const auto requests = server->requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].bytes, kRequest);  // no cookie, no other header
  EXPECT_EQ(requests[1].bytes, kRequest);
  EXPECT_EQ(requests[0].server_name, "portal.test");
  EXPECT_EQ(requests[1].connection, requests[0].connection);  // one handle, one connection
  EXPECT_EQ(server->connections(), 1);
}

TEST_F(InternetClientTest, RefusesCertificatesItCannotVerify) {
  struct Case {
    Cert cert;
    bool use_test_ca;
    const char* url;
    const char* reason;
  } cases[] = {
      {Cert::Untrusted, true, "https://portal.test/", "unable to get local issuer certificate"},
      {Cert::Trusted, false, "https://portal.test/", "unable to get local issuer certificate"},
      {Cert::WrongHost, true, "https://portal.test/", "portal.test"},
      {Cert::Trusted, true, "https://other.test/", "other.test"},
  };
  for (const Case& c : cases) {
    SetUp();
    if (!c.use_test_ca) CurrentNetConfig().ca_file.clear();  // the system store knows no test CA
    // A refusal ends the handshake at once; loading the system store on a busy machine can take
    // longer than the short idle time-out the other cases use.
    CurrentNetConfig().timeout_ms = 20000;
    Options options;
    options.cert = c.cert;
    StartServer(options).Route("/", PageReply("<p>price</p>"));
    OpenSession();
    EXPECT_EQ(GetHttpFile(c.url), 0) << c.reason;
    EXPECT_TRUE(PrtHas(std::string("Fail InternetOpenUrl(), ") + c.url)) << PrtHistory();
    EXPECT_TRUE(PrtHas("certificate verify failed: ")) << PrtHistory();
    EXPECT_TRUE(PrtHas(c.reason)) << PrtHistory();
    EXPECT_TRUE(server->requests().empty());
    EXPECT_EQ(HttpBuf[0], '\0');
  }
}

TEST_F(InternetClientTest, DeliversStatusPagesAsText) {
  StartServer().Route("/gone", FixtureReply("net/error_page.html", 404));
  OpenSession();
  ASSERT_EQ(GetHttpFile("https://portal.test/gone"), 1);
  EXPECT_EQ(std::string(HttpBuf), ReadFixture("net/error_page.html"));
  EXPECT_NE(std::string(PageText).find("\xe7\x8f\xbe\xe5\x9c\xa8"), std::string::npos);  // "現在" in UTF-8
}

TEST_F(InternetClientTest, FollowsRedirectsToHttpsOnly) {
  StartServer();
  Reply to_https = PageReply("", 302);
  to_https.headers = {"Location: https://chart.test/target"};
  Reply to_http = PageReply("", 302);
  to_http.headers = {"Location: http://chart.test/target"};
  server->Route("/moved", to_https);
  server->Route("/downgrade", to_http);
  server->Route("/target", PageReply("<p>arrived</p>"));
  OpenSession();

  ASSERT_EQ(GetHttpFile("https://portal.test/moved"), 1);
  EXPECT_STREQ(HttpBuf, "<p>arrived</p>");
  auto requests = server->requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_NE(requests[1].bytes.find("\r\nHost: chart.test\r\n"), std::string::npos);
  EXPECT_EQ(requests[1].server_name, "chart.test");

  EXPECT_EQ(GetHttpFile("https://portal.test/downgrade"), 0);
  EXPECT_EQ(server->requests().size(), 3u);  // the plain-http target was never asked
}

TEST_F(InternetClientTest, GoesThroughTheProxy) {
  StartServer().Route("/quote/7203.T", PageReply("<td>via proxy</td>"));
  CurrentNetConfig().wininet = 0;
  CurrentNetConfig().proxy_use = 1;
  CurrentNetConfig().proxy_host = "127.0.0.1";
  CurrentNetConfig().proxy_port = server->StartProxy();
  CurrentNetConfig().connect_to.clear();  // the proxy reaches the host itself
  OpenSession();
  EXPECT_TRUE(PrtHas("Proxy--->:127.0.0.1:" + std::to_string(CurrentNetConfig().proxy_port)));

  ASSERT_EQ(GetHttpFile("https://portal.test/quote/7203.T"), 1);  // an https URL, still not the own client
  EXPECT_STREQ(PageText, " via proxy");
  const auto connects = server->proxy_requests();
  ASSERT_EQ(connects.size(), 1u);
  EXPECT_EQ(connects[0].rfind("CONNECT portal.test:443 HTTP/1.1\r\n", 0), 0u);
  ASSERT_EQ(server->requests().size(), 1u);
  EXPECT_EQ(server->requests()[0].bytes, kRequest);
  EXPECT_EQ(server->requests()[0].server_name, "portal.test");
}

TEST_F(InternetClientTest, CutsAResponseThatFillsTheBuffer) {
  StartServer();
  Reply fits = PageReply("<p>");
  fits.body.resize(HTTP_BUF_SIZE - 1, 'x');
  Reply over = fits;
  over.body += "yz";
  server->Route("/fits", fits);
  server->Route("/over", over);
  OpenSession();

  ASSERT_EQ(GetHttpFile("https://portal.test/fits"), 1);
  EXPECT_EQ(HttpBufLen, HTTP_BUF_SIZE - 1);
  EXPECT_FALSE(PrtHas("HttpBufのサイズをOver"));

  ASSERT_EQ(GetHttpFile("https://portal.test/over"), 1);
  EXPECT_TRUE(PrtHas("HttpBufのサイズをOver"));
  EXPECT_EQ(HttpBufLen, HTTP_BUF_SIZE - 1);
  EXPECT_EQ(HttpBuf[HTTP_BUF_SIZE - 1], '\0');
  EXPECT_EQ(HttpBuf[HTTP_BUF_SIZE - 2], 'x');
}

TEST_F(InternetClientTest, SilenceInsideTheBodyEndsTheFetch) {
  Reply stall = PageReply(std::string(1000, 's'));
  stall.stall_after = 300;
  stall.stall_ms = 20000;
  StartServer().Route("/", stall);
  OpenSession();
  EXPECT_EQ(GetHttpFile("https://portal.test/"), 0);
  EXPECT_TRUE(PrtHas("Failed InternetReadFile() AllSize="));
  EXPECT_TRUE(PrtHas("Time Out? LastError=(28)"));
  EXPECT_EQ(HttpBuf[0], '\0');
}

TEST_F(InternetClientTest, NeedsAnOpenHandle) {
  StartServer().Route("/", PageReply("x"));
  EXPECT_EQ(GetHttpFile("https://portal.test/"), 0);
  EXPECT_TRUE(PrtHas("Fail InternetOpenUrl(), https://portal.test/"));
  EXPECT_EQ(server->connections(), 0);
}

TEST(InternetClient, OpenInternetRecordsTheStartClock) {
  long start = -1;
  const long before = ProcessClockMs();
  InternetSession* session = OpenInternet(&start);
  ASSERT_NE(session, nullptr);
  EXPECT_GE(start, before);
  EXPECT_EQ(OpenURL(session, "not a url"), nullptr);
  CloseInternet(session);
}

}  // namespace
