#include "platform/file_replace.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <vector>

#include "platform/file_io.h"

namespace {

int g_counter = 0;
constexpr const char* TEMP_MARK = ".tmp";

void Fail(FileReplace* r, int err) {
  if (r->error == 0) r->error = err ? err : EIO;
}

bool Usable(FileReplace* r) { return r->fd >= 0 && r->error == 0; }

// Copies size bytes at offset from in to out, in the kernel where it can.
int CopyRange(int in, int out, int64_t offset, int64_t size) {
  constexpr int64_t CHUNK = 8 << 20;
  std::vector<char> buf;
  for (int64_t at = offset; at < offset + size;) {
    const int64_t want = std::min(CHUNK, offset + size - at);
    if (int e = CheckFileStep(FileStep{FileStepKind::kCopy, out, nullptr, static_cast<size_t>(want), at, nullptr, nullptr}))
      return e;
    off_t from = static_cast<off_t>(at), to = static_cast<off_t>(at);
    ssize_t n = ::copy_file_range(in, &from, out, &to, static_cast<size_t>(want), 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)) {
      buf.resize(static_cast<size_t>(want));
      int err = 0;
      const size_t got = ReadFully(in, buf.data(), buf.size(), at, &err);
      if (err) return err;
      if (got != buf.size()) return EIO;  // the file shrank while being copied
      if (int e = WriteFully(out, buf.data(), got, at)) return e;
      n = static_cast<ssize_t>(got);
    }
    if (n < 0) return errno;
    if (n == 0) return EIO;
    at += n;
  }
  return 0;
}

}  // namespace

bool FileReplaceBegin(FileReplace* r, const std::string& path) {
  r->path = path;
  r->error = 0;
  r->fd = -1;
  r->pos = 0;
  struct stat old {};
  const bool has_old = ::stat(path.c_str(), &old) == 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    r->temp = path + TEMP_MARK + std::to_string(::getpid()) + "_" + std::to_string(g_counter++);
    int fd = ::open(r->temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      Fail(r, errno);
      r->temp.clear();
      return false;
    }
    if (has_old) ::fchmod(fd, old.st_mode & 07777);
    r->fd = fd;
    return true;
  }
  Fail(r, EEXIST);
  r->temp.clear();
  return false;
}

bool FileReplaceWrite(FileReplace* r, const void* data, size_t size) {
  if (!FileReplaceWriteAt(r, data, size, r->pos)) return false;
  r->pos += static_cast<int64_t>(size);
  return true;
}

bool FileReplaceWriteAt(FileReplace* r, const void* data, size_t size, int64_t offset) {
  if (!Usable(r)) return false;
  if (size == 0) return true;
  if (int e = WriteFully(r->fd, data, size, offset)) {
    Fail(r, e);
    return false;
  }
  return true;
}

bool FileReplaceSetSize(FileReplace* r, long long size) {
  if (!Usable(r)) return false;
  if (int e = ResizeFile(r->fd, size)) {
    Fail(r, e);
    return false;
  }
  return true;
}

bool FileReplaceReserve(FileReplace* r, int64_t offset, int64_t length) {
  if (!Usable(r)) return false;
  if (length <= 0) return true;
  if (int e = CheckFileStep(FileStep{FileStepKind::kResize, r->fd, nullptr, 0, offset + length, nullptr, nullptr})) {
    Fail(r, e);
    return false;
  }
  if (int e = ::posix_fallocate(r->fd, static_cast<off_t>(offset), static_cast<off_t>(length))) {
    Fail(r, e);
    return false;
  }
  return true;
}

bool FileReplaceCopyFrom(FileReplace* r, const std::string& from) {
  if (!Usable(r)) return false;
  int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (in < 0 || ::fstat(in, &st) != 0) {
    Fail(r, errno);
    if (in >= 0) ::close(in);
    return false;
  }
  // Only the data regions are copied; holes stay holes (a sparse database stays small).
  const off_t size = st.st_size;
  int err = 0;
  for (off_t pos = 0; pos < size && !err;) {
    off_t data = ::lseek(in, pos, SEEK_DATA);
    if (data < 0) {
      if (errno == ENXIO) break;  // only a hole is left
      data = pos;                 // no hole support: copy everything
    }
    off_t hole = ::lseek(in, data, SEEK_HOLE);
    if (hole < 0 || hole > size) hole = size;
    err = CopyRange(in, r->fd, data, hole - data);
    pos = hole;
  }
  ::close(in);
  if (!err) err = ResizeFile(r->fd, size);
  if (err) {
    Fail(r, err);
    return false;
  }
  r->pos = size;
  return true;
}

