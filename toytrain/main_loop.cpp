#include "main_loop.h"

#include "entities.h"
#include "measures.h"
#include "motion.h"
#include "natives.h"
#include "plugin_entry.h"
#include "prompts.h"
#include "script_hook.h"
#include "site.h"
#include "smoke.h"
#include "state.h"

const Vector3 train_site{toytrain_site::site.x, toytrain_site::site.y, toytrain_site::site.z};

static constexpr float site_radius = toytrain_site::radius;
static constexpr PromptMode hold_mode{550};  // the train's prompts are held

// One for the life of the script; `ramp` with it.
static ToyTrainState state;

void set_discoverable_name(Entity entity, const char* text) {
  // The game may hand out no text; the name is then left empty.
  register_interaction_lockon_prompt(entity, text != nullptr ? text : "", 2.0f, 2.0f, 1, 0.0f, 0.0f,
                                     0, true, -1);
}

static void delete_prompts(ToyTrainState& s) {
  if (s.prompt_on != 0) ui_prompt_delete(s.prompt_on);
  if (s.prompt_off != 0) ui_prompt_delete(s.prompt_off);
  s.prompt_on = 0;
  s.prompt_off = 0;
}

// The smoke and any fade-in end with their train.
static void put_out_smoke(ToyTrainState& s) {
  if (s.smoke != 0 && does_particle_fx_looped_exist(s.smoke)) stop_smoke(s.smoke);
  s.smoke = 0;
  s.ramp.active = false;
}

static void delete_track(ToyTrainState& s) {
  if (s.track != 0 && does_entity_exist(s.track)) delete_entity(&s.track);
  s.track = 0;
}

// What an earlier train left behind when it went without a removal: it
// failed to be created, or the game took it away.
static bool has_leftovers(const ToyTrainState& s) {
  return s.prompt_on != 0 || s.prompt_off != 0 || s.track != 0;
}

static void clear_leftovers(ToyTrainState& s) {
  delete_prompts(s);
  put_out_smoke(s);
  delete_track(s);
}

static void set_up_train(ToyTrainState& s) {
  clear_leftovers(s);
  s.speed = 0.0f;
  s.prompt_on =
      create_labelled_prompt(toytrain_site::on_label, get_hash_key("INPUT_ENTER"), hold_mode);
  s.prompt_off =
      create_labelled_prompt(toytrain_site::off_label, get_hash_key("INPUT_ENTER"), hold_mode);
  set_prompt_on(s.prompt_on, true);
  set_prompt_on(s.prompt_off, false);

  const Vector3 train_at = train_site;
  const Object train = spawn_object(get_hash_key(toytrain_site::train_model), &train_at);
  const Vector3 track_at = train_site;
  s.track = spawn_object(get_hash_key(toytrain_site::track_model), &track_at);
  freeze_entity_position(s.track, true);
  s.train = train;
  // A train the game did not make (0) gets the same calls: they act on
  // nothing, and the next pass in range finds no train and sets up anew.
  ui_prompt_set_group(s.prompt_on, ui_prompt_get_group_id_for_target_entity(s.train), 0);
  ui_prompt_set_group(s.prompt_off, ui_prompt_get_group_id_for_target_entity(s.train), 0);
  freeze_entity_position(s.train, true);
  set_object_targettable_focus(s.train, true, false);
  set_discoverable_name(s.train, get_string_from_hash_key(get_hash_key("MG_TOY_TRAIN")));
  // A call's arguments run in no set order; the object index is asked first.
  const Object object = get_object_index_from_entity_index(s.train);
  const Hash label = get_hash_key("MG_TOY_TRAIN");
  set_object_prompt_name_from_gxt_entry(object, label);
  register_eagle_eye_for_entity(get_player_index(), s.train, false);
  set_prompt_on(s.prompt_on, false);
  set_prompt_on(s.prompt_off, true);
  s.smoke = start_smoke(s.train, full_smoke_scale);
}

static void remove_train(ToyTrainState& s) {
  delete_prompts(s);
  put_out_smoke(s);
  set_object_targettable_focus(s.train, false, false);
  unregister_interaction_lockon_prompt(s.train);
  delete_entity(&s.train);
  delete_track(s);
}

static void turn_on(ToyTrainState& s) {
  set_prompt_on(s.prompt_on, false);
  set_prompt_on(s.prompt_off, true);
  ramp_up_smoke(s.train, s.smoke, s.ramp);
}

static void turn_off(ToyTrainState& s) {
  set_prompt_on(s.prompt_off, false);
  set_prompt_on(s.prompt_on, true);
  stop_smoke(s.smoke);
}

static void run_pass(ToyTrainState& s) {
  const Vector3 player = get_entity_coords(player_ped_id(), false, false);
  const float distance = distance_between(player, train_site);
  // Asked first, so that nothing of a train that is gone is touched.
  bool present = does_entity_exist(s.train);
  if (present) update_smoke_ramp(s.ramp);

  if (distance >= site_radius) {
    if (present) {
      remove_train(s);
      present = false;
    } else if (has_leftovers(s)) {
      clear_leftovers(s);
    }
  } else if (!present) {  // also when the distance is not a number
    set_up_train(s);
    present = s.train != 0;
  }
  if (!present) return;

  if (ui_prompt_has_hold_mode_completed(s.prompt_on)) turn_on(s);
  if (ui_prompt_has_hold_mode_completed(s.prompt_off)) turn_off(s);
  update_motion(s.train, s.prompt_on, s.prompt_off, s.speed);
}

void toy_train_main_loop() {
  load_particle_asset();
  ToyTrainState& s = state;
  s = ToyTrainState{};
  for (;;) {
    run_pass(s);
    scriptWait(0);
  }
}

void plugin_main_loop() { toy_train_main_loop(); }
