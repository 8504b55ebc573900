#include "lists/user_data.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "platform/diagnostics.h"
#include "platform/profile_file.h"
#include "platform/working_folder.h"
#include "support/db_fixture.h"
#include "support/kill_points.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace {

std::string Path(const char* name) { return DataFilePath(name); }
bool Exists(const std::string& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0;
}
// Gives p the modification time t as the program reads it back with stat. A clock library
// that shifts the times stat reports (libfaketime) shifts them alike; set once more to make up.
void SetMtime(const std::string& p, int64_t t) {
  auto set = [&p](int64_t when) {
    struct timespec ts[2] = {{static_cast<time_t>(when), 0}, {static_cast<time_t>(when), 0}};
    return ::utimensat(AT_FDCWD, p.c_str(), ts, 0) == 0;
  };
  struct stat st {};
  ASSERT_TRUE(set(t));
  ASSERT_EQ(::stat(p.c_str(), &st), 0);
  if (st.st_mtim.tv_sec != t) ASSERT_TRUE(set(t - (st.st_mtim.tv_sec - t)));
}

// Fills every table to capacity with distinct values.
void FillFull() {
  ResetUserData();
  Group_Num = GROUP_MAX;
  Group_Select = 42;
  for (int i = 0; i < GROUP_MAX; ++i) std::snprintf(GroupName[i], sizeof GroupName[i], "フォルダ %d 番", i);
  Tyumoku_Num = TYUMOKU_MAX;
  for (int i = 0; i < TYUMOKU_MAX; ++i) {
    Tyumoku& t = tyumoku[i];
    t.Group = i % GROUP_MAX;
    t.Code = 1300 + i;
    std::snprintf(t.Name, sizeof t.Name, "銘柄%d", i);
    t.Price = -i * 7;
    t.Share = i * 100;
    std::snprintf(t.Date, sizeof t.Date, "2026/%02d/%02d", i % 12 + 1, i % 28 + 1);
    std::snprintf(t.Memo, sizeof t.Memo, "メモ %d の 空白 入り", i);
  }
  Rireki_Num = RIREKI_MAX;
  for (int i = 0; i < RIREKI_MAX; ++i) {
    Rireki& r = rireki[i];
    r.Code = 2000 + i;
    std::snprintf(r.Name, sizeof r.Name, "履歴%d", i);
    r.Share = i;
    std::snprintf(r.BuyDate, sizeof r.BuyDate, "2025/01/%02d", i % 28 + 1);
    r.BuyPrice = 1000 + i;
    std::snprintf(r.SellDate, sizeof r.SellDate, "2026/02/%02d", i % 28 + 1);
    r.SellPrice = INT32_MIN + i;
    r.Cost = INT32_MAX - i;
    std::snprintf(r.Memo, sizeof r.Memo, "売買 %d", i);
  }
  Alarum_Num = ALARUM_MAX;
  for (int i = 0; i < ALARUM_MAX; ++i) {
    Alarum& a = alarum[i];
    a.Flag = i & 1;
    a.Code = 3000 + i;
    std::snprintf(a.Name, sizeof a.Name, "警報%d", i);
    a.Check1 = (i >> 1) & 1;
    a.Price1 = i * 3;
    a.Check2 = (i >> 2) & 1;
    a.Price2 = i * 5;
  }
}

class UserData : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearPrtHistory();
    ResetUserData();
  }
  void TearDown() override { ResetUserData(); }
  TempDir dir_;
};

