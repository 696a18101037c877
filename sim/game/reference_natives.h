#pragma once
// The game's whole table of natives, as the public native database lists
// them (reference/natives-all.tsv, built in). A native the stand-in does not
// simulate still gets a row from it, so that the host checks its calls like
// any other (a known hash, its argument count, its 32-bit kinds); its
// handler is none, so it answers 0 and acts on nothing.

#include <cstdint>
#include <string>

#include "native_table.h"

namespace sim {

const NativeRow* reference_row(uint64_t hash);  // null: the game has no such native
const NativeRow* reference_row_named(const std::string& name);

// The table as built in, for the test that reads it back.
const char* reference_natives_tsv();

}  // namespace sim
