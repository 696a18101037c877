#pragma once
// Reads a scenario and plays it with the plug-in the options name, with a
// timeline on `out` and whatever the options ask to be written besides.

#include <functional>
#include <ostream>
#include <string>

#include "host.h"
#include "options.h"

namespace play {

// The plug-in file of a deliverable, or empty when there is none here.
using PluginFinder = std::function<std::string(const std::string& deliverable)>;

// The exit status: 0, 1 or 2 as parse_options and run_steps tell.
int play_scenario(sim::Host& host, const Options& options, const PluginFinder& find_plugin,
                  std::ostream& out, std::ostream& err);

}  // namespace play
