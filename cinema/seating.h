#pragma once
// The player's own chair: the Sit and Leave prompts, the chair, its seat
// point, and sitting down and standing up.

#include "state.h"

Prompt create_sit_prompt();                         // set-up, before the Leave prompt
void create_player_chair(CinemaState& s);           // set-up
void place_seat_prompts(CinemaState& s);            // set-up
Vector3 compute_seat_offset(const CinemaState& s);  // set-up: the seat in the chair's frame
void sit_step(CinemaState& s);                      // each pass
void leave_step(CinemaState& s);                    // each pass
