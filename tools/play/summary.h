#pragma once
// What a run amounted to, told at its end in the timeline and the trace:
// the plug-ins and their scripts, frames, native calls by plug-in, the
// natives the stand-in does not simulate, violations, and what each plug-in
// made and still holds, by kind.

#include <cstdint>
#include <string>
#include <vector>

#include "world.h"

namespace play {

struct PluginSummary {
  std::string name;  // its file's name without the extension
  size_t scripts = 0;
  uint64_t calls = 0;
  sim::Holdings made{};
  sim::Holdings held{};
  uint64_t double_deletes = 0;  // deletes of a thing it had deleted already
};

struct UnsimulatedSummary {
  std::string name;  // the game's name, or "?" when the table has none
  uint64_t hash = 0;
  uint64_t calls = 0;
};

struct Summary {
  std::vector<PluginSummary> plugins;
  uint64_t frames = 0;
  uint64_t calls = 0;
  size_t distinct = 0;                          // natives called at least once, simulated or not
  std::vector<UnsimulatedSummary> unsimulated;  // the most called first
  uint64_t unsimulated_calls = 0;
  std::vector<std::string> violations;
  std::vector<std::string> warnings;  // what the game tolerates, each with its calls
};

Summary summarize(sim::World& world);

// What each plug-in loaded made over the run and still holds, by kind, in
// the order they were loaded: the journal's made and gone entries of the
// things each made, by serial, so that a handle the game gives again counts
// as a new thing, the game's or another's.
struct PluginThings {
  sim::PluginId who;
  sim::Holdings made{};
  sim::Holdings held{};
  uint64_t deleted_again = 0;  // deletes of a thing it had deleted already
};
std::vector<PluginThings> things_of_plugins(const sim::World& world);

// The summary as the timeline prints it; without `all`, only the ten most
// called of the natives not simulated.
std::vector<std::string> summary_lines(const Summary& summary, bool all);

// A kind of thing a plug-in may hold, by the name a scenario gives it
// ("entities", "prompts", "blips", "points", "effects", "scenes",
// "targets"); false for a name that is none of them.
bool thing_named(const std::string& name, sim::Thing& thing);
std::string thing_names();  // those names, joined
std::vector<std::string> thing_name_list();

}  // namespace play
