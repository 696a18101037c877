// Who made what, and the check that a plug-in deletes and changes only its
// own things (ownership.h says the rule).

#include "ownership.h"

#include <cstdio>
#include <cstring>

#include "world.h"

namespace sim {

namespace {

using Rule = OwnershipRule;

// Reads (existence, positions, state) are free; these are the natives that
// make, remove or change a thing.
const Rule rules[] = {
    {"CREATE_OBJECT", Thing::entity, Act::make, 0},
    {"CREATE_PED", Thing::entity, Act::make, 0},
    {"_UI_PROMPT_REGISTER_BEGIN", Thing::prompt, Act::make, 0},
    {"BLIP_ADD_FOR_COORDS", Thing::blip, Act::make, 0},
    {"CREATE_SCENARIO_POINT_HASH_ATTACHED_TO_ENTITY", Thing::point, Act::make, 0},
    {"START_PARTICLE_FX_LOOPED_ON_ENTITY", Thing::effect, Act::make, 0},
    {"_CREATE_ANIM_SCENE", Thing::scene, Act::make, 0},
    {"REGISTER_NAMED_RENDERTARGET", Thing::target, Act::make, 0},

    {"DELETE_ENTITY", Thing::entity, Act::remove, 0, true},
    {"DELETE_PED", Thing::entity, Act::remove, 0, true},
    {"REMOVE_BLIP", Thing::blip, Act::remove, 0, true},
    {"_UI_PROMPT_DELETE", Thing::prompt, Act::remove, 0},
    {"_DELETE_SCENARIO_POINT", Thing::point, Act::remove, 0},
    {"STOP_PARTICLE_FX_LOOPED", Thing::effect, Act::remove, 0},
    {"_DELETE_ANIM_SCENE", Thing::scene, Act::remove, 0},
    {"RELEASE_NAMED_RENDERTARGET", Thing::target, Act::remove, 0},

    {"FREEZE_ENTITY_POSITION", Thing::entity, Act::change, 0},
    {"PLACE_ENTITY_ON_GROUND_PROPERLY", Thing::entity, Act::change, 0},
    {"SET_CAN_AUTO_VAULT_ON_ENTITY", Thing::entity, Act::change, 0},
    {"SET_CAN_CLIMB_ON_ENTITY", Thing::entity, Act::change, 0},
    {"SET_ENTITY_ALPHA", Thing::entity, Act::change, 0},
    {"SET_ENTITY_AS_MISSION_ENTITY", Thing::entity, Act::change, 0},
    {"SET_ENTITY_COORDS", Thing::entity, Act::change, 0},
    {"SET_ENTITY_ROTATION", Thing::entity, Act::change, 0},
    {"SET_ENTITY_VISIBLE", Thing::entity, Act::change, 0},
    {"REGISTER_INTERACTION_LOCKON_PROMPT", Thing::entity, Act::change, 0},
    {"UNREGISTER_INTERACTION_LOCKON_PROMPT", Thing::entity, Act::change, 0},
    {"_SET_OBJECT_PROMPT_NAME_FROM_GXT_ENTRY", Thing::entity, Act::change, 0},
    {"_SET_OBJECT_TARGETTABLE_FOCUS", Thing::entity, Act::change, 0},
    {"_SET_PED_PROMPT_NAME", Thing::entity, Act::change, 0},
    {"_REGISTER_EAGLE_EYE_FOR_ENTITY", Thing::entity, Act::change, 1},
    {"_EQUIP_META_PED_OUTFIT_PRESET", Thing::entity, Act::change, 0},
    {"_UPDATE_PED_VARIATION", Thing::entity, Act::change, 0},
    {"SET_PED_CONFIG_FLAG", Thing::entity, Act::change, 0},
    {"SET_PED_FLEE_ATTRIBUTES", Thing::entity, Act::change, 0},
    {"SET_PED_RESET_FLAG", Thing::entity, Act::change, 0},
    {"CLEAR_PED_TASKS", Thing::entity, Act::change, 0},
    {"TASK_START_SCENARIO_IN_PLACE_HASH", Thing::entity, Act::change, 0},
    {"TASK_LOOK_AT_ENTITY", Thing::entity, Act::change, 0},
    {"TASK_USE_SCENARIO_POINT", Thing::entity, Act::change, 0},
    {"TASK_ENTER_ANIM_SCENE", Thing::entity, Act::change, 0},
    {"SET_FACIAL_IDLE_ANIM_OVERRIDE", Thing::entity, Act::change, 0},
    {"SET_AMBIENT_VOICE_NAME", Thing::entity, Act::change, 0},
    {"PLAY_PED_AMBIENT_SPEECH_NATIVE", Thing::entity, Act::change, 0},
    {"STOP_CURRENT_PLAYING_AMBIENT_SPEECH", Thing::entity, Act::change, 0},
    {"STOP_CURRENT_PLAYING_SPEECH", Thing::entity, Act::change, 0},
    {"ATTACH_TV_AUDIO_TO_ENTITY", Thing::entity, Act::change, 0},

    {"_UI_PROMPT_CONTEXT_SET_POINT", Thing::prompt, Act::change, 0},
    {"_UI_PROMPT_CONTEXT_SET_RADIUS", Thing::prompt, Act::change, 0},
    {"_UI_PROMPT_REGISTER_END", Thing::prompt, Act::change, 0},
    {"_UI_PROMPT_SET_CONTROL_ACTION", Thing::prompt, Act::change, 0},
    {"_UI_PROMPT_SET_ENABLED", Thing::prompt, Act::change, 0},
    {"_UI_PROMPT_SET_GROUP", Thing::prompt, Act::change, 0},
    {"_UI_PROMPT_SET_HOLD_MODE", Thing::prompt, Act::change, 0},
    {"_UI_PROMPT_SET_PRIORITY", Thing::prompt, Act::change, 0},
    {"_UI_PROMPT_SET_STANDARD_MODE", Thing::prompt, Act::change, 0},
    {"_UI_PROMPT_SET_TEXT", Thing::prompt, Act::change, 0},
    {"_UI_PROMPT_SET_TYPE", Thing::prompt, Act::change, 0},
    {"_UI_PROMPT_SET_VISIBLE", Thing::prompt, Act::change, 0},

    {"BLIP_ADD_MODIFIER", Thing::blip, Act::change, 0},
    {"BLIP_REMOVE_MODIFIER", Thing::blip, Act::change, 0},
    {"SET_BLIP_NAME_FROM_TEXT_FILE", Thing::blip, Act::change, 0},
    {"SET_BLIP_SCALE", Thing::blip, Act::change, 0},
    {"SET_BLIP_SPRITE", Thing::blip, Act::change, 0},

    {"_SET_SCENARIO_POINT_ACTIVE", Thing::point, Act::change, 0},
    {"SET_PARTICLE_FX_LOOPED_SCALE", Thing::effect, Act::change, 0},

    {"ABORT_ANIM_SCENE", Thing::scene, Act::change, 0},
    {"LOAD_ANIM_SCENE", Thing::scene, Act::change, 0},
    {"REQUEST_ANIM_SCENE_PLAY_LIST", Thing::scene, Act::change, 0},
    {"SET_ANIM_SCENE_ENTITY", Thing::scene, Act::change, 0},
    {"SET_ANIM_SCENE_ORIGIN", Thing::scene, Act::change, 0},
    {"SET_ANIM_SCENE_PLAY_LIST", Thing::scene, Act::change, 0},
};

int32_t handle_arg(const NativeCall& call, const Rule& r) {
  if (r.arg >= call.count) return 0;
  if (!r.by_address) return call.i(r.arg);
  const auto* at = call.p<int32_t>(r.arg);
  return at == nullptr ? 0 : *at;
}

std::string handle_text(int32_t handle) {
  char text[16];
  std::snprintf(text, sizeof text, "%#x", static_cast<unsigned>(handle));
  return text;
}

}  // namespace

Ownership::Ownership() : first_row_(native_rows_begin()), by_row_(native_row_count(), nullptr) {
  for (size_t n = 0; n < by_row_.size(); ++n) {
    for (const Rule& r : rules) {
      if (std::strcmp(first_row_[n].name, r.native) == 0) by_row_[n] = &r;
    }
  }
}

// A plug-in keeps its own seats free: a stranger sitting on a scenario point it
// made may be removed (never the player).
bool Ownership::seated_on_own_point(World& w, int32_t ped) const {
  for (const ScenarioPointState* p : w.points.live()) {
    if (p->user == ped && owner(Thing::point, p->handle) == creator) return true;
  }
  return false;
}

const char* thing_name(Thing t) {
  static const char* const names[] = {"entity", "prompt", "blip",         "scenario point",
                                      "effect", "scene",  "render target"};
  return names[static_cast<size_t>(t)];
}

int total(const Holdings& h) {
  int sum = 0;
  for (int n : h) sum += n;
  return sum;
}

std::string holdings_text(const Holdings& h) {
  std::string out;
  for (size_t n = 0; n < h.size(); ++n) {
    if (h[n] == 0) continue;
    if (!out.empty()) out += ", ";
    out += std::string(thing_name(static_cast<Thing>(n))) + ' ' + std::to_string(h[n]);
  }
  return out.empty() ? "nothing" : out;
}

std::string Ownership::name_of(const void* who) const {
  if (who == nullptr) return "the game";
  auto it = names_.find(who);
  return it == names_.end() ? "a plug-in" : it->second;
}

const void* Ownership::owner(Thing t, int32_t handle) const {
  const auto& owned = owned_[index(t)];
  auto it = owned.find(handle);
  return it == owned.end() ? nullptr : it->second;
}

const void* Ownership::target_owner(const std::string& name) const {
  auto it = targets_.find(name);
  return it == targets_.end() ? nullptr : it->second;
}

bool Ownership::live(World& w, Thing t, int32_t handle) const {
  switch (t) {
    case Thing::entity:
      return w.exists(handle);
    case Thing::prompt: {
      const PromptState* p = w.prompt(handle);
      return p != nullptr && !p->deleted;
    }
    case Thing::blip:
      return w.blips.find(handle) != nullptr;
    case Thing::point:
      return w.points.find(handle) != nullptr;
    case Thing::effect:
      return effect_exists(w, handle);
    case Thing::scene:
      return w.anim_scenes.scene(handle) != nullptr;
    default:
      return false;
  }
}

Holdings Ownership::holdings(World& w, const void* who) {
  Holdings h{};
  for (size_t n = 0; n < h.size(); ++n) {
    const auto t = static_cast<Thing>(n);
    if (t == Thing::target) continue;
    std::erase_if(owned_[n], [&](const auto& kv) { return !live(w, t, kv.first); });
    for (const auto& [handle, owner] : owned_[n]) {
      if (owner == who) ++h[n];
    }
  }
  for (const auto& [name, owner] : targets_) {
    const RenderTarget* rt = w.tv.target(name.c_str());
    if (owner == who && rt != nullptr && rt->registered) ++h[index(Thing::target)];
  }
  return h;
}

void Ownership::before(World& w, const NativeCall& call, const Rule& r) {
  if (creator == nullptr) return;  // the game may do anything
  if (r.act == Act::make) return;
  if (r.thing == Thing::target) {
    if (r.arg >= call.count || call.args[r.arg] == 0) return;
    const std::string name = call.s(r.arg);
    const RenderTarget* rt = w.tv.target(name.c_str());
    if (rt == nullptr || !rt->registered || target_owner(name) == creator) return;
    w.violation(name_of(creator) + ": " + call.row->name + " on render target \"" + name +
                "\" registered by " + name_of(target_owner(name)));
    return;
  }
  const int32_t handle = handle_arg(call, r);
  if (handle == 0 || !live(w, r.thing, handle)) return;  // acts on nothing
  const void* owner = this->owner(r.thing, handle);
  if (owner == creator) return;
  const bool the_player = r.thing == Thing::entity && handle == w.player_ped();
  if (the_player && r.act == Act::change) return;  // placing, seating, tasking the player
  if (r.thing == Thing::entity && !the_player && seated_on_own_point(w, handle)) return;
  w.violation(name_of(creator) + ": " + call.row->name + " on " + thing_name(r.thing) + ' ' +
              handle_text(handle) + (the_player ? " (the player's ped)" : "") + " made by " +
              name_of(owner));
}

void Ownership::after(World& w, const NativeCall& call, const Rule& r) {
  if (r.thing == Thing::target) {
    if (r.arg >= call.count || call.args[r.arg] == 0) return;
    const std::string name = call.s(r.arg);
    if (r.act == Act::make && static_cast<uint32_t>(call.result[0]) != 0) {
      targets_[name] = creator;
    } else if (r.act == Act::remove) {
      const RenderTarget* rt = w.tv.target(name.c_str());
      if (rt == nullptr || !rt->registered) targets_.erase(name);
    }
    return;
  }
  if (r.act == Act::make) {
    const auto handle = static_cast<int32_t>(static_cast<uint32_t>(call.result[0]));
    if (handle == 0) return;
    if (creator == nullptr) {
      forget(r.thing, handle);
    } else {
      give(r.thing, handle, creator);
    }
  }
}

}  // namespace sim
