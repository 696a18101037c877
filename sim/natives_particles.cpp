// Particle assets and looped effects.
// Natives listed without a handler are recorded and answer 0.

#include "world.h"

namespace sim {

NativeRows particles_native_rows() {
  static const NativeRow rows[] = {
      {0x9DD5AFF561E88F2A, "DOES_PARTICLE_FX_LOOPED_EXIST", "i", 'b', nullptr},
      {0x65BB72F29138F5D6, "HAS_NAMED_PTFX_ASSET_LOADED", "i", 'b', nullptr},
      {0xF2B2353BBC0D4E8F, "REQUEST_NAMED_PTFX_ASSET", "i", 'v', nullptr},
      {0x1A9E1C0D98D093B7, "SET_PARTICLE_FX_LOOPED_SCALE", "if", 'v', nullptr},
      {0xBD41E1440CE39800, "START_PARTICLE_FX_LOOPED_ON_ENTITY", "sifffffffbbb", 'i', nullptr},
      {0x22970F3A088B133B, "STOP_PARTICLE_FX_LOOPED", "ib", 'v', nullptr},
      {0xA10DB07FC234DD12, "USE_PARTICLE_FX_ASSET", "s", 'v', nullptr},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
