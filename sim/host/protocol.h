#pragma once
// The calling protocol, as the host enforces it on every native call: a
// hash the game knows, the argument count of its row, and argument slots
// that carry their kind as the protocol says (a 32-bit value leaves the
// upper half zero, a sign-extended one fills it, an address is not null).

#include "native_table.h"
#include "world.h"

namespace sim {

// Records each breach as a violation; false when the call must not act.
bool check_protocol(World& world, const NativeCall& call);

}  // namespace sim
