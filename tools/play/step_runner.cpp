#include "step_runner.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <optional>

#include "crash_report.h"
#include "joaat.h"
#include "keyboard.h"
#include "lower.h"
#include "native_row.h"

namespace play {

namespace {
StepRunner* running = nullptr;  // the run a crash report may end
void tell_before_report();
}  // namespace

class StepRunner {
 public:
  StepRunner(sim::Host& host, const Scenario& scenario, const std::vector<Observer*>& observers,
             std::ostream& errors)
      : host_(host),
        scenario_(scenario),
        deliverable_(deliverables_together(scenario.deliverables)),
        observers_(observers),
        errors_(errors) {}

  int run(const std::vector<std::string>& plugins, StepSource* more, bool wall_clock);
  bool begin(const std::vector<std::string>& plugins, bool wall_clock);
  bool play_one(const Step& s);
  int end();
  bool load(const std::string& plugin);
  void cut_short() {
    for (Observer* o : observers_) o->cut_short(world());
  }
  sim::World& world() { return host_.world(); }
  const Baseline& baseline() const { return baseline_; }

 private:
  void advance();
  void tell();
  void note_step(const Step& s);
  void note_check(const Step& s, const Verdict& v);
  void play_given(StepSource& more);
  bool perform(const Step& s);
#define PLAY_STEP(kind, phase, syntax) bool run_##kind(const Step& s);
#include "steps.def"
#undef PLAY_STEP
  bool play_for(const Step& s);
  bool fail(const Step* s, const std::string& message);
  void check_violations();
  std::vector<int32_t> live_of(const std::string& name);
  bool each_live(const Step& s, void (*act)(sim::World& w, int32_t handle));

