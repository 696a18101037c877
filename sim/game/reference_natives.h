#pragma once
// The game's whole table of natives, as the public native database lists
// them (reference/natives-all.tsv, built in). A native the stand-in does not
// simulate still gets a row from it, so that the host checks its calls like
// any other (a known hash, its argument count, its 32-bit kinds); its
// handler is none, so it answers 0 and acts on nothing.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "native_table.h"

namespace sim {

const NativeRow* reference_row(uint64_t hash);  // null: the game has no such native
const NativeRow* reference_row_named(const std::string& name);

// The rule that finds, by its name, a native that deletes the thing its
// first argument names (DELETE_PED, REMOVE_BLIP, SET_ENTITY_AS_NO_LONGER_NEEDED,
// _UI_PROMPT_DELETE, ...): the removal its row declares, whether or not the
// world simulates it, so that the ownership check sees every such call.
std::optional<Touch> removal_by_name(const std::string& name, const std::string& first_type);

// The out-parameters of a native the world does not simulate, one letter per
// parameter: '4' a 32-bit value (int*, float*, BOOL*, Hash*), 'V' a vector
// (three floats eight bytes apart), '.' anything else, read or unknown.
// Empty for a native without such parameters.
std::string_view out_parameters(uint64_t hash);

// Each line of the table as written: its hash, name, result type and
// parameter types ("Ped,Hash,float").
struct ReferenceLine {
  uint64_t hash;
  std::string name;
  std::string result;
  std::string types;
};
void each_reference_line(const std::function<void(const ReferenceLine&)>& use);

// The table as built in, for the test that reads it back.
const char* reference_natives_tsv();

}  // namespace sim
