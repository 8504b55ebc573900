#include "net/net_settings.h"

#include <cstring>

int ProxyUse;
char ProxyUrl[256];
int ProxyPort;
int WinInet;

namespace {
[[maybe_unused]] const bool kDefaultsSet = (ResetNetSettings(), true);
}

void ResetNetSettings() {
  ProxyUse = 0;
  std::strcpy(ProxyUrl, PROXY_URL_DEFAULT);
  ProxyPort = PROXY_PORT_DEFAULT;
  WinInet = 0;
}
