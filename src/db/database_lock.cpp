#include "db/database_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>

#include "db/open_retry.h"
#include "db/update_journal.h"
#include "platform/file_error.h"
#include "platform/diagnostics.h"
#include "platform/working_folder.h"

namespace {
int g_fd = -1;
int g_holds = 0;

// The first hold puts back what a killed update left half written, before anyone reads or
// writes under the lock.
int TakeFirstHold(int fd) {
  g_fd = fd;
  g_holds = 1;
  if (int err = RollBackUnfinishedUpdate()) {
    UnlockDatabase();
    return err;
  }
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
