#include "scenario.h"

namespace sim {

bool Scenario::check(bool ok, const std::string& what) {
  if (!ok) failures_.push_back(what);
  return ok;
}

static std::vector<ScenarioDef>& registry() {
  static std::vector<ScenarioDef> defs;
  return defs;
}

bool register_scenario(const char* name, const Deliverable& deliverable, ScenarioBody body) {
  registry().push_back(ScenarioDef{name, &deliverable, body});
  return true;
}

const std::vector<ScenarioDef>& scenarios() { return registry(); }

const ScenarioDef* find_scenario(const std::string& name) {
  for (const ScenarioDef& def : registry()) {
    if (name == def.name) return &def;
  }
  return nullptr;
}

ScenarioResult run_scenario(Host& host, const ScenarioDef& def, const std::string& plugin_path) {
  host.reset();
  Scenario s(host, *def.deliverable, plugin_path);
  def.body(s);
  ScenarioResult result;
  result.failures = s.failures();
  for (const std::string& v : host.world().violations())
    result.failures.push_back("violation: " + v);
  for (const std::string& line : s.notes()) result.record += "# " + line + '\n';
  result.record += host.world().record_text();
  host.reset();
  return result;
}

}  // namespace sim
