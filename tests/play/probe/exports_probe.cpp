// A plug-in of someone else's that uses the host's exports beyond natives:
// an additional thread, script globals, the world's peds, an entity's record
// and the game's version; it ends its additional thread by its entry and its
// main script returns. Built with LIFECYCLE_BREACH it calls a native at load,
// registers its script twice, calls a native at unload and leaves its
// additional thread and keyboard handler behind.

#include <cstdint>

#include "entry.h"

namespace {

// Global 1001 counts the additional thread's turns, a second apart.
void heartbeat() {
  for (;;) {
    *getGlobalPtr(1001) += 1;
    scriptWait(1000);
  }
}

void main_script() {
  int peds[64] = {};
  const int count = worldGetAllPeds(peds, 64);
  *getGlobalPtr(1000) = static_cast<uint64_t>(count);
  BYTE* record = count > 0 ? getScriptHandleBaseAddress(peds[0]) : nullptr;
  // The record starts zeroed and keeps what is written to it.
  *getGlobalPtr(1002) = record != nullptr && record[0] == 0 ? 1 : 0;
  if (record != nullptr) record[0] = 7;
  *getGlobalPtr(1003) = static_cast<uint64_t>(getGameVersion());
  const uint64_t* beats = getGlobalPtr(1001);
  for (int frame = 0; frame < 150; ++frame) {
    if (*beats == 2) scriptUnregister(heartbeat);  // the older form, by entry
    scriptWait(0);
  }
  if (record == getScriptHandleBaseAddress(peds[0]) && record[0] == 7) *getGlobalPtr(1002) = 2;
}  // a script that returns is over

void key_handler(DWORD, WORD, BYTE, BOOL, BOOL, BOOL, BOOL) {}

}  // namespace

void on_attach(HMODULE module) {
  scriptRegister(module, main_script);
  scriptRegisterAdditionalThread(module, heartbeat);
  keyboardHandlerRegister(key_handler);
#if defined(LIFECYCLE_BREACH)
  scriptRegister(module, main_script);
  nativeInit(0x096275889B8E0EE0);  // PLAYER_PED_ID
  nativeCall();
#endif
}

void on_detach(HMODULE module) {
#if defined(LIFECYCLE_BREACH)
  (void)module;
  scriptUnregister(main_script);   // the additional thread is left registered
  nativeInit(0x096275889B8E0EE0);  // PLAYER_PED_ID
  nativeCall();
#else
  scriptUnregister(module);
  keyboardHandlerUnregister(key_handler);
#endif
}
