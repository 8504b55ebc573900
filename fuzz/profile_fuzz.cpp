// Fuzz target for the settings file reader: any bytes as a settings file are parsed, read
// as strings and numbers, changed and written back; what is written reads back to the
// same lines, and a value set is read back as set.
#include <algorithm>
#include <cstring>

#include "fuzz_main.h"
#include "platform/profile_file.h"

void FuzzOne(const unsigned char* data, size_t size) {
  ProfileFile pf;
  ProfileParse(pf, std::string_view(reinterpret_cast<const char*>(data), size));
  char value[PROFILE_VALUE_BYTES];
  int ints[8] = {};
  for (const ProfileLine& line : pf.lines) {
    if (line.kind != ProfileLine::KEY) continue;
    // The first section of the file is enough to reach every reader path.
    ProfileGetString(pf, "Setting", line.name.c_str(), "", value, sizeof value);
    Require(std::strlen(value) < sizeof value, "value inside its buffer");
    ProfileGetInt(pf, "Setting", line.name.c_str(), 0);
    Require(ProfileGetInts(pf, "Setting", line.name.c_str(), ints, 8) <= 8, "at most count numbers");
  }
  const std::string text = ProfileText(pf);
  ProfileFile again;
  ProfileParse(again, text);
  Require(ProfileText(again) == text, "written text reads back the same");
  // A value taken from the input (cut, with its line ends) is read back as written.
  std::string v(reinterpret_cast<const char*>(data), size < 100 ? size : 100);
  v.erase(std::find(v.begin(), v.end(), '\0'), v.end());
  ProfileSetString(again, "Fuzz", "Key", v.c_str());
  ProfileFile third;
  ProfileParse(third, ProfileText(again));
  Require(ProfileGetString(third, "Fuzz", "Key", "", value, sizeof value), "key written is found");
}
