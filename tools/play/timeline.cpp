#include "timeline.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>

#include "crash_report.h"
#include "describe.h"
#include "native_names.h"
#include "reference_natives.h"
#include "summary.h"
#include "waits.h"

namespace play {

namespace {

using Kind = sim::EntryKind;

std::string padded(const std::string& text, size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

}  // namespace

const char* line_kind_name(TimelineLine::Kind kind) {
  using L = TimelineLine::Kind;
  switch (kind) {
    case L::heading:
      return "heading";
    case L::told:
      return "told";
    case L::step:
      return "step";
    case L::quiet:
      return "quiet";
    case L::failed:
      return "failed";
    case L::crash:
      return "crash";
    case L::call:
      return "call";
    case L::end:
      return "end";
    case L::summary:
      break;
  }
  return "summary";
}

void Timeline::emit(TimelineLine::Kind kind, uint64_t frame, const std::string& text,
                    uint64_t frames) {
  out_ << text << '\n';
  if (keep_) keep_({kind, frame, text, frames});
}

// The time column is the run's own clock, which a jump of the game timer
// does not move.
std::string Timeline::prefix(const sim::JournalClock& at) const {
  const uint64_t since = at.elapsed_ms - start_elapsed_ms_;
  const float d = context_->distance_to_site(player_at_);
  return padded(fixed(static_cast<double>(since) / 1000.0, 3), 9) +
         padded(std::to_string(at.frame), 8) + padded(fixed(d, 2), 9) + "  ";
}

void Timeline::print(const sim::JournalClock& at, const std::string& text,
                     TimelineLine::Kind kind) {
  flush_repeats();
  flush_quiet();
  emit(kind, at.frame, prefix(at) + text);
  busy_ = true;
  if (text.rfind("| ", 0) != 0) ++printed_;  // calls not counted: --verbose folds alike
}

// A script that calls the same native again and again in one frame (a loop
// that tests what only a frame can change) is told in a few lines, not a
// million: the first calls of such a run, then how many more.
constexpr uint64_t repeats_shown = 2;

void Timeline::call(const sim::JournalClock& at, const std::string& text) {
  const bool same =
      text == last_call_ && at.frame == last_call_frame_ && printed_ == last_call_printed_;
  if (!same) {
    flush_repeats();
    repeats_ = 0;
  }
  if (++repeats_ > repeats_shown) {
    repeats_at_ = at;
    busy_ = true;
    return;
  }
  print(at, "| " + text, TimelineLine::Kind::call);
  last_call_ = text;
  last_call_frame_ = at.frame;
  last_call_printed_ = printed_;
}

// repeats_ counts the calls of the latest run of one call, those shown too.
void Timeline::flush_repeats() {
  if (repeats_ <= repeats_shown) return;
  const uint64_t more = repeats_ - repeats_shown;
  repeats_ = 0;
  emit(TimelineLine::Kind::call, repeats_at_.frame,
       prefix(repeats_at_) + "| ... the same call " + std::to_string(more) + " more time" +
           (more == 1 ? "" : "s"));
}

// "script 2 of session_timer" for a plug-in of several scripts, else "the
// script" (named by its plug-in's tag when there are several plug-ins).
std::string Timeline::script_name(const sim::World& world, const sim::Entry& e) const {
  const std::string file = world.owners.name_of(e.at.by);
  const auto started = scripts_of_.find(file);
  if (started == scripts_of_.end() || started->second < 2) return "the script";
  return "script " + std::to_string(e.at.script) + " of " + file.substr(0, file.find_last_of('.'));
}

// With several plug-ins in the game, what one of them did, or what befell
// one of its things, names it: "[cinema] + ped ...". The file's stem, so
// that a native run and one under wine tell the same.
std::string Timeline::tagged(sim::World& world, const sim::Entry& e,
                             const std::string& text) const {
  if (context_->plugins.size() < 2) return text;
  const std::string plugin = plugin_of(world, e);
  return plugin.empty() ? text : "[" + plugin + "] " + text;
}

void Timeline::flush_quiet() {
  if (quiet_frames_ == 0) return;
  std::string text = quiet_prefix_ + "... " + std::to_string(quiet_frames_) + " quiet frame" +
                     (quiet_frames_ == 1 ? "" : "s") + ", " +
                     seconds_text(quiet_until_ms_ - quiet_since_ms_);
  if (fixed(quiet_from_, 2) != fixed(quiet_to_, 2)) {
    text += ", distance " + fixed(quiet_from_, 2) + " to " + fixed(quiet_to_, 2);
  }
  emit(TimelineLine::Kind::quiet, quiet_frame_, text, quiet_frames_);
  quiet_frames_ = 0;
}

void Timeline::begin(const PlayContext& context, sim::World& world) {
  context_ = &context;
  next_ = context.first_entry;
  std::string heading = "# " + context.scenario.file;
  const auto sites = context.deliverable.sites();
  if (sites.size() > 1) {
    heading += ": " + context.deliverable.name + ", distances to the nearest of";
    for (const Place* site : sites) {
      heading += (site == sites.front() ? " " : ", ") + site->name + " (" + site->description +
                 ") at " + position_text(site->at);
    }
  } else if (const Place* site = context.deliverable.site_place()) {
    heading += ": " + context.deliverable.name + ", distances to " + site->name + " (" +
               site->description + ") at " + position_text(site->at);
  } else {
    heading += ": distances to the starting point";
  }
  const uint64_t frame = world.journal.clock.frame;
  emit(TimelineLine::Kind::heading, frame, heading);
  emit(TimelineLine::Kind::heading, frame, "     time   frame     dist  what");
  player_ = world.serial_of(sim::Thing::entity, world.player_ped());
  player_at_ = world.player_position();
  frame_at_ = world.journal.clock;
  start_elapsed_ms_ = previous_ms_ = world.elapsed_ms();
}

void Timeline::read(sim::World& world) {
  const sim::Journal& j = world.journal;
  for (; next_ < j.end(); ++next_) told(world, j[next_], next_);
}

// A frame in which nothing was told folds with the quiet frames around it.
void Timeline::frame_over(sim::World& world) {
  if (!busy_) {
    const float d = context_->distance_to_site(player_at_);
    if (quiet_frames_ == 0) {
      quiet_prefix_ = prefix(frame_at_);
      quiet_frame_ = frame_at_.frame;
      quiet_since_ms_ = previous_ms_;
      quiet_from_ = d;
    }
    ++quiet_frames_;
    quiet_until_ms_ = world.elapsed_ms();
    quiet_to_ = d;
  }
  busy_ = false;
  previous_ms_ = world.elapsed_ms();
}

void Timeline::told(sim::World& world, const sim::Entry& e, uint64_t n) {
  const sim::ThingRecord* thing = world.journal.thing(e.thing);
  const auto line = [&](const std::string& text) { print(e.at, tagged(world, e, text)); };
  switch (e.kind) {
    case Kind::frame:
      frame_at_ = e.at;
      player_at_ = e.frame.player;
      busy_ = false;
      break;
    case Kind::moved:
      if (thing != nullptr && thing->nickname == "player") player_at_ = e.moved.where;
      break;
    case Kind::started:
      ++scripts_of_[std::string(e.started.script.plugin)];
      print(e.at, host_text(e));  // the host's lines name the plug-in themselves
      break;
    case Kind::ended:
      // A script that ends still waiting has waited until now.
      close_wait(world, e.ended.script.number, e.at);
      print(e.at, host_text(e));
      break;
    case Kind::key:
      break;
    case Kind::resumed:
      resumed(world, e, n);
      break;
    case Kind::wait:
      wait(world, e);
      break;
    case Kind::call:
      if (verbose_) call(e.at, call_shown(world.journal.call(e)));
      break;
    case Kind::step:
      if (!e.step.expects) {
        print(e.at, "> " + std::to_string(e.step.line) + ": " + std::string(e.step.source),
              TimelineLine::Kind::step);
      }
      break;
    case Kind::expectation:
      if (e.expectation.waited) {
        print(e.at, "  it holds: " + std::string(e.expectation.what_held));
      } else {
        print(e.at, "ok " + std::to_string(e.expectation.line) + ": " +
                        std::string(e.expectation.source));
      }
      break;
    case Kind::failed:
      print(e.at, failed_text(e.failed), TimelineLine::Kind::failed);
      break;
    default:
      if (is_global(e)) {
        if (verbose_) print(e.at, "| " + host_text(e));
      } else if (const std::string host = host_text(e); !host.empty()) {
        print(e.at, host);
      } else if (const std::string text = change_text(world, context_->deliverable, e);
                 !text.empty()) {
        line(text);
      }
  }
}

// Consecutive waits on the same thing are one wait, which ends when the
// script goes on: at its next wait on something else, or at the pass's end.
// Each script's waits are its own: another's turn between them ends none.
void Timeline::wait(sim::World& world, const sim::Entry& e) {
  const sim::entry::Wait& asked = e.wait;
  if (verbose_) call(e.at, "scriptWait(" + std::to_string(asked.ms) + ")");
  const WaitKind kind = classify_wait(e.wait, world);
  if (!kind.inside_pass) return;
  if (asked.ms > 0) {
    auto& [ms, printed] = pauses_[{e.at.by, e.at.script}];
    if (ms == asked.ms && printed == printed_) return;
    print(e.at,
          tagged(world, e, script_name(world, e) + " pauses " + std::to_string(asked.ms) + " ms"));
    ms = asked.ms;
    printed = printed_;
    return;
  }
  if (waits_.count(e.at.script) != 0) return;  // still the same wait
  OpenWait& open = waits_[e.at.script];
  open.what = kind.what;
  open.hash = asked.last_hash;
  open.arg = asked.last_arg;
  open.since_ms = e.at.elapsed_ms;
  open.since_frame = e.at.frame;
  open.by = e.at.by;
}

// A script's turn begins: its open wait goes on if the turn only tests the
// same thing again and waits, else it is over now, before what the turn does.
void Timeline::resumed(sim::World& world, const sim::Entry& e, uint64_t n) {
  const auto open = waits_.find(e.at.script);
  if (open == waits_.end()) return;
  const sim::Journal& j = world.journal;
  for (uint64_t m = n + 1; m < j.end(); ++m) {
    const sim::Entry& next = j[m];
    if (next.at.script != e.at.script || next.kind != Kind::wait) continue;
    const WaitKind kind = classify_wait(next.wait, world);
    if (kind.inside_pass && next.wait.ms == 0 && kind.what == open->second.what) return;
    break;
  }
  close_wait(world, e.at.script, e.at);
}

void Timeline::close_wait(sim::World& world, uint64_t script, const sim::JournalClock& at) {
  const auto open = waits_.find(script);
  if (open == waits_.end()) return;
  const OpenWait& w = open->second;
  const uint64_t frames = at.frame - w.since_frame;
  const std::string length = seconds_text(at.elapsed_ms - w.since_ms) + " (" +
                             std::to_string(frames) + " frame" + (frames == 1 ? "" : "s") + ")";
  sim::Entry waited;
  waited.at = at;
  waited.at.by = w.by;
  print(at, tagged(world, waited,
                   wait_fulfilled(w.hash, w.arg, world)
                       ? "waited " + length + " for " + w.what
                       : "gave up after " + length + " waiting for " + w.what));
  waits_.erase(open);
}

// The run ends at the crash: its headline closes the timeline, at the frame
// it names.
void Timeline::cut_short(sim::World& world) {
  read(world);
  std::string headline = sim::crash_report_text();
  headline = headline.substr(0, headline.find('\n'));
  if (headline.rfind("play: ", 0) == 0) headline.erase(0, 6);
  if (!headline.empty()) {
    print(world.journal.clock, "CRASH " + headline, TimelineLine::Kind::crash);
  }
  flush_repeats();
  flush_quiet();
  out_.flush();
}

void Timeline::end(sim::World& world) {
  read(world);
  sim::JournalClock now = world.journal.clock;
  while (!waits_.empty()) close_wait(world, waits_.begin()->first, now);
  flush_repeats();
  flush_quiet();
  emit(TimelineLine::Kind::end, now.frame, prefix(now) + "end of " + context_->scenario.file);
  emit(TimelineLine::Kind::summary, now.frame, "summary:");
  for (const std::string& l : summary_lines(summarize(world), summarize_all_)) {
    emit(TimelineLine::Kind::summary, now.frame, "  " + l);
  }
}

}  // namespace play
