#pragma once
// The game's clock.

namespace sim {

struct Clock {
  int hour = 12;
};

}  // namespace sim
