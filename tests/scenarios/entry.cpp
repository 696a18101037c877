// Both deliverables load, register their script and keyboard handler, run a
// pass per frame, take a key message outside their script, and unregister
// at unload.

#include "scenario.h"

static void load_run_and_unload(sim::Scenario& s) {
  sim::Host& host = s.host;
  HMODULE module = s.load();
  if (!s.check(module != nullptr, "the plug-in loads")) return;
  s.check(host.has_script(module), "attach registers the script");
  s.check(host.keyboard_handler_count() == 1, "attach registers one keyboard handler");
  s.check(host.waits() == 0, "the script does not run before the first frame");

  host.run_frames(10);
  s.check(host.waits() >= 10, "one pass per frame, each ending in a wait");

  host.send_key(0x41, 1, 0x1E, 0, 0, 0, 0);  // 'A' down
  host.send_key(0x41, 1, 0x1E, 0, 0, 1, 1);  // 'A' up
  host.send_key(300, 1, 0, 0, 0, 0, 0);      // beyond the key table
  host.run_frames(2);

  host.unload_plugin(module);
  s.check(!host.has_script(module), "detach unregisters the script");
  s.check(host.keyboard_handler_count() == 0, "detach unregisters the keyboard handler");
  const uint64_t waits = host.waits();
  host.run_frames(3);
  s.check(host.waits() == waits, "an unregistered script runs no more");
  s.note("frames run: " + std::to_string(s.world().frame()));
}

SIM_SCENARIO(cinema_loads_runs_and_unloads, cinema) { load_run_and_unload(s); }
SIM_SCENARIO(toytrain_loads_runs_and_unloads, toytrain) { load_run_and_unload(s); }
