#include "lists/list_settings.h"

int JuniParameter[4];
int RiguiRitu;
int SonkiriRitu;
int AlarumCheck;
int KidouView;
int FavoriteBackColor;

namespace {
[[maybe_unused]] const bool kDefaultsSet = (ResetListSettings(), true);
}

void ResetListSettings() {
  JuniParameter[0] = JuniParameter[1] = JuniParameter[2] = 0;
  JuniParameter[3] = 2;
  RiguiRitu = 5;
  SonkiriRitu = -5;
  AlarumCheck = 0;
  KidouView = 1;
  FavoriteBackColor = 1;
}
