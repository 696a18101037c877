#include "seating.h"

#include "entities.h"
#include "natives.h"
#include "prompts.h"
#include "venue.h"

Prompt create_sit_prompt() {
  const Prompt prompt = ui_prompt_register_begin();
  ui_prompt_set_control_action(prompt, get_hash_key("INPUT_LOOT"));
  // A failed call gives no text; the prompt then shows none.
  const char* text = var_string(10, "LITERAL_STRING", cinema_site::sit_label);
  if (text != nullptr) ui_prompt_set_text(prompt, text);
  ui_prompt_set_hold_mode(prompt, 810);
  ui_prompt_set_priority(prompt, 1);
  ui_prompt_register_end(prompt);
  set_prompt_on(prompt, false);
  return prompt;
}

void create_player_chair(CinemaState& s) {
  s.seat_chair = spawn_object(get_hash_key(cinema_site::chair_model), &s.seat_chair_pos);
  chair_settings(s.seat_chair);
}

void place_seat_prompts(CinemaState& s) {
  const Vector3& at = s.seat_chair_pos;
  ui_prompt_context_set_point(s.sit_prompt, at.x, at.y, at.z);
  ui_prompt_context_set_radius(s.sit_prompt, 1.85f);
  set_prompt_on(s.sit_prompt, false);
  ui_prompt_context_set_point(s.leave_prompt, at.x, at.y, at.z);
  ui_prompt_context_set_radius(s.leave_prompt, 3.0f);
}

Vector3 compute_seat_offset(const CinemaState& s) {
  const Vector3 p = read_entity_position(s.seat_chair, false);
  // The seat's x and y are summed in double precision, its z in single.
  const auto x = static_cast<float>(static_cast<double>(p.x) + 0.551);
  const auto y = static_cast<float>(static_cast<double>(p.y) + 0.569);
  const float z = p.z + 0.5f;
  return world_to_entity_offset(s.seat_chair, x, y, z);
}

void sit_step(CinemaState& s) {
  if (!ui_prompt_has_hold_mode_completed(s.sit_prompt)) return;
  animpostfx_play("camtransitionblink");
  set_entity_coords(s.player_ped, -3607.815f, -2647.962f, -11.701f, false, false, false, false);
  use_seat_scenario(s.player_ped, s.seat_scenario, true);
  set_prompt_on(s.leave_prompt, true);
  set_prompt_on(s.sit_prompt, false);
}

void leave_step(CinemaState& s) {
  if (!ui_prompt_has_standard_mode_completed(s.leave_prompt, 0)) return;
  clear_ped_tasks(player_ped_id(), true, true);
  set_prompt_on(s.leave_prompt, false);
  set_prompt_on(s.sit_prompt, true);
}
