#pragma once
// Whether an expectation holds in the world as it is now, and if not, what
// the world held instead.

#include <cstdint>
#include <set>
#include <string>

#include "describe.h"
#include "places.h"
#include "steps.h"
#include "world.h"

namespace play {

// What an expectation is measured against besides the world itself.
struct Baseline {
  int cash = 0;                   // the player's money when the scenario began
  std::set<int32_t> player_peds;  // every ped that has been the player's
};

struct Verdict {
  bool holds = false;
  std::string held;  // what the world held, in words
};

Verdict check(const Expectation& e, sim::World& world, const Deliverable& deliverable,
              const Baseline& baseline);

}  // namespace play
