#pragma once
// play test: every scenario under the paths given, each in a fresh game,
// natively or under wine, N at once; its exit status.

#include "options.h"
#include "play.h"

namespace sim {
class Host;
}

namespace play {

int play_tests(sim::Host& host, const Options& options, const PluginFinder& find_plugin);

}  // namespace play
