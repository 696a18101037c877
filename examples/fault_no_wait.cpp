// A plug-in with a fault modders make: two seconds in it asks for a model
// and waits for it to load in a loop that never calls scriptWait. The game
// loads models between frames, so the loop never ends and the frame never
// does either.

#include "entry.h"
#include "natives.h"

namespace {

void spawn_late() {
  const int start = get_game_timer();
  while (get_game_timer() - start <= 2000) scriptWait(0);
  const Hash model = get_hash_key("a_c_horse_morgan_bay");
  request_model(model, false);
  while (!has_model_loaded(model)) {
  }
  const Vector3 at = get_entity_coords(player_ped_id(), true, true);
  create_ped(model, at.x + 2.0f, at.y, at.z, 0.0f, false, false, false, false);
  for (;;) scriptWait(0);
}

}  // namespace

void on_attach(HMODULE module) { scriptRegister(module, spawn_late); }
void on_detach(HMODULE module) { scriptUnregister(module); }
