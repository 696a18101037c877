// Map blips.

#include <algorithm>

#include "world.h"

namespace sim {

bool BlipState::has(uint32_t modifier) const {
  return std::find(modifiers.begin(), modifiers.end(), modifier) != modifiers.end();
}

BlipState* Blips::find(int32_t handle) {
  auto it = all.find(handle);
  return it == all.end() || !it->second.exists ? nullptr : &it->second;
}

std::vector<const BlipState*> Blips::live() const {
  std::vector<const BlipState*> found;
  for (const auto& [handle, b] : all) {
    if (b.exists) found.push_back(&b);
  }
  return found;
}

static void add_for_coords(World& w, NativeCall& c) {
  BlipState b;
  b.handle = w.blips.next_handle++;
  b.style = c.u(0);
  b.position = Vec{c.f(1), c.f(2), c.f(3)};
  w.blips.all[b.handle] = b;
  c.ret_int(b.handle);
}

static void add_modifier(World& w, NativeCall& c) {
  BlipState* b = w.blips.find(c.i(0));
  if (b == nullptr) return;
  if (!b->has(c.u(1))) b->modifiers.push_back(c.u(1));
  c.ret_bool(true);
}

static void remove_modifier(World& w, NativeCall& c) {
  BlipState* b = w.blips.find(c.i(0));
  if (b == nullptr) return;
  std::erase(b->modifiers, c.u(1));
  c.ret_bool(true);
}

static void remove_blip(World& w, NativeCall& c) {
  auto* handle = c.p<int32_t>(0);
  if (BlipState* b = w.blips.find(*handle)) b->exists = false;
  *handle = 0;  // the game clears the caller's handle
}

NativeRows blips_native_rows() {
  static const NativeRow rows[] = {
      {0x554D9D53F696D002, "BLIP_ADD_FOR_COORDS", "ifff", 'i', add_for_coords, makes(Thing::blip)},
      {0x662D364ABF16DE2F, "BLIP_ADD_MODIFIER", "ii", 'b', add_modifier, changes(Thing::blip)},
      {0xB059D7BD3D78C16F, "BLIP_REMOVE_MODIFIER", "ii", 'b', remove_modifier,
       changes(Thing::blip)},
      {0xF2C3C9DA47AAA54A, "REMOVE_BLIP", "h", 'v', remove_blip, removes(Thing::blip)},
      {0x0A062D6D7C0B2C2C, "SET_BLIP_NAME_FROM_TEXT_FILE", "is", 'v',
       [](World& w, NativeCall& c) {
         if (BlipState* b = w.blips.find(c.i(0))) b->name = c.s(1);
       },
       changes(Thing::blip)},
      {0xD38744167B2FA257, "SET_BLIP_SCALE", "if", 'v',
       [](World& w, NativeCall& c) {
         if (BlipState* b = w.blips.find(c.i(0))) b->scale = c.f(1);
       },
       changes(Thing::blip)},
      {0x74F74D3207ED525C, "SET_BLIP_SPRITE", "iib", 'v',
       [](World& w, NativeCall& c) {
         if (BlipState* b = w.blips.find(c.i(0))) b->sprite = c.u(1);
       },
       changes(Thing::blip)},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
