#include "lists/favourite_add.h"

#include "platform/host.h"

int SelectCode[SELECT_CODE_MAX];

void AddToFavourites(int code) {
  if (AddToFavouritesHook) {
    AddToFavouritesHook(code);
    return;
  }
  HostMessageBox("お気に入りはこの版ではまだ使えません。", "お気に入りへ", MB_OK | MB_ICONINFORMATION);
}
