// Who made what, and the check that a plug-in deletes and changes only its
// own things (ownership.h says the rule).

#include "ownership.h"

#include <cstdio>
#include <cstring>

#include "world.h"

namespace sim {

namespace {

int32_t handle_arg(const NativeCall& call, const Touch& r) {
  if (r.arg >= call.count) return 0;
  const std::string_view params = call.row->params;
  if (static_cast<size_t>(r.arg) >= params.size() || params[static_cast<size_t>(r.arg)] != 'h')
    return call.i(r.arg);
  const auto* at = call.p<int32_t>(r.arg);
  return at == nullptr ? 0 : *at;
}

std::string handle_text(int32_t handle) {
  char text[16];
  std::snprintf(text, sizeof text, "%#x", static_cast<unsigned>(handle));
  return text;
}

}  // namespace

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

std::string Ownership::name_of(PluginId who) const {
  if (who.none()) return "the game";
  auto it = names_.find(who);
  return it == names_.end() ? "a plug-in" : it->second;
}

uint64_t Ownership::calls_of(PluginId who) const {
  auto it = calls_.find(who);
  return it == calls_.end() ? 0 : it->second;
}

PluginId Ownership::owner(Thing t, int32_t handle) const {
  const auto& owned = owned_[index(t)];
  auto it = owned.find(handle);
  return it == owned.end() ? PluginId{} : it->second;
}

PluginId Ownership::target_owner(const std::string& name) const {
  auto it = targets_.find(name);
  return it == targets_.end() ? PluginId{} : it->second;
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

Holdings Ownership::holdings(World& w, PluginId who) {
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

// A delete of the thing a handle named last: the journal tells a plug-in's
// second delete of one thing, by the thing's serial, whatever the handle
// names since.
void Ownership::deleted(World& w, Thing t, int32_t handle) {
  const uint64_t serial = w.journal.last_serial(t, handle);
  if (serial == 0) return;
  auto [it, first] = deleted_.try_emplace(serial, creator);
  if (!first && it->second == creator && !live(w, t, handle)) {
    w.journal.write<EntryKind::deleted_again>(serial);
    w.journal.latest().at.by = creator;
  }
  it->second = creator;
}

void Ownership::before(World& w, const NativeCall& call) {
  const Touch& r = call.row->touch;
  if (creator.none()) return;  // the game may do anything
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
  if (handle == 0) return;
  if (r.act == Act::remove) deleted(w, r.thing, handle);
  if (!live(w, r.thing, handle)) return;  // acts on nothing
  PluginId owner = this->owner(r.thing, handle);
  if (owner == creator) return;
  const bool the_player = r.thing == Thing::entity && handle == w.player_ped();
  if (the_player && r.act == Act::change) return;  // placing, seating, tasking the player
  if (r.thing == Thing::entity && !the_player && seated_on_own_point(w, handle)) return;
  w.violation(name_of(creator) + ": " + call.row->name + " on " + thing_name(r.thing) + ' ' +
              handle_text(handle) + (the_player ? " (the player's ped)" : "") + " made by " +
              name_of(owner));
}

void Ownership::after(World& w, const NativeCall& call) {
  const Touch& r = call.row->touch;
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
    if (creator.none()) {
      forget(r.thing, handle);
    } else {
      give(r.thing, handle, creator);
    }
  }
}

}  // namespace sim
