// The game's clock.

#include "world.h"

namespace sim {

NativeRows clock_native_rows() {
  static const NativeRow rows[] = {
      {0xC82CF208C2B19199, "GET_CLOCK_HOURS", "", 'i',
       [](World& w, NativeCall& c) { c.ret_int(w.clock.hour); }},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
