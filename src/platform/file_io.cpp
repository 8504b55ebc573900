#include "platform/file_io.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>
#include <fcntl.h>
#include <unistd.h>

namespace {

FileStepHook g_hook = nullptr;

}  // namespace

int CheckFileStep(const FileStep& step) { return g_hook ? g_hook(step) : 0; }

void SetFileStepHook(FileStepHook hook) { g_hook = hook; }

size_t ReadFully(int fd, void* buf, size_t size, int64_t offset, int* err) {
  size_t done = 0;
  *err = 0;
  while (done < size) {
    char* at = static_cast<char*>(buf) + done;
    ssize_t n = offset == FILE_AT_POSITION ? ::read(fd, at, size - done)
                                           : ::pread(fd, at, size - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      *err = errno;
      break;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

int WriteFully(int fd, const void* data, size_t size, int64_t offset) {
  if (int e = CheckFileStep(FileStep{FileStepKind::kWrite, fd, data, size, offset, nullptr, nullptr})) return e;
  size_t done = 0;
  while (done < size) {
    const char* at = static_cast<const char*>(data) + done;
    ssize_t n = offset == FILE_AT_POSITION ? ::write(fd, at, size - done)
                                           : ::pwrite(fd, at, size - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno ? errno : EIO;
    }
    if (n == 0) return ENOSPC;
    done += static_cast<size_t>(n);
  }
  return 0;
}

int ResizeFile(int fd, int64_t size) {
  if (int e = CheckFileStep(FileStep{FileStepKind::kResize, fd, nullptr, 0, size, nullptr, nullptr})) return e;
  while (::ftruncate(fd, static_cast<off_t>(size)) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

int RenameFile(const char* from, const char* to) {
  if (int e = CheckFileStep(FileStep{FileStepKind::kRename, -1, nullptr, 0, 0, from, to})) return e;
  return std::rename(from, to) == 0 ? 0 : errno;
}

int LinkFile(const char* from, const char* to) {
  if (int e = CheckFileStep(FileStep{FileStepKind::kLink, -1, nullptr, 0, 0, from, to})) return e;
  return ::link(from, to) == 0 ? 0 : errno;
}

void SyncFolderOf(const char* path) {
  std::string_view p(path);
  const size_t slash = p.rfind('/');
  const std::string dir = slash == std::string_view::npos ? std::string(".") : std::string(p.substr(0, slash + 1));
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}
