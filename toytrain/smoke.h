#pragma once
// The smoke on the toy train: its particle asset, the looped effect, and the
// fade-in that follows a turn-on.

#include <cstdint>

#include "types.h"

struct SmokeRamp {
  bool active = false;
  int32_t start_ms = 0;
  int32_t handle = -1;
};

// Waits at most 301 frames for the asset; the loop starts regardless.
void load_particle_asset();

int32_t start_smoke(Entity entity, float scale);

// Starts a new effect fading in from 0.0, unless `smoke` still exists.
void ramp_up_smoke(Object train, int32_t& smoke, SmokeRamp& ramp);

void stop_smoke(int32_t effect);

void update_smoke_ramp(SmokeRamp& ramp);
