#include "platform/codepage.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace {

// Converts with iconv, replacing what cannot be converted by "?" and going on.
// `skip` tells how many input bytes one unconvertible character occupies.
template <typename SkipFn>
std::string Convert(const char* to, const char* from, std::string_view in, SkipFn skip) {
  std::string out;
  if (in.empty()) return out;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  out.resize(in.size() * 2 + 16);
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  size_t done = 0;
  while (src_left > 0) {
    char* dst = out.data() + done;
    size_t dst_left = out.size() - done;
    size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
    done = out.size() - dst_left;
    if (r != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // EILSEQ: unmappable or invalid, one character is replaced. EINVAL: the input ends
    // inside a sequence, which is replaced as a whole.
    size_t n = errno == EINVAL ? src_left : skip(reinterpret_cast<const unsigned char*>(src), src_left);
    src += n;
    src_left -= n;
    if (done + 1 > out.size()) out.resize(out.size() * 2);
    out[done++] = '?';
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  out.resize(done);
  iconv_close(cd);
  return out;
}

// Length of the UTF-8 sequence at p, or 1 when p does not start a valid one.
size_t Utf8SequenceLength(const unsigned char* p, size_t left) {
  size_t n = p[0] < 0x80 ? 1 : (p[0] >> 5) == 0x6 ? 2 : (p[0] >> 4) == 0xE ? 3 : (p[0] >> 3) == 0x1E ? 4 : 0;
  if (n == 0 || n > left) return 1;
  for (size_t i = 1; i < n; ++i)
    if ((p[i] & 0xC0) != 0x80) return 1;
  return n;
}

size_t Cp932SequenceLength(const unsigned char* p, size_t left) {
  return (IsCp932LeadByte(p[0]) && left >= 2) ? 2 : 1;
}

}  // namespace

std::string Utf8ToCp932(std::string_view utf8) { return Convert("CP932", "UTF-8", utf8, Utf8SequenceLength); }

std::string Cp932ToUtf8(std::string_view cp932) { return Convert("UTF-8", "CP932", cp932, Cp932SequenceLength); }

size_t Cp932PrefixLength(std::string_view s, size_t max_bytes) {
  size_t i = 0;
  while (i < s.size()) {
    // A lead byte whose second byte is missing is left out with it.
    size_t n = IsCp932LeadByte(static_cast<unsigned char>(s[i])) ? 2 : 1;
    if (i + n > max_bytes || i + n > s.size()) break;
    i += n;
  }
  return i;
}

size_t Cp932Find(std::string_view s, std::string_view needle) {
  for (size_t i = 0; i + needle.size() <= s.size();) {
    if (s.compare(i, needle.size(), needle) == 0) return i;
    i += IsCp932LeadByte(static_cast<unsigned char>(s[i])) ? 2 : 1;
  }
  return std::string_view::npos;
}

void Cp932CopyTruncated(char* dst, size_t size, std::string_view src) {
  if (size == 0) return;
  size_t n = Cp932PrefixLength(src, size - 1);
  std::memcpy(dst, src.data(), n);
  dst[n] = '\0';
}
