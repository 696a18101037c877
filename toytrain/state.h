#pragma once
// What the toy train keeps from one pass of its main loop to the next.
// Handles keep their value after what they name is removed, except where
// the loop clears them so that nothing is deleted twice.

#include <cstdint>

#include "smoke.h"
#include "types.h"

// Present means the game still has `train`; on means "Turn off" is offered,
// off means "Turn on" is. There is no flag of its own for either.
struct ToyTrainState {
  Object train = 0;       // made by the set-up within range, deleted by the removal
  Object track = 0;       // made with the train, deleted (to 0) with it
  Prompt prompt_on = 0;   // "Turn on"; made by the set-up, offered while off, deleted at removal
  Prompt prompt_off = 0;  // "Turn off"; made by the set-up, offered while on, deleted at removal
  int32_t smoke = 0;      // the smoke on the train: set-up and turn-on start it, turn-off stops it
  float speed = 0.0f;     // heading units per 1/60 s, 0 to 0.6; 0 at set-up, rises on, falls off
  SmokeRamp ramp;         // the fade-in of a turn-on's smoke
};

// Where the train and its track stand; never written.
extern const Vector3 train_site;
