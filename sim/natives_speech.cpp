// Speech lines.
// Natives listed without a handler are recorded and answer 0.

#include "world.h"

namespace sim {

NativeRows speech_native_rows() {
  static const NativeRow rows[] = {
      {0x729072355FA39EC9, "IS_ANY_SPEECH_PLAYING", "i", 'b', nullptr},
      {0x8E04FEDD28D42462, "PLAY_PED_AMBIENT_SPEECH_NATIVE", "ip", 'b', nullptr},
      {0x6C8065A3B780185B, "SET_AMBIENT_VOICE_NAME", "is", 'v', nullptr},
      {0xB8BEC0CA6F0EDB0F, "STOP_CURRENT_PLAYING_AMBIENT_SPEECH", "ii", 'v', nullptr},
      {0x79D2F0E66F81D90D, "STOP_CURRENT_PLAYING_SPEECH", "ii", 'v', nullptr},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
