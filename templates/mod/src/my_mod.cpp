// My mod: F5 makes it say hello on the screen, counting the presses.
// A script plug-in talks to the game only through the host's exports:
// it registers a script and a keyboard handler when it is loaded, and calls
// natives by their hash.

#include <cstdio>
#include <cstring>

#include "exports.h"

namespace {

constexpr DWORD key_f5 = 0x74;

// Natives, as the game's native database names them.
constexpr uint64_t set_text_scale = 0x4170B650590B3B00;
constexpr uint64_t set_text_color = 0x50A41AD966910F03;
constexpr uint64_t display_text = 0xD79334A4BB99BAD1;

// Each argument travels in a 64-bit slot: a float in its low half.
uint64_t slot(float value) {
  uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}
uint64_t slot(int value) { return static_cast<uint64_t>(static_cast<int64_t>(value)); }
uint64_t slot(const char* text) { return reinterpret_cast<uintptr_t>(text); }

template <class... Args>
void invoke(uint64_t hash, Args... args) {
  nativeInit(hash);
  (nativePush64(slot(args)), ...);
  nativeCall();
}

int presses = 0;
bool f5_pressed = false;  // by the keyboard handler, taken by the script

void on_key(DWORD key, WORD /*repeats*/, BYTE /*scan_code*/, BOOL /*extended*/, BOOL /*alt*/,
            BOOL was_down, BOOL is_up) {
  if (key == key_f5 && !was_down && !is_up) f5_pressed = true;
}

void main_script() {
  for (;;) {
    if (f5_pressed) {
      f5_pressed = false;
      ++presses;
    }
    if (presses > 0) {
      char text[32];
      std::snprintf(text, sizeof text, "Hello x%d", presses);
      invoke(set_text_scale, 0.0f, 0.4f);
      invoke(set_text_color, 255, 220, 0, 255);
      invoke(display_text, text, 0.5f, 0.1f);
    }
    scriptWait(0);
  }
}

void attach(HMODULE module) {
  scriptRegister(module, main_script);
  keyboardHandlerRegister(on_key);
}

void detach(HMODULE module) {
  keyboardHandlerUnregister(on_key);
  scriptUnregister(module);
}

}  // namespace

// The loader's side: the game's loader calls DllMain; the stand-in's native
// host calls plugin_attach and plugin_detach in its place.
#if defined(_WIN32)
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) attach(module);
  if (reason == DLL_PROCESS_DETACH) detach(module);
  return TRUE;
}
#else
extern "C" __attribute__((visibility("default"))) void plugin_attach(HMODULE module) {
  attach(module);
}
extern "C" __attribute__((visibility("default"))) void plugin_detach(HMODULE module) {
  detach(module);
}
#endif
