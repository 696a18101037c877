// Map blips.

#include <algorithm>

#include "native_words.h"
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

BlipState* Blips::for_entity(int32_t entity) {
  for (auto& [handle, b] : all) {
    if (b.exists && b.entity == entity) return &b;
  }
  return nullptr;
}

static int32_t add_blip(World& w, uint32_t style, Vec at, int32_t entity) {
  BlipState b;
  int32_t before = 0;
  b.handle = w.blips.handles.give(
      w.frame(), [](int32_t) { return false; }, &before);
  w.blips.all.erase(before);
  b.style = style;
  b.position = at;
  b.entity = entity;
  w.blips.all[b.handle] = b;
  w.journal.made(Thing::blip, b.handle, style, at);
  return b.handle;
}

static void add_for_coords(World& w, NativeCall& c) {
  c.ret_int(add_blip(w, c.u(0), Vec{c.f(1), c.f(2), c.f(3)}, 0));
}

static void add_for_entity(World& w, NativeCall& c) {
  const EntityState* e = w.live_entity(c.i(1));
  if (e == nullptr) return;  // the game makes no blip for nothing
  c.ret_int(add_blip(w, c.u(0), e->position, c.i(1)));
}

// Where a blip shows: on its entity while that exists, else where it was put.
static void blip_coords(World& w, NativeCall& c) {
  const BlipState* b = w.blips.find(c.i(0));
  if (b == nullptr) return;
  Vec at = b->position;
  if (const EntityState* e = b->entity != 0 ? w.live_entity(b->entity) : nullptr) at = e->position;
  c.ret_vector(at.x, at.y, at.z);
}

static void add_modifier(World& w, NativeCall& c) {
  BlipState* b = w.blips.find(c.i(0));
  if (b == nullptr) return;
  if (!b->has(c.u(1))) {
    b->modifiers.push_back(c.u(1));
    w.journal.write<EntryKind::marked>({.modifier = c.u(1)}, w.serial_of(Thing::blip, b->handle));
  }
  c.ret_bool(true);
}

static void remove_modifier(World& w, NativeCall& c) {
  BlipState* b = w.blips.find(c.i(0));
  if (b == nullptr) return;
  if (std::erase(b->modifiers, c.u(1)) > 0) {
    w.journal.write<EntryKind::unmarked>({.modifier = c.u(1)}, w.serial_of(Thing::blip, b->handle));
  }
  c.ret_bool(true);
}

static void remove_blip(World& w, NativeCall& c) {
  auto* handle = c.p<int32_t>(0);
  if (BlipState* b = w.blips.find(*handle)) {
    b->exists = false;
    w.journal.gone(Thing::blip, b->handle);
    w.blips.handles.free(b->handle, w.frame());
  }
  *handle = 0;  // the game clears the caller's handle
}

NativeRows blips_native_rows() {
  static const DomainRow rows[] = {
      {Native::BLIP_ADD_FOR_COORDS, add_for_coords, makes(Thing::blip)},
      {Native::BLIP_ADD_FOR_ENTITY, add_for_entity, makes(Thing::blip)},
      {Native::BLIP_ADD_MODIFIER, add_modifier, changes(Thing::blip)},
      {Native::BLIP_REMOVE_MODIFIER, remove_modifier, changes(Thing::blip)},
      {Native::DOES_BLIP_EXIST,
       [](World& w, NativeCall& c) { c.ret_bool(w.blips.find(c.i(0)) != nullptr); }},
      {Native::GET_BLIP_COORDS, blip_coords},
      {Native::GET_BLIP_FROM_ENTITY,
       [](World& w, NativeCall& c) {
         const BlipState* b =
             w.live_entity(c.i(0)) != nullptr ? w.blips.for_entity(c.i(0)) : nullptr;
         if (b != nullptr) c.ret_int(b->handle);
       }},
      {Native::REMOVE_BLIP, remove_blip, removes(Thing::blip)},
      {Native::SET_BLIP_NAME_FROM_TEXT_FILE,
       [](World& w, NativeCall& c) {
         if (BlipState* b = w.blips.find(c.i(0))) {
           b->name = c.s(1);
           if (ThingRecord* t = w.journal.thing(w.serial_of(Thing::blip, b->handle))) {
             t->label = b->name;
           }
         }
       },
       changes(Thing::blip)},
      {Native::SET_BLIP_NAME_,
       [](World& w, NativeCall& c) {
         if (BlipState* b = w.blips.find(c.i(0))) b->name = c.s(1);
       },
       changes(Thing::blip)},
      {Native::BLIP_ADD_FOR_RADIUS,
       [](World& w, NativeCall& c) {
         const int32_t handle = add_blip(w, c.u(0), Vec{c.f(1), c.f(2), c.f(3)}, 0);
         w.blips.all[handle].radius = c.f(4);
         c.ret_int(handle);
       },
       makes(Thing::blip)},
      {Native::SET_BLIP_SCALE,
       [](World& w, NativeCall& c) {
         if (BlipState* b = w.blips.find(c.i(0))) b->scale = c.f(1);
       },
       changes(Thing::blip)},
      {Native::SET_BLIP_SPRITE,
       [](World& w, NativeCall& c) {
         if (BlipState* b = w.blips.find(c.i(0))) b->sprite = c.u(1);
       },
       changes(Thing::blip)},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
