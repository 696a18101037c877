// Placeholders for the show (sale, seating, screen) until it is built: the
// main loop calls these at their places, and they do nothing yet.
#include "sale.h"
#include "screen.h"
#include "seating.h"

Prompt create_sit_prompt() { return 0; }
void create_player_chair(CinemaState&) {}
void place_seat_prompts(CinemaState&) {}
Vector3 compute_seat_offset(const CinemaState&) { return Vector3{}; }
void sit_step(CinemaState&) {}
void leave_step(CinemaState&) {}
void ticket_sale_step(CinemaState&, const Vector3&) {}
void handover_start_step(CinemaState&) {}
void handover_progress_step(CinemaState&) {}
void film_information_step(CinemaState&) {}
bool taker_playing_handover(const CinemaState&) { return false; }
void create_screen(CinemaState&) {}
void attach_screen_audio(const CinemaState&) {}
void set_screen_level_by_hour(const CinemaState&) {}
void end_of_film_step(CinemaState&, float) {}
void film_start_step(CinemaState&) {}
void render_target_step(CinemaState&, float) {}
void release_screen_target() {}
