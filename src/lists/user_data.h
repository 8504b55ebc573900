// The user's own lists (favourites in folders, trade history, price alerts) and their file
// "mirelo.in2": read once at start-up with the settings, written once at exit, with up to
// five backups "mirelo.in2.1" (newest) to "mirelo.in2.5".
#pragma once

#include <cstdint>
#include <string>

struct ProfileFile;

constexpr const char* USER_DATA_FILE = "mirelo.in2";
constexpr int TYUMOKU_MAX = 4000;  // favourites
constexpr int GROUP_MAX = 100;     // favourites folders
constexpr int RIREKI_MAX = 1000;   // trade-history records
constexpr int ALARUM_MAX = 1000;   // price alerts
constexpr int USER_DATA_BACKUPS = 5;
constexpr int BACKUP_INTERVAL_DAYS = 3;
constexpr const char* DEFAULT_GROUP_NAME = "標準のフォルダ";

struct Tyumoku {
  int32_t Group;   // folder index
  int32_t Code;
  char Name[32];
  int32_t Price;   // purchase price in yen
  int32_t Share;
  int64_t Value;   // latest close * Share (computed by the favourites window; 64-bit so a
                   // large holding never wraps)
  int64_t Profit;  // Value - Share * Price (computed)
  char Date[15];
  char Memo[101];
};

struct Rireki {
  int32_t Code;
  char Name[32];
  int32_t Share;
  char BuyDate[16];
  int32_t BuyPrice;
  char SellDate[16];
  int32_t SellPrice;
  int32_t Cost;
  char Memo[200];
  int64_t Profit;  // computed by the trade-history window (64-bit)
};

struct Alarum {
  int32_t Flag;  // 1 when the alert fired at the last check
  int32_t Code;
  char Name[32];
  int32_t NowPrice;  // filled by the alert check
  int32_t Check1;    // the lower limit is active
  int32_t Price1;    // stop loss: fires at or below
  int32_t Check2;    // the upper limit is active
  int32_t Price2;    // take profit: fires at or above
};

extern Tyumoku tyumoku[TYUMOKU_MAX];
extern int Tyumoku_Num;
extern char GroupName[GROUP_MAX][100];
extern int Group_Num;     // at least 1
extern int Group_Select;  // current folder
extern Rireki rireki[RIREKI_MAX];
extern int Rireki_Num;
extern Alarum alarum[ALARUM_MAX];
extern int Alarum_Num;

// Empties every table: no favourites, one folder "標準のフォルダ", no history, no alerts.
void ResetUserData();

// Reads "mirelo.in2" into the tables: 1 when it was read, 0 when it does not exist (the
// settings load then reads the same sections from "mirelo.ini"). A damaged file is kept as
// "mirelo.in2.damaged"; the user is offered the newest sound backup.
int LoadVurnIniOrginal();
// Rotates the backups and writes the tables to "mirelo.in2" (temporary file, flush,
// rename). A file that another instance wrote since this one loaded is first kept as
// "mirelo.in2.conflict" with a warning. Returns false when the file could not be written.
bool SaveVurnIniOrg();
// Reads the lists from the settings file, as earlier versions stored them.
void LoadUserDataFallback(const ProfileFile& ini);

// The file's text of the current tables (what a save writes, its final NUL included).
std::string UserDataText();
// Reads the tables from a file's text: only the records whose sections are there, whatever
// the counts say, and every folder that a favourite names. Returns false, with the reason
// in *why, when the text is not a whole file of the writer: empty, cut (no final line feed,
// or a last record without all its keys), a NUL byte or a line that is neither a header of
// the file nor one of its keys, a section twice, a count that differs from its records, a
// missing record, or a favourite in a folder that is not there. The tables are filled from
// what could be read either way; a record cut short is not read.
bool ParseUserDataText(const std::string& text, std::string* why);
// Replaces CR, LF and other control bytes by blanks so that typed text stays one line.
void MakeOneLine(char* text);
