// A plug-in with a fault modders make: two seconds after it spawns a ped it
// deletes it, then writes to the game's record behind the handle it kept.
// The handle names nothing any more, so the record's address is null, which
// it does not check: an access violation.

#include "entry.h"
#include "natives.h"

namespace {

constexpr int health_offset = 0x280;

void mark_ped() {
  const Hash model = get_hash_key("a_m_m_valtownfolk_01");
  request_model(model, false);
  while (!has_model_loaded(model)) scriptWait(0);
  const Vector3 at = get_entity_coords(player_ped_id(), true, true);
  Ped ped = create_ped(model, at.x + 2.0f, at.y, at.z, 0.0f, false, false, false, false);
  const Ped kept = ped;
  const int start = get_game_timer();
  while (get_game_timer() - start <= 2000) scriptWait(0);
  delete_ped(&ped);
  BYTE* record = getScriptHandleBaseAddress(kept);
  *reinterpret_cast<volatile float*>(record + health_offset) = 0.0f;
  for (;;) scriptWait(0);
}

}  // namespace

void on_attach(HMODULE module) { scriptRegister(module, mark_ped); }
void on_detach(HMODULE module) { scriptUnregister(module); }
