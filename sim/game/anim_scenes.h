#pragma once
// Animated scenes as the game holds them: made from a dictionary, loaded
// some frames after they are asked for, placed, and given their entities;
// once a ped enters one with its play list, the clips its roles play.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "vec.h"

namespace sim {

class World;

struct AnimSceneState {
  int32_t handle = 0;
  std::string dictionary;
  bool exists = true;
  bool aborted = false;
  bool load_asked = false;
  bool loaded = false;
  int frames_left = 0;
  bool placed = false;
  Vec origin;
  Vec rotation;
  int rotation_order = 0;
  std::map<std::string, std::pair<int32_t, int>> roles;  // role: entity, flags
};

// A clip an entity plays, from 0 to 1 over `duration_ms` of game time.
struct PlayingClip {
  int32_t entity = 0;
  int32_t scene = 0;
  std::string dictionary;
  std::string clip;
  uint64_t start_ms = 0;  // in the world's elapsed time
  uint32_t duration_ms = 0;
  std::optional<float> held;  // a test holds the clip at this progress
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

struct AnimScenes {
  std::map<int32_t, AnimSceneState> scenes;
  int32_t next_scene = 0x3001;
  int load_frames = 3;  // frames from the load request until loaded
  bool never_load = false;

  // Scene playback: the clip each role of a started scene plays.
  std::map<std::string, std::pair<std::string, std::string>> role_clips{
      {"male", {"script_common@handover@generic@player_handover@money", "handover_money_male"}}};
  uint32_t clip_ms = 4000;
  std::map<int32_t, ScenePlayback> playback;
  std::vector<PlayingClip> clips;
  std::vector<EnteredScene> entered;

  AnimSceneState* scene(int32_t handle);  // a scene that still exists, or null
  int live_count() const;

  // A clip the entity plays, or null once it has ended or its scene is gone.
  const PlayingClip* clip_of(World& w, int32_t entity, const char* dictionary,
                             const char* clip) const;
  float progress(const World& w, const PlayingClip& c) const;

  void update();  // once per frame
  void remove(World& w, int32_t handle);
};

}  // namespace sim
