#pragma once
// What a pass measures: the time between two readings of the game's timer,
// and the distance between two points as the game works it out.

#include <cstdint>

#include "natives.h"
#include "types.h"

// Game-timer milliseconds from `since` to `now`; the 32-bit timer wraps, so
// the difference is taken modulo 2^32.
inline int32_t elapsed_ms(int32_t now, int32_t since) {
  return static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(since));
}

// The game's distance in three dimensions; one native call.
inline float distance_between(const Vector3& a, const Vector3& b) {
  return get_distance_between_coords(a.x, a.y, a.z, b.x, b.y, b.z, true);
}
