// The header-click order shared by the favourites, trade-history and alert lists: each
// column's state toggles between 1 and 2; numbers put the largest first, texts the smallest
// byte string first, ties keep their order; state 2 is the reverse.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ListSortKey {
  bool text = false;
  int64_t number = 0;
  std::string str;
};

// 0 or 2 becomes 1, 1 becomes 2; returns the new state.
int ToggleListSort(int* state);
// The positions 0 ... keys.size() - 1 in the order of the state.
std::vector<int> ListSortOrder(const std::vector<ListSortKey>& keys, int state);
