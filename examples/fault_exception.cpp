// A plug-in with a fault modders make: it lists the peds in the world every
// pass and, two seconds in, picks the one past the end of its list; the
// checked access throws std::out_of_range, which nothing catches.

#include <vector>

#include "entry.h"
#include "natives.h"

namespace {

void pick_bounty() {
  const int start = get_game_timer();
  for (;;) {
    std::vector<int> peds(64);
    peds.resize(static_cast<size_t>(worldGetAllPeds(peds.data(), 64)));
    if (get_game_timer() - start > 2000) {
      const Ped bounty = peds.at(peds.size());
      set_entity_as_mission_entity(bounty, true, true);
    }
    scriptWait(0);
  }
}

}  // namespace

void on_attach(HMODULE module) { scriptRegister(module, pick_bounty); }
void on_detach(HMODULE module) { scriptUnregister(module); }
