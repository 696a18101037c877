#pragma once
// The record of native calls: each call with its arguments decoded by the
// kinds its table row gives, and its result.

#include <cstdint>
#include <string>
#include <vector>

#include "native_table.h"

namespace sim {

struct CallArg {
  uint64_t raw = 0;
  char kind = 'i';
  std::string text;  // strings as passed, handles behind an address
};

struct CallRecord {
  uint64_t frame = 0;
  uint64_t hash = 0;
  const NativeRow* row = nullptr;
  std::vector<CallArg> args;
  uint64_t result[3] = {};
  std::string result_text;   // a text result as the game handed it out
  std::string text() const;  // "NAME(args) -> result"

  std::string name() const;                   // the native's name, or its hash
  std::string argument_text(size_t n) const;  // as text() writes it
  char result_kind() const;                   // as the table's result letters
  static float as_float(uint64_t slot);       // a float in the low half of a slot
};

// The call as the record keeps it, read at the moment it was made.
CallRecord make_call_record(uint64_t frame, const NativeCall& call);

}  // namespace sim
