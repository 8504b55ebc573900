// Where the settings load and save hand over to the user-data file "mirelo.in2" (the
// favourites, folders, trade history and price alerts).
#pragma once

struct ProfileFile;

// Reads the lists from "mirelo.in2": 1 when it was read, 0 when it does not exist.
int LoadVurnIniOrginal();
// Writes the lists to "mirelo.in2" (with its backup rotation).
void SaveVurnIniOrg();
// Reads the lists from the settings file itself (sections "Portfolio", "PF%04d",
// "PortfolioGroup", "PG%04d", "Rireki", "PR%04d", "Alarum", "PAL%04d"), as earlier
// versions stored them; used only when "mirelo.in2" does not exist. Never written back.
void LoadUserDataFallback(const ProfileFile& ini);
