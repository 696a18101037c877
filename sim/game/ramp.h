#pragma once
// A value that changes smoothly (a train's rate of turn, an effect's scale),
// as the world's pass a frame last saw it. The pass writes one entry when
// the value settles or turns back, rather than one for every frame between.

#include <cstdint>

namespace sim {

struct Ramp {
  double value = 0.0;
  double from = 0.0;
  uint64_t since_ms = 0;
  int direction = 0;  // 1 rising, -1 falling, 0 settled
  bool seen = false;  // by the pass, once
};

}  // namespace sim
