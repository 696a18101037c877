#pragma once
// A live run: the game in real time, watched and driven from the page,
// served on the loopback only.

#include <ostream>

#include "options.h"
#include "play.h"

namespace play {

// Plays until the page asks it to end or the process is interrupted; the
// session is written as a scenario that replays it. The exit status as
// play_scenario's.
int play_live(sim::Host& host, const Options& options, const PluginFinder& find_plugin,
              std::ostream& out, std::ostream& err);

}  // namespace play
