#pragma once
// The ticket counter: the buy prompt with the price as the game writes cash,
// the money hand-over scene, and the player's own lines at the counter.

#include <cstdint>

#include "state.h"

constexpr int32_t ticket_price = 100;  // in the game's money unit

// Made once, before any other prompt; returned switched on.
Prompt create_buy_prompt();

// A fresh hand-over scene at the taker's post, loaded, with the player, the
// taker and a new money clip in their roles. Waits frame by frame for the
// scene to load. Ends and releases the previous scene and money clip first.
void setup_handover_scene(CinemaState& s);

// The player's character says `line` in his own voice; other player models
// say nothing.
void player_say_line(const char* line);

void place_scene(int32_t scene, float x, float y, float z, float heading);
void bind_scene_entity(int32_t scene, const char* role, Entity entity, int32_t flags);
