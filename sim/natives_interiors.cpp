// Interiors.
// Natives listed without a handler are recorded and answer 0.

#include "world.h"

namespace sim {

NativeRows interiors_native_rows() {
  static const NativeRow rows[] = {
      {0xB417689857646F61, "GET_INTERIOR_FROM_ENTITY", "i", 'i', nullptr},
      {0x8451E87D3C2B0286, "GET_INTERIOR_LOCATION_AND_NAMEHASH", "ipp", 'v', nullptr},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
