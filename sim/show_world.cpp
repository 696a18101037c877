#include <cstring>

#include "joaat.h"
#include "world.h"

namespace sim {

ShowWorld::ShowWorld() { model_targets[joaat("script_rt_arm_screen")] = "bla_theater"; }

float ShowWorld::progress(const World& w, const PlayingClip& c) const {
  if (c.duration_ms == 0) return 1.0f;
  const uint32_t ran = w.game_timer() - c.start_ms;
  return static_cast<float>(static_cast<double>(ran) / c.duration_ms);
}

const PlayingClip* ShowWorld::clip_of(World& w, int32_t entity, const char* dictionary,
                                      const char* clip) const {
  if (!w.exists(entity)) return nullptr;
  for (const PlayingClip& c : clips) {
    if (c.entity != entity || std::strcmp(c.dictionary.c_str(), dictionary) != 0 ||
        std::strcmp(c.clip.c_str(), clip) != 0) {
      continue;
    }
    const AnimSceneState* scene = w.anim_scenes.scene(c.scene);
    if (scene == nullptr || scene->aborted || progress(w, c) >= 1.0f) return nullptr;
    return &c;
  }
  return nullptr;
}

bool ShowWorld::film_at_end(const World& w) const {
  const auto it = playlists.find(w.venue.tv_channel);
  if (w.venue.tv_channel == -1 || it == playlists.end() || it->second.name.empty()) return false;
  return w.game_timer() - it->second.start_ms > film_ms;
}

RenderTarget* ShowWorld::target(const char* name) {
  const auto it = targets.find(name);
  return it == targets.end() ? nullptr : &it->second;
}

void ShowWorld::update(World&) {
  for (auto& [name, d] : textures) {
    if (d.requested && !d.loaded && --d.frames_left <= 0) d.loaded = true;
  }
}

}  // namespace sim
