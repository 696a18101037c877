#pragma once
#include <cstdint>

namespace sim {

// The game's hash of a name: one-at-a-time over the lower-cased bytes.
inline uint32_t joaat(const char* name) {
  uint32_t h = 0;
  for (const char* c = name; *c != '\0'; ++c) {
    unsigned char ch = static_cast<unsigned char>(*c);
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<unsigned char>(ch - 'A' + 'a');
    h += ch;
    h += h << 10;
    h ^= h >> 6;
  }
  h += h << 3;
  h ^= h >> 11;
  h += h << 15;
  return h;
}

}  // namespace sim
