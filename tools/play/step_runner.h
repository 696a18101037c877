#pragma once
// Plays a scenario in a fresh stand-in host: the set-up steps arrange the
// world, the plug-in loads, and each further step moves the player, lets
// time pass, acts as the player or the game, or checks an expectation.

#include <memory>
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

class StepRunner;

// A run played a step at a time by a caller that gives its steps as they
// come (a test), the run going on past a step that failed. `begin` plays the
// scenario's set-up steps and loads the plug-ins; `end` unloads them as the
// game's exit does, 1 when that broke a rule. Failures go to `errors` as
// run_steps writes them.
class StepSession {
 public:
  StepSession(sim::Host& host, const Scenario& scenario, const std::vector<Observer*>& observers,
              std::ostream& errors);
  ~StepSession();
  bool begin(const std::vector<std::string>& plugins);
  bool load(const std::string& plugin);  // another, into the same world
  bool play(const Step& s);              // false: it failed, or the host saw a violation
  int end();
  sim::World& world();
  const Baseline& baseline() const;

 private:
  std::unique_ptr<StepRunner> runner_;
};

}  // namespace play
