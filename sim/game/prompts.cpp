// Interaction prompts: their making, switches, placement and completion.

#include <algorithm>
#include <string>

#include "native_words.h"
#include "world.h"

namespace sim {

// The group the game gives for no entity: no entity can be targeted, so the
// player never sees it.
constexpr int no_entity_group = 1;
constexpr int first_entity_group = 0x10000;

PromptState* World::prompt(int32_t handle) {
  auto it = prompts_.find(handle);
  return it == prompts_.end() ? nullptr : &it->second;
}

int32_t World::new_prompt() {
  PromptState p;
  int32_t before = 0;
  p.handle = prompt_handles_.give(
      frame_, [](int32_t) { return false; }, &before);
  prompts_.erase(before);
  p.serial = journal.made(Thing::prompt, p.handle, 0, Vec{});
  prompts_[p.handle] = p;
  return p.handle;
}

void World::delete_prompt(int32_t handle) {
  PromptState* p = prompt(handle);
  if (p == nullptr || p->deleted) return;
  p->deleted = true;
  journal.gone(Thing::prompt, handle);
  prompt_handles_.free(handle, frame_);
}

bool World::complete_prompt(int32_t handle) {
  PromptState* p = prompt(handle);
  if (p == nullptr || !prompt_offered(*p)) return false;
  p->completed_frame = frame_ + 1;  // seen by the scripts in the next frame
  return true;
}

// The radius the plug-in gave the entity's lock-on prompt: the game shows
// the entity's name, and its group's prompts under it, within that reach.
// Without one, a few steps: as near as a player walks up to talk to someone.
constexpr float default_interaction_distance = 5.0f;

float World::interaction_distance(const EntityState& e) const {
  const float r = e.lockon_radius;
  return e.lockon_prompt && r > 0.0f && r < 1.0e6f ? r : default_interaction_distance;
}

bool World::prompt_offered(const PromptState& p) const {
  return p.switched_on() && prompt_offered(p, player_position());
}

// With the player standing at `me`.
bool World::prompt_offered(const PromptState& p, Vec me) const {
  if (!p.switched_on()) return false;
  // A point with no radius is seen from nowhere, not even standing on it.
  if (p.has_point && !(p.radius > 0.0f && distance(me, p.point) <= p.radius)) return false;
  if (p.group == 0) return true;
  if (p.group == no_entity_group) return false;
  if (auto g = entity_groups_.find(p.group); g != entity_groups_.end()) {
    auto it = entities_.find(g->second);
    if (it == entities_.end() || !it->second.exists) return false;
    return distance(me, it->second.position) <= interaction_distance(it->second);
  }
  // A script's own group is shown in the frames it asks for it.
  auto it = active_groups_.find(static_cast<uint32_t>(p.group));
  return it != active_groups_.end() && it->second + 1 >= frame_;
}

bool World::prompt_offered(int32_t handle) const {
  auto it = prompts_.find(handle);
  return it != prompts_.end() && prompt_offered(it->second);
}

// The player's hands on the controls, as the frame begins: an offered
// standard prompt completes when its control goes down (or, in release
// mode, up again), a hold prompt once its control has been held down for
// its hold time while offered. A press completes one prompt's worth: the
// prompts it completes in one frame, and no other until it is let go.
void World::work_prompts_by_controls() {
  std::vector<uint32_t> spent;
  for (auto& [handle, p] : prompts_) {
    if (p.mode == PromptMode::none || p.control == 0) continue;
    const bool offered = prompt_offered(p);
    const bool down = controls.pressed(p.control);
    if (!offered || !down) {
      if (p.holding)
        journal.write<EntryKind::held>({.down = false}, serial_of(Thing::prompt, handle));
      p.holding = false;
      p.hold_done = false;
    }
    if (!offered) continue;
    bool completes = false;
    if (p.mode == PromptMode::standard) {
      const bool on_release = p.mode_value != 0;
      completes = on_release ? controls.just_released(p.control)
                             : controls.just_pressed(p.control) && !controls.used(p.control);
    } else if (down && !p.hold_done && (p.holding || !controls.used(p.control))) {
      if (!p.holding) {
        p.holding = true;
        p.hold_start_ms = elapsed_ms_;
        tell_offered(p);
        journal.write<EntryKind::held>({.down = true}, serial_of(Thing::prompt, handle));
      }
      completes = elapsed_ms_ - p.hold_start_ms >= static_cast<uint64_t>(std::max(0, p.mode_value));
      p.hold_done = completes;
    }
    if (completes) {
      p.completed_frame = frame_;
      spent.push_back(p.control);
    }
  }
  for (uint32_t control : spent) controls.use(control);
}

std::vector<const PromptState*> World::prompts_labelled(const std::string& label) const {
  std::vector<const PromptState*> found;
  for (const auto& [handle, p] : prompts_) {
    if (!p.deleted && p.label == label) found.push_back(&p);
  }
  return found;
}

int World::group_for_entity(int32_t entity) {
  if (entity == 0) return no_entity_group;
  if (!exists(entity)) return 0;
  const int group = first_entity_group + entity;
  entity_groups_[group] = entity;
  return group;
}

static PromptState* live_prompt(World& w, int32_t handle) {
  PromptState* p = w.prompt(handle);
  return p != nullptr && !p->deleted ? p : nullptr;
}

// A prompt reports a completion only in the frame the player completed it,
// and only in the mode it was made with.
static bool completed(World& w, int32_t handle, PromptMode mode) {
  PromptState* p = live_prompt(w, handle);
  return p != nullptr && p->mode == mode && p->completed_frame == w.frame();
}

NativeRows prompt_native_rows() {
  static const DomainRow rows[] = {
      {Native::UI_PROMPT_CONTEXT_SET_POINT_,
       [](World& w, NativeCall& c) {
         if (PromptState* p = live_prompt(w, c.i(0))) {
           p->has_point = true;
           p->point.x = c.f(1);
           p->point.y = c.f(2);
           p->point.z = c.f(3);
         }
       },
       changes(Thing::prompt)},
      {Native::UI_PROMPT_CONTEXT_SET_RADIUS_,
       [](World& w, NativeCall& c) {
         if (PromptState* p = live_prompt(w, c.i(0))) p->radius = c.f(1);
       },
       changes(Thing::prompt)},
      {Native::UI_PROMPT_DELETE_,
       [](World& w, NativeCall& c) {
         if (live_prompt(w, c.i(0)) != nullptr) w.delete_prompt(c.i(0));
       },
       removes(Thing::prompt)},
      {checked_as(Native::UI_PROMPT_SET_ACTIVE_GROUP_THIS_FRAME_, "iziiii"),
       [](World& w, NativeCall& c) { w.show_prompt_group(c.u(0)); }},
      {Native::UI_PROMPT_GET_GROUP_ID_FOR_TARGET_ENTITY_,
       [](World& w, NativeCall& c) { c.ret_int(w.group_for_entity(c.i(0))); }},
      {Native::UI_PROMPT_HAS_HOLD_MODE_COMPLETED_,
       [](World& w, NativeCall& c) { c.ret_bool(completed(w, c.i(0), PromptMode::hold)); }},
      {Native::UI_PROMPT_HAS_STANDARD_MODE_COMPLETED_,
       [](World& w, NativeCall& c) { c.ret_bool(completed(w, c.i(0), PromptMode::standard)); }},
      {Native::UI_PROMPT_IS_ENABLED_,
       [](World& w, NativeCall& c) {
         PromptState* p = live_prompt(w, c.i(0));
         c.ret_bool(p != nullptr && p->enabled);
       }},
      {Native::UI_PROMPT_IS_VALID_,
       [](World& w, NativeCall& c) {
         const PromptState* p = live_prompt(w, c.i(0));
         c.ret_bool(p != nullptr && p->registered);
       }},
      {Native::UI_PROMPT_REGISTER_BEGIN_,
       [](World& w, NativeCall& c) { c.ret_int(w.new_prompt()); }, makes(Thing::prompt)},
      {Native::UI_PROMPT_REGISTER_END_,
       [](World& w, NativeCall& c) {
         if (PromptState* p = live_prompt(w, c.i(0))) p->registered = true;
       },
       changes(Thing::prompt)},
      {Native::UI_PROMPT_SET_CONTROL_ACTION_,
       [](World& w, NativeCall& c) {
         if (PromptState* p = live_prompt(w, c.i(0))) p->control = c.u(1);
       },
       changes(Thing::prompt)},
      {Native::UI_PROMPT_SET_ENABLED_,
       [](World& w, NativeCall& c) {
         if (PromptState* p = live_prompt(w, c.i(0))) p->enabled = c.b(1);
       },
       changes(Thing::prompt)},
      {Native::UI_PROMPT_SET_GROUP_,
       [](World& w, NativeCall& c) {
         if (PromptState* p = live_prompt(w, c.i(0))) {
           p->group = c.i(1);
           p->group_page = c.i(2);
         }
       },
       changes(Thing::prompt)},
      {Native::UI_PROMPT_SET_HOLD_MODE_,
       [](World& w, NativeCall& c) {
         if (PromptState* p = live_prompt(w, c.i(0))) {
           p->mode = PromptMode::hold;
           p->mode_value = c.i(1);
         }
       },
       changes(Thing::prompt)},
      {Native::UI_PROMPT_SET_PRIORITY_,
       [](World& w, NativeCall& c) {
         if (PromptState* p = live_prompt(w, c.i(0))) p->priority = c.i(1);
       },
       changes(Thing::prompt)},
      {Native::UI_PROMPT_SET_STANDARD_MODE_,
       [](World& w, NativeCall& c) {
         if (PromptState* p = live_prompt(w, c.i(0))) {
           p->mode = PromptMode::standard;
           p->mode_value = c.i(1);
         }
       },
       changes(Thing::prompt)},
      {Native::UI_PROMPT_SET_TEXT_,
       [](World& w, NativeCall& c) {
         if (PromptState* p = live_prompt(w, c.i(0))) p->label = c.s(1);
       },
       changes(Thing::prompt)},
      {Native::UI_PROMPT_SET_TYPE_,
       [](World& w, NativeCall& c) {
         if (PromptState* p = live_prompt(w, c.i(0))) p->type = c.i(1);
       },
       changes(Thing::prompt)},
      {Native::UI_PROMPT_SET_VISIBLE_,
       [](World& w, NativeCall& c) {
         if (PromptState* p = live_prompt(w, c.i(0))) p->visible = c.b(1);
       },
       changes(Thing::prompt)},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
