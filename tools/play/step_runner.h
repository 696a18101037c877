#pragma once
// Plays a scenario in a fresh stand-in host: the set-up steps arrange the
// world, the plug-in loads, and each further step moves the player, lets
// time pass, acts as the player or the game, or checks an expectation.

#include <ostream>
#include <string>
#include <vector>

#include "observer.h"
#include "steps.h"

namespace play {

// The plug-ins load in the order given, and their scripts run in that order
// every frame. 0 when every expectation held and the host saw no protocol violation;
// 1 otherwise, with "file:line: what happened" written to `errors`.
int run_steps(const Scenario& scenario, const std::vector<std::string>& plugins,
              const std::vector<Observer*>& observers, std::ostream& errors);

}  // namespace play
