#include "lists/list_sort.h"

#include <algorithm>
#include <numeric>

int ToggleListSort(int* state) {
  *state = *state == 1 ? 2 : 1;
  return *state;
}

std::vector<int> ListSortOrder(const std::vector<ListSortKey>& keys, int state) {
  std::vector<int> order(keys.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const ListSortKey& x = keys[a];
    const ListSortKey& y = keys[b];
    if (x.text) return x.str < y.str;  // std::string compares bytes as unsigned
    return x.number > y.number;
  });
  if (state == 2) std::reverse(order.begin(), order.end());
  return order;
}
