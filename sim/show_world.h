#pragma once
// The show's side of the game: scene playback and the clips it drives, the
// player's money, texture dictionaries, feed notifications, named render
// targets, TV playlists, the clock and screen effects.
// Included by world.h once Vec is known.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace sim {

class World;

// A clip an entity plays, from 0 to 1 over `duration_ms` of game time.
struct PlayingClip {
  int32_t entity = 0;
  int32_t scene = 0;
  std::string dictionary;
  std::string clip;
  uint32_t start_ms = 0;
  uint32_t duration_ms = 0;
};

struct ScenePlayback {
  std::string requested;  // play list asked for
  std::string play_list;  // play list set
  bool started = false;
};

struct EnteredScene {
  uint64_t frame = 0;
  int32_t ped = 0;
  int32_t scene = 0;
  std::string role;
  std::string play_list;
};

struct TextureDict {
  bool exists = true;
  bool requested = false;
  bool loaded = false;
  int frames_left = 0;
  int released = 0;
};

struct FeedPost {
  uint64_t frame = 0;
  int duration_ms = 0;
  std::string text;
  std::string dictionary;
  uint32_t icon = 0;
  uint32_t color = 0;
  bool dictionary_loaded = false;  // the icon's textures were there to show
};

struct RenderTarget {
  bool registered = false;
  bool linked = false;
  int32_t id = 0;
  int registrations = 0;
  int releases = 0;
  int draws = 0;  // draws made into it
  uint64_t last_draw_frame = 0;
  int last_draw_channel = -1;
};

struct Playlist {
  std::string name;
  uint32_t start_ms = 0;
};

struct ShowWorld {
  // Scene playback: the clip each role of a started scene plays.
  std::map<std::string, std::pair<std::string, std::string>> role_clips{
      {"male", {"script_common@handover@generic@player_handover@money", "handover_money_male"}}};
  uint32_t clip_ms = 4000;
  std::map<int32_t, ScenePlayback> playback;
  std::vector<PlayingClip> clips;
  std::vector<EnteredScene> entered;

  // A clip the entity plays, or null once it has ended or its scene is gone.
  const PlayingClip* clip_of(World& w, int32_t entity, const char* dictionary,
                             const char* clip) const;
  float progress(const World& w, const PlayingClip& c) const;

  // Money, in the game's unit (100 to the dollar).
  int cash = 5000;
  std::vector<int> decrements;  // amounts asked to be taken

  // Texture dictionaries the game knows.
  std::map<std::string, TextureDict, std::less<>> textures{{"ITEMTYPE_TEXTURES", {}}};
  int texture_load_frames = 2;
  std::vector<FeedPost> feed;

  // Named render targets and the models that carry them.
  std::map<std::string, RenderTarget, std::less<>> targets;
  std::map<uint32_t, std::string> model_targets;  // model hash: its target's name
  int32_t next_target_id = 2;
  bool links_fail = false;
  int32_t current_target = 0;  // the id drawing goes to; 0 is the game's own screen
  int draws = 0;               // all draws of a TV channel

  // TV channels: each channel's playlist, and when its end marker comes.
  std::map<int, Playlist> playlists;
  uint32_t film_ms = 120000;
  int32_t audio_entity = 0;
  bool audio_frontend = true;
  bool film_at_end(const World& w) const;

  int clock_hour = 12;
  std::vector<std::string> effects;  // screen effects played

  ShowWorld();
  RenderTarget* target(const char* name);  // a known target, or null
  void update(World& w);                   // once per frame
};

}  // namespace sim
