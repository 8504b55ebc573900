#include "platform/file_replace.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <vector>

namespace {

int g_counter = 0;

void Fail(FileReplace* r, int err) {
  if (r->error == 0) r->error = err ? err : EIO;
}

// Makes a rename durable: the folder entry itself is synced.
void SyncFolderOf(const std::string& path) {
  std::string dir = path;
  size_t slash = dir.rfind('/');
  dir = slash == std::string::npos ? std::string(".") : dir.substr(0, slash + 1);
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace

bool FileReplaceBegin(FileReplace* r, const std::string& path) {
  r->path = path;
  r->error = 0;
  r->f = nullptr;
  for (int attempt = 0; attempt < 100; ++attempt) {
    r->temp = path + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(g_counter++);
    int fd = ::open(r->temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      Fail(r, errno);
      r->temp.clear();
      return false;
    }
    r->f = ::fdopen(fd, "wb");
    if (!r->f) {
      Fail(r, errno);
      ::close(fd);
      ::unlink(r->temp.c_str());
      r->temp.clear();
      return false;
    }
    return true;
  }
  Fail(r, EEXIST);
  r->temp.clear();
  return false;
}

bool FileReplaceWrite(FileReplace* r, const void* data, size_t size) {
  if (!r->f || r->error) return false;
  if (size == 0) return true;
  errno = 0;
  if (std::fwrite(data, 1, size, r->f) != size) {
    Fail(r, errno);
    return false;
  }
  return true;
}

bool FileReplaceSetSize(FileReplace* r, long long size) {
  if (!r->f || r->error) return false;
  errno = 0;
  if (std::fflush(r->f) != 0) {
    Fail(r, errno);
    return false;
  }
  if (::ftruncate(::fileno(r->f), static_cast<off_t>(size)) != 0) {
    Fail(r, errno);
    return false;
  }
  return true;
}

bool FileReplaceCommit(FileReplace* r) {
  if (!r->f) {
    Fail(r, EBADF);
    return false;
  }
  if (!r->error) {
    errno = 0;
    if (std::fflush(r->f) != 0) Fail(r, errno);
  }
  if (!r->error && ::fsync(::fileno(r->f)) != 0) Fail(r, errno);
  errno = 0;
  if (std::fclose(r->f) != 0) Fail(r, errno);
  r->f = nullptr;
  if (!r->error && ::rename(r->temp.c_str(), r->path.c_str()) != 0) Fail(r, errno);
  if (r->error) {
    ::unlink(r->temp.c_str());
    r->temp.clear();
    return false;
  }
  SyncFolderOf(r->path);
  r->temp.clear();
  return true;
}

void FileReplaceAbort(FileReplace* r) {
  if (r->f) std::fclose(r->f);
  r->f = nullptr;
  if (!r->temp.empty()) ::unlink(r->temp.c_str());
  r->temp.clear();
}

bool CopyFileSafely(const std::string& from, const std::string& to, int* error) {
  *error = 0;
  int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) {
    *error = errno;
    return false;
  }
  struct stat st {};
  if (::fstat(in, &st) != 0) {
    *error = errno;
    ::close(in);
    return false;
  }
  FileReplace r;
  if (!FileReplaceBegin(&r, to)) {
    *error = r.error;
    ::close(in);
    return false;
  }
  // Only the data regions are copied; holes stay holes (a sparse database stays small).
  std::vector<char> buf(1 << 20);
  const off_t size = st.st_size;
  off_t pos = 0;
  while (pos < size && !*error && !r.error) {
    off_t data = ::lseek(in, pos, SEEK_DATA);
    if (data < 0) {
      if (errno == ENXIO) break;  // only a hole is left
      data = pos;                 // no hole support: copy everything
    }
    off_t hole = ::lseek(in, data, SEEK_HOLE);
    if (hole < 0) hole = size;
    if (::fseeko(r.f, data, SEEK_SET) != 0) {
      *error = errno;
      break;
    }
    for (off_t at = data; at < hole && !*error;) {
      size_t want = static_cast<size_t>(std::min<off_t>(hole - at, static_cast<off_t>(buf.size())));
      ssize_t n = ::pread(in, buf.data(), want, at);
      if (n < 0) {
        if (errno == EINTR) continue;
        *error = errno;
        break;
      }
      if (n == 0) {
        *error = EIO;  // the file shrank while being copied
        break;
      }
      if (!FileReplaceWrite(&r, buf.data(), static_cast<size_t>(n))) break;
      at += n;
    }
    pos = hole;
  }
  ::close(in);
  if (!*error && !r.error) {
    if (std::fflush(r.f) != 0 || ::ftruncate(::fileno(r.f), size) != 0) *error = errno ? errno : EIO;
  }
  if (*error) {
    FileReplaceAbort(&r);
    return false;
  }
  if (!FileReplaceCommit(&r)) {
    *error = r.error;
    return false;
  }
  return true;
}
