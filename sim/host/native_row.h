#pragma once
// The one lookup of a native's row. Three tables know natives: the world's
// (what it simulates), the host's own (natives the game no longer has that
// the host still answers) and the game's whole table (the reference, which
// only checks a call). A hash is looked up in that order: the reference also
// lists what the world simulates, and two of the host's own under the same
// hash.

#include <cstdint>
#include <string_view>

#include "native_table.h"

namespace sim {

enum class RowSource : uint8_t { none, world, host, reference };

struct FoundRow {
  const NativeRow* row = nullptr;  // null: no table knows it
  RowSource from = RowSource::none;

  explicit operator bool() const { return row != nullptr; }
  // Answered by the world or the host rather than checked and answered 0.
  bool simulated() const { return from == RowSource::world || from == RowSource::host; }
};

// Every native call looks its row up: kept cheap by a small cache.
FoundRow native_row(uint64_t hash);
FoundRow native_row_named(std::string_view name);

}  // namespace sim
