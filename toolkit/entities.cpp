#include "entities.h"

#include "natives.h"
#include "script_hook.h"

static void load_model(Hash model) {
  request_model(model, true);
  while (!has_model_loaded(model)) scriptWait(0);
}

Object spawn_object(Hash model, const Vector3* position) {
  if (!is_model_valid(model)) return 0;
  load_model(model);
  return create_object(model, position->x, position->y, position->z, true, true, false, false,
                       false);
}

Ped spawn_ped(Hash model, float x, float y, float z) {
  // The callers pass fixed models the game has: no validity test, as the
  // game's own scripts do; one that never loads holds the caller here.
  load_model(model);
  const Ped ped = create_ped(model, x, y, z, 45.0f, false, false, false, false);
  place_entity_on_ground_properly(ped, true);
  equip_meta_ped_outfit_preset(ped, 1, false);
  update_ped_variation(ped, true, true, true, true, true);
  return ped;
}

int random_outfit_index(Ped ped) {
  if (!does_entity_exist(ped)) return 0;
  const int presets = get_num_meta_ped_outfits(ped);
  return get_random_int_in_range(0, presets);
}

void dress_at_random(Ped ped) {
  const int outfit = random_outfit_index(ped);
  if (!does_entity_exist(ped)) return;
  equip_meta_ped_outfit_preset(ped, outfit, true);
  update_ped_variation(ped, true, true, true, true, true);
}
