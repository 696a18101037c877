#pragma once
// A point of the game world, in single precision like the game's own.

#include <cmath>

namespace sim {

struct Vec {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

constexpr float degrees = 180.0f / 3.14159265f;  // in a radian

inline float distance(const Vec& a, const Vec& b) {
  const float dx = a.x - b.x;
  const float dy = a.y - b.y;
  const float dz = a.z - b.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

}  // namespace sim
