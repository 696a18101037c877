#include "trace.h"

#include <algorithm>

#include "describe.h"
#include "native_names.h"
#include "summary.h"
#include "waits.h"

namespace play {

namespace {

constexpr int script_track = 1;  // the first script's, and the host's events
constexpr int steps_track = 2;
constexpr int world_track = 3;
constexpr int more_scripts_track = 4;  // the second script's, and so on

}  // namespace

void Trace::open_event(char phase, int track, const char* category, std::string_view name,
                       int64_t ts) {
  out_.raw(first_ ? "\n" : ",\n");
  first_ = false;
  out_.raw(R"({"ph":")").raw(std::string_view(&phase, 1)).raw(R"(","pid":1,"tid":)");
  out_.number(static_cast<int64_t>(track)).raw(R"(,"cat":")").raw(category).raw(R"(","name":)");
  out_.text(name).raw(R"(,"ts":)").number(ts);
}

void Trace::slice(int track, const char* category, std::string_view name, int64_t from,
                  int64_t to) {
  open_event('X', track, category, name, from);
  out_.raw(R"(,"dur":)").number(to - from);
}

void Trace::instant(int track, const char* category, std::string_view name, int64_t ts) {
  open_event('i', track, category, name, ts);
  out_.raw(R"(,"s":"t")");
}

void Trace::begin(const PlayContext& context, sim::World& world) {
  context_ = &context;
  start_ms_ = world.elapsed_ms();
  next_ = context.first_entry;
  out_.raw(R"({"displayTimeUnit":"ms","traceEvents":[)");
  const std::string process =
      context.deliverable.name.empty() ? "plug-in" : context.deliverable.name;
  open_event('M', 0, "meta", "process_name", 0);
  out_.raw(R"(,"args":{"name":)").text(process).raw("}}");
  const std::pair<int, const char*> tracks[] = {
      {script_track, "script"}, {steps_track, "scenario steps"}, {world_track, "world events"}};
  for (const auto& [track, name] : tracks) {
    open_event('M', track, "meta", "thread_name", 0);
    out_.raw(R"(,"args":{"name":)").text(name).raw("}}");
    open_event('M', track, "meta", "thread_sort_index", 0);
    out_.raw(R"(,"args":{"sort_index":)").number(static_cast<int64_t>(track)).raw("}}");
  }
}

// A step lasts until the next begins.
void Trace::step_over(int64_t ts) {
  if (!in_step_) return;
  in_step_ = false;
  slice(steps_track, "step", step_name_, step_from_, ts);
  out_.raw(R"(,"args":{"line":)").number(static_cast<int64_t>(step_line_)).raw("}}");
}

void Trace::call(const sim::CallRecord& r, int track, int64_t ts) {
  open_event('X', track, "native", r.name(), ts);
  out_.raw(R"(,"dur":1,"args":{"hash":")").raw(sim::hex_text(r.hash)).raw(R"(","arguments":[)");
  for (size_t n = 0; n < r.args.size(); ++n) {
    if (n > 0) out_.raw(",");
    const sim::CallArg& a = r.args[n];
    const std::string shown = argument_shown(r, n);
    if (a.kind == 'f') {
      out_.number(sim::CallRecord::as_float(a.raw));
    } else if ((a.kind == 's' || a.kind == 'z') && a.raw != 0) {
      out_.text(a.text);
    } else if ((a.kind == 's' || a.kind == 'z')) {
      out_.raw("null");
    } else if (shown.rfind("0x", 0) == 0 || shown.rfind('&', 0) == 0) {
      out_.text(shown);
    } else {
      out_.raw(shown);
    }
  }
  out_.raw("]");
  switch (r.result_kind()) {
    case 'v':
      break;
    case 'f':
      out_.raw(R"(,"result":)").number(sim::CallRecord::as_float(r.result[0]));
      break;
    case 'V':
      out_.raw(R"(,"result":[)").number(sim::CallRecord::as_float(r.result[0])).raw(",");
      out_.number(sim::CallRecord::as_float(r.result[1])).raw(",");
      out_.number(sim::CallRecord::as_float(r.result[2])).raw("]");
      break;
    case 's':
      out_.raw(R"(,"result":)");
      if (r.result[0] == 0) {
        out_.raw("null");
      } else {
        out_.text(r.result_text);
      }
      break;
    default: {
      const std::string shown = result_shown(r);
      out_.raw(R"(,"result":)");
      if (shown.rfind("0x", 0) == 0) {
        out_.text(shown);
      } else {
        out_.raw(shown);
      }
    }
  }
  out_.raw("}}");
}

// The first script keeps the one script track; once a second one runs, each
// script's track is named by the script, the first's renamed.
Trace::Lane& Trace::lane(uint64_t script) {
  auto [it, added] = lanes_.try_emplace(script);
  if (!added) return it->second;
  const auto others = static_cast<int>(lanes_.size()) - 1;
  it->second.track = others == 0 ? script_track : more_scripts_track + others - 1;
  if (others == 1) name_track(lanes_.begin()->second.track, lanes_.begin()->first);
  if (others >= 1) name_track(it->second.track, script);
  return it->second;
}

void Trace::name_track(int track, uint64_t script) {
  const auto named = script_names_.find(script);
  open_event('M', track, "meta", "thread_name", 0);
  out_.raw(R"(,"args":{"name":)").text(named != script_names_.end() ? named->second : "script");
  out_.raw("}}");
  open_event('M', track, "meta", "thread_sort_index", 0);
  out_.raw(R"(,"args":{"sort_index":)").number(static_cast<int64_t>(track)).raw("}}");
}

void Trace::resume(Lane& lane, int64_t ts) {
  if (lane.waiting && lane.resumed_at < 0) lane.resumed_at = ts;
}

void Trace::wait_over(Lane& lane) {
  if (!lane.waiting) return;
  lane.waiting = false;
  slice(lane.track, "wait", lane.wait_what, lane.wait_from, lane.resumed_at);
  out_.raw("}");
}

void Trace::wait_seen(const sim::Entry& wait, sim::World& world, int64_t ts) {
  Lane& lane = this->lane(wait.at.script);
  const WaitKind kind = classify_wait(wait.wait, world);
  if (lane.waiting && kind.inside_pass && wait.wait.ms == 0 &&
      "wait for " + kind.what == lane.wait_what) {
    lane.resumed_at = -1;
    return;
  }
  resume(lane, ts);
  wait_over(lane);
  if (!lane.in_pass) {
    lane.in_pass = true;
    lane.pass_from = ts;
    lane.pass_frame = wait.at.frame;
  }
  if (kind.inside_pass) {
    lane.waiting = true;
    lane.wait_what = wait.wait.ms > 0 ? "pause of " + std::to_string(wait.wait.ms) + " ms"
                                      : "wait for " + kind.what;
    lane.wait_from = ts;
    lane.resumed_at = -1;
    return;
  }
  pass_over(lane, ts);
}

void Trace::pass_over(Lane& lane, int64_t ts) {
  slice(lane.track, "pass", "pass", lane.pass_from, ts + 1);
  out_.raw(R"(,"args":{"frame":)").number(lane.pass_frame).raw("}}");
  lane.in_pass = false;
}

// A script that ends (returned, unregistered) ends its wait and its pass.
void Trace::script_ended(uint64_t script, int64_t ts) {
  const auto it = lanes_.find(script);
  if (it == lanes_.end()) return;
  Lane& lane = it->second;
  resume(lane, ts);
  wait_over(lane);
  if (lane.in_pass) pass_over(lane, ts);
}

// A frame folds when the world changed nothing in it and every script in it
// made one whole pass: nothing began before it or goes on after it.
bool Trace::quiet(sim::World& world, uint64_t from, uint64_t to) const {
  if (every_call_) return false;
  for (const auto& [script, lane] : lanes_) {
    if (lane.in_pass || lane.waiting) return false;
  }
  const sim::Journal& j = world.journal;
  bool open = false;  // a script's pass that its wait has not ended yet
  for (uint64_t n = from; n < to; ++n) {
    const sim::Entry& e = j[n];
    switch (e.kind) {
      case sim::EntryKind::frame:
        break;
      case sim::EntryKind::resumed:
      case sim::EntryKind::call:
        open = true;
        break;
      case sim::EntryKind::wait:
        if (classify_wait(e.wait, world).inside_pass) return false;
        open = false;
        break;
      default:
        return false;
    }
  }
  return !open;
}

void Trace::flush_quiet(int64_t to) {
  if (quiet_frames_ == 0) return;
  slice(script_track, "quiet", "quiet frames", quiet_from_, to);
  out_.raw(R"(,"args":{"frames":)").number(quiet_frames_).raw(R"(,"calls":)");
  out_.number(quiet_calls_).raw("}}");
  quiet_frames_ = 0;
  quiet_calls_ = 0;
}

void Trace::read(sim::World& world) {
  const sim::Journal& j = world.journal;
  while (next_ < j.end()) {
    const sim::Entry& e = j[next_];
    if (e.kind == sim::EntryKind::frame) {
      // A frame's entries are all there once it has been played.
      uint64_t over = next_ + 1;
      while (over < j.end() && j[over].kind != sim::EntryKind::frame) ++over;
      frame_base_ = at(e.at);
      frame_calls_ = 0;
      if (quiet(world, next_, over)) {
        if (quiet_frames_ == 0) quiet_from_ = frame_base_;
        ++quiet_frames_;
        for (uint64_t n = next_; n < over; ++n) {
          if (j[n].kind == sim::EntryKind::call) ++quiet_calls_;
        }
        quiet_to_ = frame_base_ + static_cast<int64_t>(world.frame_time() * 1e6f);
        next_ = over;
        continue;
      }
      flush_quiet(frame_base_);
      in_frame_ = true;
    }
    told(world, e);
    ++next_;
  }
}

// Within a frame, entries share its game time, spread a microsecond a call
// apart to keep their order; between frames, a step's time is its own.
int64_t Trace::ts_of(const sim::Entry& e) const {
  if (in_frame_ && e.at.frame == frame_at_frame_) return frame_base_ + frame_calls_;
  return at(e.at);
}

void Trace::told(sim::World& world, const sim::Entry& e) {
  using Kind = sim::EntryKind;
  if (e.kind == Kind::frame) frame_at_frame_ = e.at.frame;
  if (e.at.frame != frame_at_frame_) in_frame_ = false;
  const int64_t ts = ts_of(e);
  switch (e.kind) {
    case Kind::frame:
      break;
    case Kind::resumed:
      resume(lane(e.at.script), ts);
      break;
    case Kind::call: {
      Lane& lane = this->lane(e.at.script);
      resume(lane, ts);
      if (!lane.in_pass) {
        lane.in_pass = true;
        lane.pass_from = ts;
        lane.pass_frame = e.at.frame;
      }
      call(world.journal.call(e), lane.track, ts);
      ++frame_calls_;
      break;
    }
    case Kind::wait:
      wait_seen(e, world, ts);
      break;
    case Kind::started:
      script_names_[e.started.script.number] = e.started.script.text();
      host_instant(e, ts);
      break;
    case Kind::ended:
      script_ended(e.ended.script.number, ts);
      host_instant(e, ts);
      break;
    case Kind::step:
      step_over(ts);
      in_step_ = true;
      step_name_ = std::string(e.step.source);
      step_line_ = e.step.line;
      step_from_ = ts;
      break;
    case Kind::expectation:
      instant(steps_track, "step",
              "ok " + std::to_string(e.expectation.line) + ": " + std::string(e.expectation.source),
              ts);
      out_.raw(R"(,"args":{"held":)").text(e.expectation.what_held).raw("}}");
      break;
    case Kind::failed:
      instant(steps_track, "step", failed_text(e.failed), ts);
      out_.raw("}");
      break;
    default: {
      if (!host_text(e).empty()) {
        host_instant(e, ts);
        break;
      }
      std::string text = change_text(world, context_->deliverable, e);
      if (text.empty()) break;
      if (context_->plugins.size() >= 2) {
        if (const std::string plugin = plugin_of(world, e); !plugin.empty()) {
          text = "[" + plugin + "] " + text;
        }
      }
      instant(world_track, "world", text, ts);
      out_.raw("}");
    }
  }
}

void Trace::host_instant(const sim::Entry& e, int64_t ts) {
  instant(script_track, is_global(e) ? "global" : "host", host_text(e), ts);
  out_.raw("}");
}

void Trace::end(sim::World& world) {
  read(world);
  const int64_t ts = at(world.journal.clock);
  flush_quiet(std::max(ts, quiet_to_));
  for (auto& [script, lane] : lanes_) {
    resume(lane, ts);
    wait_over(lane);
    if (lane.in_pass) {
      slice(lane.track, "pass", "pass (unfinished)", lane.pass_from, ts + 1);
      out_.raw("}");
    }
  }
  step_over(ts);
  const Summary s = summarize(world);
  instant(world_track, "summary", "summary", ts);
  out_.raw(R"(,"args":{"plug-ins":[)");
  for (size_t n = 0; n < s.plugins.size(); ++n) {
    const PluginSummary& p = s.plugins[n];
    out_.raw(n == 0 ? "{" : ",{").raw(R"("name":)").text(p.name).raw(R"(,"scripts":)");
    out_.number(static_cast<uint64_t>(p.scripts)).raw(R"(,"calls":)").number(p.calls);
    out_.raw(R"(,"made":)").text(sim::holdings_text(p.made)).raw(R"(,"still holds":)");
    out_.text(sim::holdings_text(p.held)).raw(R"(,"double deletes":)");
    out_.number(p.double_deletes).raw("}");
  }
  out_.raw(R"(],"frames":)").number(s.frames).raw(R"(,"native calls":)").number(s.calls);
  out_.raw(R"(,"distinct natives":)").number(static_cast<uint64_t>(s.distinct));
  out_.raw(R"(,"not simulated":{)");
  for (size_t n = 0; n < s.unsimulated.size(); ++n) {
    if (n > 0) out_.raw(",");
    out_.text(s.unsimulated[n].name + " (" + sim::hex_text(s.unsimulated[n].hash) + ")");
    out_.raw(":").number(s.unsimulated[n].calls);
  }
  out_.raw(R"(},"violations":[)");
  for (size_t n = 0; n < s.violations.size(); ++n) {
    if (n > 0) out_.raw(",");
    out_.text(s.violations[n]);
  }
  out_.raw("]}}\n],");
  out_.raw(R"("otherData":{"scenario":)").text(context_->scenario.file);
  out_.raw(R"(,"clock":"game time since the scenario began"}})").raw("\n");
  out_.flush();
}

}  // namespace play
