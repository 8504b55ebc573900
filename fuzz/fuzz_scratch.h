// A scratch working folder for the targets that load files the way the program does: made
// once per run under /tmp and made the current folder, so that DataFilePath lands in it.
// A persistent run gives many inputs to one process, so each input starts from an empty
// folder (FreshScratchFolder): no file of an earlier input is read.
#pragma once

#include <fcntl.h>
#include <filesystem>
#include <stdlib.h>
#include <string>
#include <unistd.h>

#include "fuzz_main.h"
#include "platform/working_folder.h"

inline const std::string& ScratchFolder() {
  static const std::string dir = [] {
    char tmpl[] = "/tmp/vurn_fuzz_XXXXXX";
    const char* made = ::mkdtemp(tmpl);
    Require(made != nullptr, "scratch folder");
    SetCurrentDir(made);
    return std::string(made) + "/";
  }();
  return dir;
}

// The scratch folder, emptied of everything earlier inputs left in it.
inline const std::string& FreshScratchFolder() {
  const std::string& dir = ScratchFolder();
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) std::filesystem::remove_all(entry.path(), ec);
  Require(!ec, "scratch folder emptied");
  return dir;
}

// Writes data as the file at path; a full_size above size leaves the rest as a hole.
inline void WriteScratchFile(const std::string& path, const void* data, size_t size, long long full_size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  Require(fd >= 0, "scratch file");
  Require(::write(fd, data, size) == static_cast<ssize_t>(size), "scratch write");
  if (full_size > static_cast<long long>(size)) Require(::ftruncate(fd, full_size) == 0, "scratch size");
  ::close(fd);
}
