#pragma once
// The game's controls (INPUT_* actions, by hash) as the player works them:
// what each frame sees of them, and what scripts disabled for a frame. The
// world keeps them (world.h); controls.cpp holds their natives.

#include <cstdint>
#include <map>

namespace sim {

struct ControlState {
  float wanted = 0.0f;  // what the player does with it now; 0: let go
  float now = 0.0f;     // as the frame being played sees it
  float before = 0.0f;  // as the frame before saw it
  float tap = 0.0f;     // a press no frame has seen yet, kept for the next one
  bool gap = false;     // let go and pressed again before a frame saw it let go
  uint64_t down_since_frame = 0;
  bool used = false;  // it completed a prompt in this press
  uint64_t disabled_frame[3] = {};
  uint64_t enabled_frame[3] = {};
};

class Controls {
 public:
  // The player's hands, between frames; the next frame sees the change. A
  // press let go before any frame saw it is still seen for one frame.
  void press(uint32_t control, float value = 1.0f);
  void release(uint32_t control);
  bool held(uint32_t control) const;  // as the player holds it now

  // What the frame being played sees.
  bool pressed(uint32_t control) const;
  bool just_pressed(uint32_t control) const;
  bool just_released(uint32_t control) const;
  float value(uint32_t control) const;

  // A script's disabling lasts for the frame it was made in; pads are 0 to 2.
  bool disabled(int pad, uint32_t control) const;
  void disable(int pad, uint32_t control);
  void enable(int pad, uint32_t control);
  void disable_all(int pad);

  // The host's new frame: what the player did since the last one is seen now.
  void advance_frame(uint64_t frame);
  // Whether any control is down or changed in the frame being played.
  bool any_active() const { return active_; }
  // A press that completed a prompt is spent on it: no other prompt takes it
  // until the control is let go.
  void use(uint32_t control) { controls_[control].used = true; }
  bool used(uint32_t control) const;

  const std::map<uint32_t, ControlState>& all() const { return controls_; }

 private:
  const ControlState* find(uint32_t control) const;
  uint64_t frame_ = 0;
  uint64_t all_disabled_frame_[3] = {};
  bool active_ = false;
  std::map<uint32_t, ControlState> controls_;
};

}  // namespace sim
