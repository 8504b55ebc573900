// Where the list windows hand stocks to the favourites: the add dialog of the favourites
// window is installed here when it exists.
#pragma once

#include "platform/hooks.h"

constexpr int SELECT_CODE_MAX = 1000;
// Codes for adding several stocks at once, -1 in unused slots.
extern int SelectCode[SELECT_CODE_MAX];
// The add-to-favourites operation is AddToFavouritesHook (platform/hooks.h).
// Calls the operation; without one, tells the user that the favourites are not available.
void AddToFavourites(int code);
