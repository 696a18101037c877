// A game's process as far as the host is concerned: it loads the host's
// DLL, then a mod that imports it, whose DllMain calls the host. It prints
// "the game goes on" and exits 0 when both loaded and nothing crashed.
//   game.exe HOST_DLL MOD_ASI

#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: game.exe HOST_DLL MOD_ASI\n");
    return 2;
  }
  if (LoadLibraryA(argv[1]) == nullptr) {
    std::printf("the host did not load: error %lu\n", GetLastError());
    return 1;
  }
  const HMODULE mod = LoadLibraryA(argv[2]);
  if (mod == nullptr) {
    std::printf("the mod did not load: error %lu\n", GetLastError());
    return 1;
  }
  Sleep(100);  // a few of the game's frames, in which no script may run
  FreeLibrary(mod);
  std::printf("the game goes on\n");
  return 0;
}
