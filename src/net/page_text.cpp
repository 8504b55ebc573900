#include "net/page_text.h"

#include <cstring>
#include <string>

#include "platform/codepage.h"

char HttpBuf[HTTP_BUF_SIZE];
int HttpBufLen = 0;
int HttpStatusCode = 0;
char PageText[HTTP_BUF_SIZE];

size_t ReduceHtmlText(const char* in, size_t count, char* out, size_t out_size) {
  if (out_size == 0) return 0;
  const size_t limit = out_size - 1;
  size_t n = 0;
  auto put = [&](char c) {
    if (n < limit) out[n++] = c;
  };
  bool in_tag = false;
  for (size_t i = 0; i < count; ++i) {
    const char c = in[i];
    if (c == '<') {
      in_tag = true;
    } else if (!in_tag) {
      put(c);
    } else if (c == '>') {
      in_tag = false;
      const bool has_next = i + 1 < count;
      if (has_next && in[i + 1] != '<') put(' ');
      if (i > 4 && has_next && in[i + 1] != '\n' &&
          (std::memcmp(in + i - 4, "</td>", 5) == 0 || std::memcmp(in + i - 4, "</th>", 5) == 0 ||
           std::memcmp(in + i - 3, "<br>", 4) == 0))
        put('\n');
    }
  }
  out[n] = '\0';
  return n;
}

int ReduceHtml(int count) {
  if (count < 0) count = 0;
  if (count > HTTP_BUF_SIZE) count = HTTP_BUF_SIZE;
  return static_cast<int>(ReduceHtmlText(HttpBuf, static_cast<size_t>(count), PageText, sizeof PageText));
}

int Utf8_to_Ansi(char* buf, size_t capacity) {
  if (capacity == 0) return 0;
  const size_t len = strnlen(buf, capacity);
  if (len == 0) {
    buf[0] = '\0';
    return 0;
  }
  // The text never grows (three-byte characters become two bytes, four-byte ones "?"),
  // but the cut keeps a full buffer's NUL inside it all the same.
  const std::string converted = Utf8ToCp932(std::string_view(buf, len));
  Cp932CopyTruncated(buf, capacity, converted);
  return static_cast<int>(std::strlen(buf));
}

void FixUtf8Dash(char* text) {
  for (unsigned char* p = reinterpret_cast<unsigned char*>(text); p[0] != 0; ++p) {
    if (p[1] == 0 || p[2] == 0) break;
    if (p[0] == 0xE2 && p[1] == 0x88 && p[2] == 0x92) {  // U+2212 -> U+FF0D
      p[0] = 0xEF, p[1] = 0xBC, p[2] = 0x8D;
      p += 2;
    } else if (p[0] == 0xE3 && p[1] == 0x80 && p[2] == 0x9C) {  // U+301C -> U+FF5E
      p[0] = 0xEF, p[1] = 0xBD, p[2] = 0x9E;
      p += 2;
    }
  }
}
