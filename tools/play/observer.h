#pragma once
// What the step runner shows those who watch a scenario play: the timeline,
// the trace, the map and the call record each see every step and frame.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "expectations.h"
#include "host.h"
#include "places.h"
#include "steps.h"
#include "world.h"

namespace play {

// Fixed for the whole run.
struct PlayContext {
  const Scenario& scenario;
  const Deliverable& deliverable;
  const Baseline& baseline;
  sim::Vec site;      // what the timeline measures the player's distance to
  uint32_t start_ms;  // the game timer when the scenario began
  // Several deliverables in one game: each one's site, the player's distance
  // being to the nearest.
  std::vector<sim::Vec> sites = {};
  std::vector<std::string> plugins = {};  // the names of the plug-ins, in their load order
  uint64_t first_entry = 0;               // the journal's first entry of the scenario

  float distance_to_site(const sim::Vec& at) const;
};

inline float PlayContext::distance_to_site(const sim::Vec& at) const {
  float nearest = sim::distance(at, site);
  for (const sim::Vec& s : sites) nearest = std::min(nearest, sim::distance(at, s));
  return nearest;
}

class Observer {
 public:
  virtual ~Observer() = default;
  virtual bool needs_calls() const { return false; }
  virtual void begin(const PlayContext&, sim::World&) {}
  // The journal has new entries: a step began or was checked, a frame was
  // played; and a frame is over.
  virtual void read(sim::World&) {}
  virtual void frame_over(sim::World&) {}
  // A crash report ends the run now: what has been read is told.
  virtual void cut_short(sim::World&) {}
  virtual void step(const Step&, sim::World&) {}
  virtual void end(sim::World&) {}
};

}  // namespace play