TEST_F(UserData, FullCapacityRoundTripKeepsEveryFieldAndOrder) {
  ScriptedHost host;
  FillFull();
  // Computed fields are not stored.
  tyumoku[5].Value = 77;
  tyumoku[5].Profit = 88;
  ASSERT_TRUE(SaveVurnIniOrg());
  const std::string bytes = ReadFileBytes(Path(USER_DATA_FILE));
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), std::string("\n\0", 2));
  EXPECT_EQ(bytes.find('\r'), std::string::npos);
  EXPECT_EQ(bytes.rfind("[Portfolio]\nNum=4000\n[PF0000]\nGroup=0\nCode=1300\n", 0), 0u);

  static Tyumoku t0[TYUMOKU_MAX];
  static Rireki r0[RIREKI_MAX];
  static Alarum a0[ALARUM_MAX];
  std::memcpy(t0, tyumoku, sizeof t0);
  std::memcpy(r0, rireki, sizeof r0);
  std::memcpy(a0, alarum, sizeof a0);
  t0[5].Value = t0[5].Profit = 0;
  ResetUserData();
  ASSERT_EQ(LoadVurnIniOrginal(), 1);
  EXPECT_TRUE(host.boxes.empty());
  ASSERT_EQ(Tyumoku_Num, TYUMOKU_MAX);
  ASSERT_EQ(Rireki_Num, RIREKI_MAX);
  ASSERT_EQ(Alarum_Num, ALARUM_MAX);
  EXPECT_EQ(Group_Num, GROUP_MAX);
  EXPECT_EQ(Group_Select, 42);
  EXPECT_STREQ(GroupName[99], "フォルダ 99 番");
  EXPECT_EQ(std::memcmp(t0, tyumoku, sizeof t0), 0);
  EXPECT_EQ(std::memcmp(r0, rireki, sizeof r0), 0);
  EXPECT_EQ(std::memcmp(a0, alarum, sizeof a0), 0);
}

TEST_F(UserData, ReaderRulesOfTheFormat) {
  // CR LF line ends, a key only in a later section, a header text inside a memo, a name
  // with a blank, a memo with blanks, a folder section without its name.
  const std::string text =
      "[Portfolio]\r\nNum=3\r\n"
      "[PF0000]\r\nGroup=0\r\nCode=7203\r\nName=トヨタ 自動車\r\nMemo=a [PF0001] b\r\n"
      "[PF0001]\r\nCode=6758\r\n"
      "[PF0002]\r\nCode=9984\r\nMemo=later memo\r\nGroup=0\r\n"
      "[PortfolioGroup]\r\nNum=1\r\n[PG0000]\r\n"
      "[Rireki]\r\nNum=0\r\n[Alarum]\r\nNum=0\r\n";
  std::string why;
  EXPECT_TRUE(ParseUserDataText(text, &why)) << why;
  ASSERT_EQ(Tyumoku_Num, 3);
  EXPECT_STREQ(tyumoku[0].Name, "トヨタ");
  EXPECT_STREQ(tyumoku[0].Memo, "a [PF0001] b");
  EXPECT_EQ(tyumoku[1].Code, 6758);
  EXPECT_STREQ(tyumoku[1].Memo, "");   // not PF0002's memo
  EXPECT_STREQ(tyumoku[1].Name, "----");
  EXPECT_STREQ(tyumoku[1].Date, "0");
  EXPECT_STREQ(tyumoku[2].Memo, "later memo");
  EXPECT_STREQ(GroupName[0], "標準のフォルダ");
}

TEST_F(UserData, CountsAndTextsAreBounded) {
  std::string text = "[Portfolio]\nNum=999999\n[PortfolioGroup]\nNum=-5\nCode=3\n[Rireki]\nNum=99999999999\n";
  text += "[PR0000]\nName=" + std::string(100, 'x') + "\nMemo=" + std::string(600, 'y') + "\n";
  text += "[Alarum]\nNum=0\n";
  std::string why;
  EXPECT_FALSE(ParseUserDataText(text, &why));  // the favourites' sections are missing
  // Only the records that are there are read, whatever the counts say.
  EXPECT_EQ(Tyumoku_Num, 0);
  EXPECT_EQ(Group_Num, 1);
  EXPECT_EQ(Group_Select, 0);
  EXPECT_EQ(Rireki_Num, 1);
  EXPECT_EQ(std::strlen(rireki[0].Name), 31u);
  EXPECT_EQ(std::strlen(rireki[0].Memo), 199u);
}

TEST_F(UserData, TypedLineBreaksNeverReachTheFile) {
  ScriptedHost host;
  Tyumoku_Num = 1;
  std::strcpy(tyumoku[0].Memo, "one\rtwo\nthree\x01");
  std::strcpy(GroupName[0], "a\nb");
  const std::string text = UserDataText();
  EXPECT_NE(text.find("Memo=one two three \n"), std::string::npos);
  EXPECT_NE(text.find("Group=a b\n"), std::string::npos);
}

