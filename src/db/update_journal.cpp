#include "db/update_journal.h"

#include <algorithm>
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

constexpr char MAGIC[8] = {'V', 'U', 'R', 'N', 'U', 'N', 'D', '2'};
constexpr size_t ENTRY_HEAD = sizeof(int64_t) + sizeof(uint32_t);
// Equal bytes shorter than this between two changes are carried in one entry.
constexpr size_t JOIN_GAP = 16;

struct Entry {
  int64_t offset;
  size_t size;
  const char* before;
  const char* after;
};

void Put(std::vector<char>* out, int64_t offset, const char* before, const char* after, size_t size) {
  const uint32_t n = static_cast<uint32_t>(size);
  const size_t at = out->size();
  out->resize(at + ENTRY_HEAD + 2 * size);
  std::memcpy(out->data() + at, &offset, sizeof offset);
  std::memcpy(out->data() + at + sizeof offset, &n, sizeof n);
  std::memcpy(out->data() + at + ENTRY_HEAD, before, size);
  std::memcpy(out->data() + at + ENTRY_HEAD + size, after, size);
}

// The entries of a list; false when they do not fill it exactly.
bool Entries(const std::vector<char>& list, std::vector<Entry>* out) {
  const size_t size = list.size();
  for (size_t at = 0; at < size;) {
    if (size - at < ENTRY_HEAD) return false;
    int64_t offset;
    uint32_t n;
    std::memcpy(&offset, list.data() + at, sizeof offset);
    std::memcpy(&n, list.data() + at + sizeof offset, sizeof n);
    at += ENTRY_HEAD;
    if (offset < 0 || n > (size - at) / 2) return false;
    out->push_back(Entry{offset, n, list.data() + at, list.data() + at + n});
    at += 2 * static_cast<size_t>(n);
  }
  return true;
}

// Writes the new bytes of every entry in order, or the old ones in the reverse order, into
// the database and syncs it; 0 or errno.
int Write(const std::vector<Entry>& entries, bool old_bytes) {
  int err = 0;
  const std::string path = DataFilePath(DB_FILE);
  const int fd = OpenRetryFd(path.c_str(), O_RDWR, &err);
  if (fd < 0) return err;
  for (size_t i = 0; i < entries.size() && !err; ++i) {
    const Entry& e = old_bytes ? entries[entries.size() - 1 - i] : entries[i];
    err = WriteFully(fd, old_bytes ? e.before : e.after, e.size, e.offset);
  }
  if (!err && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && !err) err = errno;
  return err;
}

// 0 or errno. An undo file that stays would put the old bytes back over a finished update.
int RemoveUndoFile(const std::string& path) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) return errno;
  SyncFolderOf(path.c_str());
  return 0;
}

// True when every byte of every entry's range in the database is its old or its new byte:
// the database is the one the undo file was written for, in any state of that update.
bool OfThisDatabase(int fd, const std::vector<Entry>& entries, int* err) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    *err = errno;
    return false;
  }
  std::vector<char> now;
  for (const Entry& e : entries) {
    if (e.offset + static_cast<int64_t>(e.size) > st.st_size) return false;
    now.resize(e.size);
    if (ReadFully(fd, now.data(), e.size, e.offset, err) != e.size) return false;
    for (size_t k = 0; k < e.size; ++k)
      if (now[k] != e.before[k] && now[k] != e.after[k]) return false;
  }
  return true;
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
    Put(&j->list, offset + static_cast<int64_t>(i), a + i, b + i, end - i);
    ++j->entries;
    i = end;
  }
}

int JournalCommit(const UpdateJournal& j) {
  if (j.entries == 0) return 0;
  std::vector<Entry> entries;
  Entries(j.list, &entries);
  const std::string undo_path = DataFilePath(DB_UNDO_FILE);
  FileReplace r;
  if (!FileReplaceBegin(&r, undo_path)) return r.error;
  FileReplaceWrite(&r, MAGIC, sizeof MAGIC);
  FileReplaceWrite(&r, j.list.data(), j.list.size());
  if (!FileReplaceCommit(&r)) {
    const int err = r.error;
    FileReplaceAbort(&r);
    return err;
  }
  int err = Write(entries, false);
  if (!err) err = RemoveUndoFile(undo_path);
  if (err) {
    // Put the old bytes back now; when that fails too the undo file stays for the next lock.
    if (Write(entries, true) == 0) RemoveUndoFile(undo_path);
    return err;
  }
  return 0;
}

