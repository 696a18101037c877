#include "counter.h"

#include <string>

#include "entities.h"
#include "natives.h"
#include "script_hook.h"
#include "speech.h"

Prompt create_buy_prompt() {
  const int group = ui_prompt_get_group_id_for_target_entity(0);
  // The game's text lives only until its next text; a failed call gives none.
  const char* cash = var_string(2, "CASH_STRING", ticket_price);
  std::string label = "Buy Ticket (";
  if (cash != nullptr) label += cash;
  label += ')';

  const Prompt prompt = ui_prompt_register_begin();
  ui_prompt_set_group(prompt, group, 0);
  ui_prompt_set_type(prompt, 0);
  const char* text = var_string(10, "LITERAL_STRING", label.c_str());
  if (text != nullptr) ui_prompt_set_text(prompt, text);
  ui_prompt_set_control_action(prompt, get_hash_key("INPUT_CONTEXT_X"));
  ui_prompt_set_priority(prompt, 3);
  ui_prompt_set_standard_mode(prompt, false);
  ui_prompt_set_enabled(prompt, true);
  ui_prompt_set_visible(prompt, true);
  ui_prompt_register_end(prompt);
  return prompt;
}

void place_scene(int32_t scene, float x, float y, float z, float heading) {
  set_anim_scene_origin(scene, x, y, z, 0.0f, 0.0f, heading, 2);
}

void bind_scene_entity(int32_t scene, const char* role, Entity entity, int32_t flags) {
  set_anim_scene_entity(scene, role, entity, flags);
}

void setup_handover_scene(CinemaState& s) {
  if (does_anim_scene_exist(s.handover_scene)) {
    abort_anim_scene(s.handover_scene, true);
    delete_anim_scene(s.handover_scene);
    s.handover_scene = 0;
  }
  if (does_entity_exist(s.money_prop)) delete_entity(&s.money_prop);
  request_anim_scene_play_list(s.handover_scene, "pb_handover");
  s.handover_scene = create_anim_scene("script@proc@handovers@player_handovers@give_money_new", 0,
                                       nullptr, false, true);
  const Vector3 home = s.taker_home;
  s.money_prop = spawn_object(get_hash_key(cinema_site::money_model), &home);
  load_anim_scene(s.handover_scene);
  // A scene the game did not make never loads: waiting for it would hold the
  // cinema for the rest of the run.
  while (s.handover_scene != 0 && !is_anim_scene_loaded(s.handover_scene, true, false)) {
    scriptWait(0);
  }
  get_entity_rotation(player_ped_id(), 2);
  const float heading = get_entity_heading(s.ticket_taker);
  place_scene(s.handover_scene, s.taker_home.x, s.taker_home.y, s.taker_home.z, heading);
  bind_scene_entity(s.handover_scene, "player", player_ped_id(), 0);
  bind_scene_entity(s.handover_scene, "male", s.ticket_taker, 0);
  bind_scene_entity(s.handover_scene, "money", s.money_prop, 16);
}

void player_say_line(const char* line) {
  const Hash model = get_entity_model(player_ped_id());
  const char* voice = nullptr;
  if (model == get_hash_key(cinema_site::arthur_model)) {
    voice = cinema_site::arthur_voice;
  } else if (model == get_hash_key(cinema_site::john_model)) {
    voice = cinema_site::john_voice;
  } else {
    return;
  }
  const SpeechRequest request = speech_request(line, voice);
  play_ped_ambient_speech_native(player_ped_id(), &request);
}
