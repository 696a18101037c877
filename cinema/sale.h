#pragma once
// Selling a ticket: the sale itself, the money hand-over scene with its
// lines and payment, and the question of what film is playing.

#include "state.h"

void ticket_sale_step(CinemaState& s, const Vector3& seat_offset);  // first test of the buy prompt
void handover_start_step(CinemaState& s);                           // second test of the buy prompt
void handover_progress_step(CinemaState& s);  // lines and payment along the taker's clip
void film_information_step(CinemaState& s);

// Whether the taker is playing his hand-over clip.
bool taker_playing_handover(const CinemaState& s);
