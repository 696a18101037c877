#pragma once
// The Windows DLL is the stand-in's, not the real host. Loaded by any process
// but the stand-in's runner (the game, say) it does nothing but say so: every
// export answers harmlessly, and no plug-in runs.

#include <cstdint>

// The runner marks itself by exporting this symbol: the DLL's load, which
// comes before the runner's main, can look for it, and a renamed play.exe
// keeps it.
#define SIM_RUNNER_MARK sim_stand_in_runner
#define SIM_RUNNER_MARK_NAME "sim_stand_in_runner"

namespace sim {

bool in_game_process();
// Slots of zeros, zeroed again on each call: what a native's result reads as.
uint64_t* zeroed_slots();

}  // namespace sim
