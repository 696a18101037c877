#pragma once
// Interaction prompts. The world keeps them (world.h); prompts.cpp
// simulates them.

#include <cstdint>
#include <string>

#include "vec.h"

namespace sim {

enum class PromptMode { none, standard, hold };

struct PromptState {
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

  bool offered() const { return registered && !deleted && enabled && visible; }
};

}  // namespace sim
