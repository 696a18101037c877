#pragma once
// The film screen: a prop carrying the "bla_theater" render target, and the
// film played on TV channel 1.

#include "state.h"

void create_screen(CinemaState& s);              // set-up: made hidden
void attach_screen_audio(const CinemaState& s);  // set-up
void set_screen_level_by_hour(const CinemaState& s);
void end_of_film_step(CinemaState& s, float d_home);
void film_start_step(CinemaState& s);
void render_target_step(CinemaState& s, float d_home);

// Releases the render target's name if it is registered.
void release_screen_target();
