// A mod as a player installs it beside the stand-in's DLL by mistake: at
// load it registers its script and a key handler, and, as careless mods do,
// calls the host at once: a native, a global, the world's peds, an
// entity's record. Each answer must be safe to read and write.

#include <cstdint>

#include "entry.h"

namespace {

void main_script() {
  for (;;) scriptWait(0);
}

void key_handler(DWORD, WORD, BYTE, BOOL, BOOL, BOOL, BOOL) {}

}  // namespace

void on_attach(HMODULE module) {
  scriptRegister(module, main_script);
  scriptRegisterAdditionalThread(module, main_script);
  keyboardHandlerRegister(key_handler);
  nativeInit(0x275F255ED201B937ull);  // any native: a player's ped, say
  nativePush64(0);
  uint64_t* result = nativeCall();
  result[0] += 1;
  *getGlobalPtr(1000) += 1;
  int peds[16] = {};
  const int count = worldGetAllPeds(peds, 16);
  BYTE* record = getScriptHandleBaseAddress(count > 0 ? peds[0] : 1);
  record[0] = 7;
  scriptWait(0);
  (void)getGameVersion();
}

void on_detach(HMODULE module) {
  keyboardHandlerUnregister(key_handler);
  scriptUnregister(module);
}
