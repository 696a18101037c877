#include "smoke.h"

#include "measures.h"
#include "natives.h"
#include "script_hook.h"
#include "site.h"

static constexpr int32_t fade_in_ms = 1500;
static constexpr float fade_in_per_ms = 0.00033333333f;
static constexpr int asset_wait_cap = 300;

static bool asset_loaded() { return has_named_ptfx_asset_loaded(get_hash_key("core")); }

void load_particle_asset() {
  if (asset_loaded()) return;
  request_named_ptfx_asset(get_hash_key("core"));
  for (int waits = 0;; ++waits) {
    if (asset_loaded()) return;
    if (waits > asset_wait_cap) return;
    scriptWait(0);
  }
}

int32_t start_smoke(Entity entity, float scale) {
  use_particle_fx_asset("core");
  return start_particle_fx_looped_on_entity(toytrain_site::smoke_effect, entity, 0.18922f,
                                            -0.380005f, 0.053727f, 0.0f, 0.0f, 0.0f, scale, false,
                                            false, false);
}

void ramp_up_smoke(Object train, int32_t& smoke, SmokeRamp& ramp) {
  if (does_particle_fx_looped_exist(smoke)) return;
  ramp.handle = start_smoke(train, 0.0f);
  ramp.active = true;
  ramp.start_ms = get_game_timer();
  smoke = ramp.handle;
}

void stop_smoke(int32_t effect) { stop_particle_fx_looped(effect, false); }

void update_smoke_ramp(SmokeRamp& ramp) {
  if (!ramp.active) return;
  if (!does_particle_fx_looped_exist(ramp.handle)) return;
  const int32_t elapsed = elapsed_ms(get_game_timer(), ramp.start_ms);
  if (elapsed >= fade_in_ms) {
    set_particle_fx_looped_scale(ramp.handle, full_smoke_scale);
    ramp.active = false;
  } else {
    set_particle_fx_looped_scale(ramp.handle, static_cast<float>(elapsed) * fade_in_per_ms);
  }
}
