// Interiors.

#include <cstring>

#include "world.h"

namespace sim {

static void interior_from_entity(World& w, NativeCall& c) {
  if (!w.exists(c.i(0))) return;
  c.ret_int(w.venue.interior_at(w.entity(c.i(0))->position));
}

// Writes the interior's location (a game vector) and name hash; for no
// interior, or one the game does not know, it writes nothing.
static void interior_location_and_namehash(World& w, NativeCall& c) {
  const InteriorState* i = w.venue.interior(c.i(0));
  if (i == nullptr) return;
  auto* location = c.p<unsigned char>(1);
  std::memset(location, 0, 24);
  std::memcpy(location, &i->location.x, sizeof(float));
  std::memcpy(location + 8, &i->location.y, sizeof(float));
  std::memcpy(location + 16, &i->location.z, sizeof(float));
  std::memcpy(c.p<unsigned char>(2), &i->name_hash, sizeof(uint32_t));
}

NativeRows interiors_native_rows() {
  static const NativeRow rows[] = {
      {0xB417689857646F61, "GET_INTERIOR_FROM_ENTITY", "i", 'i', interior_from_entity},
      {0x8451E87D3C2B0286, "GET_INTERIOR_LOCATION_AND_NAMEHASH", "ipp", 'v',
       interior_location_and_namehash},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
