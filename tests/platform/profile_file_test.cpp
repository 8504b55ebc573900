#include "platform/profile_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/diagnostics.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace {

ProfileFile Parsed(const std::string& text) {
  ProfileFile pf;
  ProfileParse(pf, text);
  return pf;
}

std::string Get(const ProfileFile& pf, const char* section, const char* key, const char* def = "<def>") {
  char buf[PROFILE_VALUE_BYTES];
  ProfileGetString(pf, section, key, def, buf, sizeof buf);
  return buf;
}

void WriteAll(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST(ProfileFile, LookupRules) {
  const ProfileFile pf = Parsed(
      "orphan=before any section\n"
      "[General]\n"
      "  WinPos  =  1 2 3  \n"
      "Quoted=\"  spaced  \"\n"
      "Single='x'\n"
      "Mismatched=\"x'\n"
      "Empty=\n"
      "NoEquals\n"
      "; Commented=1\n"
      "Twice=first\n"
      "Twice=second\n"
      "[ general ]\n"
      "Later=in a second General\n"
      "[Other]\n"
      "Twice=other\n");
  struct Case {
    const char* section;
    const char* key;
    const char* expected;
  } const cases[] = {
      {"General", "WinPos", "1 2 3"},          // blanks around key and value trimmed
      {"GENERAL", "winpos", "1 2 3"},          // names match without regard to case
      {"General", "Quoted", "  spaced  "},     // one pair of quotes removed, inside kept
      {"General", "Single", "x"},
      {"General", "Mismatched", "\"x'"},       // quotes that do not match stay
      {"General", "Empty", ""},                // an empty value is empty, not the default
      {"General", "NoEquals", "<def>"},        // a line without "=" is no key
      {"General", "Commented", "<def>"},
      {"General", ";Commented", "<def>"},
      {"General", "Twice", "first"},           // the first key wins
      {"General", "Later", "<def>"},           // the first matching section wins
      {"Other", "Twice", "other"},             // a key is found only in its own section
      {"General", "orphan", "<def>"},
      {"Missing", "WinPos", "<def>"},
  };
  for (const Case& c : cases) EXPECT_EQ(Get(pf, c.section, c.key), c.expected) << c.section << "/" << c.key;
}

TEST(ProfileFile, DoubleByteNamesCompareExactly) {
  // "ア" is 83 41 and "ヂ" is 83 61: folding the second byte as an ASCII letter would make
  // them equal. "ゾ" is 83 5D, whose second byte is "]".
  const ProfileFile pf = Parsed("[ゾ]\nア=1\n[SG0000]\nName=ゾ値\n");
  EXPECT_EQ(Get(pf, "ゾ", "ア"), "1");
  EXPECT_EQ(Get(pf, "ゾ", "ヂ"), "<def>");
  EXPECT_EQ(Get(pf, "sg0000", "NAME"), "ゾ値");
}

TEST(ProfileFile, LineEndsAndByteOrderMark) {
  const std::string lf = "[A]\nk=v\nn=1 2\n";
  const std::string crlf = "\xEF\xBB\xBF[A]\r\nk=v\r\nn=1 2";  // mark, CR LF, no final line end
  for (const std::string& text : {lf, crlf}) {
    ProfileFile pf = Parsed(text);
    EXPECT_EQ(Get(pf, "A", "k"), "v");
    int v[2] = {0, 0};
    EXPECT_EQ(ProfileGetInts(pf, "A", "n", v, 2), 2);
    EXPECT_EQ(v[1], 2);
  }
}

TEST(ProfileFile, IntegersReadAsFixedFormats) {
  const ProfileFile pf = Parsed(
      "[N]\n"
      "partial=7\n"
      "extra=1 2 3 4 5\n"
      "suffix=12abc 5\n"
      "signs=-3 +4\n"
      "word=abc\n"
      "huge=99999999999 -99999999999\n"
      "quoted=\"42\"\n");
  struct Case {
    const char* key;
    int read;
    int v0, v1, v2;
  } const cases[] = {
      {"partial", 1, 7, -1, -1},   // missing numbers keep what the variables held
      {"extra", 3, 1, 2, 3},       // extra numbers are ignored
      {"suffix", 1, 12, -1, -1},   // "12abc" reads 12 and ends the scan
      {"signs", 2, -3, 4, -1},
      {"word", 0, -1, -1, -1},
      {"huge", 2, 2147483647, -2147483647 - 1, -1},
      {"quoted", 1, 42, -1, -1},
      {"missing", 0, -1, -1, -1},
  };
  for (const Case& c : cases) {
    int v[3] = {-1, -1, -1};
    EXPECT_EQ(ProfileGetInts(pf, "N", c.key, v, 3), c.read) << c.key;
    EXPECT_EQ(v[0], c.v0) << c.key;
    EXPECT_EQ(v[1], c.v1) << c.key;
    EXPECT_EQ(v[2], c.v2) << c.key;
  }
  EXPECT_EQ(ProfileGetInt(pf, "N", "suffix", 99), 12);
  EXPECT_EQ(ProfileGetInt(pf, "N", "word", 99), 99);  // a malformed number keeps the default
  EXPECT_EQ(ProfileGetInt(pf, "N", "missing", 99), 99);
}

TEST(ProfileFile, LongValueIsCutAtCharacterBoundary) {
  // 254 bytes, then a double-byte character that would need bytes 255 and 256.
  const std::string value = std::string(254, 'a') + "株価";
  const ProfileFile pf = Parsed("[S]\nv=" + value + "\n");
  EXPECT_EQ(Get(pf, "S", "v"), std::string(254, 'a'));
  const ProfileFile pf2 = Parsed("[S]\nv=" + std::string(253, 'a') + "株価\n");
  EXPECT_EQ(Get(pf2, "S", "v"), std::string(253, 'a') + "株");
}

TEST(ProfileFile, WriterKeepsWhatItDoesNotOwn) {
  const std::string original =
      "; settings, edited by hand\n"
      "[General]\n"
      "WinPos=1 2 3\n"
      "DekiHabaRitu = 40   ; taller volume pane\n"
      "\tOdd line without equals\n"
      "\n"
      "[PF0000]\n"
      "Name=トヨタ自動車\n"
      "Memo=  spaced memo  \n"
      "[General]\n"
      "WinPos=duplicate section, never touched\n";
  ProfileFile pf = Parsed(original);
  ProfileSetString(pf, "general", "WINPOS", "9 9 9");  // in place, first section only
  ProfileSetInt(pf, "General", "CandleKind", 2);       // new key: after the last non-blank line
  const int rci[2] = {8, 12};
  ProfileSetInts(pf, "Chart", "RCI", rci, 2);  // new section at the end
  EXPECT_EQ(ProfileText(pf),
            "; settings, edited by hand\r\n"
            "[General]\r\n"
            "WINPOS=9 9 9\r\n"
            "DekiHabaRitu = 40   ; taller volume pane\r\n"
            "\tOdd line without equals\r\n"
            "CandleKind=2\r\n"
            "\r\n"
            "[PF0000]\r\n"
            "Name=トヨタ自動車\r\n"
            "Memo=  spaced memo  \r\n"
            "[General]\r\n"
            "WinPos=duplicate section, never touched\r\n"
            "[Chart]\r\n"
            "RCI=8 12\r\n");
}

TEST(ProfileFile, WrittenValuesCannotMakeLinesAndReadBackAsWritten) {
  ProfileFile pf;
  ProfileSetString(pf, "Proxy", "Url", "proxy.example\r\n[Proxy]\r\nUse=1");
  ProfileSetString(pf, "SG0000", "Name", "  padded  ");
  ProfileSetString(pf, "SG0001", "Name", "\"quoted\"");
  ProfileSetString(pf, "SG0002", "Name", "'");
  ProfileFile back = Parsed(ProfileText(pf));
  ASSERT_EQ(back.lines.size(), 8u);
  EXPECT_EQ(Get(back, "Proxy", "Url"), "proxy.example  [Proxy]  Use=1");
  EXPECT_EQ(Get(back, "Proxy", "Use"), "<def>");
  EXPECT_EQ(Get(back, "SG0000", "Name"), "  padded  ");
  EXPECT_EQ(Get(back, "SG0001", "Name"), "\"quoted\"");
  EXPECT_EQ(Get(back, "SG0002", "Name"), "'");
}

// Every line end reads alike: CR LF, LF, and a lone CR; a CR LF is one end, not two.
TEST(ProfileFile, LineEndsOfEveryKind) {
  for (const char* text : {"[A]\r\nn=5\r\nm=6\r\n", "[A]\nn=5\nm=6\n", "[A]\rn=5\rm=6\r", "[A]\rn=5\r\nm=6"}) {
    const ProfileFile pf = Parsed(text);
    EXPECT_EQ(pf.lines.size(), 3u) << text;
    EXPECT_EQ(Get(pf, "A", "n"), "5") << text;
    EXPECT_EQ(Get(pf, "A", "m"), "6") << text;
    EXPECT_EQ(ProfileText(pf), "[A]\r\nn=5\r\nm=6\r\n") << text;
  }
}

TEST(ProfileFile, SaveReplacesWholeFileAndLoadReportsMissing) {
  TempDir dir;
  const std::string path = dir.File("mirelo.ini");
  ProfileFile pf;
  EXPECT_FALSE(ProfileLoad(pf, path.c_str()));
  EXPECT_FALSE(pf.unreadable);
  WriteAll(path, "[A]\nkeep=me\n");
  ASSERT_TRUE(ProfileLoad(pf, path.c_str()));
  ProfileSetInt(pf, "A", "n", 5);
  ASSERT_TRUE(ProfileSave(pf, path.c_str()));
  EXPECT_EQ(ReadFileBytes(path), "[A]\r\nkeep=me\r\nn=5\r\n");
  // No temporary file is left beside it.
  int files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 1);
}

