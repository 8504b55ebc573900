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

namespace {

// The open update: its copy of the file, whether it is open and whether it wrote anything.
FileReplace g_update;
bool g_update_open = false;
bool g_update_written = false;

// Checks the size of the file open as fd and, in mode 1, reads record n into FunBuf.
int ReadFunFrom(int fd, const std::string& path, int n, int mode) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_size != FUN_FILE_SIZE) {
    PRT("企業情報ファイル %s の大きさが違います(%lld)\n", path.c_str(), static_cast<long long>(st.st_size));
    return 0;
  }
  if (mode != 1) return 1;
  if (n < 0 || n >= MAX_KABU) {
    PRT("企業情報 銘柄番号が範囲外です(%d)\n", n);
    return 0;
  }
  FunRecord r;
  int err = 0;
  const size_t got = ReadFully(fd, &r, sizeof r, FUN_HEADER_SIZE + int64_t{sizeof r} * n, &err);
  if (got != sizeof r) {
    PRT("企業情報の読み込み失敗 %s(%d) %s\n", path.c_str(), n, FileErrorText(err ? err : EIO));
    return 0;
  }
  TerminateTexts(&r);
  FunBuf = r;
  FunBufNum = n;
  return 1;
}

// Removes the copies that killed updates left (up to 49 MB each): those whose process is
// gone. A live process's copy may be an update under way in another instance.
void RemoveDeadCopies(const std::string& path) {
  for (const std::string& temp : DeadRunTemporaries(path)) {
    if (::unlink(temp.c_str()) == 0) PRT("中断された更新の一時ファイル %s を削除しました\n", temp.c_str());
  }
}

}  // namespace

int ReadFun(int n, int mode) {
  if (g_update_open) {  // the update's copy holds the newest records
    if (mode == 1 && n == FunBufNum) return 1;
    return ReadFunFrom(g_update.fd, g_update.path, n, mode);
  }
  const std::string path = FunFileToRead();
  if (path.empty()) return 0;
  if (mode == 1 && n == FunBufNum) return 1;
  int err = 0;
  const int fd = OpenRetryFd(path.c_str(), O_RDONLY, &err);
  if (fd < 0) return 0;
  const int ok = ReadFunFrom(fd, path, n, mode);
  ::close(fd);
  return ok;
}

int WriteFun(int n, int mode) {
  const std::string path = DataFilePath(FUN_FILE);
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
  // Without an open update this write is an update of its own.
  const bool own = !g_update_open;
  if (own && !BeginFunUpdate()) return 0;
  bool ok;
  if (mode == 1) {
    unsigned char header[FUN_HEADER_SIZE];
    PutInt32(header, LastDate);
    PutInt32(header + 4, LastKabu);
    ok = FileReplaceWriteAt(&g_update, header, sizeof header, 0);
  } else {
    ok = FileReplaceWriteAt(&g_update, &FunBuf, sizeof FunBuf, FUN_HEADER_SIZE + int64_t{sizeof FunBuf} * n);
  }
  if (ok) {
    g_update_written = true;
    if (mode == 2) FunBufNum = n;
  } else {
    ResetFunBuffer();
  }
  if (own) ok = EndFunUpdate() && ok;
  return ok ? 1 : 0;
}

int BeginFunUpdate() {
  if (g_update_open) return 1;
  const std::string path = DataFilePath(FUN_FILE);
  RemoveDeadCopies(path);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || st.st_size != FUN_FILE_SIZE) {
    PRT("企業情報ファイル %s がないか大きさが違います\n", path.c_str());
    return 0;
  }
  g_update = FileReplace{};
  if (!FileReplaceBegin(&g_update, path)) {
    PRT("企業情報ファイル %s の写しを作れません: %s\n", path.c_str(), FileErrorText(g_update.error));
    return 0;
  }
  if (!FileReplaceCopyFrom(&g_update, path)) {
    PRT("企業情報ファイル %s の写しを作れません: %s\n", path.c_str(), FileErrorText(g_update.error));
    FileReplaceAbort(&g_update);
    return 0;
  }
  g_update_open = true;
  g_update_written = false;
  return 1;
}

int EndFunUpdate() {
  if (!g_update_open) return 1;
  g_update_open = false;
  if (g_update.error == 0 && !g_update_written) {
    FileReplaceAbort(&g_update);
    return 1;
  }
  if (g_update.error == 0 && FileReplaceCommit(&g_update)) return 1;
  const int err = g_update.error ? g_update.error : EIO;
  FileReplaceAbort(&g_update);
  PRT("企業情報の書き込み失敗 %s: %s\n", g_update.path.c_str(), FileErrorText(err));
  ResetFunBuffer();  // it may hold a record that the file does not
  return 0;
}

bool FunUpdateFailed() { return g_update_open && g_update.error != 0; }

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
