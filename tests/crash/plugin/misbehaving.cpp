// A plug-in that goes wrong on purpose. The misdeeds, by number:
//   1 loops without returning or calling scriptWait
//   2 waits on the game timer in one turn
//   3 writes to an address it does not own   4 throws a std::runtime_error
//   5 aborts                                  6 throws an int
//   7 passes a text at an address it cannot read, then goes on
//   8 deletes the player's ped, then goes on
//   9 throws a std::runtime_error and catches it itself, then goes on
// Its script does the one the game's hour names (a scenario sets it with
// `hour N`), two frames after it starts. Its keyboard handler does misdeed N
// when digit key N goes down, and F-key N arms misdeed N for its unload. At
// its load, before the game can tell it anything, it does the one the
// environment variable MISBEHAVE_AT_LOAD names. Natives are for scripts, so
// outside a script 2, 7 and 8 are not done. Otherwise it behaves.

#include <cstdint>
#include <cstdlib>
#include <stdexcept>

#include "entry.h"
#include "native_call.h"

namespace {

constexpr uint64_t get_clock_hours = 0xC82CF208C2B19199;
constexpr uint64_t get_game_timer = 0x4F67E8ECA7D3F667;
constexpr uint64_t player_ped_id = 0x096275889B8E0EE0;
constexpr uint64_t get_hash_key = 0xFD340785ADF8CFB7;
constexpr uint64_t delete_ped = 0xCC0EF140F99365C5;

constexpr DWORD key_1 = 0x31;
constexpr DWORD key_f1 = 0x70;

volatile uintptr_t nowhere = 0x10;  // not a constant, so no compiler makes it a trap
volatile uint32_t spins = 0;
int at_unload = 0;

// What needs no native.
void misbehave_anywhere(int misdeed) {
  switch (misdeed) {
    case 1:
      for (;;) spins = spins + 1;
    case 3:
      *reinterpret_cast<volatile int*>(nowhere) = 1;
      break;
    case 4:
      throw std::runtime_error("the misbehaving plug-in gave up");
    case 5:
      std::abort();
    case 6:
      throw 42;
    case 9:
      try {
        throw std::runtime_error("caught at once");
      } catch (const std::runtime_error&) {
        spins = spins + 1;
      }
      break;
    default:
      break;
  }
}

void misbehave_in_script(int misdeed) {
  switch (misdeed) {
    case 2: {
      const auto start = invoke<uint32_t>(get_game_timer);
      while (invoke<uint32_t>(get_game_timer) - start < 1000) {
      }
      break;
    }
    case 7:
      invoke<uint32_t>(get_hash_key, reinterpret_cast<const char*>(nowhere));
      break;
    case 8: {
      int32_t player = invoke<int32_t>(player_ped_id);
      invoke(delete_ped, &player);
      break;
    }
    default:
      misbehave_anywhere(misdeed);
      break;
  }
}

void script() {
  scriptWait(0);
  scriptWait(0);
  misbehave_in_script(invoke<int32_t>(get_clock_hours));
  for (;;) scriptWait(0);
}

void on_key(DWORD key, WORD, BYTE, BOOL, BOOL, BOOL was_down, BOOL is_up) {
  if (was_down || is_up) return;
  if (key >= key_1 && key < key_1 + 9) misbehave_anywhere(static_cast<int>(key - key_1) + 1);
  if (key >= key_f1 && key < key_f1 + 9) at_unload = static_cast<int>(key - key_f1) + 1;
}

}  // namespace

void on_attach(HMODULE module) {
  if (const char* misdeed = std::getenv("MISBEHAVE_AT_LOAD"))
    misbehave_anywhere(std::atoi(misdeed));
  scriptRegister(module, script);
  keyboardHandlerRegister(on_key);
}

void on_detach(HMODULE module) {
  scriptUnregister(module);
  keyboardHandlerUnregister(on_key);
  misbehave_anywhere(at_unload);
}
