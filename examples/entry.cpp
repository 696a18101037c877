// The loader's side of an example plug-in: DllMain in the .asi, and in a
// native build the two functions the stand-in host calls in its place.

#include "entry.h"

#if defined(_WIN32)
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) on_attach(module);
  if (reason == DLL_PROCESS_DETACH) on_detach(module);
  return TRUE;
}
#else
extern "C" __attribute__((visibility("default"))) void plugin_attach(HMODULE module) {
  on_attach(module);
}
extern "C" __attribute__((visibility("default"))) void plugin_detach(HMODULE module) {
  on_detach(module);
}
#endif
