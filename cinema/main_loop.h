#pragma once
// The cinema's main loop, and its set-up and pass on a state record.

#include "state.h"

// Never returns: a set-up, then a pass per frame.
void cinema_main_loop();

// Gives the loop's own fields their first values; returns the seat offset.
Vector3 cinema_set_up(CinemaState& s);

// One pass, without its closing wait.
void cinema_pass(CinemaState& s, const Vector3& seat_offset);