  sim::Host& host_;
  const Scenario& scenario_;
  const Deliverable& deliverable_;
  const std::vector<Observer*>& observers_;
  std::ostream& errors_;
  Baseline baseline_;
  Keyboard keyboard_;
  int status_ = 0;
  const Step* current_ = nullptr;
  uint64_t violations_reported_ = 0;
  size_t next_ = 0;  // the scenario's first step after the set-up
  std::optional<PlayContext> context_;
  std::map<std::string, HMODULE> modules_;  // by file
  std::string errors_told_;                 // the latest failure, for a live run's source
};

namespace {
void tell_before_report() {
  if (running != nullptr) running->cut_short();
}
}  // namespace

void StepRunner::advance() {
  keyboard_.before_frame(host_, world().elapsed_ms());
  host_.run_frame();
  baseline_.player_peds.insert(world().player_ped());
  tell();
  for (Observer* o : observers_) o->frame_over(world());
  world().journal.forget_read();
  check_violations();
}

// The observers read what the journal has that they have not.
void StepRunner::tell() {
  for (Observer* o : observers_) o->read(world());
}

// A violation fails the scenario at the step during which it happened.
void StepRunner::check_violations() {
  const uint64_t now = world().journal.count(sim::EntryKind::violation);
  if (violations_reported_ < now && status_ == 0) {
    const std::string first = world().violations()[violations_reported_];
    errors_ << scenario_.file;
    if (current_ != nullptr) errors_ << ':' << current_->line;
    errors_ << ": protocol violation: " << first << '\n';
    errors_told_ = "protocol violation: " + first;
    status_ = 1;
  }
  violations_reported_ = now;
}

bool StepRunner::fail(const Step* s, const std::string& message) {
  world().journal.write<sim::EntryKind::failed>(
      {.line = s != nullptr ? s->line : 0, .why = message});
  tell();
  errors_ << scenario_.file;
  if (s != nullptr) errors_ << ':' << s->line;
  errors_ << ": " << message << '\n';
  errors_told_ = message;
  status_ = 1;
  return false;
}

bool StepRunner::load(const std::string& plugin) {
  if (HMODULE module = host_.load_plugin(plugin)) {
    modules_[plugin] = module;
    return true;
  }
  check_violations();
  return fail(nullptr, "the plug-in " + plugin + " cannot be loaded");
}

std::vector<int32_t> StepRunner::live_of(const std::string& name) {
  return live_named(world(), deliverable_, baseline_, name);
}

// The kind of thing a model makes: by the game's lists, or for a model
// they lack by its name: peds are named X_M_ or X_F_ (and animals A_C_),
// the rest are props.
static sim::EntityKind kind_of_model(const sim::World& w, const std::string& model) {
  if (const sim::ContentItem* item = w.content.model(sim::joaat(model.c_str()))) {
    return item->kind == sim::ModelKind::vehicle  ? sim::EntityKind::vehicle
           : item->kind == sim::ModelKind::object ? sim::EntityKind::object
                                                  : sim::EntityKind::ped;
  }
  const std::string m = lower(model);
  const bool ped =
      (m.size() > 4 && m[1] == '_' && (m[2] == 'm' || m[2] == 'f' || m[2] == 'c') && m[3] == '_') ||
      m.rfind("cs_", 0) == 0 || m.rfind("player_", 0) == 0;
  return ped ? sim::EntityKind::ped : sim::EntityKind::object;
}

// The game makes it, loaded as the game loads its own: it is the game's,
// in the pools, on the map and seen by the natives.
bool StepRunner::run_spawn(const Step& s) {
  sim::World& w = world();
  const sim::EntityKind kind = s.kind_given ? s.spawn_kind : kind_of_model(w, s.name);
  const sim::PluginId creator = w.owners.creator;
  w.owners.creator = {};
  const int32_t handle = w.create_entity(kind, w.hash_of(s.name.c_str()), s.at, s.heading);
  w.owners.creator = creator;
  if (!s.nickname.empty()) baseline_.spawned[s.nickname].push_back(handle);
  return true;
}

bool StepRunner::run_player_rides(const Step& s) {
  sim::World& w = world();
  const auto handles = live_of(s.name);
  if (handles.empty()) return fail(&s, "no live " + s.name + " in the world");
  const bool mount = s.mounts;
  const sim::EntityState* e = w.live_entity(handles.front());
  const bool fits = mount ? e->kind == sim::EntityKind::ped && w.is_animal_model(e->model)
                          : e->kind == sim::EntityKind::vehicle;
  if (!fits) return fail(&s, s.name + (mount ? " is not an animal to ride" : " is not a vehicle"));
  if (!sim::seat_ped(w, w.player_ped(), handles.front(), mount ? -1 : -2, mount)) {
    return fail(&s, "no free seat on " + s.name);
  }
  return true;
}

static int frames_for(double seconds, float frame_time) {
  return std::max(1, static_cast<int>(std::lround(seconds / frame_time)));
}

bool StepRunner::perform(const Step& s) {
  switch (s.kind) {
#define PLAY_STEP(kind, phase, syntax) \
  case Step::Kind::kind:               \
    return run_##kind(s);
#include "steps.def"
#undef PLAY_STEP
  }
  return true;
}

bool StepRunner::run_seed(const Step& s) {
  world().seed(s.seed);
  return true;
}

// Only play test passes a scenario marked skipped by; played alone, it plays.
bool StepRunner::run_skip(const Step&) { return true; }

bool StepRunner::run_faults(const Step& s) {
  world().faults.enable(s.seed, s.rate);
  return true;
}

bool StepRunner::run_fps(const Step& s) {
  world().set_frame_time(static_cast<float>(1.0 / s.fps));
  return true;
}

bool StepRunner::run_hour(const Step& s) {
  world().clock.hour = s.hour;
  return true;
}

bool StepRunner::run_ground(const Step& s) {
  world().environment.know_place(s.at);
  return true;
}

bool StepRunner::run_content(const Step& s) {
  world().content.add(s.content_list, s.name, s.model_kind);
  world().hash_of(s.name.c_str());
  return true;
}

// Where the scenario puts the player, the ground is.
bool StepRunner::run_start(const Step& s) {
  world().place_player(s.at.x, s.at.y, s.at.z);
  world().environment.know_place(s.at);
  return true;
}

bool StepRunner::run_walk(const Step& s) {
  sim::World& w = world();
  const sim::Vec from = w.player_position();
  const int frames = s.frames >= 0 ? s.frames : frames_for(s.seconds, w.frame_time());
  w.environment.know_place(s.at);
  // He moves at the walk's pace: still, walking, running or sprinting.
  const float seconds = static_cast<float>(frames) * w.frame_time();
  w.set_player_velocity(sim::Vec{(s.at.x - from.x) / seconds, (s.at.y - from.y) / seconds,
                                 (s.at.z - from.z) / seconds});
  // Each point worked out in double, the fraction taken last: a stride that
  // is exact (as a live session's walks are) gives the same points walked
  // in one step as a frame at a time.
  const auto along = [frames](float a, float b, int n) {
    return static_cast<float>(a + (static_cast<double>(b) - a) * n / frames);
  };
  for (int n = 1; n <= frames && status_ == 0; ++n) {
    w.place_player(along(from.x, s.at.x, n), along(from.y, s.at.y, n), along(from.z, s.at.z, n));
    advance();
  }
  w.place_player(s.at.x, s.at.y, s.at.z);
  w.set_player_velocity(sim::Vec{});
  return status_ == 0;
}

bool StepRunner::run_teleport(const Step& s) { return run_start(s); }

bool StepRunner::run_wait(const Step& s) { return play_for(s); }

bool StepRunner::run_wait_until(const Step& s) {
  sim::World& w = world();
  const uint64_t start = w.elapsed_ms();
  const auto limit_ms = static_cast<uint64_t>(std::llround(s.seconds * 1000.0));
  for (int frames = 0;; ++frames) {
    const Verdict v = check(s.expectation, w, deliverable_, baseline_);
    if (v.holds) {
      note_check(s, v);
      return true;
    }
    const bool over = s.frames >= 0 ? frames >= s.frames : w.elapsed_ms() - start >= limit_ms;
    if (over) return fail(&s, "waited in vain: " + s.source + "; the world held " + v.held);
    advance();
    if (status_ != 0) return false;
  }
}

bool StepRunner::run_complete(const Step& s) {
  sim::World& w = world();
  std::string offered;
  for (const auto& [handle, p] : w.prompts()) {
    if (!w.prompt_offered(p)) continue;
    if (p.label == s.text) {
      w.complete_prompt(handle);
      advance();  // the script sees it in the next frame
      return status_ == 0;
    }
    offered += (offered.empty() ? "" : ", ") + ("\"" + p.label + "\"");
  }
  return fail(&s, "no prompt \"" + s.text + "\" is offered; " +
                      (offered.empty() ? "no prompt is offered" : "offered: " + offered));
}

bool StepRunner::run_hold(const Step& s) { return run_press(s) && play_for(s) && run_release(s); }

bool StepRunner::run_replace_player(const Step& s) {
  world().replace_player_ped(s.name.c_str());
  baseline_.player_peds.insert(world().player_ped());
  return true;
}

bool StepRunner::run_player_alights(const Step&) {
  sim::unseat_ped(world(), world().player_ped());
  return true;
}

bool StepRunner::run_player_armed(const Step& s) {
  sim::World& w = world();
  sim::PedWeapons& p = w.weapons.get(w.player_ped());
  const uint32_t weapon = w.hash_of(s.name.c_str());
  p.ammo[weapon] += s.ammo;
  p.current = weapon;
  return true;
}

bool StepRunner::run_player_control(const Step& s) {
  world().player.control = s.control_on;
  return true;
}

bool StepRunner::run_player_shoots(const Step&) {
  // For one frame, as a shot lasts.
  world().player.shooting = true;
  advance();
  world().player.shooting = false;
  return status_ == 0;
}

bool StepRunner::run_waypoint(const Step& s) {
  sim::PlayerState& p = world().player;
  p.waypoint = true;
  p.waypoint_x = s.at.x;
  p.waypoint_y = s.at.y;
  return true;
}

// What the game does to each live thing the step names.
bool StepRunner::each_live(const Step& s, void (*act)(sim::World& w, int32_t handle)) {
  const auto handles = live_of(s.name);
  if (handles.empty()) return fail(&s, "no live " + s.name + " in the world");
  for (int32_t h : handles) act(world(), h);
  return true;
}

bool StepRunner::run_remove(const Step& s) {
  return each_live(s, [](sim::World& w, int32_t h) { w.remove_entity(h); });
}

bool StepRunner::run_dies(const Step& s) {
  return each_live(s, [](sim::World& w, int32_t h) { w.peds.kill(w, h); });
}

bool StepRunner::run_flees(const Step& s) {
  return each_live(s, [](sim::World& w, int32_t h) { w.peds.scare(w, h); });
}

bool StepRunner::run_film_ends(const Step& s) {
  sim::World& w = world();
  if (!w.tv.end_film(w)) {
    return fail(&s, "no film is playing: TV channel " + std::to_string(w.tv.channel));
  }
  return true;
}

bool StepRunner::run_fail_native(const Step& s) {
  world().fail_native(s.hash);
  return true;
}

bool StepRunner::run_answer(const Step& s) {
  sim::World& w = world();
  if (s.answer_default) {
    w.clear_answer(s.hash);
  } else {
    const sim::NativeRow* row = sim::native_row(s.hash).row;
    w.set_answer(s.hash, {{s.answer[0], s.answer[1], s.answer[2]},
                          s.answer_text,
                          row != nullptr && row->result == 's'});
  }
  return true;
}

bool StepRunner::run_fault(const Step& s) {
  sim::World& w = world();
  const int frames = s.frames >= 0 ? s.frames : frames_for(s.seconds, w.frame_time());
  w.faults.start(w, static_cast<sim::Fault>(s.fault), frames);
  return true;
}

bool StepRunner::run_lift_faults(const Step&) {
  world().faults.disable();
  world().faults.lift(world());
  return true;
}

bool StepRunner::run_expect(const Step& s) {
  const Verdict v = check(s.expectation, world(), deliverable_, baseline_);
  if (!v.holds) return fail(&s, s.source + ": the world held " + v.held);
  note_check(s, v);
  return true;
}

// Frames for the step's duration.
bool StepRunner::play_for(const Step& s) {
  sim::World& w = world();
  if (s.frames >= 0) {
    for (int n = 0; n < s.frames && status_ == 0; ++n) advance();
  } else {
    // The scenario's own clock: a jump of the game timer shortens no wait.
    const auto ms = static_cast<uint64_t>(std::llround(s.seconds * 1000.0));
    const uint64_t start = w.elapsed_ms();
    while (w.elapsed_ms() - start < ms && status_ == 0) advance();
  }
  return status_ == 0;
}

// A key goes down at once, between frames, as the host pumps the window's
// messages; a control is seen down from the next frame.
bool StepRunner::run_press(const Step& s) {
  sim::World& w = world();
  if (s.key >= 0) {
    VirtualKey key;
    find_key(std::to_string(s.key), key);
    keyboard_.press(host_, key, w.elapsed_ms());
    check_violations();
  } else {
    w.controls.press(w.hash_of(s.name.c_str()), static_cast<float>(s.value));
  }
  return status_ == 0;
}

bool StepRunner::run_release(const Step& s) {
  sim::World& w = world();
  if (s.key >= 0) {
    if (!keyboard_.release(host_, static_cast<uint8_t>(s.key))) {
      return fail(&s, s.name + " is not held down");
    }
    check_violations();
    return status_ == 0;
  }
  const uint32_t control = w.hash_of(s.name.c_str());
  if (!w.controls.held(control)) return fail(&s, s.name + " is not held down");
  w.controls.release(control);
  return true;
}

// A live run goes on past a failed step or a violation, each told to the
// source, so that its player can see what happened and carry on.
void StepRunner::play_given(StepSource& more) {
  for (;;) {
    Step step;
    std::string reload;
    if (!more.next(step, reload)) return;
    if (!reload.empty()) {
      if (const auto it = modules_.find(reload); it != modules_.end()) {
        host_.unload_plugin(it->second);
        modules_.erase(it);
      }
      load(reload);
    }
    if (step.line > 0) play_one(step);
    if (status_ != 0) {
      more.failure(errors_told_);
      errors_told_.clear();
      status_ = 0;
    }
  }
}

// One step, after which the run goes on whatever became of it: false when it
// failed or the host saw a violation, told to `errors`.
bool StepRunner::play_one(const Step& s) {
  current_ = &s;
  note_step(s);
  perform(s);
  current_ = nullptr;
  const bool held = status_ == 0;
  status_ = 0;
  return held;
}

void StepRunner::note_step(const Step& s) {
  world().journal.write<sim::EntryKind::step>(
      {.line = s.line, .source = s.source, .expects = s.kind == Step::Kind::expect});
  for (Observer* o : observers_) o->step(s, world());
  tell();
}

void StepRunner::note_check(const Step& s, const Verdict& v) {
  world().journal.write<sim::EntryKind::expectation>({.line = s.line,
                                                      .source = s.source,
                                                      .waited = s.kind == Step::Kind::wait_until,
                                                      .what_held = v.held});
  tell();
}

// The set-up steps, then the plug-ins load: false when one cannot.
bool StepRunner::begin(const std::vector<std::string>& plugins, bool wall_clock) {
  host_.reset();
  sim::World& w = world();
  w.wall_clock = wall_clock;
  w.journal.recording_calls = std::any_of(observers_.begin(), observers_.end(),
                                          [](const Observer* o) { return o->needs_calls(); });
  w.journal.has_readers = true;
  for (const Nickname& n : deliverable_.entities) {
    w.journal.name_model(sim::joaat(n.model.c_str()), n.name);
  }
  const uint64_t first_entry = w.journal.end();
  running = this;
  sim::before_report(tell_before_report);
  baseline_.cash = w.money.cash;
  baseline_.player_peds.insert(w.player_ped());

  // The set-up runs before anyone watches, so the site can be where the
  // player starts when the deliverable names none.
  for (; next_ < scenario_.steps.size() && scenario_.steps[next_].is_set_up(); ++next_) {
    perform(scenario_.steps[next_]);
  }
  const Place* site = deliverable_.site_place();
  // The observers keep it for the whole run.
  PlayContext& context = context_.emplace(
      PlayContext{scenario_, deliverable_, baseline_,
                  site != nullptr ? site->at : w.player_position(), w.game_timer()});
  context.first_entry = first_entry;
  for (const Place* p : deliverable_.sites()) context.sites.push_back(p->at);
  for (const Place& p : deliverable_.places) w.environment.know_place(p.at);
  for (const std::string& plugin : plugins) {
    context.plugins.push_back(std::filesystem::path(plugin).stem().string());
  }
  w.tell_found();
  for (Observer* o : observers_) o->begin(context, w);
  for (size_t n = 0; n < next_; ++n) note_step(scenario_.steps[n]);

  return std::all_of(plugins.begin(), plugins.end(),
                     [&](const std::string& plugin) { return load(plugin); });
}

int StepRunner::run(const std::vector<std::string>& plugins, StepSource* more, bool wall_clock) {
  if (begin(plugins, wall_clock)) {
    for (; next_ < scenario_.steps.size() && status_ == 0; ++next_) {
      current_ = &scenario_.steps[next_];
      note_step(*current_);
      if (!perform(*current_)) break;
    }
    if (more != nullptr) {
      if (status_ != 0) more->failure(errors_told_);
      status_ = 0;
      play_given(*more);
    }
  }
  return end();
}

// Every run ends as the game's exit does: each plug-in unloads.
int StepRunner::end() {
  sim::World& w = world();
  current_ = nullptr;
  host_.unload_plugins();
  check_violations();
  tell();
  for (Observer* o : observers_) o->end(w);
  sim::before_report(nullptr);
  running = nullptr;
  host_.reset();
  return status_;
}

int run_steps(sim::Host& host, const Scenario& scenario, const std::vector<std::string>& plugins,
              const std::vector<Observer*>& observers, std::ostream& errors, StepSource* more,
              bool wall_clock) {
  return StepRunner(host, scenario, observers, errors).run(plugins, more, wall_clock);
}

StepSession::StepSession(sim::Host& host, const Scenario& scenario,
                         const std::vector<Observer*>& observers, std::ostream& errors)
    : runner_(std::make_unique<StepRunner>(host, scenario, observers, errors)) {}
StepSession::~StepSession() = default;
bool StepSession::begin(const std::vector<std::string>& plugins) {
  return runner_->begin(plugins, false);
}
bool StepSession::load(const std::string& plugin) { return runner_->load(plugin); }
bool StepSession::play(const Step& s) { return runner_->play_one(s); }
int StepSession::end() { return runner_->end(); }
sim::World& StepSession::world() { return runner_->world(); }
const Baseline& StepSession::baseline() const { return runner_->baseline(); }

}  // namespace play
