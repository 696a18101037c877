#pragma once
// A long seeded run of one deliverable in a hostile game: the player walks in
// and out of range at random, completes whatever is offered, and the game
// injects faults and removes things. The run stops at the first breach.

#include <array>
#include <cstdint>
#include <string>

#include "faults.h"
#include "ownership.h"
#include "world.h"

namespace soak {

struct Options {
  std::string deliverable;  // "cinema" or "toytrain"
  uint64_t frames = 100000;
  uint64_t seed = 1;
  bool faults = true;
  double fault_rate = 0.002;  // chance per frame that a fault starts
  bool trace = false;         // keep the recent calls, and give them with a breach
};

struct Report {
  uint64_t frames = 0;
  uint64_t visits = 0;       // arrivals in range after being out of it
  uint64_t completions = 0;  // prompts the player completed
  std::array<uint64_t, sim::fault_kinds> faults{};
  sim::Holdings peak{};  // the most the plug-in held alive of each kind
  int peak_total = 0;
  double wall_seconds = 0.0;
  std::string failure;  // the first breach; empty when the run was sound
  std::string recent;   // with `trace`, the calls of the frames before the breach

  bool sound() const { return failure.empty(); }
  std::string text() const;
};

Report run(const Options& options);

// What each deliverable may hold alive at most, and what it keeps for the
// whole run once the player has left.
sim::Vec centre_of(const std::string& deliverable);  // the post, or the train's site
// The native each pass calls first, so that counting its calls counts passes.
const sim::NativeRow* first_of_pass(const std::string& deliverable);
int live_bound(const std::string& deliverable);
sim::Holdings kept_when_away(const std::string& deliverable);

}  // namespace soak
