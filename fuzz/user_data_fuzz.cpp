// Fuzz target for the user-data reader ("mirelo.in2"): any bytes as the file's text fill
// the favourites, folders, trade history and alerts within their tables; what the writer
// makes of them reads back as a sound file and gives the same text again.
#include <cstring>
#include <string>

#include "fuzz_main.h"
#include "lists/user_data.h"

namespace {

bool Terminated(const char* field, size_t size) { return std::memchr(field, 0, size) != nullptr; }

}  // namespace

void FuzzOne(const unsigned char* data, size_t size) {
  std::string why;
  const bool sound = ParseUserDataText(std::string(reinterpret_cast<const char*>(data), size), &why);
  Require(sound == why.empty(), "a damaged text names its reason");
  Require(Tyumoku_Num >= 0 && Tyumoku_Num <= TYUMOKU_MAX && Rireki_Num >= 0 && Rireki_Num <= RIREKI_MAX &&
              Alarum_Num >= 0 && Alarum_Num <= ALARUM_MAX,
          "counts within the tables");
  Require(Group_Num >= 1 && Group_Num <= GROUP_MAX && Group_Select >= 0 && Group_Select < Group_Num,
          "folders within the table");
  for (int i = 0; i < Tyumoku_Num; ++i) {
    const Tyumoku& t = tyumoku[i];
    Require(t.Group >= 0 && t.Group < Group_Num, "favourite in a folder");
    Require(Terminated(t.Name, sizeof t.Name) && Terminated(t.Date, sizeof t.Date) &&
                Terminated(t.Memo, sizeof t.Memo),
            "favourite fields terminated");
  }
  for (int i = 0; i < Group_Num; ++i) Require(Terminated(GroupName[i], sizeof GroupName[i]), "folder name terminated");
  for (int i = 0; i < Rireki_Num; ++i) {
    const Rireki& r = rireki[i];
    Require(Terminated(r.Name, sizeof r.Name) && Terminated(r.BuyDate, sizeof r.BuyDate) &&
                Terminated(r.SellDate, sizeof r.SellDate) && Terminated(r.Memo, sizeof r.Memo),
            "history fields terminated");
  }
  for (int i = 0; i < Alarum_Num; ++i) Require(Terminated(alarum[i].Name, sizeof alarum[i].Name), "alert name terminated");

  const std::string text = UserDataText();
  Require(ParseUserDataText(text, &why), "the writer's text is sound");
  Require(UserDataText() == text, "the writer's text reads back the same");
}
