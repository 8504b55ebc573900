// The regular database's first file, written while the sample database "try.hy3" is in use:
// a record for every slot of the stock master file (its code, flag and name, no prices), the
// sample's trading calendar, and the sample's record of stock 0. The prices of the other
// stocks come afterwards from the web.
#pragma once

// Reads stock 0's record from the sample, reloads the full stock table from the stock master
// file (on a failure the table in memory is used), writes vurn.hy3 whole under a temporary
// name renamed at the end, and leaves the sample mode. Returns 1, or 0 (reported through
// DbFailureText) with no vurn.hy3 written and the sample mode kept.
int WriteRegularDatabase();
