#pragma once
// Writing a native's out-parameters as the game writes them.

#include <cstring>

#include "native_table.h"
#include "vec.h"

namespace sim {

// A vector: three floats, eight bytes apart (the script machine's slots).
inline void write_vector(NativeCall& c, int n, Vec v) {
  auto* at = c.p<unsigned char>(n);
  std::memcpy(at, &v.x, sizeof v.x);
  std::memcpy(at + 8, &v.y, sizeof v.y);
  std::memcpy(at + 16, &v.z, sizeof v.z);
}

}  // namespace sim
