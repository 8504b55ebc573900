// The patient open: data files may be held for a moment by another program (a scanner, or
// another instance updating the database), so an open that fails for such a passing reason
// is tried again once a second, up to 100 times. A lasting error (no such folder, no
// permission, a read-only disk) fails at once.
#pragma once

#include <cstdio>
#include <functional>

constexpr int OPEN_RETRY_LIMIT = 100;   // retries after the first attempt
constexpr int OPEN_RETRY_WAIT_MS = 1000;

// One attempt of a patient open: returns true when done; otherwise sets *err (errno) and
// returns false; a passing error is retried.
using OpenAttempt = std::function<bool(int* err)>;

// Runs attempt until it succeeds, fails for a lasting reason, or has been tried 101 times,
// writing the retry line for each passing failure. Returns 0 on success, else the errno of
// the last failure (EBUSY-like errors when the waiting ran out). name and mode only label
// the diagnostic lines.
int RetryWhileBusy(const char* name, const char* mode, const OpenAttempt& attempt);

// Opens the file name in the fopen mode, patiently. On failure writes a line that names the
// file and the reason, stores the errno in *error (when given) and returns nullptr.
std::FILE* OpenRetry(const char* name, const char* mode, int* error = nullptr);
// The same for a descriptor: opens with the open(2) flags (O_CLOEXEC is added). Returns the
// descriptor, or -1 with *error set (when given).
int OpenRetryFd(const char* name, int flags, int* error = nullptr);
