// A plug-in of someone else's, for play: besides natives the stand-in
// simulates it calls two that it does not, one with arguments and one with
// a result, on every pass. Built with PROBE_BREACH it also breaks the
// calling protocol.

#include "native_call.h"
#include "plugin_entry.h"

void plugin_main_loop() {
  for (;;) {
    const auto player = invoke<int32_t>(0x096275889B8E0EE0);  // PLAYER_PED_ID
    invoke(0xDF993EE5E90ABA25, player, false);  // SET_PED_CAN_RAGDOLL_FROM_PLAYER_IMPACT
    const auto swimming = invoke<bool>(0x9DE327631295B4C2, player);  // IS_PED_SWIMMING
    invoke(0xFD340785ADF8CFB7, swimming ? "swimming" : "dry");       // GET_HASH_KEY
#if defined(PROBE_BREACH)
    invoke(0xDF993EE5E90ABA25, player);  // one argument short
#endif
    scriptWait(0);
  }
}
