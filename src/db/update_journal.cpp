#include "db/update_journal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "db/database_file.h"
#include "db/open_retry.h"
#include "platform/diagnostics.h"
#include "platform/file_error.h"
#include "platform/file_io.h"
#include "platform/file_replace.h"
#include "platform/working_folder.h"

namespace {

constexpr char MAGIC[8] = {'V', 'U', 'R', 'N', 'U', 'N', 'D', 'O'};
constexpr size_t ENTRY_HEAD = sizeof(int64_t) + sizeof(uint32_t);
// Equal bytes shorter than this between two changes are carried in one entry.
constexpr size_t JOIN_GAP = 16;

void Put(std::vector<char>* out, int64_t offset, const char* bytes, size_t size) {
  const uint32_t n = static_cast<uint32_t>(size);
  const size_t at = out->size();
  out->resize(at + ENTRY_HEAD + size);
  std::memcpy(out->data() + at, &offset, sizeof offset);
  std::memcpy(out->data() + at + sizeof offset, &n, sizeof n);
  std::memcpy(out->data() + at + ENTRY_HEAD, bytes, size);
}

// Writes every entry of a list into the open database; 0 or errno.
int Apply(int fd, const char* list, size_t size) {
  for (size_t at = 0; at < size;) {
    int64_t offset;
    uint32_t n;
    std::memcpy(&offset, list + at, sizeof offset);
    std::memcpy(&n, list + at + sizeof offset, sizeof n);
    if (int e = WriteFully(fd, list + at + ENTRY_HEAD, n, offset)) return e;
    at += ENTRY_HEAD + n;
  }
  return 0;
}

// True when the entries lie inside a file of file_size bytes and fill the list exactly.
bool Sound(const char* list, size_t size, int64_t file_size) {
  for (size_t at = 0; at < size;) {
    if (size - at < ENTRY_HEAD) return false;
    int64_t offset;
    uint32_t n;
    std::memcpy(&offset, list + at, sizeof offset);
    std::memcpy(&n, list + at + sizeof offset, sizeof n);
    at += ENTRY_HEAD;
    if (offset < 0 || n > size - at || offset + static_cast<int64_t>(n) > file_size) return false;
    at += n;
  }
  return true;
}

// Writes a list into the database and syncs it; 0 or errno.
int WriteList(const char* list, size_t size) {
  int err = 0;
  const std::string path = DataFilePath(DB_FILE);
  const int fd = OpenRetryFd(path.c_str(), O_RDWR, &err);
  if (fd < 0) return err;
  err = Apply(fd, list, size);
  if (!err && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && !err) err = errno;
  return err;
}

void RemoveUndoFile(const std::string& path) {
  ::unlink(path.c_str());
  SyncFolderOf(path.c_str());
}

}  // namespace

void JournalChange(UpdateJournal* j, int64_t offset, const void* before, const void* after, size_t size) {
  const char* a = static_cast<const char*>(before);
  const char* b = static_cast<const char*>(after);
  size_t i = 0;
  while (i < size) {
    while (i + 64 <= size && std::memcmp(a + i, b + i, 64) == 0) i += 64;
    while (i < size && a[i] == b[i]) ++i;
    if (i >= size) break;
    size_t end = i + 1;
    for (size_t k = end, same = 0; k < size && same < JOIN_GAP; ++k) {
      if (a[k] == b[k]) {
        ++same;
      } else {
        same = 0;
        end = k + 1;
      }
    }
    Put(&j->undo, offset + static_cast<int64_t>(i), a + i, end - i);
    Put(&j->redo, offset + static_cast<int64_t>(i), b + i, end - i);
    ++j->entries;
    i = end;
  }
}

int JournalCommit(const UpdateJournal& j) {
  if (j.entries == 0) return 0;
  const std::string undo_path = DataFilePath(DB_UNDO_FILE);
  FileReplace r;
  if (!FileReplaceBegin(&r, undo_path)) return r.error;
  FileReplaceWrite(&r, MAGIC, sizeof MAGIC);
  FileReplaceWrite(&r, j.undo.data(), j.undo.size());
  if (!FileReplaceCommit(&r)) {
    const int err = r.error;
    FileReplaceAbort(&r);
    return err;
  }
  int err = WriteList(j.redo.data(), j.redo.size());
  if (err) {
    // Put the old bytes back now; when that fails too the undo file stays for the next lock.
    if (WriteList(j.undo.data(), j.undo.size()) == 0) RemoveUndoFile(undo_path);
    return err;
  }
  RemoveUndoFile(undo_path);
  return 0;
}

bool UnfinishedUpdateExists() {
  struct stat st {};
  return ::stat(DataFilePath(DB_UNDO_FILE).c_str(), &st) == 0;
}

int RollBackUnfinishedUpdate() {
  const std::string undo_path = DataFilePath(DB_UNDO_FILE);
  // An undo file that never reached its name holds nothing to put back.
  for (const std::string& t : LeftoverTemporaries(undo_path)) ::unlink(t.c_str());
  const int fd = ::open(undo_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? 0 : errno;
  struct stat st {};
  std::vector<char> list;
  int err = ::fstat(fd, &st) == 0 ? 0 : errno;
  if (!err) {
    list.resize(static_cast<size_t>(st.st_size));
    if (ReadFully(fd, list.data(), list.size(), 0, &err) != list.size() && !err) err = EIO;
  }
  ::close(fd);
  struct stat db {};
  if (!err && ::stat(DataFilePath(DB_FILE).c_str(), &db) != 0) {
    err = errno;
    if (err == ENOENT) {  // the database it belonged to is gone: nothing to put back
      RemoveUndoFile(undo_path);
      return 0;
    }
  }
  if (!err && (list.size() < sizeof MAGIC || std::memcmp(list.data(), MAGIC, sizeof MAGIC) != 0 ||
               !Sound(list.data() + sizeof MAGIC, list.size() - sizeof MAGIC, db.st_size)))
    err = EINVAL;
  if (!err) err = WriteList(list.data() + sizeof MAGIC, list.size() - sizeof MAGIC);
  if (err) {
    ReportDbFailure("%s の途中で終わった更新を元に戻せません（%s）: %s", DB_FILE, DB_UNDO_FILE, FileErrorText(err));
    return err;
  }
  PRT("%s: 途中で終わった更新を元に戻しました\n", DB_FILE);
  RemoveUndoFile(undo_path);
  return 0;
}