bool UnfinishedUpdateExists() {
  struct stat st {};
  return ::stat(DataFilePath(DB_UNDO_FILE).c_str(), &st) == 0;
}

PendingUndo ReadPendingUndo(const std::string& undo_path, int db_fd) {
  PendingUndo u;
  const int fd = ::open(undo_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT) {
      u.state = PendingUndo::kBroken;
      u.error = errno;
    }
    return u;
  }
  struct stat st {};
  std::vector<char> file;
  int err = ::fstat(fd, &st) == 0 ? 0 : errno;
  if (!err) {
    file.resize(static_cast<size_t>(st.st_size));
    if (ReadFully(fd, file.data(), file.size(), 0, &err) != file.size() && !err) err = EIO;
  }
  ::close(fd);
  std::vector<Entry> entries;
  if (!err && (file.size() < sizeof MAGIC || std::memcmp(file.data(), MAGIC, sizeof MAGIC) != 0)) err = EINVAL;
  if (!err) u.list.assign(file.begin() + sizeof MAGIC, file.end());
  if (!err && !Entries(u.list, &entries)) err = EINVAL;
  if (!err) u.state = OfThisDatabase(db_fd, entries, &err) ? PendingUndo::kPending : PendingUndo::kForeign;
  if (err) {
    u.state = PendingUndo::kBroken;
    u.error = err;
  }
  if (u.state != PendingUndo::kPending) u.list.clear();
  return u;
}

void PutBackInMemory(const PendingUndo& undo, void* buf, size_t len, int64_t offset) {
  if (undo.state != PendingUndo::kPending) return;
  std::vector<Entry> entries;
  Entries(undo.list, &entries);
  char* out = static_cast<char*>(buf);
  const int64_t end = offset + static_cast<int64_t>(len);
  for (const Entry& e : entries) {
    const int64_t from = std::max(offset, e.offset), to = std::min(end, e.offset + static_cast<int64_t>(e.size));
    if (from < to) std::memcpy(out + (from - offset), e.before + (from - e.offset), static_cast<size_t>(to - from));
  }
}

int RollBackUnfinishedUpdate() {
  const std::string undo_path = DataFilePath(DB_UNDO_FILE);
  // An undo file that never reached its name holds nothing to put back.
  for (const std::string& t : LeftoverTemporaries(undo_path)) ::unlink(t.c_str());
  if (!UnfinishedUpdateExists()) return 0;
  const int db_fd = ::open(DataFilePath(DB_FILE).c_str(), O_RDONLY | O_CLOEXEC);
  if (db_fd < 0 && errno == ENOENT) return RemoveUndoFile(undo_path);  // its database is gone
  PendingUndo u;
  if (db_fd < 0) {
    u.state = PendingUndo::kBroken;
    u.error = errno;
  } else {
    u = ReadPendingUndo(undo_path, db_fd);
    ::close(db_fd);
  }
  int err = u.error;
  if (u.state == PendingUndo::kPending) {
    std::vector<Entry> entries;
    Entries(u.list, &entries);
    err = Write(entries, true);
  }
  if (!err) err = RemoveUndoFile(undo_path);
  if (err) {
    ReportDbFailure("%s の途中で終わった更新を元に戻せません（%s）: %s", DB_FILE, DB_UNDO_FILE, FileErrorText(err));
    return err;
  }
  if (u.state == PendingUndo::kForeign)
    PRT("%s は今の %s のものではないため、元に戻さずに消しました\n", DB_UNDO_FILE, DB_FILE);
  else if (u.state == PendingUndo::kPending)
    PRT("%s: 途中で終わった更新を元に戻しました\n", DB_FILE);
  return 0;
}
