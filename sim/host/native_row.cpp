#include "native_row.h"

#include <string>

#include "host_natives.h"
#include "reference_natives.h"

namespace sim {

namespace {

FoundRow look_up(uint64_t hash) {
  if (const NativeRow* row = find_native(hash)) return {row, RowSource::world};
  if (const NativeRow* row = host_native_row(hash)) return {row, RowSource::host};
  if (const NativeRow* row = reference_row(hash)) return {row, RowSource::reference};
  return {};
}

}  // namespace

// A plug-in calls few natives, so a cache by the hash's low bits (already
// well mixed) answers nearly all; a row, once found, lives for the process.
FoundRow native_row(uint64_t hash) {
  static FoundRow cache[1024] = {};
  FoundRow& slot = cache[hash & 1023u];
  if (slot.row != nullptr && slot.row->hash == hash) return slot;
  const FoundRow found = look_up(hash);
  if (found) slot = found;
  return found;
}

FoundRow native_row_named(std::string_view name) {
  const std::string named(name);
  if (const NativeRow* row = find_native_named(named)) return {row, RowSource::world};
  for (const HostNative& n : host_natives()) {
    if (name == n.row.name) return {&n.row, RowSource::host};
  }
  if (const NativeRow* row = reference_row_named(named)) return {row, RowSource::reference};
  return {};
}

}  // namespace sim
