// Fuzz target for the own HTTPS client's reading of a response: any bytes as what the
// server sent (HttpBuf) give a status (0 without a status line) and, with the header
// removed, a body no longer than what came, terminated in the buffer.
#include <cstring>

#include "fuzz_main.h"
#include "net/https_client.h"
#include "net/page_text.h"

void FuzzOne(const unsigned char* data, size_t size) {
  if (size > static_cast<size_t>(HTTP_BUF_SIZE) - 1) size = HTTP_BUF_SIZE - 1;
  std::memcpy(HttpBuf, data, size);
  HttpBuf[size] = '\0';
  const int len = static_cast<int>(size);
  const int status = StatusOfResponse(len);
  Require(status >= 0 && status <= 999, "a status of three digits, or none");
  const int body = SkipHttpHeader(len);
  Require(body >= 0 && body <= len, "a body no longer than the response");
  if (body < len) Require(HttpBuf[body] == '\0', "the body terminated");
}
