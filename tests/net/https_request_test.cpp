// The own client's URL checks and request text, the fetch path rule and the network
// configuration: no network here.
#include <gtest/gtest.h>

#include <string>

#include "net/https_client.h"
#include "net/net_config.h"
#include "support/loopback_net.h"

namespace {

struct Split {
  bool ok;
  std::string host, path, prt;
};

Split SplitUrl(const std::string& url) {
  ClearPrtHistory();
  char host[HTTPS_URL_MAX + 1] = "", path[HTTPS_URL_MAX + 1] = "";
  Split s;
  s.ok = SplitHttpsUrl(url.c_str(), host, sizeof host, path, sizeof path);
  s.host = host;
  s.path = path;
  s.prt = PrtHistory();
  return s;
}

TEST(HttpsUrl, ChecksAndSplits) {
  struct Case {
    std::string url;
    bool ok;
    const char* host_or_message;
    const char* path;
  } cases[] = {
      {"https://finance.yahoo.co.jp/quote/7203.T", true, "finance.yahoo.co.jp", "/quote/7203.T"},
      {"https://chart.test/v8/finance/chart/7203.T?range=5d&interval=1d&events=split%7Cdiv", true, "chart.test",
       "/v8/finance/chart/7203.T?range=5d&interval=1d&events=split%7Cdiv"},
      {"https://portal.test:8443/x", true, "portal.test:8443", "/x"},
      {"https://portal.test/", true, "portal.test", "/"},
      {"https://portal.test", false, "no /", ""},
      {"https://portal.test?q=1", false, "no /", ""},
      {"http://portal.test/x", false, "not https", ""},
      {"HTTPS://portal.test/x", false, "not https", ""},
      {"https:///x", false, "no host", ""},
      {"https://portal.test/a b", false, "bad character in url", ""},
      {"https://portal.test/a\r\nX-Evil: 1", false, "bad character in url", ""},
  };
  for (const Case& c : cases) {
    const Split s = SplitUrl(c.url);
    EXPECT_EQ(s.ok, c.ok) << c.url;
    if (c.ok) {
      EXPECT_EQ(s.host, c.host_or_message) << c.url;
      EXPECT_EQ(s.path, c.path) << c.url;
    } else {
      EXPECT_EQ(s.prt, std::string(c.host_or_message) + "\n") << c.url;
    }
  }
}

TEST(HttpsUrl, LengthLimit) {
  const std::string head = "https://portal.test/";
  const std::string url1278 = head + std::string(1278 - head.size(), 'a');
  const std::string url1279 = url1278 + "a";
  ASSERT_EQ(url1278.size(), 1278u);
  EXPECT_TRUE(SplitUrl(url1278).ok);
  const Split s = SplitUrl(url1279);
  EXPECT_FALSE(s.ok);
  EXPECT_EQ(s.prt, "url is too long\n");
}

TEST(HttpsRequest, ExactBytes) {
  char out[512];
  const int n = BuildHttpsRequest("portal.test", "/quote/7203.T?a=1", out, sizeof out);
  const std::string expected =
      "GET /quote/7203.T?a=1 HTTP/1.0\r\n"
      "Host: portal.test\r\n"
      "User-Agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64; rv:95.0) Gecko/20100101 Firefox/95.0\r\n"
      "\r\n";
  EXPECT_EQ(std::string(out, n), expected);
  EXPECT_EQ(BuildHttpsRequest("portal.test", "/", out, 20), 0);  // does not fit
}

TEST(FetchPath, OwnClientOnlyForHttpsWithoutProxyOrWinInet) {
  struct Case {
    int proxy_use, wininet;
    const char* url;
    bool own;
  } cases[] = {
      {0, 0, "https://portal.test/x", true},    {1, 0, "https://portal.test/x", false},
      {0, 1, "https://portal.test/x", false},   {1, 1, "https://portal.test/x", false},
      {0, 0, "http://portal.test/x", false},    {0, 0, "HTTPS://portal.test/x", false},
      {0, 0, "https:portal.test", true},  // the rule looks at six characters only
  };
  for (const Case& c : cases) {
    NetConfig config;
    config.proxy_use = c.proxy_use;
    config.wininet = c.wininet;
    EXPECT_EQ(IsOwnHttpsUrl(config, c.url), c.own) << c.proxy_use << c.wininet << c.url;
  }
}

TEST(NetConfig, Defaults) {
  const NetConfig config;
  EXPECT_EQ(config.timeout_ms, 10000);  // connect, handshake and idle waits
  EXPECT_EQ(config.proxy_use, 0);
  EXPECT_EQ(config.proxy_port, 8080);
  EXPECT_EQ(config.wininet, 0);
  EXPECT_TRUE(config.ca_file.empty());
  EXPECT_TRUE(config.connect_to.empty());
  for (const std::string* url : {&config.portal_url, &config.chart_url, &config.stock_info_url, &config.company_url})
    EXPECT_EQ(url->rfind("https://", 0), 0u) << *url;
  EXPECT_EQ(CurrentNetConfig().timeout_ms, 10000);
}

TEST(NetConfig, ConnectToList) {
  std::vector<ConnectTo> list;
  ASSERT_TRUE(ParseConnectTo(" portal.test=127.0.0.1:8443 ; chart.test=::1:443,", &list));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].host, "portal.test");
  EXPECT_EQ(list[0].address, "127.0.0.1");
  EXPECT_EQ(list[0].port, 8443);
  EXPECT_EQ(list[1].address, "::1");
  EXPECT_TRUE(ParseConnectTo("", &list));
  EXPECT_TRUE(list.empty());
  list.push_back({"keep", "1.2.3.4", 1});
  for (const char* bad : {"portal.test", "portal.test=1.2.3.4", "=1.2.3.4:5", "a=b:0", "a=b:70000", "a=b:x"})
    EXPECT_FALSE(ParseConnectTo(bad, &list)) << bad;
  EXPECT_EQ(list.size(), 1u);  // left unchanged

  NetConfig config;
  config.connect_to = {{"portal.test", "127.0.0.1", 1}};
  EXPECT_NE(FindConnectTo(config, "PORTAL.test"), nullptr);
  EXPECT_EQ(FindConnectTo(config, "chart.test"), nullptr);
}

TEST(NetConfig, WebUrl) {
  EXPECT_EQ(WebUrl("https://portal.test", "/quote/7203.T"), "https://portal.test/quote/7203.T");
  EXPECT_EQ(WebUrl("https://portal.test/", "/quote/7203.T"), "https://portal.test/quote/7203.T");
  EXPECT_EQ(WebUrl("https://portal.test", "quote"), "https://portal.test/quote");
}

}  // namespace
