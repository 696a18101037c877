#pragma once
// Natives by name or by hash, for scenario steps that name one; and a call
// as the timeline and the trace show it.

#include <cstdint>
#include <string>

#include "call_record.h"

namespace play {

// The hash of a native given by name or as "0x" and hex digits; 0 if the
// game knows no such native.
uint64_t native_hash_named(const std::string& name);

// An argument, or the result, as the reader wants to see it: a hash in
// unsigned hex (0x9D2A1CA6), a handle in hex (0x103), a handle passed by
// address as that address's handle (&0x103); anything else as the record
// writes it.
std::string argument_shown(const sim::CallRecord& call, size_t n);
std::string result_shown(const sim::CallRecord& call);  // empty for none
std::string call_shown(const sim::CallRecord& call);    // "NAME(args) -> result"

}  // namespace play
