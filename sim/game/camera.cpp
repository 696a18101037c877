// Cameras: the gameplay camera follows the player from behind; the cameras
// scripts make are placed, pointed, attached, shaken, made active and
// rendered in its stead.

#include <cmath>
#include <string>

#include "native_words.h"
#include "world.h"

namespace sim {

namespace {

constexpr float behind = 3.0f;  // m behind the player's back
constexpr float above = 1.5f;   // m above his feet

// Heading 0 faces north (+y) and grows anticlockwise.
Vec forward_of(float heading) {
  const float yaw = heading / degrees;
  return Vec{-std::sin(yaw), std::cos(yaw), 0.0f};
}

Vec gameplay_position(World& w) {
  const EntityState* p = w.live_entity(w.player_ped());
  if (p == nullptr) return Vec{};
  const Vec f = forward_of(p->rotation.z + w.cameras.gameplay_heading);
  return Vec{p->position.x - f.x * behind, p->position.y - f.y * behind, p->position.z + above};
}

Vec gameplay_rotation(World& w) {
  const EntityState* p = w.live_entity(w.player_ped());
  return Vec{0.0f, 0.0f,
             (p != nullptr ? World::heading_of(*p) : 0.0f) + w.cameras.gameplay_heading};
}

Vec cam_position(World& w, const ScriptCam& cam) {
  if (cam.attached_to == 0) return cam.position;
  const EntityState* e = w.live_entity(cam.attached_to);
  if (e == nullptr) return cam.position;
  return Vec{e->position.x + cam.attach_offset.x, e->position.y + cam.attach_offset.y,
             e->position.z + cam.attach_offset.z};
}

// Pointed at something, a camera turns to it.
Vec cam_rotation(World& w, const ScriptCam& cam) {
  if (!cam.pointing) return cam.rotation;
  Vec target = cam.point_at;
  if (cam.point_entity != 0) {
    const EntityState* e = w.live_entity(cam.point_entity);
    if (e == nullptr) return cam.rotation;
    target = e->position;
  }
  const Vec from = cam_position(w, cam);
  const float dx = target.x - from.x;
  const float dy = target.y - from.y;
  const float dz = target.z - from.z;
  const float flat = std::sqrt(dx * dx + dy * dy);
  if (flat == 0.0f && dz == 0.0f) return cam.rotation;
  return Vec{std::atan2(dz, flat) * degrees, 0.0f, std::atan2(-dx, dy) * degrees};
}

// The camera the screen shows: an active script camera while scripts
// render theirs, else the gameplay one (null).
const ScriptCam* shown(World& w) {
  if (!w.cameras.rendering) return nullptr;
  const int32_t active = w.cameras.active();
  return active != 0 ? w.cameras.find(active) : nullptr;
}

int32_t make_cam(World& w, const char* name) {
  const int32_t handle = w.cameras.next_handle++;
  ScriptCam& cam = w.cameras.all[handle];
  cam.name = name;
  return handle;
}

void ret(NativeCall& c, Vec v) { c.ret_vector(v.x, v.y, v.z); }

void set_coord(World& w, NativeCall& c) {
  if (ScriptCam* cam = w.cameras.find(c.i(0))) cam->position = Vec{c.f(1), c.f(2), c.f(3)};
}

}  // namespace

ScriptCam* Cameras::find(int32_t handle) {
  const auto it = all.find(handle);
  return it == all.end() ? nullptr : &it->second;
}

int32_t Cameras::active() const {
  int32_t latest = 0;
  uint64_t when = 0;
  for (const auto& [handle, cam] : all) {
    if (cam.active && cam.activated >= when) {
      latest = handle;
      when = cam.activated;
    }
  }
  return latest;
}

NativeRows camera_native_rows() {
  static const DomainRow rows[] = {
      // The gameplay camera
      {Native::GET_GAMEPLAY_CAM_COORD,
       [](World& w, NativeCall& c) { ret(c, gameplay_position(w)); }},
      {Native::GET_GAMEPLAY_CAM_ROT, [](World& w, NativeCall& c) { ret(c, gameplay_rotation(w)); }},
      {Native::GET_GAMEPLAY_CAM_FOV,
       [](World& w, NativeCall& c) { c.ret_float(w.cameras.gameplay_fov); }},
      {Native::SET_GAMEPLAY_CAM_RELATIVE_HEADING,
       [](World& w, NativeCall& c) { w.cameras.gameplay_heading = c.f(0); }},
      {Native::GET_GAMEPLAY_CAM_RELATIVE_HEADING,
       [](World& w, NativeCall& c) { c.ret_float(w.cameras.gameplay_heading); }},
      {Native::IS_GAMEPLAY_CAM_RENDERING,
       [](World& w, NativeCall& c) { c.ret_bool(shown(w) == nullptr); }},
      {Native::SHAKE_GAMEPLAY_CAM,
       [](World& w, NativeCall& c) { w.cameras.gameplay_shake = c.f(1); }},
      {Native::STOP_GAMEPLAY_CAM_SHAKING,
       [](World& w, NativeCall&) { w.cameras.gameplay_shake = 0.0f; }},
      {Native::GET_FINAL_RENDERED_CAM_COORD,
       [](World& w, NativeCall& c) {
         const ScriptCam* cam = shown(w);
         ret(c, cam != nullptr ? cam_position(w, *cam) : gameplay_position(w));
       }},
      {Native::GET_FINAL_RENDERED_CAM_ROT,
       [](World& w, NativeCall& c) {
         const ScriptCam* cam = shown(w);
         ret(c, cam != nullptr ? cam_rotation(w, *cam) : gameplay_rotation(w));
       }},

      // Script cameras
      {Native::CREATE_CAM, [](World& w, NativeCall& c) { c.ret_int(make_cam(w, c.s(0))); }},
      {Native::CREATE_CAM_WITH_PARAMS,
       [](World& w, NativeCall& c) {
         const int32_t handle = make_cam(w, c.s(0));
         ScriptCam& cam = w.cameras.all[handle];
         cam.position = Vec{c.f(1), c.f(2), c.f(3)};
         cam.rotation = Vec{c.f(4), c.f(5), c.f(6)};
         cam.fov = c.f(7);
         if (c.b(8)) {
           cam.active = true;
           cam.activated = ++w.cameras.activations;
         }
         c.ret_int(handle);
       }},
      {Native::DESTROY_CAM, [](World& w, NativeCall& c) { w.cameras.all.erase(c.i(0)); }},
      {Native::DESTROY_ALL_CAMS, [](World& w, NativeCall&) { w.cameras.all.clear(); }},
      {Native::DOES_CAM_EXIST,
       [](World& w, NativeCall& c) { c.ret_bool(w.cameras.find(c.i(0)) != nullptr); }},
      {Native::SET_CAM_ACTIVE,
       [](World& w, NativeCall& c) {
         ScriptCam* cam = w.cameras.find(c.i(0));
         if (cam == nullptr) return;
         cam->active = c.b(1);
         if (cam->active) cam->activated = ++w.cameras.activations;
       }},
      {Native::IS_CAM_ACTIVE,
       [](World& w, NativeCall& c) {
         const ScriptCam* cam = w.cameras.find(c.i(0));
         c.ret_bool(cam != nullptr && cam->active);
       }},
      {Native::RENDER_SCRIPT_CAMS, [](World& w, NativeCall& c) { w.cameras.rendering = c.b(0); }},
      {Native::GET_RENDERING_CAM,
       [](World& w, NativeCall& c) {
         if (shown(w) != nullptr) c.ret_int(w.cameras.active());
       }},
      {Native::SET_CAM_COORD, set_coord},
      {Native::GET_CAM_COORD,
       [](World& w, NativeCall& c) {
         if (const ScriptCam* cam = w.cameras.find(c.i(0))) ret(c, cam_position(w, *cam));
       }},
      {Native::SET_CAM_ROT,
       [](World& w, NativeCall& c) {
         if (ScriptCam* cam = w.cameras.find(c.i(0))) cam->rotation = Vec{c.f(1), c.f(2), c.f(3)};
       }},
      {Native::GET_CAM_ROT,
       [](World& w, NativeCall& c) {
         if (const ScriptCam* cam = w.cameras.find(c.i(0))) ret(c, cam_rotation(w, *cam));
       }},
      {Native::SET_CAM_FOV,
       [](World& w, NativeCall& c) {
         if (ScriptCam* cam = w.cameras.find(c.i(0))) cam->fov = c.f(1);
       }},
      {Native::GET_CAM_FOV,
       [](World& w, NativeCall& c) {
         if (const ScriptCam* cam = w.cameras.find(c.i(0))) c.ret_float(cam->fov);
       }},
      {Native::POINT_CAM_AT_COORD,
       [](World& w, NativeCall& c) {
         ScriptCam* cam = w.cameras.find(c.i(0));
         if (cam == nullptr) return;
         cam->pointing = true;
         cam->point_entity = 0;
         cam->point_at = Vec{c.f(1), c.f(2), c.f(3)};
       }},
      {Native::POINT_CAM_AT_ENTITY,
       [](World& w, NativeCall& c) {
         ScriptCam* cam = w.cameras.find(c.i(0));
         if (cam == nullptr || !w.exists(c.i(1))) return;
         cam->pointing = true;
         cam->point_entity = c.i(1);
       }},
      {Native::STOP_CAM_POINTING,
       [](World& w, NativeCall& c) {
         ScriptCam* cam = w.cameras.find(c.i(0));
         if (cam == nullptr || !cam->pointing) return;
         cam->rotation = cam_rotation(w, *cam);  // it stays turned where it looked
         cam->pointing = false;
       }},
      {Native::ATTACH_CAM_TO_ENTITY,
       [](World& w, NativeCall& c) {
         ScriptCam* cam = w.cameras.find(c.i(0));
         if (cam == nullptr || !w.exists(c.i(1))) return;
         cam->attached_to = c.i(1);
         cam->attach_offset = Vec{c.f(2), c.f(3), c.f(4)};
       }},
      {Native::DETACH_CAM,
       [](World& w, NativeCall& c) {
         ScriptCam* cam = w.cameras.find(c.i(0));
         if (cam == nullptr) return;
         cam->position = cam_position(w, *cam);  // it stays where it was carried
         cam->attached_to = 0;
       }},
      {Native::SHAKE_CAM,
       [](World& w, NativeCall& c) {
         if (ScriptCam* cam = w.cameras.find(c.i(0))) cam->shake = c.f(2);
       }},
      {Native::IS_CAM_SHAKING,
       [](World& w, NativeCall& c) {
         const ScriptCam* cam = w.cameras.find(c.i(0));
         c.ret_bool(cam != nullptr && cam->shake > 0.0f);
       }},
      {Native::STOP_CAM_SHAKING,
       [](World& w, NativeCall& c) {
         if (ScriptCam* cam = w.cameras.find(c.i(0))) cam->shake = 0.0f;
       }},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
