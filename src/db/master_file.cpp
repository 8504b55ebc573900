#include "db/master_file.h"

#include <cerrno>
#include <cstdio>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "db/stock_code.h"
#include "platform/file_error.h"
#include "platform/file_io.h"
#include "platform/file_replace.h"
#include "platform/diagnostics.h"
#include "platform/working_folder.h"

int TagDate = 0;

namespace {

// The file image: the 20-byte header, then the entries (which are 8-aligned in memory, so
// the image is a byte buffer and the parts are copied out of it).
struct TagImage {
  int32_t count;
  int32_t date;
  Fundamental entries[MAX_KABU];
};

int32_t Int32At(const unsigned char* p) {
  int32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <size_t N>
void Terminate(char (&field)[N]) {
  field[N - 1] = '\0';
}

int Refuse(const char* reason) {
  PRT("vurn.tag %s\n", reason);
  PRT("ファンダメンタルの読み込み失敗\n");
  return 0;
}

}  // namespace

int LoadTag() {
  int fd = ::open(DataFilePath(TAG_FILE).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    PRT("ファンダメンタルの読み込み失敗\n");
    return 0;
  }
  std::vector<unsigned char> bytes(TAG_FILE_SIZE);
  struct stat st {};
  size_t got = 0;
  int err = 0;
  if (::fstat(fd, &st) != 0) err = errno;
  else got = ReadFully(fd, bytes.data(), bytes.size(), 0, &err);
  ::close(fd);
  char reason[200];
  if (err) {
    std::snprintf(reason, sizeof reason, "を読めません: %s", FileErrorText(err));
    return Refuse(reason);
  }
  if (st.st_size != TAG_FILE_SIZE || got != bytes.size()) {
    std::snprintf(reason, sizeof reason, "の大きさ(%lld バイト)が違います（%lld バイトのはず）",
                  static_cast<long long>(st.st_size), static_cast<long long>(TAG_FILE_SIZE));
    return Refuse(reason);
  }
  auto image = std::make_unique<TagImage>();
  image->count = Int32At(&bytes[TAG_COUNT_OFFSET]);
  image->date = Int32At(&bytes[TAG_DATE_OFFSET]);
  std::memcpy(image->entries, &bytes[TAG_HEADER_SIZE], sizeof image->entries);
  if (image->count < 0 || image->count > MAX_KABU) {
    std::snprintf(reason, sizeof reason, "の銘柄数(LastKabu=%d)が範囲外です", image->count);
    return Refuse(reason);
  }
  for (int i = 0; i < image->count; ++i) {
    const int32_t code = image->entries[i].code;
    if (code < 0 || code > CODE_MAX) {
      std::snprintf(reason, sizeof reason, "の銘柄コードが範囲外です（stock_num=%d, code=%d）", i, code);
      return Refuse(reason);
    }
  }
  for (Fundamental& f : image->entries) {
    Terminate(f.name);
    Terminate(f.industry);
    Terminate(f.company);
  }
  std::memcpy(fundamental, image->entries, sizeof fundamental);
  LastKabu = image->count;
  PRT("Load tag...作成日=%d, LastKabu=%d\n", image->date, LastKabu);
  return image->date;
}

int WriteTag(const std::string& path, int count, int32_t date, const Fundamental* entries) {
  if (count < 0 || count > MAX_KABU) return EINVAL;
  std::vector<unsigned char> bytes(TAG_FILE_SIZE, 0);
  std::memcpy(&bytes[TAG_COUNT_OFFSET], &count, 4);
  std::memcpy(&bytes[TAG_DATE_OFFSET], &date, 4);
  if (count > 0) std::memcpy(&bytes[TAG_HEADER_SIZE], entries, sizeof(Fundamental) * static_cast<size_t>(count));
  FileReplace r;
  if (!FileReplaceBegin(&r, path)) return r.error;
  FileReplaceWrite(&r, bytes.data(), bytes.size());
  if (!FileReplaceCommit(&r)) return r.error;
  return 0;
}
