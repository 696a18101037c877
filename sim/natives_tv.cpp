// TV channels, playlists and named render targets.
// Natives listed without a handler are recorded and answer 0.

#include "world.h"

namespace sim {

// The channel switch: -1 is no channel.
static void set_tv_channel(World& w, NativeCall& c) { w.venue.tv_channel = c.i(0); }
static void get_tv_channel(World& w, NativeCall& c) { c.ret_int(w.venue.tv_channel); }

NativeRows tv_native_rows() {
  static const NativeRow rows[] = {
      {0x40866A418EB8EFDE, "ATTACH_TV_AUDIO_TO_ENTITY", "i", 'v', nullptr},
      {0xC0A145540254A840, "DRAW_TV_CHANNEL", "fffffiiii", 'v', nullptr},
      {0xB6762A85EE29AA60, "GET_NAMED_RENDERTARGET_RENDER_ID", "s", 'i', nullptr},
      {0xF90FBFD68F3C59AE, "GET_TV_CHANNEL", "", 'i', get_tv_channel},
      {0x707032835FF09AE7, "IS_NAMED_RENDERTARGET_LINKED", "i", 'b', nullptr},
      {0x3EE32F7964C40FE6, "IS_NAMED_RENDERTARGET_REGISTERED", "s", 'b', nullptr},
      {0x4D562223E0EB65F3, "IS_TVSHOW_CURRENTLY_PLAYING", "i", 'b', nullptr},
      {0x2F506B8556242DDB, "LINK_NAMED_RENDERTARGET", "i", 'v', nullptr},
      {0x98AF2BB6F62BD588, "REGISTER_NAMED_RENDERTARGET", "sb", 'b', nullptr},
      {0x0E692EE61761361F, "RELEASE_NAMED_RENDERTARGET", "s", 'b', nullptr},
      {0xE550CDE128D56757, "SET_TEXT_RENDER_ID", "i", 'v', nullptr},
      {0x64437C98FCC5F291, "SET_TV_AUDIO_FRONTEND", "b", 'v', nullptr},
      {0x593FAF7FC9401A56, "SET_TV_CHANNEL", "i", 'v', set_tv_channel},
      {0xDEC6B25F5DC8925B, "SET_TV_CHANNEL_PLAYLIST", "isb", 'v', nullptr},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
