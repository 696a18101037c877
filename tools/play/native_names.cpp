#include "native_names.h"

#include <charconv>

#include "host_natives.h"
#include "native_table.h"
#include "reference_natives.h"

namespace play {

uint64_t native_hash_named(const std::string& name) {
  if (name.size() > 2 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X')) {
    uint64_t hash = 0;
    auto [end, ec] = std::from_chars(name.data() + 2, name.data() + name.size(), hash, 16);
    if (ec != std::errc() || end != name.data() + name.size()) return 0;
    const bool known = sim::find_native(hash) != nullptr || sim::host_native_row(hash) != nullptr ||
                       sim::reference_row(hash) != nullptr;
    return known ? hash : 0;
  }
  for (const sim::HostNative& n : sim::host_natives()) {
    if (name == n.row.name) return n.row.hash;
  }
  const sim::NativeRow* row = sim::find_native_named(name);
  if (row == nullptr) row = sim::reference_row_named(name);
  return row != nullptr ? row->hash : 0;
}

}  // namespace play
