// Particle assets and looped effects.

#include "particles.h"

#include "joaat.h"
#include "native_words.h"
#include "world.h"

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
  for (auto& [hash, a] : assets_) a.advance_frame();
}

void Particles::entity_gone(int32_t entity) {
  for (auto& [handle, e] : effects_) {
    if (e.entity == entity) e.stopped = true;
  }
}

bool effect_exists(const World& w, const LoopedEffectState& e) {
  return !e.stopped && w.exists(e.entity);
}

bool effect_exists(World& w, int32_t handle) {
  const LoopedEffectState* e = w.particles.effect(handle);
  return e != nullptr && effect_exists(w, *e);
}

static void start_looped_on_entity(World& w, NativeCall& c) {
  // The asset chosen before applies to this start only.
  const uint32_t asset = w.particles.selected_asset;
  w.particles.selected_asset = 0;
  const ParticleAssetState* a = w.particles.find_asset(asset);
  if (a == nullptr || !a->loaded || !w.exists(c.i(1))) return;
  const float offset[3] = {c.f(2), c.f(3), c.f(4)};
  const int32_t handle = w.particles.start(w.hash_of(c.s(0)), asset, c.i(1), offset, c.f(8));
  w.particles.effect(handle)->serial =
      w.journal.made(Thing::effect, handle, w.hash_of(c.s(0)), Vec{});
  entry::Made& made = w.journal.latest().made;
  made.on = w.serial_of(Thing::entity, c.i(1));
  made.scale = c.f(8);
  c.ret_int(handle);
}

NativeRows particles_native_rows() {
  static const DomainRow rows[] = {
      {Native::DOES_PARTICLE_FX_LOOPED_EXIST,
       [](World& w, NativeCall& c) { c.ret_bool(effect_exists(w, c.i(0))); }},
      {Native::HAS_NAMED_PTFX_ASSET_LOADED,
       [](World& w, NativeCall& c) {
         const ParticleAssetState* a = w.particles.find_asset(c.u(0));
         c.ret_bool(a != nullptr && a->loaded);
       }},
      {Native::REQUEST_NAMED_PTFX_ASSET,
       [](World& w, NativeCall& c) { w.particles.asset(c.u(0)).request(); }},
      {Native::SET_PARTICLE_FX_LOOPED_SCALE,
       [](World& w, NativeCall& c) {
         if (!effect_exists(w, c.i(0))) return;
         LoopedEffectState* e = w.particles.effect(c.i(0));
         e->scale = c.f(1);
         ++e->scale_writes;
       },
       changes(Thing::effect)},
      {Native::START_PARTICLE_FX_LOOPED_ON_ENTITY, start_looped_on_entity, makes(Thing::effect)},
      {Native::STOP_PARTICLE_FX_LOOPED,
       [](World& w, NativeCall& c) {
         LoopedEffectState* e = w.particles.effect(c.i(0));
         if (e == nullptr || e->stopped) return;
         e->stopped = true;
         w.journal.gone(Thing::effect, c.i(0));
       },
       removes(Thing::effect)},
      {Native::USE_PARTICLE_FX_ASSET,
       [](World& w, NativeCall& c) { w.particles.selected_asset = w.hash_of(c.s(0)); }},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
