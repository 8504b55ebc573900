// The exclusive update lock of the price database: a lock file beside vurn.hy3, so that two
// running instances never interleave their writes. Holds nest within one process: an
// operation that writes many records takes the lock once around all of them, and the
// single writes inside it find it held.
#pragma once

#include <string>

// The lock file's name in the working folder.
constexpr const char* DB_LOCK_FILE = "vurn.hy3.lock";

// Takes the lock (or one more hold of it), waiting as the patient open does while another
// instance holds it. The first hold puts back an update that a killed process left
// unfinished (update_journal.h) and fails when it cannot. Returns 0, or the errno of the
// failure (a line names the reason).
int LockDatabase();
// The same with a single attempt: EBUSY at once while another instance holds the lock.
int TryLockDatabase();
// Gives back one hold; the last one releases the lock.
void UnlockDatabase();
// True while this process holds the lock.
bool DatabaseLocked();

// Why the lock could not be taken, for a message: another program's update for EBUSY,
// otherwise the lock file and the system's reason (a read-only folder, a full disk).
std::string LockFailureText(int error);

// Holds the lock for a scope.
struct DatabaseLockHold {
  int error;
  DatabaseLockHold() : error(LockDatabase()) {}
  ~DatabaseLockHold() {
    if (error == 0) UnlockDatabase();
  }
  bool held() const { return error == 0; }
  DatabaseLockHold(const DatabaseLockHold&) = delete;
  DatabaseLockHold& operator=(const DatabaseLockHold&) = delete;
};
