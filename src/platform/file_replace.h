// Replacing a whole file safely: the new contents go to a temporary file in the same
// folder, are flushed to disk and renamed over the old file, so a failure at any point
// leaves the old file as it was.
#pragma once

#include <cstdio>
#include <string>

struct FileReplace {
  std::string path;   // the file being replaced
  std::string temp;   // the temporary file beside it
  std::FILE* f = nullptr;
  int error = 0;      // errno of the first failure
};

// Creates the temporary file; false (with r->error set) when it cannot be created.
bool FileReplaceBegin(FileReplace* r, const std::string& path);
// Writes size bytes; false on a short write. Later writes after a failure do nothing.
bool FileReplaceWrite(FileReplace* r, const void* data, size_t size);
// Makes the file size bytes long (a longer file reads as zero bytes beyond what was written,
// without taking disk space for them).
bool FileReplaceSetSize(FileReplace* r, long long size);
// Flushes, syncs, closes and renames over the old file. On any failure the temporary file
// is removed, the old file is untouched and false is returned with r->error set.
bool FileReplaceCommit(FileReplace* r);
// Gives up: closes and removes the temporary file.
void FileReplaceAbort(FileReplace* r);

// Copies the file from to the file to (replacing it safely); false with *error set.
bool CopyFileSafely(const std::string& from, const std::string& to, int* error);
