#pragma once
// Handles as the game's pools give them. A freed handle goes to the next
// thing made of its kind, the oldest freed first, once it has been free for
// `reuse_after` frames: the game's pools hand a freed slot on soon, so a
// plug-in that keeps a handle after what it named is gone soon holds
// someone else's, and the ownership check sees what it does with it. The
// short wait keeps a delete and the next make in one pass from swapping
// handles, which would hide a stale handle instead of showing it.

#include <cstdint>
#include <deque>
#include <utility>

namespace sim {

class FreedHandles {
 public:
  static constexpr uint64_t reuse_after = 60;  // frames: a second at 60 frames a second

  void free(int32_t handle, uint64_t frame) { freed_.emplace_back(handle, frame); }
  // The oldest handle free long enough, or 0 when none is.
  int32_t take(uint64_t frame) {
    if (freed_.empty() || frame < freed_.front().second + reuse_after) return 0;
    const int32_t handle = freed_.front().first;
    freed_.pop_front();
    return handle;
  }
  size_t size() const { return freed_.size(); }

 private:
  std::deque<std::pair<int32_t, uint64_t>> freed_;  // handle, the frame it was freed
};

}  // namespace sim
