#include "host_natives.h"

#include <iterator>

#include "native_row.h"

namespace sim {

namespace {

// Centre and shadow style the next text drawn, as the game's own text
// style natives do (text.cpp keeps the style).
const HostNative natives[] = {
    {{0x1BE39DBAA7263CA5, "SET_TEXT_DROPSHADOW", "iiiii", 'v',
      [](World& w, NativeCall& c) { w.text.next.shadow = c.i(0) > 0; }},
     0},
    {{0x4170B650590B3B00, "SET_TEXT_SCALE", "ff", 'v', nullptr}, 0xA1253A3C870B6843},
    {{0x50A41AD966910F03, "_SET_TEXT_COLOR", "iiii", 'v', nullptr}, 0x16FA5CE47F184F1E},
    {{0xBE5261939FBECB8C, "SET_TEXT_CENTRE", "b", 'v',
      [](World& w, NativeCall& c) { w.text.next.centred = c.b(0); }},
     0},
    {{0xD79334A4BB99BAD1, "_DISPLAY_TEXT", "sff", 'v', nullptr}, 0x16794E044C9EFB58},
};

const HostNative* find(const NativeRow* row) {
  for (const HostNative& n : natives) {
    if (&n.row == row) return &n;
  }
  return nullptr;
}

}  // namespace

const NativeRow* host_native_row(uint64_t hash) {
  for (const HostNative& n : natives) {
    if (n.row.hash == hash) return &n.row;
  }
  return nullptr;
}

void answer_host_native(World& w, NativeCall& call, bool sound) {
  const HostNative* n = find(call.row);
  const FoundRow sent_to = n != nullptr && n->sent_to != 0 ? native_row(n->sent_to) : FoundRow{};
  const NativeRow* replacement = sent_to.from == RowSource::world ? sent_to.row : nullptr;
  if (replacement == nullptr) {
    w.perform_outside(call, sound);
    return;
  }
  call.via = call.row;
  call.row = replacement;
  call.hash = replacement->hash;
  w.perform(call, sound);
}

std::span<const HostNative> host_natives() { return natives; }

}  // namespace sim
