#include "net/page_fetch.h"

#include <cstring>

#include "net/https_client.h"
#include "net/internet_client.h"
#include "net/net_config.h"
#include "net/page_text.h"
#include "platform/diagnostics.h"

int FetchHttpBody(const char* url, InternetSession* session) {
  HttpStatus = 0;
  if (IsOwnHttpsUrl(CurrentNetConfig(), url)) return HttpsGet(url) > 0 ? 1 : 0;
  HttpBuf[0] = '\0';
  HttpBufLen = 0;
  InternetRequest* request = OpenURL(session, url);
  if (!request) {
    PRT("Fail InternetOpenUrl(), %.255s\n", url);
    return 0;
  }
  const InternetReadResult r = ReadInternetResponse(request, HttpBuf, HTTP_BUF_SIZE);
  HttpStatus = r.http_status;
  CloseURL(request);
  switch (r.status) {
    case INTERNET_OPEN_FAILED:
      PRT("Fail InternetOpenUrl(), %.255s\n", url);
      if (r.reason[0]) {
        PRT("ResponseInfo : nLen=%d\n", static_cast<int>(std::strlen(r.reason)));
        if (r.cert_failed) PRT("certificate verify failed: %s\n", r.reason);
        else PRT("%s\n", r.reason);
      }
      return 0;
    case INTERNET_READ_FAILED:
      PRT("Failed InternetReadFile() AllSize=%d,ReadSize=%d\n", static_cast<int>(r.received),
          static_cast<int>(r.last_read));
      PRT("Time Out? LastError=(%d)\n", r.last_error);
      if (r.reason[0]) PRT("%s\n", r.reason);
      HttpBuf[0] = '\0';
      return 0;
    case INTERNET_READ_FULL:
      PRT("HttpBufのサイズをOver\n");
      break;
    case INTERNET_READ_OK:
      break;
  }
  HttpBufLen = static_cast<int>(r.received);
  return 1;
}

int GetHttpFile(const char* url) {
  if (!FetchHttpBody(url, hInternet)) return 0;
  ReduceHtml(HttpBufLen);
  return 1;
}
