// Network settings: the proxy (section "Proxy") and the choice of the platform's internet
// client for secure pages (section "Https", key "WinInet"). The transport turns them into
// its configuration. Their defaults and ranges are rows of the settings table
// (shell/settings_table.cpp), which defines them.
#pragma once

// Connect through the proxy ("Use"), its host ("Url", CP932 text without line breaks) and
// port ("Port", 1 to 65535).
extern int ProxyUse;
extern char ProxyUrl[256];
extern int ProxyPort;
// Fetch https pages through the platform's internet client instead of the own TLS client.
extern int WinInet;
// Section "Https", key "RequestSeconds": the whole-request deadline of a page fetch.
extern int HttpsRequestSeconds;

// The host shown before any "Url" was saved (a placeholder on a private network).
constexpr const char* PROXY_URL_DEFAULT = "192.168.0.1";
constexpr int PROXY_PORT_DEFAULT = 8080;

// Section "WebSource": the base URL of each web source ("Portal", "ChartApi", "StockInfo",
// "Company"); section "Https": "CAFile" (certificate authorities to trust, empty for the
// system store) and "ConnectTo" ("host=address:port" entries separated by "," or ";").
extern char WebPortal[256];
extern char WebChartApi[256];
extern char WebStockInfo[256];
extern char WebCompany[256];
extern char HttpsCAFile[256];
extern char HttpsConnectTo[256];

// Hands the variables to the transport (CurrentNetConfig). A base URL that is not http(s)
// or a malformed connect-to list is reported with a diagnostic line naming its key and
// left at its default.
void ApplyNetSettings();
