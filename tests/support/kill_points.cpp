#include "support/kill_points.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <string_view>

#include "platform/file_io.h"

namespace {

int g_steps = 0;
int g_kill_at = 0;
constexpr int KILLED_EXIT = 77;

int DieAtStep(const FileStep& step) {
  if (++g_steps < g_kill_at) return 0;
  if (step.kind == FileStepKind::kWrite && step.size > 1 && step.data) {
    // A torn write: half of it reaches the file.
    const size_t half = step.size / 2;
    if (step.offset == FILE_AT_POSITION)
      (void)!::write(step.fd, step.data, half);
    else
      (void)!::pwrite(step.fd, step.data, half, static_cast<off_t>(step.offset));
  }
  ::_exit(KILLED_EXIT);
}

int CountStep(const FileStep&) {
  ++g_steps;
  return 0;
}

}  // namespace

int CountSteps(const std::function<bool()>& work) {
  g_steps = 0;
  SetFileStepHook(CountStep);
  const bool ok = work();
  SetFileStepHook(nullptr);
  return ok ? g_steps : -1;
}

StepRun RunUntilStep(int step, const std::function<bool()>& work) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    g_steps = 0;
    g_kill_at = step;
    SetFileStepHook(DieAtStep);
    const bool ok = work();
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status)) return StepRun::kFailed;
  if (WEXITSTATUS(status) == KILLED_EXIT) return StepRun::kKilled;
  return WEXITSTATUS(status) == 0 ? StepRun::kFinished : StepRun::kFailed;
}

uint64_t ContentHash(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  struct stat st {};
  ::fstat(fd, &st);
  const off_t size = st.st_size;
  uint64_t h = 1469598103934665603ull ^ static_cast<uint64_t>(size);
  constexpr size_t BLOCK = 1 << 16;
  std::vector<unsigned char> buf(BLOCK);
  // Only blocks that hold a non-zero byte count, each with its offset, each once.
  off_t next_block = 0;
  for (off_t pos = 0; pos < size;) {
    off_t data = ::lseek(fd, pos, SEEK_DATA);
    if (data < 0) break;
    off_t hole = ::lseek(fd, data, SEEK_HOLE);
    if (hole < 0 || hole > size) hole = size;
    data -= data % static_cast<off_t>(BLOCK);
    for (off_t at = std::max(data, next_block); at < hole; at += static_cast<off_t>(BLOCK)) {
      next_block = at + static_cast<off_t>(BLOCK);
      const ssize_t n = ::pread(fd, buf.data(), BLOCK, at);
      if (n <= 0) break;
      if (std::all_of(buf.begin(), buf.begin() + n, [](unsigned char c) { return c == 0; })) continue;
      const std::string_view block(reinterpret_cast<const char*>(buf.data()), static_cast<size_t>(n));
      h = (h ^ static_cast<uint64_t>(at)) * 1099511628211ull;
      h = (h ^ std::hash<std::string_view>{}(block)) * 1099511628211ull;
    }
    pos = hole;
  }
  ::close(fd);
  return h;
}

std::vector<std::string> NamesContaining(const std::string& folder, const std::string& part) {
  std::vector<std::string> names;
  if (DIR* d = ::opendir(folder.c_str())) {
    while (const dirent* e = ::readdir(d))
      if (std::string(e->d_name).find(part) != std::string::npos) names.push_back(e->d_name);
    ::closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}
