#pragma once
// TV channels and their playlists, named render targets and the models that
// carry them, drawing a channel into a target, and screen effects.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace sim {

class World;

struct RenderTarget {
  bool registered = false;
  bool linked = false;
  int32_t id = 0;
  int registrations = 0;
  int releases = 0;
  int draws = 0;  // draws made into it
  uint64_t last_draw_frame = 0;
  int last_draw_channel = -1;
  int last_draw_alpha = -1;  // the channel's opacity in its last draw, 0 to 255
};

struct Playlist {
  std::string name;
  uint64_t start_ms = 0;  // in the world's elapsed time
};

struct Tv {
  Tv();

  int channel = -1;  // -1: no channel

  // Each channel's playlist, and when its end marker comes.
  std::map<int, Playlist> playlists;
  uint32_t film_ms = 120000;
  int32_t audio_entity = 0;
  bool audio_frontend = true;
  bool film_at_end(const World& w) const;
  bool end_film(const World& w);  // the playing film reaches its end marker now

  // Named render targets and the models that carry them.
  std::map<std::string, RenderTarget, std::less<>> targets;
  std::map<uint32_t, std::string> model_targets;  // model hash: its target's name
  int32_t next_target_id = 2;
  bool links_fail = false;
  int32_t current_target = 0;  // the id drawing goes to; 0 is the game's own screen
  int draws = 0;               // all draws of a TV channel

  std::vector<std::string> screen_effects;  // played, in order

  RenderTarget* target(const char* name);  // a known target, or null
};

}  // namespace sim
