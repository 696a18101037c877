#pragma once
// The names a scenario's expectations use (nicknames, models, lines, voices,
// prompt labels, notifications, blip modifiers, playlists, render targets)
// must be ones its deliverables or the world know: a misspelt name would
// otherwise pass every negative expectation unseen.

#include <string>
#include <string_view>
#include <vector>

#include "places.h"
#include "steps.h"

namespace play {

// Throws ParseError at the first step naming what no one knows, with the
// names it could have meant. A scenario without a deliverable plays a
// plug-in whose names no one here knows: its names go unchecked.
void check_names(const Scenario& scenario, const Deliverable& deliverable);

// Edits (insertions, deletions, substitutions) that turn one into the other.
size_t edit_distance(std::string_view a, std::string_view b);

// The known names nearest to `name`: those at the least distance, and any
// one edit further, at most four, nearest first.
std::vector<std::string> nearest_names(const std::string& name,
                                       const std::vector<std::string>& known);

}  // namespace play
