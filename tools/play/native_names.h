#pragma once
// Natives by name or by hash, for scenario steps that name one.

#include <cstdint>
#include <string>

namespace play {

// The hash of a native given by name or as "0x" and hex digits; 0 if the
// game knows no such native.
uint64_t native_hash_named(const std::string& name);

}  // namespace play
