// A plug-in that goes wrong on purpose, two frames after it starts, in the
// way the game's hour picks (a scenario sets it with `hour N`):
//   1 loops without scriptWait         2 waits on the game timer in one turn
//   3 writes to an address it does not own   4 throws a std::runtime_error
//   5 aborts                           6 throws an int
//   7 passes a text at an address it cannot read, then goes on
//   8 deletes the player's ped, then goes on
// At any other hour it behaves.

#include <cstdint>
#include <cstdlib>
#include <stdexcept>

#include "native_call.h"
#include "plugin_entry.h"

namespace {

constexpr uint64_t get_clock_hours = 0xC82CF208C2B19199;
constexpr uint64_t get_game_timer = 0x4F67E8ECA7D3F667;
constexpr uint64_t player_ped_id = 0x096275889B8E0EE0;
constexpr uint64_t get_hash_key = 0xFD340785ADF8CFB7;
constexpr uint64_t delete_ped = 0xCC0EF140F99365C5;

volatile uintptr_t nowhere = 0x10;  // not a constant, so no compiler makes it a trap
volatile uint32_t spins = 0;

void misbehave(int32_t hour) {
  switch (hour) {
    case 1:
      for (;;) spins = spins + 1;
    case 2: {
      const auto start = invoke<uint32_t>(get_game_timer);
      while (invoke<uint32_t>(get_game_timer) - start < 1000) {
      }
      break;
    }
    case 3:
      *reinterpret_cast<volatile int*>(nowhere) = 1;
      break;
    case 4:
      throw std::runtime_error("the misbehaving plug-in gave up");
    case 5:
      std::abort();
    case 6:
      throw 42;
    case 7:
      invoke<uint32_t>(get_hash_key, reinterpret_cast<const char*>(nowhere));
      break;
    case 8: {
      int32_t player = invoke<int32_t>(player_ped_id);
      invoke(delete_ped, &player);
      break;
    }
    default:
      break;
  }
}

}  // namespace

void plugin_main_loop() {
  scriptWait(0);
  scriptWait(0);
  misbehave(invoke<int32_t>(get_clock_hours));
  for (;;) scriptWait(0);
}
