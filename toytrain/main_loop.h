#pragma once
// The toy train's main loop: one pass per frame, setting the train out when
// the player comes near and removing it when he leaves.

#include "types.h"

[[noreturn]] void toy_train_main_loop();

// Gives the entity the name the game shows for it.
void set_discoverable_name(Entity entity, const char* text);
