// Exact file input and output: every read and write of the data files goes through these
// helpers, which loop over short transfers and interrupted calls, so that no caller has to.
// The steps that change files (writes, size changes, renames, links) also pass a test hook
// through which tests fail or end the process at any chosen step.
#pragma once

#include <cstddef>
#include <cstdint>

// As the offset: read or write at the file's current position instead of a fixed offset.
constexpr int64_t FILE_AT_POSITION = -1;

// Reads size bytes at offset. Returns the number of bytes read: size, or fewer when the file
// ends first. *err is 0, or the errno of a failed read (the count then says how far it got).
size_t ReadFully(int fd, void* buf, size_t size, int64_t offset, int* err);
// Writes all size bytes at offset. Returns 0, or the errno of the failure (ENOSPC when the
// disk takes no more bytes).
int WriteFully(int fd, const void* data, size_t size, int64_t offset);
// Sets the file's size (a longer file reads as zero bytes beyond the old end). 0 or errno.
int ResizeFile(int fd, int64_t size);
// Renames from over to, and links from as to (to must not exist). 0 or errno.
int RenameFile(const char* from, const char* to);
int LinkFile(const char* from, const char* to);
// Syncs the folder holding path, so that a rename or link in it is durable.
void SyncFolderOf(const char* path);

// One step that changes a file, as the test hook sees it.
enum class FileStepKind { kWrite, kCopy, kResize, kRename, kLink };
struct FileStep {
  FileStepKind kind;
  int fd;              // kWrite, kCopy, kResize: the file written
  const void* data;    // kWrite: the bytes
  size_t size;         // kWrite, kCopy: the byte count
  int64_t offset;      // kWrite, kCopy: the offset (FILE_AT_POSITION); kResize: the new size
  const char* from;    // kRename, kLink
  const char* to;
};
// Called before each step; a non-zero result fails the step with that errno. A hook may also
// end the process, which is how the kill tests stop a run at any step.
using FileStepHook = int (*)(const FileStep& step);
void SetFileStepHook(FileStepHook hook);
// Passes a step that the helpers above do not make (a copy within the kernel) to the hook.
int CheckFileStep(const FileStep& step);
