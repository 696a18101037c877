#include "native_names.h"

#include <charconv>

#include "native_table.h"
#include "reference_natives.h"

namespace play {

uint64_t native_hash_named(const std::string& name) {
  if (name.size() > 2 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X')) {
    uint64_t hash = 0;
    auto [end, ec] = std::from_chars(name.data() + 2, name.data() + name.size(), hash, 16);
    if (ec != std::errc() || end != name.data() + name.size()) return 0;
    return sim::find_native(hash) != nullptr || sim::reference_row(hash) != nullptr ? hash : 0;
  }
  const sim::NativeRow* row = sim::find_native_named(name);
  if (row == nullptr) row = sim::reference_row_named(name);
  return row != nullptr ? row->hash : 0;
}

}  // namespace play
