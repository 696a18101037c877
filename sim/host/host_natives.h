#pragma once
// Natives the game no longer has that plug-ins built against older headers
// still call. The host answers them: it sends three on to the game's
// replacements and does the work of two itself. They are neither unknown
// nor a breach of the protocol.

#include <cstdint>
#include <span>

#include "native_table.h"
#include "world.h"

namespace sim {

const NativeRow* host_native_row(uint64_t hash);  // null: not one of the host's

// The call as the host answers it: sent on as its replacement (the record
// shows both names), or answered by the host's own row.
void answer_host_native(World& w, NativeCall& call, bool sound);

struct HostNative {
  NativeRow row;
  uint64_t sent_to;  // the game's replacement, 0 when the host answers it
};
std::span<const HostNative> host_natives();  // for the docs and the tests

}  // namespace sim
