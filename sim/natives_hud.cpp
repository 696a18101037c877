// Money, texture dictionaries, feed notifications, the clock and screen effects.
// Natives listed without a handler are recorded and answer 0.

#include "world.h"

namespace sim {

NativeRows hud_native_rows() {
  static const NativeRow rows[] = {
      {0x4102732DF6B4005F, "ANIMPOSTFX_PLAY", "s", 'v', nullptr},
      {0x7332461FC59EB7EC, "DOES_STREAMED_TEXTURE_DICT_EXIST", "s", 'b', nullptr},
      {0xC82CF208C2B19199, "GET_CLOCK_HOURS", "", 'i', nullptr},
      {0x54D6900929CCF162, "HAS_STREAMED_TEXTURE_DICT_LOADED", "s", 'b', nullptr},
      {0x466BC8769CF26A7A, "_MONEY_DECREMENT_CASH_BALANCE", "i", 'b', nullptr},
      {0xC1BA29DF5631B0F8, "REQUEST_STREAMED_TEXTURE_DICT", "sb", 'v', nullptr},
      {0x906B86E6D7896B9E, "SET_SCRIPT_GFX_DRAW_BEHIND_PAUSEMENU", "b", 'v', nullptr},
      {0x4ACA10A91F66F1E2, "SET_STREAMED_TEXTURE_DICT_AS_NO_LONGER_NEEDED", "s", 'v', nullptr},
      {0xB249EBCB30DD88E0, "_UI_FEED_POST_SAMPLE_TOAST_RIGHT", "ppb", 'i', nullptr},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
