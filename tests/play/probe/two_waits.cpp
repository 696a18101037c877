// A plug-in whose two scripts each wait inside a pass, on different things
// at once: the main script for a model it requested, which loads; its
// additional thread for a particle asset it never requested, which it gives
// up on after half a second, and returns, ending its wait with itself.

#include <cstdint>

#include "entry.h"
#include "native_call.h"

namespace {

uint32_t hash_of(const char* name) { return invoke<uint32_t>(0xFD340785ADF8CFB7, name); }

bool model_loaded(uint32_t model) { return invoke<bool>(0x1283B8B89DD5D1B6, model); }
bool asset_loaded(uint32_t asset) { return invoke<bool>(0x65BB72F29138F5D6, asset); }

void load_a_chair() {
  const uint32_t chair = hash_of("p_chair05x");
  invoke(0xFA28FE3A6246FC30, chair, false);  // REQUEST_MODEL
  while (!model_loaded(chair)) scriptWait(0);
  for (;;) {
    model_loaded(chair);  // a call each pass, before the thread's turn
    scriptWait(0);
  }
}

void wait_for_smoke() {
  const uint32_t core = hash_of("core");
  // Its last test comes in the turn it returns in, after no wait of its own.
  for (int tries = 0; !asset_loaded(core); ++tries) {
    if (tries == 30) return;
    scriptWait(0);
  }
}

}  // namespace

void on_attach(HMODULE module) {
  scriptRegister(module, load_a_chair);
  scriptRegisterAdditionalThread(module, wait_for_smoke);
}

void on_detach(HMODULE module) { scriptUnregister(module); }
