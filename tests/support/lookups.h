#pragma once
// Looking things up in the simulated game without ever touching what is not
// there: a lookup gives what it found or, when it found nothing, words that
// name what it looked for and what the game holds instead. Free of GoogleTest,
// so the scenarios, which also run under wine, look things up the same way.

#include <cstdint>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "host.h"
#include "joaat.h"

namespace test_support {

template <class T>
struct Lookup {
  T* found = nullptr;
  std::string miss;  // what was looked for and what is there instead

  explicit operator bool() const { return found != nullptr; }
};

using Holdings = std::function<std::string()>;  // asked only on a miss

inline std::string quoted(const std::string& text) { return '"' + text + '"'; }

inline std::string listed(const std::vector<std::string>& items) {
  if (items.empty()) return "none";
  std::string out;
  for (const std::string& item : items) out += (out.empty() ? "" : ", ") + item;
  return out;
}

// --- any collection ---------------------------------------------------------

template <class T>
Lookup<T> present(T* thing, const std::string& what, const Holdings& held) {
  if (thing != nullptr) return {thing, {}};
  return {nullptr, "no " + what + "; " + held()};
}

// The one element of `all`: none or several is a miss.
template <class T>
Lookup<T> only(const std::vector<T*>& all, const std::string& what, const Holdings& held) {
  if (all.size() == 1) return {all.front(), {}};
  if (all.empty()) return {nullptr, "no " + what + "; " + held()};
  return {nullptr,
          "expected one " + what + ", found " + std::to_string(all.size()) + "; " + held()};
}

// Element `index` of `all`, counted from the end when negative (-1 the last).
constexpr long last = -1;
template <class T>
Lookup<T> nth(const std::vector<T*>& all, long index, const std::string& what,
              const Holdings& held) {
  const long size = static_cast<long>(all.size());
  const long at = index < 0 ? size + index : index;
  if (at >= 0 && at < size) return {all[static_cast<size_t>(at)], {}};
  std::string miss = "no " + what;
  if (size > 0) {
    miss += index < 0 ? " " + std::to_string(-index) + " from the end"
                      : " #" + std::to_string(index + 1);
    miss += " (there are " + std::to_string(size) + ")";
  }
  return {nullptr, miss + "; " + held()};
}

template <class K>
std::string key_text(const K& key) {
  if constexpr (std::is_convertible_v<K, std::string>) {
    return quoted(key);
  } else {
    std::ostringstream out;
    out << key;
    return out.str();
  }
}

// The entry under `key`; a miss lists the keys there are.
template <class Map, class K>
auto entry(Map& map, const K& key, const std::string& what)
    -> Lookup<std::remove_reference_t<decltype((map.begin()->second))>> {
  const auto it = map.find(key);
  if (it != map.end()) return {&it->second, {}};
  std::vector<std::string> keys;
  for (const auto& [k, v] : map) keys.push_back(key_text(k));
  return {nullptr, "no " + what + ' ' + key_text(key) + "; there are: " + listed(keys)};
}

// A recorded call's native, or all the record knows of a native the
// stand-in does not.
inline std::string call_name(const sim::CallRecord& r) {
  return r.row != nullptr ? r.row->name : r.text();
}

// --- what the game holds, in words -------------------------------------------

// Every prompt the game has not deleted.
inline std::vector<const sim::PromptState*> held_prompts(const sim::World& w) {
  std::vector<const sim::PromptState*> found;
  for (const auto& [handle, p] : w.prompts()) {
    if (!p.deleted) found.push_back(&p);
  }
  return found;
}

inline std::string prompts_text(const sim::World& w) {
  std::vector<std::string> items;
  for (const sim::PromptState* p : held_prompts(w)) {
    items.push_back(quoted(p->label) + (w.prompt_offered(*p) ? " (offered)" : ""));
  }
  return "prompts: " + listed(items);
}

inline std::string offered_prompts_text(const sim::World& w) {
  std::vector<std::string> items;
  for (const sim::PromptState* p : held_prompts(w)) {
    if (w.prompt_offered(*p)) items.push_back(quoted(p->label));
  }
  return "offered: " + listed(items);
}

// A model's name, as a plug-in asked for its hash, or the hash itself.
inline std::string model_name(const sim::World& w, uint32_t model) {
  for (const sim::CallRecord* r : w.calls_to("GET_HASH_KEY")) {
    if (static_cast<uint32_t>(r->result[0]) == model && !r->args.empty())
      return std::string(r->args[0].text);
  }
  std::ostringstream out;
  out << "model 0x" << std::hex << model;
  return out.str();
}

// Every live entity.
inline std::vector<const sim::EntityState*> held_entities(const sim::World& w) {
  std::vector<const sim::EntityState*> found;
  for (const auto& [handle, e] : w.entities()) {
    if (e.exists) found.push_back(&e);
  }
  return found;
}

inline std::string entities_text(const sim::World& w) {
  std::map<std::string, int> counts;
  for (const sim::EntityState* e : held_entities(w)) {
    ++counts[e->handle == w.player_ped() ? "the player's ped" : model_name(w, e->model)];
  }
  std::vector<std::string> items;
  for (const auto& [name, n] : counts) items.push_back(std::to_string(n) + ' ' + name);
  return "live entities: " + listed(items);
}

inline std::string calls_text(const sim::World& w, const char* name) {
  const std::vector<sim::CallRecord>& all = w.calls();
  std::string text = std::to_string(w.count_calls(name)) + " calls to " + name + " among " +
                     std::to_string(all.size()) + " recorded";
  if (!all.empty()) text += ", the last " + all.back().text();
  return text;
}

// --- the game's things -----------------------------------------------------

// The one live prompt labelled `label`.
inline Lookup<const sim::PromptState> find_prompt(sim::World& w, const std::string& label) {
  return only(w.prompts_labelled(label), "prompt labelled " + quoted(label),
              [&w] { return prompts_text(w); });
}

// The prompt `p` found, if the player is offered it.
inline Lookup<const sim::PromptState> on_offer(sim::World& w,
                                               const Lookup<const sim::PromptState>& p) {
  if (!p || w.prompt_offered(*p.found)) return p;
  return {nullptr,
          "prompt " + quoted(p.found->label) + " is not on offer; " + offered_prompts_text(w)};
}

// The one live prompt labelled `label`, on offer to the player.
inline Lookup<const sim::PromptState> find_offered_prompt(sim::World& w, const std::string& label) {
  return on_offer(w, find_prompt(w, label));
}

// The one live prompt whose label begins with `start`, whatever follows.
inline Lookup<const sim::PromptState> find_prompt_beginning(sim::World& w,
                                                            const std::string& start) {
  std::vector<const sim::PromptState*> found;
  for (const sim::PromptState* p : held_prompts(w)) {
    if (p->label.compare(0, start.size(), start) == 0) found.push_back(p);
  }
  return only(found, "prompt labelled " + quoted(start + "..."), [&w] { return prompts_text(w); });
}

inline Lookup<sim::PromptState> find_prompt(sim::World& w, int32_t handle) {
  return present(w.prompt(handle), "prompt " + std::to_string(handle),
                 [&w] { return prompts_text(w); });
}

// The one live entity of model `model`.
inline Lookup<const sim::EntityState> find_entity(sim::World& w, const char* model) {
  return only(w.live_entities(model), std::string("live ") + model,
              [&w] { return entities_text(w); });
}

// The entity `handle`, live or not: the game keeps what it removed.
inline Lookup<sim::EntityState> find_entity(sim::World& w, int32_t handle) {
  return present(w.entity(handle), "entity " + std::to_string(handle),
                 [&w] { return entities_text(w); });
}

// Call `index` to the native `name` in the record (-1 the last).
inline Lookup<const sim::CallRecord> find_call(const sim::World& w, const char* name,
                                               long index = 0) {
  return nth(w.calls_to(name), index, std::string("call to ") + name,
             [&w, name] { return calls_text(w, name); });
}

// What the game keeps of what a ped does.
inline Lookup<const sim::PedActivity> find_ped(const sim::World& w, int32_t ped) {
  return present(w.peds.find(ped), "activity of ped " + std::to_string(ped), [&w, ped] {
    return std::string(w.exists(ped) ? "it is live" : "no such live entity") + ", and " +
           std::to_string(w.peds.all.size()) + " peds have one";
  });
}

inline Lookup<const sim::BlipState> find_blip(const sim::World& w) {
  return only(w.blips.live(), "live blip",
              [&w] { return std::to_string(w.blips.all.size()) + " blips made, none live"; });
}

inline std::string points_text(const sim::World& w) {
  std::vector<std::string> items;
  for (const sim::ScenarioPointState* p : w.points.live()) {
    items.push_back(std::to_string(p->handle));
  }
  return "live scenario points: " + listed(items);
}

// A scenario point that still exists.
inline Lookup<sim::ScenarioPointState> find_point(sim::World& w, int32_t handle) {
  return present(w.points.find(handle), "scenario point " + std::to_string(handle),
                 [&w] { return points_text(w); });
}

// Scenario point `index` in the order they were made (-1 the last).
inline Lookup<const sim::ScenarioPointState> find_point_made(const sim::World& w, long index) {
  return nth(w.points.live(), index, "live scenario point", [&w] { return points_text(w); });
}

inline Lookup<sim::LoopedEffectState> find_effect(sim::World& w, int32_t handle) {
  return present(w.particles.effect(handle), "looped effect " + std::to_string(handle), [&w] {
    return std::to_string(w.particles.effects().size()) + " effects started";
  });
}

inline Lookup<sim::AnimSceneState> find_scene(sim::World& w, int32_t handle) {
  return present(w.anim_scenes.scene(handle), "anim scene " + std::to_string(handle),
                 [&w] { return std::to_string(w.anim_scenes.live_count()) + " anim scenes live"; });
}

// The playlist set on TV channel `channel`.
inline Lookup<const sim::Playlist> find_playlist(const sim::World& w, int channel) {
  return entry(w.tv.playlists, channel, "playlist on TV channel");
}

inline Lookup<sim::RenderTarget> find_target(sim::World& w, const char* name) {
  return entry(w.tv.targets, std::string(name), "render target");
}

}  // namespace test_support
