#pragma once
// Interiors: boxes of the world with a name. Outside every box there is no
// interior.

#include <cstdint>
#include <map>
#include <vector>

#include "vec.h"

namespace sim {

struct InteriorState {
  int32_t id = 0;
  uint32_t name_hash = 0;
  Vec low;
  Vec high;
  Vec location;

  bool contains(const Vec& at) const;
};

struct Interiors {
  Interiors();

  std::vector<InteriorState> all;
  // Doors a script registered with the door system, and their states (0
  // unlocked, 1 locked, and the game's others).
  std::map<uint32_t, int> doors;

  static constexpr int32_t theater_interior = 53250;

  int32_t interior_at(const Vec& at) const;
  const InteriorState* interior(int32_t id) const;
};

}  // namespace sim
