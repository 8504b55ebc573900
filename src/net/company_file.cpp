#include "net/company_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "db/database_file.h"
#include "db/open_retry.h"
#include "platform/codepage.h"
#include "platform/diagnostics.h"
#include "platform/file_error.h"
#include "platform/file_io.h"
#include "platform/file_replace.h"
#include "platform/working_folder.h"

FunRecord FunBuf;
int FunBufNum = -1;

namespace {

constexpr const char kNoValue[] = "--";
constexpr const char kMillionYen[] = "百万円";

// The file to read: the regular file, or the sample in the sample mode when the regular
// one does not exist. Empty when neither is there.
std::string FunFileToRead() {
  const std::string regular = DataFilePath(FUN_FILE);
  struct stat st {};
  if (::stat(regular.c_str(), &st) == 0) return regular;
  if (!fSampleDB) return {};
  const std::string sample = DataFilePath(FUN_SAMPLE_FILE);
  if (::stat(sample.c_str(), &st) != 0) {
    PRT("サンプル(%s)の読み込み失敗\n", FUN_SAMPLE_FILE);
    return {};
  }
  return sample;
}

// Texts from a file end inside their field, whatever the file holds.
void TerminateTexts(FunRecord* r) {
  for (auto& t : r->text) t[FUN_TEXT_SIZE - 1] = '\0';
  for (auto* table : {&r->table, &r->table2})
    for (auto& row : *table)
      for (auto& cell : row) cell[FUN_CELL_SIZE - 1] = '\0';
}

void PutInt32(unsigned char* p, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(u >> (8 * i));
}

}  // namespace

void ResetFunBuffer() { FunBufNum = -1; }

void ClearFunRecord(FunRecord* r) {
  for (auto& t : r->text) Cp932CopyTruncated(t, sizeof t, kNoValue);
  for (auto* table : {&r->table, &r->table2})
    for (auto& row : *table)
      for (auto& cell : row) Cp932CopyTruncated(cell, FUN_CELL_SIZE, kNoValue);
}

void SetFunCell(char* cell, const char* value) {
  std::string v = value;
  for (size_t at; (at = Cp932Find(v, kMillionYen)) != std::string::npos;) v.erase(at, sizeof kMillionYen - 1);
  Cp932CopyTruncated(cell, FUN_CELL_SIZE, v);
}

int ReadFun(int n, int mode) {
  const std::string path = FunFileToRead();
  if (path.empty()) return 0;
  if (mode == 1 && n == FunBufNum) return 1;
  int err = 0;
  const int fd = OpenRetryFd(path.c_str(), O_RDONLY, &err);
  if (fd < 0) return 0;
  struct stat st {};
  int ok = 0;
  if (::fstat(fd, &st) != 0 || st.st_size != FUN_FILE_SIZE) {
    PRT("企業情報ファイル %s の大きさが違います(%lld)\n", path.c_str(), static_cast<long long>(st.st_size));
  } else if (mode != 1) {
    ok = 1;
  } else if (n < 0 || n >= MAX_KABU) {
    PRT("企業情報 銘柄番号が範囲外です(%d)\n", n);
  } else {
    FunRecord r;
    const size_t got = ReadFully(fd, &r, sizeof r, FUN_HEADER_SIZE + int64_t{sizeof r} * n, &err);
    if (got != sizeof r) {
      PRT("企業情報の読み込み失敗 %s(%d) %s\n", path.c_str(), n, FileErrorText(err ? err : EIO));
    } else {
      TerminateTexts(&r);
      FunBuf = r;
      FunBufNum = n;
      ok = 1;
    }
  }
  ::close(fd);
  return ok;
}

int WriteFun(int n, int mode) {
  const std::string path = DataFilePath(FUN_FILE);
  unsigned char header[FUN_HEADER_SIZE];
  PutInt32(header, LastDate);
  PutInt32(header + 4, LastKabu);
  if (mode == 0) {
    const int err = WriteFunFileImage(path.c_str(), nullptr, 0, LastDate, LastKabu);
    if (err) PRT("企業情報ファイル %s を作れません: %s\n", path.c_str(), FileErrorText(err));
    ResetFunBuffer();
    return err ? 0 : 1;
  }
  if (mode == 2 && (n < 0 || n >= MAX_KABU)) {
    PRT("企業情報 銘柄番号が範囲外です(%d)\n", n);
    return 0;
  }
  int err = 0;
  const int fd = OpenRetryFd(path.c_str(), O_RDWR, &err);
  if (fd < 0) return 0;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_size != FUN_FILE_SIZE) {
    PRT("企業情報ファイル %s の大きさが違います(%lld)\n", path.c_str(), static_cast<long long>(st.st_size));
    ::close(fd);
    return 0;
  }
  if (mode == 1) err = WriteFully(fd, header, sizeof header, 0);
  else err = WriteFully(fd, &FunBuf, sizeof FunBuf, FUN_HEADER_SIZE + int64_t{sizeof FunBuf} * n);
  ::close(fd);
  if (err) {
    PRT("企業情報の書き込み失敗 %s: %s\n", path.c_str(), FileErrorText(err));
    ResetFunBuffer();
    return 0;
  }
  if (mode == 2) FunBufNum = n;
  return 1;
}

int WriteFunFileImage(const char* path, const FunRecord* records, int count, int32_t last_date,
                      int32_t last_kabu) {
  unsigned char header[FUN_HEADER_SIZE];
  PutInt32(header, last_date);
  PutInt32(header + 4, last_kabu);
  FileReplace r;
  if (!FileReplaceBegin(&r, path)) return r.error;
  bool ok = FileReplaceWrite(&r, header, sizeof header);
  for (int i = 0; ok && i < count && i < MAX_KABU; ++i) ok = FileReplaceWrite(&r, &records[i], sizeof records[i]);
  ok = ok && FileReplaceSetSize(&r, FUN_FILE_SIZE);
  if (!ok) {
    const int err = r.error ? r.error : EIO;
    FileReplaceAbort(&r);
    return err;
  }
  return FileReplaceCommit(&r) ? 0 : (r.error ? r.error : EIO);
}
