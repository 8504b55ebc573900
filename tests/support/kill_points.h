// Kill tests: every step that changes a file (a write, a copy, a size change, a rename, a
// link) is a point where the process may die. RunUntilStep runs work in a child process
// that ends itself at the chosen step, as a kill would: a write is cut in half first, and
// nothing is flushed or cleaned up. Tests then compare the files with their state before
// and after, byte for byte.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class StepRun {
  kKilled,    // the child died at the chosen step
  kFinished,  // the work ended before reaching that step
  kFailed,    // the child crashed or the work reported a failure (exit code not 0)
};
// Runs work in a child; the child dies just before its step-th file step (1-based), or
// exits 0 when work returns true first (1 when it returns false).
StepRun RunUntilStep(int step, const std::function<bool()>& work);

// Runs work in this process and returns how many file steps it made (the kill points of
// a run), or -1 when work returned false.
int CountSteps(const std::function<bool()>& work);

// A digest of a file's contents: its size and the bytes, holes read as zero bytes (so a
// sparse file and a written one with the same bytes agree); 0 when the file is missing.
uint64_t ContentHash(const std::string& path);
// The names in folder that contain part (for stray temporary files).
std::vector<std::string> NamesContaining(const std::string& folder, const std::string& part);
