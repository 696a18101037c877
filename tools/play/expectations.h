#pragma once
// Whether an expectation holds in the world as it is now, and if not, what
// the world held instead.

#include <cstdint>
#include <set>
#include <string>

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

// Who a ped is, in a scenario's words: "player", a nickname, or its model.
std::string speaker_name(const sim::World& world, const Deliverable& deliverable,
                         const Baseline& baseline, int32_t ped);

// An interior by its name's hash: "the theater (arm_school_int)".
std::string interior_name(const sim::World& world, const Deliverable& deliverable,
                          uint32_t name_hash);

// A hash as the name the scripts hashed, or in hex.
std::string hash_name(const sim::World& world, uint32_t hash);

}  // namespace play
