#include "motion.h"

#include "natives.h"

static constexpr float top_speed = 0.6f;
static constexpr float acceleration = 0.3f;
static constexpr float deceleration = -0.2f;
static constexpr float stop_threshold = 0.05f;
static constexpr float frames_per_second = 60.0f;

void set_yaw(Entity entity, float yaw) { set_entity_rotation(entity, 0.0f, 0.0f, yaw, 2, true); }

void update_motion(Object train, Prompt prompt_on, Prompt prompt_off, float& speed) {
  // The prompt on offer tells whether the train is on or off.
  if (ui_prompt_is_enabled(prompt_off)) {
    const float t = get_frame_time();
    if (!(speed >= top_speed)) {
      const float v = t * acceleration + speed;
      speed = v < top_speed ? v : top_speed;
    }
    const float heading = get_entity_heading(train);
    set_yaw(train, (t * speed) * frames_per_second + heading);
  }
  if (ui_prompt_is_enabled(prompt_on)) {
    const float t = get_frame_time();
    if (speed > 0.0f) {
      speed = speed + t * deceleration;
      if (!(speed >= stop_threshold)) speed = 0.0f;
    }
    const float heading = get_entity_heading(train);
    set_yaw(train, (t * speed) * frames_per_second + heading);
  }
  if (speed > 0.0f) {
    const float heading = get_entity_heading(train);
    set_yaw(train, heading + speed);
  }
}
