#pragma once
// The calling protocol, as the host enforces it on every native call: a
// hash the game knows, the argument count of its row, and argument slots
// that carry their kind as the protocol says (a 32-bit value leaves the
// upper half zero, a sign-extended one fills it, an address is not null
// and can be read).

#include "native_table.h"
#include "world.h"

namespace sim {

// Records each breach as a violation; false when the call must not act.
// Text and address arguments are tested before anything reads them; those
// that cannot be read are marked in the call's `unreadable`.
bool check_protocol(World& world, NativeCall& call);

// Result slots stay valid only until the next nativeInit: they are then
// filled with this, so a plug-in that reads them late reads nonsense.
constexpr uint64_t stale_result = 0xDEADC0DEDEADC0DEULL;

// The upper half of every 32-bit result slot, so a plug-in that reads a
// 32-bit result as 64 bits gets a value a test notices.
constexpr uint64_t result_marker = 0x5EA1ED00ULL << 32;

// Marks the upper halves of the 32-bit slots of a finished call's result.
void mark_result(NativeCall& call);

}  // namespace sim
