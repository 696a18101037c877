#pragma once
// When a change in the world happened. Each change a watcher reports takes
// the world's next stamp (World::stamp), so that what one frame changed, in
// every domain, can be told in the order it happened.

#include <cstdint>

#include "plugin_id.h"

namespace sim {

struct Stamp {
  uint64_t order = 0;  // rises with every change over the world's life; 0: never
  uint64_t calls = 0;  // native calls begun by then: the change came after the last of them
  PluginId by = {};    // the plug-in whose script made it, or the game (and a step)

  bool operator<(const Stamp& other) const { return order < other.order; }
};

// The later of two changes: when a thing that depends on both last changed.
inline const Stamp& later(const Stamp& a, const Stamp& b) { return a < b ? b : a; }

}  // namespace sim
