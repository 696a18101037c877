#pragma once
// Plays a scenario in a fresh stand-in host: the set-up steps arrange the
// world, the plug-in loads, and each further step moves the player, lets
// time pass, acts as the player or the game, or checks an expectation.

#include <ostream>
#include <string>
#include <vector>

#include "host.h"
#include "observer.h"
#include "steps.h"

namespace play {

// Steps given while the run goes on, after the scenario's own: a live run's.
class StepSource {
 public:
  virtual ~StepSource() = default;
  // The next step; false when the run is over. A plug-in file named in
  // `reload` is unloaded and loaded again first, into the same world.
  virtual bool next(Step& step, std::string& reload) = 0;
  // A step failed or the host saw a violation: what, and the run goes on.
  virtual void failure(const std::string& message) = 0;
};

// The plug-ins load in the order given, and their scripts run in that order
// every frame. 0 when every expectation held and the host saw no protocol violation;
// 1 otherwise, with "file:line: what happened" written to `errors`.
// With `wall_clock`, a plug-in's tick count is the machine's, not the game's.
int run_steps(sim::Host& host, const Scenario& scenario, const std::vector<std::string>& plugins,
              const std::vector<Observer*>& observers, std::ostream& errors,
              StepSource* more = nullptr, bool wall_clock = false);

}  // namespace play
