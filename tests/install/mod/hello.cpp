// A mod's smallest script: registered on load, it waits a second a loop.
#include "exports.h"

namespace {
void hello_script() {
  for (;;) scriptWait(1000);
}
}  // namespace

#if defined(_WIN32)
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) scriptRegister(module, hello_script);
  if (reason == DLL_PROCESS_DETACH) scriptUnregister(module);
  return TRUE;
}
#else
extern "C" __attribute__((visibility("default"))) void plugin_attach(HMODULE module) {
  scriptRegister(module, hello_script);
}
extern "C" __attribute__((visibility("default"))) void plugin_detach(HMODULE module) {
  scriptUnregister(module);
}
#endif
