#pragma once
// What the toy train keeps from one pass of its main loop to the next.
// Handles keep their value after what they name is removed, except where
// the loop clears them so that nothing is deleted twice.

#include <cstdint>

#include "smoke.h"
#include "types.h"

struct ToyTrainState {
  Object train = 0;
  Object track = 0;  // removed with the train
  Prompt prompt_on = 0;
  Prompt prompt_off = 0;
  int32_t smoke = 0;
  float speed = 0.0f;
  SmokeRamp ramp;
};

// Where the train and its track stand; never written.
extern const Vector3 train_site;