TEST_F(UserData, ControlBytesEndAWordAsTheWriterWritesThem) {
  // A name with a control byte inside (found by fuzzing): it is read up to that byte, so a
  // save and a load keep it; before, the name grew a blank on the save and lost its end on
  // the next load. A lead byte before a line feed does not carry the line feed into the file.
  std::string why;
  ParseUserDataText("[Portfolio]\nNum=1\n[PF0000]\nName=\x83\x5C\x03\x6A\x81\x5B\nDate=\x01" "2026\n"
                    "[Rireki]\nNum=0\n[Alarum]\nNum=0\n",
                    &why);
  ASSERT_EQ(Tyumoku_Num, 1);
  EXPECT_STREQ(tyumoku[0].Name, "\x83\x5C");
  EXPECT_STREQ(tyumoku[0].Date, "2026");
  std::strcpy(tyumoku[0].Memo, "a\x83\nb");
  const std::string text = UserDataText();
  EXPECT_NE(text.find("Memo=a\x83 b\n"), std::string::npos);
  ASSERT_TRUE(ParseUserDataText(text, &why)) << why;
  EXPECT_EQ(UserDataText(), text);
}

TEST_F(UserData, EmptyFileAndMissingFile) {
  ScriptedHost host;
  EXPECT_EQ(LoadVurnIniOrginal(), 0);  // missing: the caller reads mirelo.ini
  WriteFileBytes(Path(USER_DATA_FILE), "");
  host.Answer(IDOK);
  EXPECT_EQ(LoadVurnIniOrginal(), 1);
  EXPECT_EQ(Tyumoku_Num, 0);
  EXPECT_EQ(Group_Num, 1);
  EXPECT_STREQ(GroupName[0], "標準のフォルダ");
}

TEST_F(UserData, FallbackReadsTheSettingsFile) {
  ProfileFile ini;
  ProfileParse(ini,
               "[Portfolio]\r\nNum=1\r\n[PF0000]\r\nCode=1301\r\nName=極洋\r\nPrice=3000\r\n"
               "[PortfolioGroup]\r\nNum=2\r\nCode=1\r\n[PG0001]\r\nGroup=長期\r\n"
               "[Alarum]\r\nNum=1\r\n[PAL0000]\r\nCode=1332\r\nPrice2=900\r\n");
  LoadUserDataFallback(ini);
  ASSERT_EQ(Tyumoku_Num, 1);
  EXPECT_EQ(tyumoku[0].Code, 1301);
  EXPECT_EQ(tyumoku[0].Price, 3000);
  EXPECT_EQ(Group_Num, 2);
  EXPECT_EQ(Group_Select, 1);
  EXPECT_STREQ(GroupName[0], "標準のフォルダ");
  EXPECT_STREQ(GroupName[1], "長期");
  EXPECT_EQ(Alarum_Num, 1);
  EXPECT_STREQ(alarum[0].Name, "---");
  EXPECT_EQ(alarum[0].Price2, 900);
}

