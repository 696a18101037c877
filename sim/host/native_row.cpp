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

// Every call looks its row up, so rows found are kept in a table of their
// own, probed from the hash's low bits (already well mixed): two natives a
// plug-in calls each frame never push each other out. A row, once found,
// lives for the process; hashes no table knows are not kept, so a plug-in
// calling garbage cannot fill it.
struct Kept {
  uint64_t hash = 0;
  FoundRow found;
};
constexpr size_t slots = 4096;  // more than every row of the world and the host
Kept kept[slots];
size_t kept_count = 0;

// Apart from the lookup of a row kept, which then stays short.
[[gnu::noinline]] FoundRow find_and_keep(uint64_t hash, Kept& empty) {
  const FoundRow found = look_up(hash);
  // Half full at most keeps probes short; beyond it, rows are looked up.
  if (found && kept_count < slots / 2) {
    empty = {hash, found};
    ++kept_count;
  }
  return found;
}

}  // namespace

FoundRow native_row(uint64_t hash) {
  for (size_t n = hash & (slots - 1);; n = (n + 1) & (slots - 1)) {
    Kept& k = kept[n];
    if (k.found.row == nullptr) return find_and_keep(hash, k);
    if (k.hash == hash) return k.found;
  }
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
