// One notification of a lower layer ("the shown stock changed", "the chart was painted"):
// higher layers and tests join with a listener and leave with its handle, so the lower
// layer never includes upward.
#pragma once

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

template <typename... Args>
class NoticeList {
 public:
  using Listener = std::function<void(Args...)>;

  // Returns the handle that Remove takes.
  int Add(Listener listener) {
    list_.emplace_back(next_, std::move(listener));
    return next_++;
  }
  void Remove(int handle) {
    std::erase_if(list_, [handle](const auto& e) { return e.first == handle; });
  }
  // Calls every listener in the order added. A listener may join or leave (a window
  // closing itself): the call runs over the list as it was.
  void Tell(Args... args) const {
    const auto now = list_;
    for (const auto& e : now) e.second(args...);
  }
  void Clear() { list_.clear(); }
  int Count() const { return static_cast<int>(list_.size()); }

 private:
  std::vector<std::pair<int, Listener>> list_;
  int next_ = 1;
};
