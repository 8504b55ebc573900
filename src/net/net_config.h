// How the program reaches the web: proxy, fetch path, time-outs, trust, host mappings and
// the base URL of each web source. The settings file fills CurrentNetConfig() at start-up;
// until then it holds the defaults below.
#pragma once

#include <string>
#include <vector>

// One "connect-to" entry: requests for `host` go to address:port instead of the address
// the host name resolves to. The URL's host name still goes into the request, the server
// name indication and the certificate check.
struct ConnectTo {
  std::string host;
  std::string address;
  int port = 443;
};

// The web sources' base URLs until the settings name others.
constexpr const char* PORTAL_URL_DEFAULT = "https://finance.yahoo.co.jp";
constexpr const char* CHART_URL_DEFAULT = "https://query1.finance.yahoo.com";
constexpr const char* STOCK_INFO_URL_DEFAULT = "https://minkabu.jp";
constexpr const char* COMPANY_URL_DEFAULT = "https://www.nikkei.com";

struct NetConfig {
  // Section "Proxy": Use, Url, Port.
  int proxy_use = 0;
  std::string proxy_host;
  int proxy_port = 8080;
  // Section "Https": WinInet = 1 sends secure pages through the internet library too.
  int wininet = 0;
  // Connect time-out and the longest silence while waiting for data, in milliseconds.
  int timeout_ms = 10000;
  // The longest a whole request may take, connection to last byte, in milliseconds.
  int deadline_ms = 60000;
  // PEM file of the certificate authorities to trust; empty: the system trust store.
  std::string ca_file;
  // Host mappings for direct connections (not used through a proxy, which resolves names
  // itself).
  std::vector<ConnectTo> connect_to;
  // Base URLs of the web sources (scheme and host, no trailing "/").
  std::string portal_url = PORTAL_URL_DEFAULT;          // quote, history, margin pages
  std::string chart_url = CHART_URL_DEFAULT;            // chart JSON interface
  std::string stock_info_url = STOCK_INFO_URL_DEFAULT;  // daily bars, shareholder benefits
  std::string company_url = COMPANY_URL_DEFAULT;        // company overview and results
};

// The configuration in force for the whole program.
NetConfig& CurrentNetConfig();

// Reads a connect-to list "host=address:port" with entries separated by "," or ";"
// (blanks around entries are ignored). Returns false, leaving *out unchanged, when an
// entry is malformed.
bool ParseConnectTo(const std::string& text, std::vector<ConnectTo>* out);
// The mapping for host, or nullptr.
const ConnectTo* FindConnectTo(const NetConfig& config, const std::string& host);

// base + path, with exactly one "/" between them.
std::string WebUrl(const std::string& base, const std::string& path);

// The fetch path rule: the program's own HTTPS client serves a URL exactly when no proxy
// is in use, "WinInet" is 0 and the URL begins with "https:"; every other URL goes to the
// internet library.
bool IsOwnHttpsUrl(const NetConfig& config, const char* url);
