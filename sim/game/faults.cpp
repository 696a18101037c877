// A hostile game: faults drawn from a seed, each lasting some frames.

#include "faults.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "joaat.h"
#include "world.h"

namespace sim {

namespace {

bool named(const NativeRow* row, const char* name) {
  return row != nullptr && std::strcmp(row->name, name) == 0;
}

// What makes a thing of the kinds the fault names (not a render target's
// registration).
bool creates(const NativeRow* row) {
  return row->touch.act == Act::make && row->touch.thing != Thing::target;
}

// The game's deletes do not fail; a failing one would only leak on the game's
// side and hide the plug-in's own leaks.
bool removes(const NativeRow* row) { return row->touch.act == Act::remove; }

// Nor do its existence queries: it answers them from its own books. A plug-in
// told that its entity is gone must forget the handle, not delete it, since
// the game may have given the handle to someone else; a lying answer would
// only make it leak.
bool tells_existence(const NativeRow* row) {
  for (const char* name :
       {"DOES_ENTITY_EXIST", "DOES_SCENARIO_POINT_EXIST", "DOES_ANIM_SCENE_EXIST",
        "DOES_PARTICLE_FX_LOOPED_EXIST", "IS_NAMED_RENDERTARGET_REGISTERED"}) {
    if (named(row, name)) return true;
  }
  return false;
}

// Nor does its hashing of a name, which is arithmetic: a plug-in that loads a
// model by its name's hash would wait for model 0 for good.
bool computes(const NativeRow* row) { return named(row, "GET_HASH_KEY"); }

enum class Lasts : bool { once, lasting };

struct FaultRow {
  const char* name;
  Lasts lasts;
  const char* what;
};

constexpr FaultRow fault_rows[] = {
#define SIM_FAULT(kind, name, lasts, what) {name, Lasts::lasts, what},
#include "faults.def"
#undef SIM_FAULT
};
static_assert(std::size(fault_rows) == fault_kinds);

bool is_lasting(Fault f) { return fault_rows[static_cast<size_t>(f)].lasts == Lasts::lasting; }

}  // namespace

const char* fault_name(Fault f) { return fault_rows[static_cast<size_t>(f)].name; }

const char* fault_description(Fault f) { return fault_rows[static_cast<size_t>(f)].what; }

bool find_fault(const std::string& name, Fault& found) {
  for (size_t n = 0; n < fault_kinds; ++n) {
    if (name == fault_name(static_cast<Fault>(n))) {
      found = static_cast<Fault>(n);
      return true;
    }
  }
  return false;
}

void Faults::enable(uint64_t seed, double rate) {
  enabled_ = true;
  rng_ = seed;
  rate_ = rate;
  allowed_.fill(true);
  // No plug-in can tell a reused handle from its own, so drawn at random it
  // would show only what the ownership tests already show; started by name,
  // it still comes.
  allowed_[static_cast<size_t>(Fault::handle_reused)] = false;
}

void Faults::disable() { enabled_ = false; }

uint64_t Faults::draw() {
  // splitmix64, as the world's own draws: the same faults on every platform
  uint64_t z = (rng_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

bool Faults::any_active() const {
  return std::any_of(frames_left_.begin(), frames_left_.end(), [](int n) { return n > 0; });
}

// Every lasting fault can hold a wait: a load that a failing native never
// reports, a pause whose time does not pass. Only a pass held with no fault
// left is a hang.
bool Faults::holds_a_wait() const { return any_active(); }

std::string Faults::summary() const {
  std::string out;
  for (size_t n = 0; n < fault_kinds; ++n) {
    if (injected_[n] == 0) continue;
    if (!out.empty()) out += ", ";
    out += std::string(fault_name(static_cast<Fault>(n))) + ' ' + std::to_string(injected_[n]);
  }
  return out.empty() ? "none" : out;
}

void Faults::start(World& w, Fault f, int frames) {
  const auto k = static_cast<size_t>(f);
  ++injected_[k];
  w.journal.write<EntryKind::fault>({.fault = f});
  switch (f) {
    case Fault::native_fails: {
      // One to three of the natives that answer something, for the fault's length.
      w.stop_failing(World::FailedBy::fault);
      std::vector<const NativeRow*> answering;
      const NativeRow* rows = native_rows_begin();
      for (size_t n = 0; n < native_row_count(); ++n) {
        if (rows[n].result != 'v' && !creates(&rows[n]) && !removes(&rows[n]) &&
            !tells_existence(&rows[n]) && !computes(&rows[n])) {
          answering.push_back(&rows[n]);
        }
      }
      const int picks = 1 + below(3);
      for (int n = 0; n < picks && !answering.empty(); ++n) {
        w.fail_native(pick(answering)->hash, World::FailedBy::fault, true);
      }
      break;
    }
    case Fault::scene_late:
      w.anim_scenes.never_load = true;
      break;
    case Fault::entity_removed:
    case Fault::handle_reused: {
      std::vector<int32_t> owned;
      for (const auto& [handle, e] : w.entities()) {
        if (e.exists && handle != w.player_ped() && !w.owners.owner(Thing::entity, handle).none()) {
          owned.push_back(handle);
        }
      }
      if (owned.empty()) break;
      const int32_t handle = pick(owned);
      w.remove_entity(handle);
      if (f == Fault::handle_reused) {
        // The game's own ped now answers to the old handle.
        EntityState* e = w.entity(handle);
        const Vec at = e->position;
        *e = EntityState{};
        e->handle = handle;
        e->kind = EntityKind::ped;
        e->model = w.hash_of("a_c_cat_01");  // named, as the game knows its own models
        e->position = at;
        w.owners.forget(Thing::entity, handle);
        e->serial = w.journal.made(Thing::entity, handle, e->model, at, EntityKind::ped);
      }
      break;
    }
    case Fault::prompts_together:
      for (const auto& [handle, p] : w.prompts()) {
        if (w.prompt_offered(p)) w.complete_prompt(handle);
      }
      break;
    case Fault::prompt_switched_off: {
      std::vector<int32_t> off;
      // Completed by the player as the script switched it off: only one
      // that was on offer at the last frame.
      for (int32_t handle : offered_before_) {
        const PromptState* p = w.prompt(handle);
        if (p != nullptr && !p->deleted && !p->switched_on() && p->mode != PromptMode::none) {
          off.push_back(handle);
        }
      }
      if (off.empty()) break;
      w.prompt(pick(off))->completed_frame = w.frame() + 1;
      break;
    }
    case Fault::position_nan:
    case Fault::position_huge:
      if (!active(Fault::position_nan) && !active(Fault::position_huge)) {
        player_at_ = w.player_position();
      }
      break;
    case Fault::timer_near_wrap:
      // A start condition: set before the scripts run, not drawn later, since
      // the game's timer never jumps.
      w.set_game_timer(0xFFFFFFFFu - static_cast<uint32_t>(below(30000)));
      break;
    case Fault::frame_time_zero:
    case Fault::frame_time_second:
      if (!active(Fault::frame_time_zero) && !active(Fault::frame_time_second)) {
        frame_seconds_ = w.frame_time();
      }
      break;
    case Fault::player_replaced:
      w.replace_player_ped("PLAYER_ZERO");
      break;
    case Fault::clock_out_of_range:
      if (!active(f)) hour_ = w.clock.hour;
      break;
    default:
      break;
  }
  if (is_lasting(f)) frames_left_[k] = std::max(frames_left_[k], std::max(frames, 1));
  acting_ = any_active();
}

void Faults::end(World& w, Fault f) {
  w.journal.write<EntryKind::fault_over>({.fault = f});
  frames_left_[static_cast<size_t>(f)] = 0;
  acting_ = any_active();
  switch (f) {
    case Fault::native_fails:
      w.stop_failing(World::FailedBy::fault);
      break;
    case Fault::model_invalid:
    case Fault::model_never_loads:
      if (!active(Fault::model_invalid) && !active(Fault::model_never_loads)) {
        for (uint32_t hash : held_models_) w.model(hash).never_loads = false;
        held_models_.clear();
      }
      break;
    case Fault::scene_late:
      w.anim_scenes.never_load = false;
      break;
    case Fault::position_nan:
    case Fault::position_huge:
      if (!active(Fault::position_nan) && !active(Fault::position_huge)) {
        w.place_player(player_at_.x, player_at_.y, player_at_.z);
      }
      break;
    case Fault::frame_time_zero:
    case Fault::frame_time_second:
      if (!active(Fault::frame_time_zero) && !active(Fault::frame_time_second)) {
        w.set_frame_time(frame_seconds_);
      }
      break;
    case Fault::clock_out_of_range:
      w.clock.hour = hour_;
      break;
    case Fault::player_talks:
      w.speech.stop_talking(w, w.player_ped());
      break;
    default:
      break;
  }
}

void Faults::lift(World& w) {
  for (size_t n = 0; n < fault_kinds; ++n) {
    if (frames_left_[n] > 0) end(w, static_cast<Fault>(n));
  }
}

void Faults::on_frame(World& w) {
  for (size_t n = 0; n < fault_kinds; ++n) {
    if (frames_left_[n] > 0 && --frames_left_[n] == 0) end(w, static_cast<Fault>(n));
  }
  if (enabled_ && unit() < rate_) {
    std::vector<Fault> kinds;
    for (size_t n = 0; n < fault_kinds; ++n) {
      if (allowed_[n] && static_cast<Fault>(n) != Fault::timer_near_wrap) {
        kinds.push_back(static_cast<Fault>(n));
      }
    }
    if (!kinds.empty()) {
      // Drawn one after the other: arguments run in no set order, and the
      // same seed must give the same faults from every compiler.
      const Fault kind = pick(kinds);
      const int frames = 30 + below(600);
      start(w, kind, frames);
    }
  }
  if (enabled_) {
    offered_before_.clear();
    for (const auto& [handle, p] : w.prompts()) {
      if (w.prompt_offered(p)) offered_before_.push_back(handle);
    }
  }
  if (active(Fault::texture_late)) {
    for (auto& [name, d] : w.money.textures) {
      if (d.requested && !d.loaded) d.frames_left = std::max(d.frames_left, 2);
    }
  }
  if (active(Fault::position_nan)) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    w.place_player(nan, nan, nan);
  } else if (active(Fault::position_huge)) {
    w.place_player(3.0e38f, -3.0e38f, 1.0e30f);
  }
  if (active(Fault::frame_time_zero)) w.set_frame_time(0.0f);
  if (active(Fault::frame_time_second)) w.set_frame_time(1.0f);
  if (active(Fault::clock_out_of_range)) {
    static const int hours[] = {-1, 24, 25, 99, -2147483647 - 1, 2147483647};
    w.clock.hour = hours[below(static_cast<int>(std::size(hours)))];
  }
  if (active(Fault::player_talks) && !w.speech.talking(w, w.player_ped())) {
    w.speech.start_talking(w, w.player_ped());
  }
}

bool Faults::fails_now(World& w, const NativeCall& call) {
  const NativeRow* row = call.row;
  if (row == nullptr) return false;
  if (active(Fault::creation_fails) && call.simulated && creates(row)) return true;
  // No model is valid while it lasts. A model the game has still loads when
  // asked for without the test, once the fault is over: a caller that trusts
  // its fixed models waits out the fault, not for good.
  if (active(Fault::model_invalid) && named(row, "IS_MODEL_VALID")) return true;
  if ((active(Fault::model_never_loads) || active(Fault::model_invalid)) &&
      named(row, "REQUEST_MODEL") && call.count > 0) {
    ModelState& m = w.model(call.u(0));
    if (!m.loaded) {
      m.never_loads = true;
      if (std::find(held_models_.begin(), held_models_.end(), call.u(0)) == held_models_.end()) {
        held_models_.push_back(call.u(0));
      }
    }
  }
  return false;
}

}  // namespace sim