TEST_F(UserData, BackupRotationOnTheClock) {
  ScriptedHost host;
  const std::string in2 = Path(USER_DATA_FILE);
  // First save: no backup exists yet, so the (missing) file gives nothing to copy.
  Tyumoku_Num = 1;
  tyumoku[0].Code = 1111;
  ASSERT_TRUE(SaveVurnIniOrg());
  EXPECT_FALSE(Exists(in2 + ".1"));
  // Second save: .1 is missing, so a rotation copies the previous file.
  tyumoku[0].Code = 2222;
  ASSERT_TRUE(SaveVurnIniOrg());
  ASSERT_TRUE(Exists(in2 + ".1"));
  EXPECT_NE(ReadFileBytes(in2 + ".1").find("Code=1111"), std::string::npos);
  for (int n = 2; n <= 5; ++n) WriteFileBytes(in2 + "." + std::to_string(n), "gen" + std::to_string(n));

  // Written one day ago: no new generation.
  SetMtime(in2 + ".1", host.now - 86400);
  tyumoku[0].Code = 3333;
  ASSERT_TRUE(SaveVurnIniOrg());
  EXPECT_NE(ReadFileBytes(in2 + ".1").find("Code=1111"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(in2 + ".2"), "gen2");

  // Three days ago: everything shifts by one, .1 receives the file before this save.
  SetMtime(in2 + ".1", host.now - 3 * 86400);
  tyumoku[0].Code = 4444;
  ASSERT_TRUE(SaveVurnIniOrg());
  EXPECT_NE(ReadFileBytes(in2 + ".1").find("Code=3333"), std::string::npos);
  EXPECT_NE(ReadFileBytes(in2 + ".2").find("Code=1111"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(in2 + ".3"), "gen2");
  EXPECT_EQ(ReadFileBytes(in2 + ".5"), "gen4");
  EXPECT_NE(ReadFileBytes(in2).find("Code=4444"), std::string::npos);

  // A time in the future is not due.
  SetMtime(in2 + ".1", host.now + 10 * 86400);
  ASSERT_TRUE(SaveVurnIniOrg());
  EXPECT_NE(ReadFileBytes(in2 + ".1").find("Code=3333"), std::string::npos);
}

TEST_F(UserData, DamagedFileOffersTheNewestSoundBackupAndIsNeverRotated) {
  const std::string in2 = Path(USER_DATA_FILE);
  {
    ScriptedHost host;
    Tyumoku_Num = 2;
    tyumoku[0].Code = 5555;
    ASSERT_TRUE(SaveVurnIniOrg());
  }
  const std::string sound = ReadFileBytes(in2);
  WriteFileBytes(in2 + ".2", sound);
  WriteFileBytes(in2 + ".1", sound.substr(0, sound.size() / 2));  // a damaged backup is skipped

  struct Case {
    const char* what;
    std::string bytes;
  } const cases[] = {
      {"no [Alarum]", sound.substr(0, sound.find("[Alarum]"))},
      {"short table", "[Portfolio]\nNum=3\n[PF0000]\nCode=1\n[PortfolioGroup]\nNum=1\n[Rireki]\nNum=0\n[Alarum]\nNum=0\n"},
      {"cut mid-line", "[Portfolio]\nNum=0\n[PortfolioGroup]\nNum=1\n[Rireki]\nNum=0\n[Alarum]\nNum=1\n[PAL0000]\nFlag=1\nPri"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedHost host;
    WriteFileBytes(in2, c.bytes);
    host.Answer(IDYES);
    ResetUserData();
    ASSERT_EQ(LoadVurnIniOrginal(), 1);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_NE(host.boxes[0].text.find("mirelo.in2.2"), std::string::npos);
    EXPECT_EQ(Tyumoku_Num, 2);
    EXPECT_EQ(tyumoku[0].Code, 5555);
    EXPECT_EQ(ReadFileBytes(in2 + ".damaged"), c.bytes);
    // The save that follows never copies the damaged file into a backup.
    ::unlink((in2 + ".1").c_str());
    ASSERT_TRUE(SaveVurnIniOrg());
    EXPECT_FALSE(Exists(in2 + ".1"));
    EXPECT_EQ(ReadFileBytes(in2), sound);
    WriteFileBytes(in2 + ".1", sound.substr(0, sound.size() / 2));
  }
  // "No" keeps what the damaged file held.
  ScriptedHost host;
  WriteFileBytes(in2, cases[1].bytes);
  host.Answer(IDNO);
  ASSERT_EQ(LoadVurnIniOrginal(), 1);
  EXPECT_EQ(Tyumoku_Num, 1);
  EXPECT_EQ(tyumoku[0].Code, 1);
}

TEST_F(UserData, DamagedFileLoadsOnlyTheRecordsThatAreThere) {
  // Three folders, five favourites in them, two trades, two alerts; the last alert's take
  // profit is the file's last value.
  Group_Num = 3;
  std::strcpy(GroupName[1], "長期");
  std::strcpy(GroupName[2], "短期");
  Tyumoku_Num = 5;
  for (int i = 0; i < 5; ++i) {
    tyumoku[i].Group = i % 3;
    tyumoku[i].Code = 7200 + i;
    std::snprintf(tyumoku[i].Name, sizeof tyumoku[i].Name, "銘柄%d", i);
    std::snprintf(tyumoku[i].Memo, sizeof tyumoku[i].Memo, "memo %d", i);
  }
  Rireki_Num = 2;
  rireki[0].Code = 6758, rireki[1].Code = 9984;
  Alarum_Num = 2;
  alarum[0] = {0, 8306, "三菱", 0, 1, 900, 0, 0};
  alarum[1] = {0, 7203, "トヨタ", 0, 0, 0, 1, 1109};
  std::string sound = UserDataText();
  const std::string in2 = Path(USER_DATA_FILE);
  auto replaced = [&sound](const std::string& from, const std::string& to) {
    std::string s = sound;
    return s.replace(s.find(from), from.size(), to);
  };
  const size_t group_section = sound.find("[PortfolioGroup]");
  const std::string no_group_section =
      sound.substr(0, group_section) + sound.substr(sound.find("[Rireki]"));

  struct Case {
    const char* what;
    std::string bytes;
    int favourites, folders, trades, alerts;
  } const cases[] = {
      {"cut inside a favourite", sound.substr(0, sound.find("Code=", sound.find("[PF0003]"))), 3, 3, 0, 0},
      {"huge count", replaced("[Portfolio]\nNum=5\n", "[Portfolio]\nNum=99999999\n"), 5, 3, 2, 2},
      {"huge folder count", replaced("[PortfolioGroup]\nNum=3\n", "[PortfolioGroup]\nNum=99999999\n"), 5, 3, 2, 2},
      {"NUL inside a record", replaced("memo 1", std::string("me\0o 1", 6)), 5, 3, 2, 2},
      {"junk bytes over a header", replaced("[PF0002]\nGroup=2", "\xff\xfe#@!\x01junk\x80=="), 4, 3, 2, 2},
      {"count smaller than the records", replaced("[Rireki]\nNum=2\n", "[Rireki]\nNum=1\n"), 5, 3, 2, 2},
      {"no [PortfolioGroup]", no_group_section, 5, 3, 2, 2},
      {"favourite in a missing folder", replaced("[PF0004]\nGroup=1\n", "[PF0004]\nGroup=7\n"), 5, 8, 2, 2},
      {"cut inside the last value", sound.substr(0, sound.size() - 3), 5, 3, 2, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedHost host;
    WriteFileBytes(in2, c.bytes);
    ::unlink((in2 + ".damaged").c_str());
    host.Answer(IDOK);  // no sound backup to offer
    ResetUserData();
    ASSERT_EQ(LoadVurnIniOrginal(), 1);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_NE(host.boxes[0].text.find("mirelo.in2.damaged"), std::string::npos) << host.boxes[0].text;
    EXPECT_EQ(ReadFileBytes(in2 + ".damaged"), c.bytes);
    EXPECT_EQ(Tyumoku_Num, c.favourites);
    EXPECT_EQ(Group_Num, c.folders);
    EXPECT_EQ(Rireki_Num, c.trades);
    EXPECT_EQ(Alarum_Num, c.alerts);
    for (int i = 0; i < Tyumoku_Num; ++i) EXPECT_NE(tyumoku[i].Code, 1001) << i;  // no records of defaults
    for (int i = 0; i < Alarum_Num; ++i) EXPECT_NE(alarum[i].Code, 1001) << i;
    if (c.folders == 3) EXPECT_STREQ(GroupName[2], c.bytes.find("[PG0002]") != std::string::npos ? "短期" : "復元したフォルダ2");
    for (int i = 0; i < Tyumoku_Num; ++i)  // every favourite stays in its folder
      if (tyumoku[i].Code == 7202) EXPECT_EQ(tyumoku[i].Group, 2);
    // What the exit writes is what was read, and loads as sound.
    ASSERT_TRUE(SaveVurnIniOrg());
    ResetUserData();
    ASSERT_EQ(LoadVurnIniOrginal(), 1);
    EXPECT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(Tyumoku_Num + Group_Num + Rireki_Num + Alarum_Num, c.favourites + c.folders + c.trades + c.alerts);
  }
  // The file as written loads as sound.
  std::string why;
  EXPECT_TRUE(ParseUserDataText(sound, &why)) << why;
}

TEST_F(UserData, FileChangedByAnotherInstanceIsKeptAsConflict) {
  const std::string in2 = Path(USER_DATA_FILE);
  ScriptedHost host;
  Tyumoku_Num = 1;
  tyumoku[0].Code = 1000;
  ASSERT_TRUE(SaveVurnIniOrg());
  ASSERT_EQ(LoadVurnIniOrginal(), 1);
  EXPECT_TRUE(SaveVurnIniOrg());  // our own file: no conflict
  EXPECT_TRUE(host.boxes.empty());

  // Another instance saves in between.
  const std::string theirs = "[Portfolio]\nNum=0\n[PortfolioGroup]\nNum=1\n[Rireki]\nNum=0\n[Alarum]\nNum=0\n";
  WriteFileBytes(in2, theirs);
  SetMtime(in2, host.now - 5);
  host.Answer(IDOK);
  tyumoku[0].Code = 2000;
  EXPECT_TRUE(SaveVurnIniOrg());
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_NE(host.boxes[0].text.find("mirelo.in2.conflict"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(in2 + ".conflict"), theirs);
  EXPECT_NE(ReadFileBytes(in2).find("Code=2000"), std::string::npos);

  // A file that appeared although none existed at load is a conflict as well.
  ::unlink(in2.c_str());
  EXPECT_EQ(LoadVurnIniOrginal(), 0);
  WriteFileBytes(in2, theirs);
  host.Answer(IDOK);
  EXPECT_TRUE(SaveVurnIniOrg());
  EXPECT_EQ(host.boxes.size(), 2u);
}

}  // namespace

TEST_F(UserData, KillDuringSaveLosesNoGenerationAndLeavesNoTemporaryFile) {
  ScriptedHost host;
  // A clock before any file's real time: the copies a save makes count as new (not due),
  // while a backup set to three days before it is due.
  host.now = 1577836800;  // 2020-01-01
  const std::string in2 = Path(USER_DATA_FILE);
  auto backup = [&in2](int n) { return in2 + "." + std::to_string(n); };
  Tyumoku_Num = 1;
  tyumoku[0].Code = 1111;
  ASSERT_TRUE(SaveVurnIniOrg());
  const std::string before = ReadFileBytes(in2);
  ::unlink(backup(1).c_str());
  // The files as the killed run found them: the file and five due generations.
  auto prepare = [&] {
    WriteFileBytes(in2, before);
    for (int n = 1; n <= USER_DATA_BACKUPS; ++n) WriteFileBytes(backup(n), "gen" + std::to_string(n));
    SetMtime(backup(1), host.now - 3 * 86400);
    ASSERT_EQ(LoadVurnIniOrginal(), 1);
    tyumoku[0].Code = 2222;
  };
  const auto save = [] { return SaveVurnIniOrg(); };
  // Every generation but the oldest stays, newest first, with nothing in between.
  auto expect_generations = [&] {
    EXPECT_EQ(ReadFileBytes(backup(1)), before);
    for (int n = 2; n <= USER_DATA_BACKUPS; ++n) EXPECT_EQ(ReadFileBytes(backup(n)), "gen" + std::to_string(n - 1));
  };
  prepare();
  ASSERT_EQ(RunUntilStep(1 << 30, save), StepRun::kFinished);
  const std::string after = ReadFileBytes(in2);
  ASSERT_NE(after.find("Code=2222"), std::string::npos);
  expect_generations();

  int step = 1;
  for (;; ++step) {
    SCOPED_TRACE(step);
    prepare();
    const StepRun r = RunUntilStep(step, save);
    if (r == StepRun::kFinished) break;
    ASSERT_EQ(r, StepRun::kKilled);
    const std::string now = ReadFileBytes(in2);
    ASSERT_TRUE(now == before || now == after);
    // The next start removes what the killed save left; its save closes the gap.
    ASSERT_EQ(LoadVurnIniOrginal(), 1);
    EXPECT_TRUE(NamesContaining(dir_.path(), ".tmp").empty());
    tyumoku[0].Code = 3333;
    ASSERT_TRUE(SaveVurnIniOrg());
    EXPECT_NE(ReadFileBytes(in2).find("Code=3333"), std::string::npos);
    expect_generations();
  }
  EXPECT_GE(step, 8);  // four renames, the copy to .1, the new file

  // A temporary file of a live process may be another instance's save under way.
  const std::string live = in2 + ".tmp" + std::to_string(::getpid()) + "_7";
  WriteFileBytes(live, "x");
  ASSERT_EQ(LoadVurnIniOrginal(), 1);
  EXPECT_TRUE(Exists(live));
}
