#pragma once
// The player's keyboard as the game's window sees it: keys by their
// virtual-key names, and the messages a held key sends the host's keyboard
// handlers (down, repeats while held, up).

#include <cstdint>
#include <map>
#include <string>

#include "host.h"

namespace play {

struct VirtualKey {
  uint8_t code = 0;
  uint8_t scan = 0;  // the scan code the standard layout gives it
  bool extended = false;
};

// A virtual-key name (F4, NUMPAD8, A, 7, SPACE, LEFT, with or without VK_)
// or a code from 0 to 255, decimal or 0x hex.
bool find_key(const std::string& name, VirtualKey& key);

class Keyboard {
 public:
  // The first repeat comes this long after the key goes down, then one
  // every repeat_ms, as with the system's default keyboard settings. Timed
  // on the game's elapsed time: the system's clock does not jump with the
  // game's timer.
  static constexpr uint32_t repeat_delay_ms = 500;
  static constexpr uint32_t repeat_ms = 33;

  void press(sim::Host& host, const VirtualKey& key, uint64_t elapsed_ms);
  bool release(sim::Host& host, uint8_t code);  // false: the key is not down
  // Sends the repeats due by now; the host pumps messages between frames.
  void before_frame(sim::Host& host, uint64_t elapsed_ms);
  bool held(uint8_t code) const { return held_.count(code) != 0; }

 private:
  struct Held {
    VirtualKey key;
    uint64_t next_repeat_ms = 0;
  };
  bool alt_held() const;
  void send(sim::Host& host, const VirtualKey& key, bool was_down, bool is_up) const;
  std::map<uint8_t, Held> held_;
};

}  // namespace play
