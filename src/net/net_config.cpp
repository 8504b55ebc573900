#include "net/net_config.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

NetConfig& CurrentNetConfig() {
  static NetConfig config;
  return config;
}

namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

bool ParseEntry(const std::string& entry, ConnectTo* out) {
  size_t eq = entry.find('=');
  size_t colon = entry.rfind(':');
  if (eq == std::string::npos || colon == std::string::npos || colon < eq) return false;
  out->host = Trim(entry.substr(0, eq));
  out->address = Trim(entry.substr(eq + 1, colon - eq - 1));
  std::string port = Trim(entry.substr(colon + 1));
  if (out->host.empty() || out->address.empty() || port.empty() || port.size() > 5) return false;
  for (char c : port)
    if (c < '0' || c > '9') return false;
  out->port = std::atoi(port.c_str());
  return out->port >= 1 && out->port <= 65535;
}

}  // namespace

bool ParseConnectTo(const std::string& text, std::vector<ConnectTo>* out) {
  std::vector<ConnectTo> list;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of(",;", start);
    if (end == std::string::npos) end = text.size();
    std::string entry = Trim(text.substr(start, end - start));
    if (!entry.empty()) {
      ConnectTo c;
      if (!ParseEntry(entry, &c)) return false;
      list.push_back(c);
    }
    start = end + 1;
  }
  *out = std::move(list);
  return true;
}

const ConnectTo* FindConnectTo(const NetConfig& config, const std::string& host) {
  for (const ConnectTo& c : config.connect_to)
    if (strcasecmp(c.host.c_str(), host.c_str()) == 0) return &c;
  return nullptr;
}

std::string WebUrl(const std::string& base, const std::string& path) {
  std::string b = base;
  while (!b.empty() && b.back() == '/') b.pop_back();
  if (path.empty() || path[0] != '/') b += '/';
  return b + path;
}

bool IsOwnHttpsUrl(const NetConfig& config, const char* url) {
  return config.proxy_use == 0 && config.wininet == 0 && std::strncmp(url, "https:", 6) == 0;
}
