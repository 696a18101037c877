#pragma once
// The smoke on the toy train: its particle asset, the looped effect, and the
// fade-in that follows a turn-on.

#include <cstdint>

#include "types.h"

struct SmokeRamp {
  bool active = false;   // a fade-in runs: set by a turn-on's new smoke, cleared at full scale
  int32_t start_ms = 0;  // game time the fade-in began; full scale 1500 ms later
  int32_t handle = -1;   // the effect being faded in; replaced by the next turn-on's smoke
};

// The smoke's size once it has faded in, and of a new train's smoke.
constexpr float full_smoke_scale = 0.5f;

// Waits at most 301 frames for the asset; the loop starts regardless.
void load_particle_asset();

int32_t start_smoke(Entity entity, float scale);

// Starts a new effect fading in from 0.0, unless `smoke` still exists.
void ramp_up_smoke(Object train, int32_t& smoke, SmokeRamp& ramp);

void stop_smoke(int32_t effect);

void update_smoke_ramp(SmokeRamp& ramp);
