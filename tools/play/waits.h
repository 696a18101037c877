#pragma once
// What holds a script: a wait inside a pass waits on what the script tested
// just before it (a model or scene still loading, a ped still talking) or is
// a pause of its own; any other scriptWait ends the pass.

#include <string>

#include "host.h"
#include "world.h"

namespace play {

struct WaitKind {
  bool inside_pass = false;
  std::string what;  // "model sh_church_chair to load", "a pause of 2000 ms"
};

WaitKind classify_wait(const sim::entry::Wait& wait, const sim::World& world);

// Whether what a wait inside a pass waited on (as its record names it) is
// there now: false when the script went on without it, having given up.
bool wait_fulfilled(uint64_t hash, uint64_t arg, sim::World& world);

}  // namespace play
