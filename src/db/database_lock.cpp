#include "db/database_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>

#include "db/database_file.h"
#include "db/master_file.h"
#include "db/open_retry.h"
#include "db/update_journal.h"
#include "platform/file_error.h"
#include "platform/file_replace.h"
#include "platform/diagnostics.h"
#include "platform/working_folder.h"

namespace {
int g_fd = -1;
int g_holds = 0;

// The temporary files a killed process left beside the database and the stock master file
// (a killed merge, seed or master edition: up to the size of the database). Whoever holds the
// lock is the only writer, so the files of a process that is gone are nobody's.
void RemoveDeadTemporaries() {
  int removed = 0;
  for (const char* name : {DB_FILE, TAG_FILE})
    for (const std::string& temp : DeadRunTemporaries(DataFilePath(name))) removed += ::unlink(temp.c_str()) == 0;
  if (removed > 0) PRT("終了した処理の一時ファイルを %d 個削除しました\n", removed);
}

// The first hold puts back what a killed update left half written, before anyone reads or
// writes under the lock, and removes what killed writers left behind.
int TakeFirstHold(int fd) {
  g_fd = fd;
  g_holds = 1;
  if (int err = RollBackUnfinishedUpdate()) {
    UnlockDatabase();
    return err;
  }
  RemoveDeadTemporaries();
  return 0;
}
}  // namespace

int LockDatabase() {
  if (g_holds > 0) {
    ++g_holds;
    return 0;
  }
  const std::string path = DataFilePath(DB_LOCK_FILE);
  int fd = -1;
  int err = RetryWhileBusy(path.c_str(), "lock", [&](int* e) {
    if (fd < 0) {
      fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
      if (fd < 0) {
        *e = errno;
        return false;
      }
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    // Another instance holds it: wait and try again.
    *e = (errno == EWOULDBLOCK || errno == EINTR) ? EBUSY : errno;
    return false;
  });
  if (err) {
    if (fd >= 0) ::close(fd);
    if (!IsPassingFileError(err)) PRT("%s を開けません(lock): %s\n", path.c_str(), FileErrorText(err));
    return err;
  }
  return TakeFirstHold(fd);
}

int TryLockDatabase() {
  if (g_holds > 0) {
    ++g_holds;
    return 0;
  }
  const std::string path = DataFilePath(DB_LOCK_FILE);
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno == EWOULDBLOCK ? EBUSY : errno;
    ::close(fd);
    return err;
  }
  return TakeFirstHold(fd);
}

void UnlockDatabase() {
  if (g_holds <= 0) return;
  if (--g_holds > 0) return;
  ::flock(g_fd, LOCK_UN);
  ::close(g_fd);
  g_fd = -1;
}

bool DatabaseLocked() { return g_holds > 0; }

std::string LockFailureText(int error) {
  if (error == EBUSY) return "他のプログラムが更新中です。";
  return std::string("ロックファイル ") + DB_LOCK_FILE + " を開けません（" + FileErrorText(error) +
         "）。\nフォルダに書き込めるか確かめてください。";
}
