// The game's controls: the player's presses as each frame sees them, the
// disabling scripts do for a frame, and the natives that ask about them.

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
  static const NativeRow rows[] = {
      {0xFE99B66D079CF6BC, "DISABLE_CONTROL_ACTION", "iib", 'v',
       [](World& w, NativeCall& c) { w.controls.disable(c.i(0), c.u(1)); }},
      {0x5F4B6931816E599B, "DISABLE_ALL_CONTROL_ACTIONS", "i", 'v',
       [](World& w, NativeCall& c) { w.controls.disable_all(c.i(0)); }},
      {0x351220255D64C155, "ENABLE_CONTROL_ACTION", "iib", 'v',
       [](World& w, NativeCall& c) { w.controls.enable(c.i(0), c.u(1)); }},
      {0xEC3C9B8D5327B563, "GET_CONTROL_NORMAL", "ii", 'f',
       [](World& w, NativeCall& c) {
         c.ret_float(seen(c) && enabled(w, c) ? w.controls.value(c.u(1)) : 0.0f);
       }},
      {0x5B84D09CEC5209C5, "GET_CONTROL_UNBOUND_NORMAL", "ii", 'f',
       [](World& w, NativeCall& c) {
         c.ret_float(seen(c) && enabled(w, c) ? w.controls.value(c.u(1)) : 0.0f);
       }},
      {0x11E65974A982637C, "GET_DISABLED_CONTROL_NORMAL", "ii", 'f',
       [](World& w, NativeCall& c) { c.ret_float(seen(c) ? w.controls.value(c.u(1)) : 0.0f); }},
      {0x4F8A26A890FD62FB, "GET_DISABLED_CONTROL_UNBOUND_NORMAL", "ii", 'f',
       [](World& w, NativeCall& c) { c.ret_float(seen(c) ? w.controls.value(c.u(1)) : 0.0f); }},
      {0x1CEA6BFDF248E5D9, "IS_CONTROL_ENABLED", "ii", 'b',
       [](World& w, NativeCall& c) { c.ret_bool(valid_pad(c.i(0)) && enabled(w, c)); }},
      {0x580417101DDB492F, "IS_CONTROL_JUST_PRESSED", "ii", 'b',
       [](World& w, NativeCall& c) {
         c.ret_bool(seen(c) && enabled(w, c) && w.controls.just_pressed(c.u(1)));
       }},
      {0x50F940259D3841E6, "IS_CONTROL_JUST_RELEASED", "ii", 'b',
       [](World& w, NativeCall& c) {
         c.ret_bool(seen(c) && enabled(w, c) && w.controls.just_released(c.u(1)));
       }},
      {0xF3A21BCD95725A4A, "IS_CONTROL_PRESSED", "ii", 'b',
       [](World& w, NativeCall& c) {
         c.ret_bool(seen(c) && enabled(w, c) && w.controls.pressed(c.u(1)));
       }},
      {0x648EE3E7F38877DD, "IS_CONTROL_RELEASED", "ii", 'b',
       [](World& w, NativeCall& c) {
         c.ret_bool(seen(c) && enabled(w, c) && !w.controls.pressed(c.u(1)));
       }},
      {0x91AEF906BCA88877, "IS_DISABLED_CONTROL_JUST_PRESSED", "ii", 'b',
       [](World& w, NativeCall& c) { c.ret_bool(seen(c) && w.controls.just_pressed(c.u(1))); }},
      {0x305C8DCD79DA8B0F, "IS_DISABLED_CONTROL_JUST_RELEASED", "ii", 'b',
       [](World& w, NativeCall& c) { c.ret_bool(seen(c) && w.controls.just_released(c.u(1))); }},
      {0xE2587F8CBBD87B1D, "IS_DISABLED_CONTROL_PRESSED", "ii", 'b',
       [](World& w, NativeCall& c) { c.ret_bool(seen(c) && w.controls.pressed(c.u(1))); }},
      // The stand-in's player plays on a keyboard and a mouse.
      {0xA571D46727E2B718, "IS_USING_KEYBOARD_AND_MOUSE", "i", 'b',
       [](World&, NativeCall& c) { c.ret_bool(valid_pad(c.i(0))); }},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
