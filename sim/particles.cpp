#include "particles.h"

#include "joaat.h"

namespace sim {

ParticleAssetState& Particles::asset(const char* name) { return assets_[joaat(name)]; }

const ParticleAssetState* Particles::find_asset(uint32_t hash) const {
  auto it = assets_.find(hash);
  return it == assets_.end() ? nullptr : &it->second;
}

int32_t Particles::start(uint32_t effect, uint32_t asset, int32_t entity, const float offset[3],
                         float scale) {
  LoopedEffectState e;
  e.handle = next_effect_++;
  e.effect = effect;
  e.asset = asset;
  e.entity = entity;
  for (int n = 0; n < 3; ++n) e.offset[n] = offset[n];
  e.scale = scale;
  effects_[e.handle] = e;
  return e.handle;
}

LoopedEffectState* Particles::effect(int32_t handle) {
  auto it = effects_.find(handle);
  return it == effects_.end() ? nullptr : &it->second;
}

void Particles::advance_frame() {
  for (auto& [hash, a] : assets_) {
    if (a.requested && !a.loaded && !a.never_loads && --a.frames_left <= 0) a.loaded = true;
  }
}

}  // namespace sim
