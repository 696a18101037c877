#include "timeline.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "joaat.h"
#include "native_names.h"
#include "reference_natives.h"
#include "summary.h"
#include "waits.h"

namespace play {

std::string fixed(double value, int decimals) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";  // a player 3e38 m out
  char text[64];
  auto [end, ec] =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  return ec == std::errc() ? std::string(text, end) : "?";
}

std::string position_text(const sim::Vec& at) {
  std::string text = "(";
  text.append(fixed(at.x, 2)).append(", ").append(fixed(at.y, 2)).append(", ");
  return text.append(fixed(at.z, 2)).append(")");
}

// For lines with no change of their own: the state before the frame's first
// change (what steps and the game did between frames), or what its passes
// left undone after the last.
constexpr sim::Stamp frame_start{};
constexpr sim::Stamp frame_end{UINT64_MAX, UINT64_MAX};

static std::string padded(const std::string& text, size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

static std::string seconds_text(uint64_t ms) {
  return fixed(static_cast<double>(ms) / 1000.0, 3) + " s";
}

// The time column is the scenario's own clock, which a jump of the game
// timer does not move.
std::string Timeline::prefix(sim::World& world) const {
  const uint64_t since = world.elapsed_ms() - start_elapsed_ms_;
  const float d = context_->distance_to_site(world.player_position());
  return padded(fixed(since / 1000.0, 3), 9) + padded(std::to_string(world.frame()), 8) +
         padded(fixed(d, 2), 9) + "  ";
}

void Timeline::write(sim::World& world, const std::string& text, bool change) {
  if (collecting_) {
    pending_.push_back({at_, text, change});
    return;
  }
  flush_quiet();
  out_ << prefix(world) << text << '\n';
  busy_ = true;
  if (change && listener_ != nullptr) listener_->event(world, text);
}

void Timeline::print(sim::World& world, const std::string& text) { write(world, text, false); }

void Timeline::line(sim::World& world, const std::string& text) {
  write(world, tagged(world, at_, text), true);
}

void Timeline::line(sim::World& world, const sim::Stamp& at, const std::string& text) {
  at_ = at;
  write(world, tagged(world, at, text), true);
}

// With several plug-ins in the game, a change one of them made, or one of
// what it owns, names it: "[cinema] + ped ...". The file's stem, so that a
// native run and one under wine tell the same.
std::string Timeline::tagged(sim::World& world, const sim::Stamp& at,
                             const std::string& text) const {
  if (at.by == nullptr || context_ == nullptr || context_->plugins.size() < 2) return text;
  const std::string file = world.owners.name_of(at.by);
  return "[" + file.substr(0, file.find_last_of('.')) + "] " + text;
}

// The stamp of a change to a thing, as its owner's when the books know one,
// else its maker's: the books forget what the game removed or gave away, and
// the game's own changes (a removal, a ped reaching its seat) are by no one.
static sim::Stamp owned(sim::Stamp at, sim::World& world, sim::Thing thing, int32_t handle,
                        const void* maker = nullptr) {
  if (const void* owner = world.owners.owner(thing, handle)) {
    at.by = owner;
  } else if (maker != nullptr) {
    at.by = maker;
  }
  return at;
}

void Timeline::flush_quiet() {
  if (quiet_frames_ == 0) return;
  out_ << quiet_prefix_ << "... " << quiet_frames_ << " quiet frame"
       << (quiet_frames_ == 1 ? "" : "s") << ", "
       << seconds_text(quiet_until_ms_ - quiet_since_ms_);
  if (fixed(quiet_from_, 2) != fixed(quiet_to_, 2)) {
    out_ << ", distance " << fixed(quiet_from_, 2) << " to " << fixed(quiet_to_, 2);
  }
  out_ << '\n';
  quiet_frames_ = 0;
}

void Timeline::begin(const PlayContext& context, sim::World& world) {
  context_ = &context;
  out_ << "# " << context.scenario.file;
  const auto sites = context.deliverable.sites();
  if (sites.size() > 1) {
    out_ << ": " << context.deliverable.name << ", distances to the nearest of";
    for (const Place* site : sites) {
      out_ << (site == sites.front() ? " " : ", ") << site->name << " (" << site->description
           << ") at " << position_text(site->at);
    }
  } else if (const Place* site = context.deliverable.site_place()) {
    out_ << ": " << context.deliverable.name << ", distances to " << site->name << " ("
         << site->description << ") at " << position_text(site->at);
  } else {
    out_ << ": distances to the starting point";
  }
  out_ << '\n' << "     time   frame     dist  what\n";
  snapshot(world);
  start_elapsed_ms_ = world.elapsed_ms();
  previous_ms_ = world.elapsed_ms();
}

void Timeline::snapshot(sim::World& world) {
  for (const auto& [handle, e] : world.entities()) {
    entities_[handle] = {e.exists, e.made.order, entity_name(world, handle, e),
                         owned(e.made, world, sim::Thing::entity, handle).by};
  }
  cash_ = world.money.cash;
  channel_ = world.tv.channel;
  spoken_ = world.speech.spoken.size();
  feed_ = world.money.feed.size();
  violations_ = world.violations().size();
  player_interior_ = world.interiors.interior_at(world.player_position());
  for (const auto& [ped, a] : world.peds.all) seated_[ped] = a.on_point;
}

void Timeline::step(const Step& step, sim::World& world) {
  host_events(world);  // the plug-in's load comes before the steps that follow it
  if (step.kind == Step::Kind::expect) return;  // its result says it
  print(world, "> " + std::to_string(step.line) + ": " + step.source);
}

void Timeline::checked(const Step& step, const Verdict& verdict, sim::World& world) {
  if (step.kind == Step::Kind::wait_until) {
    print(world, "  it holds: " + verdict.held);
  } else {
    print(world, "ok " + std::to_string(step.line) + ": " + step.source);
  }
}

void Timeline::failed(const Step* step, const std::string& message, sim::World& world) {
  print(world, "FAILED " + (step != nullptr ? std::to_string(step->line) + ": " : "") + message);
}

// Plug-ins loaded and unloaded, scripts and handlers come and gone; with
// --verbose, the script globals handed out and written too.
void Timeline::host_events(sim::World& world) {
  const auto& events = sim::Host::get().events();
  while (events_seen_ < events.size()) host_event(world, events[events_seen_++]);
}

void Timeline::host_event(sim::World& world, const sim::HostEvent& e) {
  if (e.kind == sim::HostEvent::Kind::global && !verbose_) return;
  // A script that ends still waiting has waited until now.
  if (const auto open = waits_.find(e.ends_script); e.ends_script != 0 && open != waits_.end()) {
    close_wait(world, open->second, world.elapsed_ms(), world.frame());
    waits_.erase(open);
  }
  at_.by = nullptr;  // the host's lines name the plug-in themselves
  line(world, e.kind == sim::HostEvent::Kind::global ? "| " + e.text : e.text);
}

void Timeline::end(sim::World& world) {
  at_ = {};
  host_events(world);
  violations(world);
  for (auto& [script, wait] : waits_) close_wait(world, wait, world.elapsed_ms(), world.frame());
  flush_quiet();
  out_ << prefix(world) << "end of " << context_->scenario.file << '\n';
  out_ << "summary:\n";
  for (const std::string& l : summary_lines(summarize(world), summarize_all_)) {
    out_ << "  " << l << '\n';
  }
}

void Timeline::close_wait(sim::World& world, OpenWait& wait, uint64_t now_ms, uint64_t now_frame) {
  if (!wait.open) return;
  wait.open = false;
  at_.by = wait.first.resumed.by;  // the script that waited
  const uint64_t frames = now_frame - wait.since_frame;
  const std::string length = seconds_text(now_ms - wait.since_ms) + " (" + std::to_string(frames) +
                             " frame" + (frames == 1 ? "" : "s") + ")";
  if (wait_fulfilled(wait.first, world)) {
    line(world, "waited " + length + " for " + wait.what);
  } else {
    line(world, "gave up after " + length + " waiting for " + wait.what);
  }
}

// Consecutive waits on the same thing are one wait, which ends when the
// script goes on: at its next wait on something else, or at the pass's end.
// Each script's waits are its own: another's turn between them ends none,
// whether another plug-in's or another thread of its own plug-in.
void Timeline::wait_seen(sim::World& world, const sim::WaitRecord& w) {
  if (verbose_) print(world, "| scriptWait(" + std::to_string(w.ms) + ")");
  const WaitKind kind = classify_wait(w, world);
  OpenWait& open = waits_[w.script];
  if (kind.inside_pass && w.ms == 0 && open.open && open.what == kind.what) return;
  const sim::Stamp at = at_;
  at_ = w.resumed;  // the open wait ended as this turn began
  close_wait(world, open, w.elapsed_ms, w.frame);
  at_ = at;
  if (!kind.inside_pass) return;
  if (w.ms > 0) {
    line(world, "the script pauses " + std::to_string(w.ms) + " ms");
  } else {
    open = {true, kind.what, w, w.elapsed_ms, w.frame};
  }
}

static std::string kind_name(sim::EntityKind kind) {
  if (kind == sim::EntityKind::vehicle) return "vehicle";
  return kind == sim::EntityKind::ped ? "ped" : "prop";
}

std::string Timeline::entity_name(sim::World& world, int32_t handle,
                                  const sim::EntityState& e) const {
  const std::string model = hash_name(world, e.model);
  std::string who = context_->deliverable.nickname_of_model(model);
  if (handle == world.player_ped()) who = "player";
  return kind_name(e.kind) + " " + model + (who.empty() ? "" : " (" + who + ")");
}

void Timeline::entities(sim::World& world) {
  for (const auto& [handle, e] : world.entities()) {
    auto seen = entities_.find(handle);
    const bool known = seen != entities_.end();
    // Gone and its handle given to another in one frame: the game's doing.
    const bool renewed =
        known && seen->second.exists && e.exists && e.made.order != seen->second.made;
    if (known && seen->second.exists == e.exists && !renewed) continue;
    const std::string name = entity_name(world, handle, e);
    const sim::Stamp made = owned(e.made, world, sim::Thing::entity, handle);
    if (renewed) {
      sim::Stamp gone = e.made;  // just before it: the stamp that made its successor
      gone.by = seen->second.owner;
      line(world, gone, "- " + seen->second.name);
    }
    if (e.exists) {  // new, or new on a handle the game gave again
      line(world, made, "+ " + name + " at " + position_text(e.position));
    } else if (!known) {
      line(world, made, "+ " + name + " at " + position_text(e.position) + ", and gone at once");
    } else {
      line(world, owned(e.gone, world, sim::Thing::entity, handle, made.by), "- " + name);
    }
    entities_[handle] = {e.exists, e.made.order, name, made.by};
  }
}

void Timeline::blips(sim::World& world) {
  for (const auto& [handle, b] : world.blips.all) {
    BlipSeen& seen = blips_[handle];
    const std::string name =
        "blip " + hash_name(world, b.style) + (b.name.empty() ? "" : " \"" + b.name + "\"");
    if (b.exists && !seen.live) {
      line(world, owned(b.made, world, sim::Thing::blip, handle),
           "+ " + name + " at " + position_text(b.position));
    } else if (!b.exists && seen.live) {
      line(world, owned(b.gone, world, sim::Thing::blip, handle, b.made.by), "- " + name);
    }
    if (b.exists) {
      at_ = owned(later(b.made, b.marked), world, sim::Thing::blip, handle);
      for (uint32_t m : b.modifiers) {
        if (std::find(seen.modifiers.begin(), seen.modifiers.end(), m) == seen.modifiers.end()) {
          line(world, name + " marked " + hash_name(world, m));
        }
      }
      for (uint32_t m : seen.modifiers) {
        if (!b.has(m)) line(world, name + " no longer marked " + hash_name(world, m));
      }
    }
    seen.live = b.exists;
    seen.modifiers = b.exists ? b.modifiers : std::vector<uint32_t>{};
  }
}

void Timeline::prompts(sim::World& world) {
  for (const auto& [handle, p] : world.prompts()) {
    PromptSeen& seen = prompts_[handle];
    const bool offered = world.prompt_offered(p);
    at_ = owned(world.prompt_sight_changed(p), world, sim::Thing::prompt, handle);
    if (seen.offered && (!offered || seen.label != p.label)) {
      line(world, "prompt withdrawn: \"" + seen.label + "\"");
      seen.offered = false;
    }
    if (offered && !seen.offered) line(world, "prompt offered: \"" + p.label + "\"");
    seen = {offered, p.label};
  }
}

void Timeline::speech(sim::World& world) {
  const auto& spoken = world.speech.spoken;
  for (; spoken_ < spoken.size(); ++spoken_) {
    const sim::SpokenLine& l = spoken[spoken_];
    line(world, l.said,
         speaker_name(world, context_->deliverable, context_->baseline, l.ped) + " says " + l.line +
             " (voice " + (l.voice.empty() ? "none" : l.voice) + ")");
  }
}

void Timeline::money(sim::World& world) {
  if (world.money.cash != cash_) {
    const int change = world.money.cash - cash_;
    line(world, world.money.cash_changed,
         "money " + world.cash_text(cash_) + " to " + world.cash_text(world.money.cash) + " (" +
             (change > 0 ? "+" : "") + std::to_string(change) + ")");
    cash_ = world.money.cash;
  }
  const auto& feed = world.money.feed;
  for (; feed_ < feed.size(); ++feed_) {
    line(world, feed[feed_].posted, "notification: \"" + feed[feed_].text + "\"");
  }
}

void Timeline::tv(sim::World& world) {
  for (const auto& [channel, list] : world.tv.playlists) {
    auto& seen = playlists_[channel];
    if (seen.first != list.name || seen.second != list.start_ms) {
      line(world, list.given,
           "TV channel " + std::to_string(channel) + " gets playlist " + list.name);
      seen = {list.name, list.start_ms};
    }
  }
  if (world.tv.channel != channel_) {
    line(world, world.tv.switched,
         world.tv.channel == -1 ? std::string("TV off")
                                : "TV on channel " + std::to_string(world.tv.channel));
    channel_ = world.tv.channel;
  }
  for (const auto& [name, t] : world.tv.targets) {
    const bool drawn = t.registered && t.draws > 0 && t.last_draw_frame == world.frame();
    bool& seen = drawn_[name];
    if (drawn && !seen) {
      line(
          world, t.first_draw,
          "channel " + std::to_string(t.last_draw_channel) + " drawn into " + name + " every pass");
    } else if (!drawn && seen) {
      sim::Stamp over = frame_end;
      const void* owner = world.owners.target_owner(name);
      over.by = owner != nullptr ? owner : t.first_draw.by;
      line(world, over, "no longer drawn into " + name);
    }
    seen = drawn;
  }
}

void Timeline::settle(sim::World& world, Ramp& ramp, double now, const std::string& what) {
  const double rounded = std::round(now * 1000.0) / 1000.0;
  const int direction = rounded > ramp.value ? 1 : rounded < ramp.value ? -1 : 0;
  if (direction == ramp.direction) {
    ramp.value = rounded;
    return;
  }
  if (ramp.direction != 0) {
    line(world, what + " " + fixed(ramp.from, 3) + " to " + fixed(ramp.value, 3) + " over " +
                    seconds_text(previous_ms_ - ramp.since_ms));
  }
  ramp.direction = direction;
  ramp.from = ramp.value;
  ramp.since_ms = previous_ms_;
  ramp.value = rounded;
}

void Timeline::effects(sim::World& world) {
  for (const auto& [handle, e] : world.particles.effects()) {
    const bool live = sim::effect_exists(world, handle);
    auto seen = effects_.find(handle);
    const std::string name = "effect " + hash_name(world, e.effect);
    if (seen == effects_.end()) {
      if (!live) continue;
      std::string on = "entity " + std::to_string(e.entity);
      if (const sim::EntityState* carrier = world.entity(e.entity)) {
        on = hash_name(world, carrier->model);
      }
      line(world, owned(e.made, world, sim::Thing::effect, handle),
           "+ " + name + " on " + on + ", scale " + fixed(e.scale, 2));
      Ramp scale;
      scale.value = std::round(e.scale * 1000.0) / 1000.0;
      effects_[handle] = {true, scale};
      continue;
    }
    if (!seen->second.live) continue;
    if (!live) {
      const sim::EntityState* carrier = world.entity(e.entity);
      const sim::Stamp gone = e.stopped_at.order != 0 ? e.stopped_at
                              : carrier != nullptr    ? carrier->gone
                                                      : sim::Stamp{};
      line(world, owned(gone, world, sim::Thing::effect, handle, e.made.by),
           "- " + name + (e.stopped ? ", stopped" : ", its entity gone"));
      seen->second.live = false;
      continue;
    }
    // A settled ramp tells of the frames before.
    at_ = owned(frame_start, world, sim::Thing::effect, handle);
    settle(world, seen->second.scale, e.scale, name + " scale");
  }
}

void Timeline::speeds(sim::World& world) {
  for (const std::string& nickname : context_->deliverable.turning) {
    const std::string model = context_->deliverable.model_of(nickname);
    const uint32_t hash = sim::joaat(model.c_str());
    for (const auto& [handle, e] : world.entities()) {
      if (e.model != hash) continue;
      auto seen = speeds_.find(handle);
      if (!e.exists) {
        if (seen != speeds_.end()) speeds_.erase(seen);
        continue;
      }
      at_ = owned(frame_start, world, sim::Thing::entity, handle);
      settle(world, speeds_[handle], e.last_turn, nickname + " speed");
    }
  }
}

void Timeline::violations(sim::World& world) {
  const auto& all = world.violations();
  for (; violations_ < all.size(); ++violations_) {
    line(world, world.violation_stamp(violations_), "PROTOCOL VIOLATION: " + all[violations_]);
  }
}

// A scenario's answer as its native's result kind reads it.
static std::string answer_text(const sim::NativeRow& row, const sim::World::Answer& a) {
  const auto as_float = [](uint64_t slot) { return fixed(sim::CallRecord::as_float(slot), 2); };
  switch (row.result) {
    case 'b':
      return a.result[0] != 0 ? "true" : "false";
    case 'f':
      return as_float(a.result[0]);
    case 'V':
      return "(" + as_float(a.result[0]) + ", " + as_float(a.result[1]) + ", " +
             as_float(a.result[2]) + ")";
    case 's':
      return '"' + a.text + '"';
    default:
      return std::to_string(static_cast<int32_t>(static_cast<uint32_t>(a.result[0])));
  }
}

// The first call of each native the stand-in does not simulate.
void Timeline::unsimulated(sim::World& world) {
  const auto& called = world.unsimulated_calls();
  if (called.size() == unsimulated_) return;
  unsimulated_ = called.size();
  for (const auto& [hash, calls] : called) {
    if (!unsimulated_seen_.insert(hash).second) continue;
    const sim::NativeRow* row = sim::reference_row(hash);
    const sim::World::Answer* answer = world.answer(hash);
    std::string answered = answer != nullptr && row != nullptr
                               ? "answered by the scenario: " + answer_text(*row, *answer)
                               : "answered 0";
    if (!sim::out_parameters(hash).empty()) answered += ", its out-parameters written as zeros";
    line(world, world.first_unsimulated_call(hash),
         "not simulated: " + std::string(row != nullptr ? row->name : "?") + " (" +
             sim::hex_text(hash) + "), checked against the game's table and " + answered);
  }
}

// Faults the game began or ended this frame, drawn or asked for.
void Timeline::faults(sim::World& world) {
  at_ = frame_start;  // the game starts and ends them before the scripts run
  for (size_t n = 0; n < sim::fault_kinds; ++n) {
    const auto f = static_cast<sim::Fault>(n);
    const bool lasting = world.faults.active(f);
    if (world.faults.injected(f) != faults_begun_[n]) {
      faults_begun_[n] = world.faults.injected(f);
      line(world, std::string("fault: ") + sim::fault_name(f));
    } else if (faults_lasting_[n] && !lasting) {
      line(world, std::string("fault over: ") + sim::fault_name(f));
    }
    faults_lasting_[n] = lasting;
  }
}

void Timeline::interiors(sim::World& world) {
  const int32_t now = world.interiors.interior_at(world.player_position());
  if (now == player_interior_) return;
  const Deliverable& d = context_->deliverable;
  if (const sim::EntityState* me = world.entity(world.player_ped())) {
    at_ = later(me->made, me->moved);
  }
  if (const sim::InteriorState* left = world.interiors.interior(player_interior_)) {
    line(world, "player leaves " + interior_name(world, d, left->name_hash));
  }
  if (const sim::InteriorState* entered = world.interiors.interior(now)) {
    line(world, "player enters " + interior_name(world, d, entered->name_hash));
  }
  player_interior_ = now;
}

// A ped that reaches its scenario point sits on it; one that leaves it
// stands, unless it left because it was gone: its going is its line.
void Timeline::seats(sim::World& world) {
  for (const auto& [ped, a] : world.peds.all) {
    bool& seen = seated_[ped];
    if (a.on_point == seen) continue;
    seen = a.on_point;
    const sim::EntityState* e = world.entity(ped);
    if (!a.on_point && (e == nullptr || (!e->exists && !(a.seated < e->gone)))) continue;
    const std::string who = speaker_name(world, context_->deliverable, context_->baseline, ped);
    line(world,
         owned(a.seated, world, sim::Thing::entity, ped, e != nullptr ? e->made.by : nullptr),
         who + (a.on_point ? " sits down" : " stands up"));
  }
}

// The frame's lines in the order their changes happened and, when verbose,
// each call where it was made: after what happened before it began.
void Timeline::write_frame(const FrameView& view) {
  std::stable_sort(pending_.begin(), pending_.end(),
                   [](const Pending& a, const Pending& b) { return a.at < b.at; });
  const uint64_t base = view.world.total_calls() - view.calls.size();
  size_t next_call = 0;
  const auto calls_until = [&](uint64_t calls) {
    for (; next_call < view.calls.size() && base + next_call < calls; ++next_call) {
      if (verbose_) write(view.world, "| " + call_shown(view.calls[next_call]), false);
    }
  };
  for (const Pending& p : pending_) {
    calls_until(p.at.calls);
    write(view.world, p.text, p.change);
  }
  calls_until(UINT64_MAX);
  pending_.clear();
}

void Timeline::frame(const FrameView& view) {
  sim::World& world = view.world;
  busy_ = false;
  collecting_ = true;
  pending_.clear();
  // The waits' and the host's events' places among the calls count this
  // frame's record; a stamp's count runs over the whole game.
  const uint64_t base = world.total_calls() - view.calls.size();
  const auto& events = sim::Host::get().events();
  size_t next_wait = 0;
  while (next_wait < view.waits.size() || events_seen_ < events.size()) {
    const bool wait =
        next_wait < view.waits.size() &&
        (events_seen_ == events.size() || view.waits[next_wait].order < events[events_seen_].order);
    if (wait) {
      const sim::WaitRecord& w = view.waits[next_wait++];
      at_ = {w.order, base + w.calls_before, w.resumed.by};
      wait_seen(world, w);
    } else {
      const sim::HostEvent& e = events[events_seen_++];
      at_ = {e.order, base + e.calls_before};
      host_event(world, e);
    }
  }
  faults(world);
  entities(world);
  blips(world);
  prompts(world);
  speech(world);
  money(world);
  tv(world);
  effects(world);
  speeds(world);
  interiors(world);
  seats(world);
  unsimulated(world);
  violations(world);
  collecting_ = false;
  write_frame(view);
  if (!busy_) {
    const float d = context_->distance_to_site(world.player_position());
    if (quiet_frames_ == 0) {
      quiet_prefix_ = prefix(world);
      quiet_since_ms_ = previous_ms_;
      quiet_from_ = d;
    }
    ++quiet_frames_;
    quiet_until_ms_ = world.elapsed_ms();
    quiet_to_ = d;
  }
  previous_ms_ = world.elapsed_ms();
}

}  // namespace play
