// What merging a day needs from whoever runs it: the program's progress dialog and message
// boxes, or the console of the data tool. The merge calls these between stocks only;
// pending events run there and nowhere else.
#pragma once

#include "platform/host.h"

struct MergeUi {
  virtual ~MergeUi() = default;
  // The progress window: opened with the check pass's title ("DBチェック中"), retitled for
  // the save pass ("DB更新中"), closed when the merge ends.
  virtual void ProgressOpen(const char* title) {}
  virtual void ProgressTitle(const char* title) {}
  // Before each stock: done of total stocks, count ("%4d/%4d", position in code order + 1
  // and the stock count) and stock ("%s %s", code text and name). Events may run here.
  virtual void ProgressStock(int done, int total, const char* count, const char* stock) {}
  virtual void ProgressClose() {}
  // True once the user asked to stop; tested between stocks while stopping still leaves
  // the database as it was.
  virtual bool Cancelled() { return false; }
  // Questions and messages (CP932), answered IDOK, IDCANCEL, ...
  virtual int Box(const char* text, const char* caption, unsigned type) { return HostMessageBox(text, caption, type); }
  // Every reason the merge stopped for, whether or not a box showed it (CP932).
  virtual void Stopped(const char* reason) {}
  // Runs as the timed download does: the append and gap questions are not asked, and
  // refusals and the completion are only written to the diagnostic history.
  bool timed = false;
};
