#include "db/master_file.h"

#include <cerrno>
#include <cstdarg>
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

// The file is read as bytes: its entries start at offset 20, while Fundamental is 8-aligned
// in memory, so the parts are copied out.
int32_t Int32At(const unsigned char* p) {
  int32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <size_t N>
void Terminate(char (&field)[N]) {
  field[N - 1] = '\0';
}

bool Refuse(std::string* reason, const std::string& name, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
bool Refuse(std::string* reason, const std::string& name, const char* format, ...) {
  char text[300];
  va_list ap;
  va_start(ap, format);
  std::vsnprintf(text, sizeof text, format, ap);
  va_end(ap);
  *reason = name + " " + text;
  return false;
}

}  // namespace

bool ReadTagFile(const std::string& path, const std::string& shown_name, TagContents* out, std::string* reason) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Refuse(reason, shown_name, "を読めません: %s", FileErrorText(errno));
  std::vector<unsigned char> bytes(TAG_FILE_SIZE);
  struct stat st {};
  size_t got = 0;
  int err = 0;
  if (::fstat(fd, &st) != 0) err = errno;
  else got = ReadFully(fd, bytes.data(), bytes.size(), 0, &err);
  ::close(fd);
  if (err) return Refuse(reason, shown_name, "を読めません: %s", FileErrorText(err));
  if (st.st_size != TAG_FILE_SIZE || got != bytes.size())
    return Refuse(reason, shown_name, "の大きさ(%lld バイト)が違います（%lld バイトのはず）",
                  static_cast<long long>(st.st_size), static_cast<long long>(TAG_FILE_SIZE));
  const int32_t count = Int32At(&bytes[TAG_COUNT_OFFSET]);
  if (count < 0 || count > MAX_KABU)
    return Refuse(reason, shown_name, "の銘柄数(LastKabu=%d)が範囲外です（0 から %d）", count, MAX_KABU);
  auto entries = std::make_unique<Fundamental[]>(MAX_KABU);
  std::memcpy(entries.get(), &bytes[TAG_HEADER_SIZE], sizeof(Fundamental) * MAX_KABU);
  for (int i = 0; i < count; ++i) {
    const int32_t code = entries[i].code;
    if (code < 0 || code > CODE_MAX)
      return Refuse(reason, shown_name, "の銘柄コードが範囲外です（stock_num=%d, code=%d）", i, code);
  }
  out->count = count;
  out->date = Int32At(&bytes[TAG_DATE_OFFSET]);
  out->entries = std::move(entries);
  reason->clear();
  return true;
}

int LoadTag() {
  TagContents tag;
  std::string reason;
  if (!ReadTagFile(DataFilePath(TAG_FILE), TAG_FILE, &tag, &reason)) {
    // A missing, short or damaged file leaves the table as it was.
    PRT("%s\n", reason.c_str());
    PRT("ファンダメンタルの読み込み失敗\n");
    return 0;
  }
  for (int i = 0; i < MAX_KABU; ++i) {
    Fundamental& f = tag.entries[i];
    Terminate(f.name);
    Terminate(f.industry);
    Terminate(f.company);
  }
  std::memcpy(fundamental, tag.entries.get(), sizeof fundamental);
  LastKabu = tag.count;
  PRT("Load tag...作成日=%d, LastKabu=%d\n", tag.date, LastKabu);
  return tag.date;
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
