#pragma once
// How the toy train turns: faster while on, slower while off, plus a fixed
// coasting step on every pass while it moves.

#include "types.h"

// `speed` is in heading units per sixtieth of a second.
void update_motion(Object train, Prompt prompt_on, Prompt prompt_off, float& speed);

void set_yaw(Entity entity, float yaw);
