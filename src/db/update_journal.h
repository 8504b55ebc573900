// Updates in place of vurn.hy3 that a kill cannot leave half done. Before the first byte of
// the database changes, the old and the new contents of every byte range the update will
// write go to an undo file beside it (written whole, synced and renamed into place); the new
// bytes are then written and synced, and the undo file is removed. Whoever next takes the
// update lock finds an undo file only when an update ended before it finished, and puts the
// old bytes back: the database is then byte for byte as before that update. An undo file
// whose ranges hold bytes that are neither the old nor the new ones belongs to another
// database (one copied over vurn.hy3 since): it is removed and nothing is put back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr const char* DB_UNDO_FILE = "vurn.hy3.undo";

struct UpdateJournal {
  std::vector<char> list;  // entries: int64 offset, uint32 size, the old bytes, the new bytes
  int entries = 0;
};

// Notes the bytes of [offset, offset + size) of the database that differ between before and
// after; equal bytes cost nothing. Entries are written in the order they are noted (and put
// back in the reverse order): note the header last.
void JournalChange(UpdateJournal* j, int64_t offset, const void* before, const void* after, size_t size);

// Writes the noted changes into vurn.hy3 of the working folder under the update lock (the
// caller holds it). Returns 0, or the errno of the failure; the database is then as before
// (put back at once, or by the next taker of the lock when even that failed).
int JournalCommit(const UpdateJournal& j);

// Puts back the old bytes of an update that ended before it finished; called by the update
// lock each time it is taken. Returns 0 (nothing to do, or done), or the errno of the failure
// (reported): the database must not be written then.
int RollBackUnfinishedUpdate();

// True while an undo file lies beside vurn.hy3 (an update runs, or one was killed).
bool UnfinishedUpdateExists();

// An undo file as a reader that must not write sees it (the database tool): the database
// reads as it will once the old bytes are put back.
struct PendingUndo {
  enum State { kNone, kPending, kForeign, kBroken } state = kNone;
  std::vector<char> list;  // kPending: the entries
  int error = 0;           // kBroken: why it cannot be read (errno, EINVAL for a damaged file)
};
// The undo file of the database at db_path (DB_UNDO_FILE for vurn.hy3).
inline std::string UndoFileOf(const std::string& db_path) { return db_path + ".undo"; }
// Reads undo_path against the open database db_fd.
PendingUndo ReadPendingUndo(const std::string& undo_path, int db_fd);
// Puts the old bytes of a pending undo into buf, which holds len bytes read at offset.
void PutBackInMemory(const PendingUndo& undo, void* buf, size_t len, int64_t offset);
