// Replacing a whole file safely: the new contents go to a temporary file in the same
// folder ("<name>.tmp<pid>_<n>"), are flushed to disk and renamed over the old file, so a
// failure or a kill at any point leaves the old file as it was. A temporary file left by a
// killed run is found by LeftoverTemporaries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FileReplace {
  std::string path;   // the file being replaced
  std::string temp;   // the temporary file beside it
  int fd = -1;
  int64_t pos = 0;    // where the next FileReplaceWrite goes
  int error = 0;      // errno of the first failure
};

// Creates the temporary file (with the old file's permissions when it exists); false (with
// r->error set) when it cannot be created.
bool FileReplaceBegin(FileReplace* r, const std::string& path);
// Writes size bytes after the previous ones; false on a failure. Later writes after a
// failure do nothing.
bool FileReplaceWrite(FileReplace* r, const void* data, size_t size);
// Writes size bytes at offset.
bool FileReplaceWriteAt(FileReplace* r, const void* data, size_t size, int64_t offset);
// Makes the file size bytes long (a longer file reads as zero bytes beyond what was written,
// without taking disk space for them).
bool FileReplaceSetSize(FileReplace* r, long long size);
// Takes disk space for length bytes at offset (they read as zero), so that a full disk
// shows now and not at a later write.
bool FileReplaceReserve(FileReplace* r, int64_t offset, int64_t length);
// Makes the temporary file a copy of the file from (holes stay holes).
bool FileReplaceCopyFrom(FileReplace* r, const std::string& from);
// Flushes, syncs, closes and renames over the old file. On any failure the temporary file
// is removed, the old file is untouched and false is returned with r->error set.
bool FileReplaceCommit(FileReplace* r);
// The same, keeping the old file as backup (replacing an older backup) before the rename:
// as a second name of the old file where the disk allows, else as a copy. A kill between
// the two steps leaves backup as a second name of the unchanged file, which
// IsSecondNameOf tells.
bool FileReplaceCommitKeeping(FileReplace* r, const std::string& backup);
// Gives up: closes and removes the temporary file.
void FileReplaceAbort(FileReplace* r);

// Copies the file from to the file to (replacing it safely); false with *error set.
bool CopyFileSafely(const std::string& from, const std::string& to, int* error);

// The temporary files of path (full names) that runs left when they ended before their
// commit; remove them only while no other process may be replacing path.
std::vector<std::string> LeftoverTemporaries(const std::string& path);
// Those of LeftoverTemporaries(path) whose writing process is gone: safe to remove at any
// time, since a live process's file may be a replacement under way in another instance.
std::vector<std::string> DeadRunTemporaries(const std::string& path);
// True when backup is only a second name of path (a run ended between keeping the backup
// and the rename): removing it loses nothing.
bool IsSecondNameOf(const std::string& backup, const std::string& path);