namespace {

// Syncs and closes the temporary file; false (temporary removed) on a failure.
bool FinishTemp(FileReplace* r) {
  if (r->fd < 0) {
    Fail(r, EBADF);
    return false;
  }
  if (!r->error && ::fsync(r->fd) != 0) Fail(r, errno);
  if (::close(r->fd) != 0) Fail(r, errno);
  r->fd = -1;
  if (r->error) {
    ::unlink(r->temp.c_str());
    r->temp.clear();
    return false;
  }
  return true;
}

bool RenameTemp(FileReplace* r) {
  if (int e = RenameFile(r->temp.c_str(), r->path.c_str())) {
    Fail(r, e);
    ::unlink(r->temp.c_str());
    r->temp.clear();
    return false;
  }
  SyncFolderOf(r->path.c_str());
  r->temp.clear();
  return true;
}

}  // namespace

bool FileReplaceCommit(FileReplace* r) { return FinishTemp(r) && RenameTemp(r); }

bool FileReplaceCommitKeeping(FileReplace* r, const std::string& backup) {
  if (!FinishTemp(r)) return false;
  // The backup appears in one rename too, so an older backup is never half replaced.
  const std::string link_temp = backup + TEMP_MARK + std::to_string(::getpid()) + "_" + std::to_string(g_counter++);
  int e = LinkFile(r->path.c_str(), link_temp.c_str());
  if (e == 0) {
    e = RenameFile(link_temp.c_str(), backup.c_str());
    if (e) ::unlink(link_temp.c_str());
  } else if (e == EPERM || e == EXDEV || e == EMLINK || e == EOPNOTSUPP || e == ENOSYS) {
    // The disk keeps no second names: copy.
    if (!CopyFileSafely(r->path, backup, &e) && e == 0) e = EIO;
  }
  if (e) {
    Fail(r, e);
    ::unlink(r->temp.c_str());
    r->temp.clear();
    return false;
  }
  SyncFolderOf(backup.c_str());
  return RenameTemp(r);
}

void FileReplaceAbort(FileReplace* r) {
  if (r->fd >= 0) ::close(r->fd);
  r->fd = -1;
  if (!r->temp.empty()) ::unlink(r->temp.c_str());
  r->temp.clear();
}

bool CopyFileSafely(const std::string& from, const std::string& to, int* error) {
  FileReplace r;
  *error = 0;
  if (!FileReplaceBegin(&r, to) || !FileReplaceCopyFrom(&r, from)) {
    *error = r.error;
    FileReplaceAbort(&r);
    return false;
  }
  if (!FileReplaceCommit(&r)) {
    *error = r.error;
    return false;
  }
  return true;
}

std::vector<std::string> LeftoverTemporaries(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string prefix = path.substr(dir.size()) + TEMP_MARK;
  std::vector<std::string> found;
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return found;
  while (const dirent* e = ::readdir(d)) {
    const char* name = e->d_name;
    if (std::strncmp(name, prefix.c_str(), prefix.size()) != 0) continue;
    // Only the names FileReplace gives: digits, "_", digits.
    const char* p = name + prefix.size();
    const char* under = std::strchr(p, '_');
    if (!under || under == p || under[1] == '\0') continue;
    if (std::strspn(p, "0123456789") != static_cast<size_t>(under - p)) continue;
    if (std::strspn(under + 1, "0123456789") != std::strlen(under + 1)) continue;
    found.push_back(dir + name);
  }
  ::closedir(d);
  std::sort(found.begin(), found.end());
  return found;
}

std::vector<std::string> DeadRunTemporaries(const std::string& path) {
  std::vector<std::string> dead;
  for (const std::string& temp : LeftoverTemporaries(path)) {
    const long pid = std::atol(temp.c_str() + path.size() + std::strlen(TEMP_MARK));
    if (pid <= 0 || pid == ::getpid() || ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    dead.push_back(temp);
  }
  return dead;
}

bool IsSecondNameOf(const std::string& backup, const std::string& path) {
  struct stat a {}, b {};
  if (::stat(path.c_str(), &a) != 0 || ::stat(backup.c_str(), &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}
