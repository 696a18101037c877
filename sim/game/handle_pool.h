#pragma once
// Handles as the game's pools give them: a slot's number in the high bits
// and, in the low byte, how many times the slot was given again. A freed
// slot goes to the next thing made of its kind, the oldest freed first, once
// it has been free for `reuse_after` frames, under its next handle: a
// plug-in that keeps a handle after what it named is gone holds one that
// names nothing until the slot has been given 256 times more, and acting on
// it acts on nothing, as in the game. The short wait keeps a delete and the
// next make in one pass from landing in the same slot.

#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

namespace sim {

class HandlePool {
 public:
  static constexpr uint64_t reuse_after = 60;  // frames: a second at 60 frames a second
  static constexpr int reuse_bits = 8;
  static constexpr int32_t reuse_mask = (1 << reuse_bits) - 1;

  // Slots from `first_slot` on; `kinds` freed lists share the slots, as the
  // game's pools of peds and objects share one handle space.
  explicit HandlePool(int32_t first_slot, size_t kinds = 1)
      : next_slot_(first_slot), freed_(kinds) {}

  void free(int32_t handle, uint64_t frame, size_t kind = 0) {
    freed_[kind].emplace_back(handle, frame);
  }

  // A handle for a new thing of `kind`. A freed handle that `alive(handle)`
  // says the game gave back to something of its own keeps its slot until
  // freed again. `*before` gets the handle the slot had, 0 for a new slot,
  // so that what the world kept about it can go.
  template <class Alive>
  int32_t give(uint64_t frame, Alive alive, int32_t* before = nullptr, size_t kind = 0) {
    std::deque<std::pair<int32_t, uint64_t>>& freed = freed_[kind];
    while (!freed.empty() && frame >= freed.front().second + reuse_after) {
      const int32_t old = freed.front().first;
      freed.pop_front();
      if (alive(old)) continue;
      if (before != nullptr) *before = old;
      return next_use(old);
    }
    if (before != nullptr) *before = 0;
    return next_slot_++ << reuse_bits;
  }
  int32_t give(uint64_t frame) {
    return give(frame, [](int32_t) { return false; });
  }

  // The slot's handle when it is given again: the count of uses wraps
  // within the low byte, the slot stays.
  static int32_t next_use(int32_t handle) {
    return (handle & ~reuse_mask) | ((handle + 1) & reuse_mask);
  }
  size_t freed(size_t kind = 0) const { return freed_[kind].size(); }

 private:
  int32_t next_slot_;
  std::vector<std::deque<std::pair<int32_t, uint64_t>>> freed_;  // handle, the frame it was freed
};

}  // namespace sim