// The replaced file keeps the old one's permissions (a private settings file stays private).
TEST(ProfileFile, SaveKeepsPermissions) {
  TempDir dir;
  const std::string path = dir.File("mirelo.ini");
  WriteAll(path, "[A]\nn=1\n");
  std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  ProfileFile pf;
  ASSERT_TRUE(ProfileLoad(pf, path.c_str()));
  ProfileSetInt(pf, "A", "n", 2);
  ASSERT_TRUE(ProfileSave(pf, path.c_str()));
  EXPECT_EQ(ReadFileBytes(path), "[A]\r\nn=2\r\n");
  EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(ProfileFile, UnreadableFileIsNeverReplaced) {
  TempDir dir;
  ClearPrtHistory();
  // A folder where the file should be: it cannot be read, so the save must not touch it.
  const std::string path = dir.File("mirelo.ini");
  std::filesystem::create_directory(path);
  WriteAll(path + "/inside", "x");
  ProfileFile pf;
  EXPECT_FALSE(ProfileLoad(pf, path.c_str()));
  EXPECT_TRUE(pf.unreadable);
  ProfileSetInt(pf, "A", "n", 1);
  EXPECT_FALSE(ProfileSave(pf, path.c_str()));
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_EQ(ReadFileBytes(path + "/inside"), "x");
}

}  // namespace
