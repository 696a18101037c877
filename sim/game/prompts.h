#pragma once
// Interaction prompts. The world keeps them (world.h); prompts.cpp
// simulates them.

#include <cstdint>
#include <string>

#include "vec.h"

namespace sim {

enum class PromptMode { none, standard, hold };

struct PromptState {
  uint64_t serial = 0;  // its name in the journal
  int32_t handle = 0;
  uint32_t control = 0;
  std::string label;
  int group = 0;
  int group_page = 0;
  int priority = 0;
  int type = -1;
  PromptMode mode = PromptMode::none;
  int mode_value = 0;
  bool enabled = false;
  bool visible = false;
  bool registered = false;  // registration completed
  bool deleted = false;
  bool has_point = false;
  Vec point;
  float radius = 0.0f;
  uint64_t completed_frame = 0;  // the frame in which the player completed it
  // A hold on its control while it is offered: since when, and whether this
  // hold has completed it already (a hold completes a prompt once).
  bool holding = false;
  bool hold_done = false;
  uint64_t hold_start_ms = 0;  // in the world's elapsed time
  bool offered = false;        // as the world's pass a frame last worked it out

  // Made and switched on; whether the player sees it is the world's
  // question (World::prompt_offered), for it depends on where he is.
  bool switched_on() const { return registered && !deleted && enabled && visible; }
};

}  // namespace sim
