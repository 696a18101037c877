// Map blips.
// Natives listed without a handler are recorded and answer 0.

#include "world.h"

namespace sim {

NativeRows blips_native_rows() {
  static const NativeRow rows[] = {
      {0x554D9D53F696D002, "BLIP_ADD_FOR_COORDS", "ifff", 'i', nullptr},
      {0x662D364ABF16DE2F, "BLIP_ADD_MODIFIER", "ii", 'b', nullptr},
      {0xB059D7BD3D78C16F, "BLIP_REMOVE_MODIFIER", "ii", 'b', nullptr},
      {0xF2C3C9DA47AAA54A, "REMOVE_BLIP", "h", 'v', nullptr},
      {0x0A062D6D7C0B2C2C, "SET_BLIP_NAME_FROM_TEXT_FILE", "is", 'v', nullptr},
      {0xD38744167B2FA257, "SET_BLIP_SCALE", "if", 'v', nullptr},
      {0x74F74D3207ED525C, "SET_BLIP_SPRITE", "iib", 'v', nullptr},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
