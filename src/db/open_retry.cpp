#include "db/open_retry.h"

#include <cerrno>
#include <fcntl.h>

#include "platform/file_error.h"
#include "platform/host.h"
#include "platform/diagnostics.h"

int RetryWhileBusy(const char* name, const char* mode, const OpenAttempt& attempt) {
  for (int n = 1;; ++n) {
    int err = 0;
    if (attempt(&err)) return 0;
    if (err == 0) err = EIO;
    if (!IsPassingFileError(err)) return err;
    PRT("%s fopen(%s) fail! ウイルスバスターのせい？n=%d,Try once more\n", name, mode, n);
    if (n > OPEN_RETRY_LIMIT) {
      PRT("%s を開けません(%s): %d秒待ちましたが%s\n", name, mode, OPEN_RETRY_LIMIT, FileErrorText(err));
      return err;
    }
    HostSleepMs(OPEN_RETRY_WAIT_MS);
  }
}

std::FILE* OpenRetry(const char* name, const char* mode, int* error) {
  std::FILE* f = nullptr;
  int err = RetryWhileBusy(name, mode, [&](int* e) {
    errno = 0;
    f = std::fopen(name, mode);
    *e = f ? 0 : errno;
    return f != nullptr;
  });
  if (error) *error = err;
  if (err && !IsPassingFileError(err)) PRT("%s を開けません(%s): %s\n", name, mode, FileErrorText(err));
  return err ? nullptr : f;
}

int OpenRetryFd(const char* name, int flags, int* error) {
  int fd = -1;
  const char* mode = (flags & O_ACCMODE) == O_RDONLY ? "rb" : "r+b";
  int err = RetryWhileBusy(name, mode, [&](int* e) {
    fd = ::open(name, flags | O_CLOEXEC, 0666);
    *e = fd >= 0 ? 0 : errno;
    return fd >= 0;
  });
  if (error) *error = err;
  if (err && !IsPassingFileError(err)) PRT("%s を開けません(%s): %s\n", name, mode, FileErrorText(err));
  return err ? -1 : fd;
}
