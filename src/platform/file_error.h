// Japanese descriptions of file errors, for messages that name a file and the reason.
#pragma once

// The reason for errno value err, in Japanese (CP932); a static text.
const char* FileErrorText(int err);
// True for errors that may pass when the same open is tried again a moment later
// (the file held by another program, too many open files, an interrupted call).
bool IsPassingFileError(int err);
