// The game's controls: the player's presses as each frame sees them, the
// disabling scripts do for a frame, and the natives that ask about them.

#include "native_words.h"
#include "world.h"

namespace sim {

void Controls::press(uint32_t control, float value) {
  ControlState& c = controls_[control];
  if (c.wanted == 0.0f && c.now != 0.0f) c.gap = true;
  c.wanted = value;
  if (c.now == 0.0f) c.tap = value;
}

void Controls::release(uint32_t control) {
  auto it = controls_.find(control);
  if (it != controls_.end()) it->second.wanted = 0.0f;
}

bool Controls::held(uint32_t control) const {
  const ControlState* c = find(control);
  return c != nullptr && c->wanted != 0.0f;
}

const ControlState* Controls::find(uint32_t control) const {
  auto it = controls_.find(control);
  return it == controls_.end() ? nullptr : &it->second;
}

bool Controls::pressed(uint32_t control) const {
  const ControlState* c = find(control);
  return c != nullptr && c->now != 0.0f;
}

bool Controls::just_pressed(uint32_t control) const {
  const ControlState* c = find(control);
  return c != nullptr && c->now != 0.0f && c->before == 0.0f;
}

bool Controls::just_released(uint32_t control) const {
  const ControlState* c = find(control);
  return c != nullptr && c->now == 0.0f && c->before != 0.0f;
}

bool Controls::used(uint32_t control) const {
  const ControlState* c = find(control);
  return c != nullptr && c->used;
}

float Controls::value(uint32_t control) const {
  const ControlState* c = find(control);
  return c != nullptr ? c->now : 0.0f;
}

static bool valid_pad(int pad) { return pad >= 0 && pad < 3; }

bool Controls::disabled(int pad, uint32_t control) const {
  if (!valid_pad(pad)) return false;
  const ControlState* c = find(control);
  if (c != nullptr && c->enabled_frame[pad] == frame_) return false;
  return all_disabled_frame_[pad] == frame_ || (c != nullptr && c->disabled_frame[pad] == frame_);
}

void Controls::disable(int pad, uint32_t control) {
  if (!valid_pad(pad)) return;
  ControlState& c = controls_[control];
  c.disabled_frame[pad] = frame_;
  c.enabled_frame[pad] = 0;
}

void Controls::enable(int pad, uint32_t control) {
  if (!valid_pad(pad)) return;
  ControlState& c = controls_[control];
  c.disabled_frame[pad] = 0;
  c.enabled_frame[pad] = frame_;
}

void Controls::disable_all(int pad) {
  if (valid_pad(pad)) all_disabled_frame_[pad] = frame_;
}

void Controls::advance_frame(uint64_t frame) {
  frame_ = frame;
  active_ = false;
  for (auto& [hash, c] : controls_) {
    c.before = c.now;
    if (c.gap) {
      c.now = 0.0f;  // the release is seen first, the new press in the next frame
      c.gap = false;
    } else {
      c.now = c.tap != 0.0f ? c.tap : c.wanted;
      c.tap = 0.0f;
    }
    if (c.now == 0.0f) c.used = false;
    if (c.now != 0.0f && c.before == 0.0f) {
      c.down_since_frame = frame;
    }
    active_ = active_ || c.now != 0.0f || c.before != 0.0f;
  }
}

// The pad comes first, the control's hash second; a pad other than the
// player's, the camera's or the front end's sees nothing.
static bool seen(const NativeCall& c) { return valid_pad(c.i(0)) && c.u(1) != 0; }
static bool enabled(const World& w, const NativeCall& c) {
  return !w.controls.disabled(c.i(0), c.u(1));
}

NativeRows controls_native_rows() {
  static const DomainRow rows[] = {
      {Native::DISABLE_CONTROL_ACTION,
       [](World& w, NativeCall& c) { w.controls.disable(c.i(0), c.u(1)); }},
      {Native::DISABLE_ALL_CONTROL_ACTIONS,
       [](World& w, NativeCall& c) { w.controls.disable_all(c.i(0)); }},
      {Native::ENABLE_CONTROL_ACTION,
       [](World& w, NativeCall& c) { w.controls.enable(c.i(0), c.u(1)); }},
      {Native::GET_CONTROL_NORMAL,
       [](World& w, NativeCall& c) {
         c.ret_float(seen(c) && enabled(w, c) ? w.controls.value(c.u(1)) : 0.0f);
       }},
      {Native::GET_CONTROL_UNBOUND_NORMAL,
       [](World& w, NativeCall& c) {
         c.ret_float(seen(c) && enabled(w, c) ? w.controls.value(c.u(1)) : 0.0f);
       }},
      {Native::GET_DISABLED_CONTROL_NORMAL,
       [](World& w, NativeCall& c) { c.ret_float(seen(c) ? w.controls.value(c.u(1)) : 0.0f); }},
      {Native::GET_DISABLED_CONTROL_UNBOUND_NORMAL,
       [](World& w, NativeCall& c) { c.ret_float(seen(c) ? w.controls.value(c.u(1)) : 0.0f); }},
      {Native::IS_CONTROL_ENABLED,
       [](World& w, NativeCall& c) { c.ret_bool(valid_pad(c.i(0)) && enabled(w, c)); }},
      {Native::IS_CONTROL_JUST_PRESSED,
       [](World& w, NativeCall& c) {
         c.ret_bool(seen(c) && enabled(w, c) && w.controls.just_pressed(c.u(1)));
       }},
      {Native::IS_CONTROL_JUST_RELEASED,
       [](World& w, NativeCall& c) {
         c.ret_bool(seen(c) && enabled(w, c) && w.controls.just_released(c.u(1)));
       }},
      {Native::IS_CONTROL_PRESSED,
       [](World& w, NativeCall& c) {
         c.ret_bool(seen(c) && enabled(w, c) && w.controls.pressed(c.u(1)));
       }},
      {Native::IS_CONTROL_RELEASED,
       [](World& w, NativeCall& c) {
         c.ret_bool(seen(c) && enabled(w, c) && !w.controls.pressed(c.u(1)));
       }},
      {Native::IS_DISABLED_CONTROL_JUST_PRESSED,
       [](World& w, NativeCall& c) { c.ret_bool(seen(c) && w.controls.just_pressed(c.u(1))); }},
      {Native::IS_DISABLED_CONTROL_JUST_RELEASED,
       [](World& w, NativeCall& c) { c.ret_bool(seen(c) && w.controls.just_released(c.u(1))); }},
      {Native::IS_DISABLED_CONTROL_PRESSED,
       [](World& w, NativeCall& c) { c.ret_bool(seen(c) && w.controls.pressed(c.u(1))); }},
      // The stand-in's player plays on a keyboard and a mouse.
      {Native::IS_USING_KEYBOARD_AND_MOUSE,
       [](World&, NativeCall& c) { c.ret_bool(valid_pad(c.i(0))); }},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
