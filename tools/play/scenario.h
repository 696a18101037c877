#pragma once
// A scenario drives one real plug-in through the host and checks what the
// world holds. The same scenario runs natively (inside the test suite) and
// under wine (inside the runner, against the .asi), and both runs print the
// same record of native calls.

#include <string>
#include <vector>

#include "deliverables.h"
#include "host.h"

namespace sim {

class Scenario {
 public:
  Scenario(Host& host, const Deliverable& deliverable, std::string plugin_path)
      : host(host), deliverable(deliverable), plugin_path(std::move(plugin_path)) {}

  Host& host;
  const Deliverable& deliverable;
  const std::string plugin_path;

  World& world() { return host.world(); }
  HMODULE load() { return host.load_plugin(plugin_path); }

  // A failed check fails the scenario, on either platform.
  bool check(bool ok, const std::string& what);
  void note(const std::string& line) { notes_.push_back(line); }

  const std::vector<std::string>& failures() const { return failures_; }
  const std::vector<std::string>& notes() const { return notes_; }

 private:
  std::vector<std::string> failures_;
  std::vector<std::string> notes_;
};

using ScenarioBody = void (*)(Scenario&);

struct ScenarioDef {
  const char* name;
  const Deliverable* deliverable;
  ScenarioBody body;
};

bool register_scenario(const char* name, const Deliverable& deliverable, ScenarioBody body);
const std::vector<ScenarioDef>& scenarios();
const ScenarioDef* find_scenario(const std::string& name);

struct ScenarioResult {
  std::vector<std::string> failures;  // failed checks and protocol violations
  std::string record;                 // notes, then every native call made
};

ScenarioResult run_scenario(Host& host, const ScenarioDef& def, const std::string& plugin_path);

}  // namespace sim

// Defines and registers a scenario: SIM_SCENARIO(name, toytrain) { ... }
#define SIM_SCENARIO(name, deliverable)                                    \
  static void name(sim::Scenario& s);                                      \
  static const bool name##_registered =                                    \
      sim::register_scenario(#name, sim::deliverable##_deliverable, name); \
  static void name(sim::Scenario& s)
