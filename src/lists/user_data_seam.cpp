// Stand-ins until the user-data file module lands: the lists stay empty and nothing is
// written. That module replaces this file with the real reader, writer and fallback.
#include "lists/user_data_seam.h"

int LoadVurnIniOrginal() { return 0; }

void SaveVurnIniOrg() {}

void LoadUserDataFallback(const ProfileFile&) {}
