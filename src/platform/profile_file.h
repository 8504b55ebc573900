// The settings file in private-profile form: "[section]" lines and "key=value" lines.
// The whole file is held as its lines, looked up and changed in memory, and written back
// once. Lines the program does not own (comments, unknown sections and keys, keys that are
// read but never written) keep their bytes and their order.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Size of the buffer one string value is read into (values are cut to 255 bytes at a
// character boundary).
constexpr size_t PROFILE_VALUE_BYTES = 256;
// A settings file larger than this is not read (and never replaced by a save).
constexpr size_t PROFILE_MAX_FILE_BYTES = 16 * 1024 * 1024;

struct ProfileLine {
  enum Kind : unsigned char { OTHER, SECTION, KEY };
  std::string text;  // the line's bytes without its line end
  Kind kind = OTHER;
  std::string name;  // SECTION: the section name, KEY: the key, both trimmed
};

struct ProfileFile {
  std::vector<ProfileLine> lines;
  // Set when the file exists but could not be read whole; ProfileSave then refuses to
  // replace it, so nothing of it is lost.
  bool unreadable = false;
};

// Reads path. A missing file gives an empty profile and false; an unreadable one gives an
// empty profile with `unreadable` set, a PRT line and false.
bool ProfileLoad(ProfileFile& pf, const char* path);
// Replaces pf by the lines of text (CR LF or LF line ends; a leading UTF-8 byte-order mark
// is skipped).
void ProfileParse(ProfileFile& pf, std::string_view text);
// The bytes a save writes: every line followed by CR LF.
std::string ProfileText(const ProfileFile& pf);
// Writes ProfileText to a temporary file in the same folder, flushes it and renames it over
// path. False (with a PRT line) on failure, leaving the old file as it was.
bool ProfileSave(const ProfileFile& pf, const char* path);

// The value of key in section (names match without regard to ASCII case; the first
// matching section and its first matching key count), trimmed of blanks and of one pair of
// enclosing quotes, cut to size - 1 bytes at a character boundary. A missing key gives def.
// Returns true when the key was found.
bool ProfileGetString(const ProfileFile& pf, const char* section, const char* key, const char* def,
                      char* out, size_t size);
// The decimal integer at the start of the value ("12abc" reads 12, blanks and a sign may
// precede it); def when the key is missing or holds no number. Saturates at the int range.
int ProfileGetInt(const ProfileFile& pf, const char* section, const char* key, int def);
// Reads up to count integers separated by blanks, as a fixed "%d %d ..." scan: the scan
// ends at the first text that is not a number, later variables keep what they held, extra
// numbers are ignored. Returns how many were read (0 when the key is missing).
int ProfileGetInts(const ProfileFile& pf, const char* section, const char* key, int* values, int count);
// Scans up to count integers from text as ProfileGetInts does.
int ScanInts(std::string_view text, int* values, int count);

// Sets key in section to value: the first matching key line is rewritten in place; a new
// key goes after the last non-blank line of its section; a new section goes at the end.
// CR and LF in the value become blanks, so a value can never make lines of its own; a value
// that the reader would trim or unquote is written in quotes so that it reads back as is.
void ProfileSetString(ProfileFile& pf, const char* section, const char* key, const char* value);
void ProfileSetInt(ProfileFile& pf, const char* section, const char* key, int value);
// Writes count integers separated by single blanks.
void ProfileSetInts(ProfileFile& pf, const char* section, const char* key, const int* values, int count);
