#pragma once
// The game's whole table of natives, as the public native database lists
// them (reference/natives-all.tsv, made into code by the build). A native
// the stand-in does not simulate still gets a row from it, so that the host
// checks its calls like any other (a known hash, its argument count, its
// 32-bit kinds); its handler is none, so it answers 0 and acts on nothing.
// Every row, the world's and the host's too, takes its hash, name and
// kinds from these facts.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "native_table.h"

namespace sim {

// A native as the table lists it; its types as written ("Ped,Hash,float").
struct NativeFacts {
  uint64_t hash;
  const char* name;
  const char* result;
  const char* types;
  const char* param_names;  // "modelHash,x,y,z"
};
std::span<const NativeFacts> reference_facts();
const NativeFacts& facts_of(Native native);

// A native the host answers itself (reference/host-natives.tsv): what it
// does, and the game's native it sends the call on to, 0 when none.
struct HostNativeFacts {
  uint64_t hash;
  const char* name;
  const char* types;
  uint64_t sent_to;
  const char* what;
};
std::span<const HostNativeFacts> host_native_facts();
const HostNativeFacts& facts_of(HostNativeName native);

// How the host checks an argument or result of a type of the table: the
// letters of native_table.h.
std::vector<std::string_view> type_list(std::string_view types);  // "Ped,Hash" -> Ped, Hash
char param_letter(std::string_view type);
std::string param_letters(std::string_view types);
char result_letter(std::string_view type);

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

}  // namespace sim
