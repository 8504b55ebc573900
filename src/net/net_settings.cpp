#include "net/net_settings.h"

#include <cstring>
#include <string>

#include "net/net_config.h"
#include "platform/diagnostics.h"
#include "platform/web_url.h"

namespace {

// A base URL: "http(s)://host[...]" without blanks; a trailing "/" is dropped.
void ApplyBaseUrl(const char* key, char* var, std::string& target, const std::string& fallback) {
  std::string url = var;
  while (!url.empty() && url.back() == '/') url.pop_back();
  if (!IsWellFormedWebUrl(url)) {
    PRT("設定値が不正です %s=%s\n", key, var);
    url = fallback;
    std::strcpy(var, fallback.c_str());
  }
  target = url;
}

}  // namespace

void ApplyNetSettings() {
  NetConfig& c = CurrentNetConfig();
  const NetConfig defaults;
  c.proxy_use = ProxyUse;
  c.proxy_host = ProxyUrl;
  c.proxy_port = ProxyPort;
  c.wininet = WinInet;
  c.deadline_ms = HttpsRequestSeconds >= 5 ? HttpsRequestSeconds * 1000 : defaults.deadline_ms;
  ApplyBaseUrl("Portal", WebPortal, c.portal_url, defaults.portal_url);
  ApplyBaseUrl("ChartApi", WebChartApi, c.chart_url, defaults.chart_url);
  ApplyBaseUrl("StockInfo", WebStockInfo, c.stock_info_url, defaults.stock_info_url);
  ApplyBaseUrl("Company", WebCompany, c.company_url, defaults.company_url);
  c.ca_file = HttpsCAFile;
  std::vector<ConnectTo> mappings;
  if (ParseConnectTo(HttpsConnectTo, &mappings)) {
    c.connect_to = mappings;
  } else {
    PRT("設定値が不正です ConnectTo=%s\n", HttpsConnectTo);
    HttpsConnectTo[0] = '\0';
    c.connect_to.clear();
  }
}
