#pragma once
// Particle assets and the looped effects the game burns on entities.

#include <cstdint>
#include <map>

#include "ramp.h"
#include "streaming.h"

namespace sim {

class World;

using ParticleAssetState = StreamedAsset;

struct LoopedEffectState {
  uint64_t serial = 0;  // its name in the journal
  int32_t handle = 0;
  uint32_t effect = 0;  // hash of the effect's name
  uint32_t asset = 0;   // hash of the asset it was started from
  int32_t entity = 0;
  float offset[3] = {};
  float scale = 0.0f;
  Ramp scaling;  // scale, as the world's pass a frame saw it
  int scale_writes = 0;
  bool stopped = false;  // by the script; the entity going away ends it too
};

class Particles {
 public:
  // Unknown assets load like models do; a test sets them up beforehand.
  ParticleAssetState& asset(const char* name);
  ParticleAssetState& asset(uint32_t hash) { return assets_[hash]; }
  const ParticleAssetState* find_asset(uint32_t hash) const;

  int32_t start(uint32_t effect, uint32_t asset, int32_t entity, const float offset[3],
                float scale);
  LoopedEffectState* effect(int32_t handle);
  const std::map<int32_t, LoopedEffectState>& effects() const { return effects_; }
  std::map<int32_t, LoopedEffectState>& effects() { return effects_; }

  uint32_t selected_asset = 0;  // for the next effect start only

  void advance_frame();
  void entity_gone(int32_t entity);  // its effects end with it

 private:
  std::map<uint32_t, ParticleAssetState> assets_;
  std::map<int32_t, LoopedEffectState> effects_;
  int32_t next_effect_ = 0x40;
};

// An effect exists until the script stops it or its entity goes away.
bool effect_exists(World& world, int32_t handle);
bool effect_exists(const World& world, const LoopedEffectState& effect);

}  // namespace sim
