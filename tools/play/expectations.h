#pragma once
// Whether an expectation holds in the world as it is now, and if not, what
// the world held instead.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "describe.h"
#include "places.h"
#include "steps.h"
#include "world.h"

namespace play {

// What an expectation is measured against besides the world itself.
struct Baseline {
  int cash = 0;                   // the player's money when the scenario began
  std::set<int32_t> player_peds;  // every ped that has been the player's
  // What the scenario's spawn steps made, by the name each gave.
  std::map<std::string, std::vector<int32_t>> spawned;
};

struct Verdict {
  bool holds = false;
  std::string held;  // what the world held, in words
};

// The live entities a name stands for: those a spawn step gave it, else
// those of the deliverable's nickname or model so named.
std::vector<int32_t> live_named(sim::World& world, const Deliverable& deliverable,
                                const Baseline& baseline, const std::string& name);

Verdict check(const Expectation& e, sim::World& world, const Deliverable& deliverable,
              const Baseline& baseline);

}  // namespace play
