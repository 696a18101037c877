#include <cmath>
#include <filesystem>
#include <sstream>

#include "crash_report.h"
#include "describe.h"
#include "joaat.h"
#include "native_names.h"
#include "report_recorder.h"
#include "summary.h"

namespace play {

namespace {

constexpr float moved_enough = 0.25f;  // metres between path points and moves
constexpr float jump = 10.0f;          // metres in one frame that start a new leg
constexpr uint64_t clock_every = 600;  // frames between the clock's marks

const char* kind_name(const sim::ThingRecord& t) {
  if (t.thing == sim::Thing::blip) return "blip";
  switch (t.entity) {
    case sim::EntityKind::ped:
      return "ped";
    case sim::EntityKind::vehicle:
      return "vehicle";
    case sim::EntityKind::pickup:
      return "pickup";
    case sim::EntityKind::object:
      break;
  }
  return "prop";
}

// A colour the journal keeps as 0xRRGGBBAA.
void colour_from(int64_t rgba, int (&colour)[4]) {
  for (int k = 0; k < 4; ++k) colour[k] = static_cast<int>((rgba >> (24 - 8 * k)) & 0xff);
}

}  // namespace

ReportRecorder::ReportRecorder(ReportData& data, size_t calls_cap) : d_(data), cap_(calls_cap) {
  lines_.keep_lines([this](const TimelineLine& l) { line(l); });
}

int ReportRecorder::owner(sim::World& world, sim::PluginId who) const {
  if (who.none()) return -1;
  const std::string name = std::filesystem::path(world.owners.name_of(who)).stem().string();
  for (size_t n = 0; n < d_.plugins.size(); ++n) {
    if (d_.plugins[n] == name) return static_cast<int>(n);
  }
  return -1;
}

// The page's fixed scenery is the deliverable's own description (its
// places, rings and the theater's outline), not the run's; what the run
// holds as it begins, the journal tells (World::tell_found).
void ReportRecorder::begin(const PlayContext& context, sim::World& world) {
  context_ = &context;
  next_ = context.first_entry;
  d_.title = context.scenario.file;
  d_.plugins = context.plugins;
  const sim::JournalClock& now = world.journal.clock;
  d_.first_frame = now.frame;
  d_.last_frame = now.frame;
  start_ms_ = now.elapsed_ms;
  d_.clock.push_back({now.frame, 0});
  const Deliverable& deliverable = context.deliverable;
  for (const Place& p : deliverable.places) {
    d_.areas.push_back({p.name, p.at.x, p.at.y, 0.0f, 0.0f, 0.0f, "place"});
  }
  for (const sim::Vec& s : context.sites) {
    d_.areas.push_back({"site", s.x, s.y, 0.0f, 0.0f, 0.0f, "site"});
  }
  for (const Ring& r : deliverable.rings) {
    if (const Place* p = deliverable.place(r.around)) {
      d_.areas.push_back({r.meaning, p->at.x, p->at.y, r.radius, 0.0f, 0.0f, "ring"});
    }
  }
  for (const Nickname& n : deliverable.interiors) {
    for (const sim::InteriorState& i : world.interiors.all) {
      if (i.name_hash == sim::joaat(n.model.c_str())) {
        d_.areas.push_back({n.name, i.low.x, i.low.y, 0.0f, i.high.x, i.high.y, "outline"});
      }
    }
  }
  lined_ = now.frame;
  lines_.begin(context, world);
}

void ReportRecorder::path(uint64_t frame, const sim::Vec& at) {
  if (!std::isfinite(at.x) || !std::isfinite(at.y)) return;
  if (!d_.path.empty()) {
    const PathPoint& last = d_.path.back();
    const float moved = std::hypot(at.x - last.x, at.y - last.y);
    if (moved < moved_enough) return;
    // A teleport starts a new leg however near it puts him.
    d_.path.push_back({{d_.version}, frame, at.x, at.y, moved > jump || teleported_});
    teleported_ = false;
    return;
  }
  d_.path.push_back({{d_.version}, frame, at.x, at.y, true});
}

void ReportRecorder::close(Span& span, uint64_t frame) {
  span.to = std::max(span.from, frame);
  span.version = d_.version;
}

// A frame shows the world as the frame ends; what changes between two
// frames (a scenario's step) shows from the next one.
bool ReportRecorder::between(const sim::Entry& e) const {
  return has_ended_ && e.at.frame == ended_;
}

uint64_t ReportRecorder::shown_from(const sim::Entry& e) const {
  return between(e) ? e.at.frame + 1 : e.at.frame;
}

uint64_t ReportRecorder::shown_to(const sim::Entry& e) const {
  return between(e) || e.at.frame == 0 ? e.at.frame : e.at.frame - 1;
}

// A step of a frame each in a live run is not marked: one a frame.
void ReportRecorder::step(const Step& step, sim::World&) {
  if (step.kind == Step::Kind::teleport) teleported_ = true;
  live_frame_step_ = d_.live && (step.kind == Step::Kind::wait || step.kind == Step::Kind::walk) &&
                     step.frames == 1;
}

// What is read now is new to a live page that has had all before, also
// what changed between two frames.
void ReportRecorder::read(sim::World& world) {
  const sim::Journal& j = world.journal;
  if (next_ < j.end()) ++d_.version;
  lines_.read(world);
  for (; next_ < j.end(); ++next_) take(world, j[next_]);
}

void ReportRecorder::take(sim::World& world, const sim::Entry& e) {
  using K = sim::EntryKind;
  const uint64_t f = e.at.frame;
  switch (e.kind) {
    case K::frame:
      begin_frame(e);
      return;
    case K::call:
      if (frame_calls_.size() < 4096) frame_calls_.push_back(call_shown(world.journal.call(e)));
      return;
    case K::wait:
      if (frame_calls_.size() < 4096)
        frame_calls_.push_back("scriptWait(" + std::to_string(e.wait.ms) + ")");
      return;
    case K::made:
    case K::gone:
    case K::moved:
      value(world, e);
      if (!thing(world, e)) return;
      break;
    case K::settled:
      value(world, e);
      break;
    case K::offered:
    case K::withdrawn:
    case K::held:
      prompt(world, e);
      break;
    case K::drawn: {
      const sim::entry::TextShown& drawn = e.drawn;
      TextShown t;
      t.version = d_.version;
      t.from = shown_from(e);
      t.text = std::string(drawn.text);
      t.x = drawn.x;
      t.y = drawn.y;
      t.scale_y = drawn.height_scale;
      t.scale_x = drawn.width_scale;
      colour_from(drawn.colour, t.colour);
      t.centred = drawn.centred;
      t.shadow = drawn.shadow;
      t.owner = owner(world, e.at.by);
      open_texts_.push_back(d_.texts.size());
      d_.texts.push_back(std::move(t));
      break;
    }
    case K::undrawn:
      for (auto it = open_texts_.begin(); it != open_texts_.end(); ++it) {
        const TextShown& t = d_.texts[*it];
        if (t.text == e.undrawn.text && t.x == e.undrawn.x && t.y == e.undrawn.y) {
          close(d_.texts[*it], shown_to(e));
          open_texts_.erase(it);
          break;
        }
      }
      break;
    case K::box_drawn: {
      BoxShown b;
      b.version = d_.version;
      b.from = shown_from(e);
      box_from(world, e, e.box_drawn, b);
      open_boxes_.push_back(d_.boxes.size());
      d_.boxes.push_back(std::move(b));
      break;
    }
    case K::box_undrawn: {
      BoxShown gone;
      box_from(world, e, e.box_undrawn, gone);
      for (auto it = open_boxes_.begin(); it != open_boxes_.end(); ++it) {
        if (d_.boxes[*it].same_box(gone)) {
          close(d_.boxes[*it], shown_to(e));
          open_boxes_.erase(it);
          break;
        }
      }
      break;
    }
    case K::found_money:
      d_.notices.push_back({{d_.version}, shown_from(e), "money", "", 0, e.found_money.cash});
      break;
    case K::found_playlist:
      playlists_[e.found_playlist.channel] = std::string(e.found_playlist.playlist);
      break;
    case K::found_channel:
      channel_ = e.found_channel.channel;
      tv(shown_from(e));
      break;
    case K::found_player:
      path(shown_from(e), e.found_player.player);
      break;
    case K::said:
      d_.notices.push_back({{d_.version},
                            shown_from(e),
                            "said",
                            who(world, e.thing) + ": " + std::string(e.said.line) + " (" +
                                std::string(e.said.voice) + ")",
                            static_cast<int>(e.said.ms),
                            0});
      break;
    case K::money:
      d_.notices.push_back({{d_.version}, shown_from(e), "money", "", 0, e.money.to});
      break;
    case K::notification:
      d_.notices.push_back({{d_.version},
                            shown_from(e),
                            "note",
                            std::string(e.notification.text),
                            static_cast<int>(e.notification.ms),
                            0});
      break;
    case K::playlist:
      playlists_[e.playlist.channel] = std::string(e.playlist.playlist);
      tv(shown_from(e));
      break;
    case K::channel:
      channel_ = e.channel.channel;
      tv(shown_from(e));
      break;
    case K::step:
      if (!live_frame_step_) {
        d_.moments.push_back({{d_.version}, f, "step", std::string(e.step.source), e.step.line});
      }
      break;
    case K::expectation:
      d_.moments.push_back(
          {{d_.version}, f, "held", std::string(e.expectation.source), e.expectation.line});
      break;
    case K::failed:
      d_.moments.push_back({{d_.version}, f, "failed", std::string(e.failed.why), e.failed.line});
      if (d_.failure_frame == 0) {
        d_.failure_frame = f;
        d_.failure = std::string(e.failed.why);
      }
      break;
    case K::violation:
      d_.moments.push_back({{d_.version}, f, "violation", std::string(e.violation.what), 0});
      break;
    default:
      return;
  }
  busy_ = true;
}

void ReportRecorder::box_from(sim::World& world, const sim::Entry& e, const sim::entry::Box& box,
                              BoxShown& b) const {
  b.texture = std::string(box.texture);
  b.x = box.x;
  b.y = box.y;
  b.width = box.width;
  b.height = box.height;
  b.heading = box.heading;
  colour_from(box.colour, b.colour);
  b.owner = owner(world, e.at.by);
}

void ReportRecorder::begin_frame(const sim::Entry& e) {
  const uint64_t f = e.at.frame;
  const uint64_t ms = e.at.elapsed_ms - start_ms_;
  // A mark now and then, and where a frame's length changes: the page
  // reads the time of any frame between them.
  const uint64_t step = ms - last_ms_;
  if (f - d_.clock.back().first >= clock_every ||
      (last_step_ != 0 && (step > last_step_ + 2 || step + 2 < last_step_))) {
    d_.clock.push_back({f - 1, last_ms_});
  }
  last_step_ = step;
  last_ms_ = ms;
  d_.last_frame = f;
  d_.live_ms = ms;
  path(f, e.frame.player);
}

// Whether the page's map changed.
bool ReportRecorder::thing(sim::World& world, const sim::Entry& e) {
  const sim::ThingRecord* record = world.journal.thing(e.thing);
  if (record == nullptr) return false;
  const bool shown = record->thing == sim::Thing::entity || record->thing == sim::Thing::blip;
  if (!shown) return false;
  if (record->nickname == "player") {
    // The player put somewhere (seated, teleported): his path goes there,
    // as it goes where he walks, which marks no frame as busy.
    if (e.kind == sim::EntryKind::moved) path(shown_from(e), e.moved.where);
    return false;
  }
  const uint64_t f = shown_from(e);
  if (e.kind == sim::EntryKind::made) {
    Thing t;
    t.version = d_.version;
    t.from = f;
    t.kind = kind_name(*record);
    t.model = record->thing == sim::Thing::blip ? record->label : hash_name(world, record->model);
    t.nickname = record->nickname;
    t.owner = owner(world, record->owner);
    t.moves.push_back({f, e.made.where.x, e.made.where.y});
    open_things_[e.thing] = d_.things.size();
    things_by_serial_[e.thing] = d_.things.size();
    d_.things.push_back(std::move(t));
    return true;
  }
  const auto open = open_things_.find(e.thing);
  if (open == open_things_.end()) return false;
  Thing& t = d_.things[open->second];
  if (e.kind == sim::EntryKind::gone) {
    close(t, shown_to(e));
    open_things_.erase(open);
    return true;
  }
  const sim::Vec& to = e.moved.where;
  const Thing::Move& last = t.moves.back();
  if (std::hypot(to.x - last.x, to.y - last.y) < moved_enough) return false;
  // Where it ended the frame is where the frame shows it.
  if (last.frame == f) t.moves.pop_back();
  t.moves.push_back({f, to.x, to.y});
  t.version = d_.version;
  return true;
}

void ReportRecorder::prompt(sim::World& world, const sim::Entry& e) {
  if (e.kind == sim::EntryKind::offered) {
    const sim::entry::Offer& offer = e.offered;
    PromptShown p;
    p.version = d_.version;
    p.from = shown_from(e);
    p.label = std::string(offer.label);
    p.control = hash_name(world, offer.control);
    p.hold_ms = static_cast<int>(offer.hold_ms);
    p.has_reach = offer.reach > 0.0;
    p.x = offer.where.x;
    p.y = offer.where.y;
    p.radius = static_cast<float>(offer.reach);
    if (const sim::ThingRecord* record = world.journal.thing(e.thing)) {
      p.owner = owner(world, record->owner);
    }
    if (const auto entity = things_by_serial_.find(offer.group_entity);
        entity != things_by_serial_.end()) {
      p.follows = static_cast<int>(entity->second);
      p.near_radius = static_cast<float>(offer.within);
    }
    open_prompts_[e.thing] = d_.prompts.size();
    d_.prompts.push_back(std::move(p));
    return;
  }
  const auto open = open_prompts_.find(e.thing);
  if (open == open_prompts_.end()) return;
  PromptShown& p = d_.prompts[open->second];
  const bool held = !p.holds.empty() && p.holds.back().second == 0;
  const bool down = e.kind == sim::EntryKind::held && e.held.down;
  if (held && !down) {
    p.holds.back().second = std::max(p.holds.back().first, shown_to(e));
  }
  if (e.kind == sim::EntryKind::withdrawn) {
    close(p, shown_to(e));
    open_prompts_.erase(open);
    return;
  }
  if (!held && down) p.holds.push_back({shown_from(e), 0});
  p.version = d_.version;
}

// An effect's scale from when it starts, a ramp's from where it began, till
// the thing is gone.
void ReportRecorder::value(sim::World& world, const sim::Entry& e) {
  if (e.kind == sim::EntryKind::moved) return;
  const std::string name = value_name(world, context_->deliverable, e.thing);
  if (name.empty()) return;
  ValueShown v;
  v.version = d_.version;
  v.name = name;
  switch (e.kind) {
    case sim::EntryKind::made:
      // Only an effect's value is known as it is made.
      if (world.journal.thing(e.thing)->thing != sim::Thing::effect) return;
      v.frame = shown_from(e);
      v.from = v.to = e.made.scale;
      break;
    case sim::EntryKind::gone:
      v.frame = shown_from(e);
      v.gone = true;
      break;
    default:
      // Told as the frame after it settled ends.
      v.frame = e.at.frame - 1;
      v.ms = e.settled.ms;
      v.from = e.settled.from;
      v.to = e.settled.to;
  }
  d_.values.push_back(std::move(v));
}

void ReportRecorder::tv(uint64_t frame) {
  std::string text = "off";
  if (channel_ >= 0) {
    text = "channel " + std::to_string(channel_);
    if (const auto p = playlists_.find(channel_); p != playlists_.end()) text += ": " + p->second;
  }
  if (text == tv_) return;
  tv_ = text;
  d_.notices.push_back({{d_.version}, frame, "tv", text, 0, channel_});
}

// The frame's calls, kept when the frame changed something a reader sees.
void ReportRecorder::frame_over(sim::World& world) {
  read(world);
  lines_.frame_over(world);
  ended_ = world.journal.clock.frame;
  has_ended_ = true;
  keep_calls(ended_);
  busy_ = false;
}

// A frame that changed nothing a reader sees may still get a line later:
// a step or a failure told between frames, or the line of the quiet frames
// it begins. Its calls wait for that line.
void ReportRecorder::keep_calls(uint64_t frame) {
  std::vector<std::string> calls = std::exchange(frame_calls_, {});
  if (calls.empty()) return;
  if (d_.live) {
    // A live page picks among the latest frames only.
    d_.calls[frame] = std::move(calls);
    while (d_.calls.size() > 120) d_.calls.erase(d_.calls.begin());
    return;
  }
  ++frames_with_calls_;
  if (lined_ + 1 == frame) {
    pending_.clear();
    quiet_from_ = frame;
  } else {
    std::erase_if(pending_, [&](const auto& p) { return p.first != quiet_from_; });
  }
  if (busy_ || lined_ == frame) {
    keep(frame, std::move(calls), false);
    return;
  }
  pending_[frame] = std::move(calls);
}

void ReportRecorder::keep(uint64_t frame, std::vector<std::string>&& calls, bool above_cap) {
  if (!above_cap && kept_ + calls.size() > cap_) {
    ++over_cap_;
    return;
  }
  kept_ += calls.size();
  d_.calls[frame] = std::move(calls);
}

// A live page is spared a frame's step (a wait or walk of one frame) and
// the one quiet frame between two of them.
void ReportRecorder::line(const TimelineLine& l) {
  using L = TimelineLine::Kind;
  if (l.kind == L::summary) return;
  if (d_.live &&
      ((l.kind == L::step && live_frame_step_) || (l.kind == L::quiet && l.frames == 1))) {
    return;
  }
  d_.lines.push_back({{d_.version}, l.frame, l.text, line_kind_name(l.kind)});
  lined_ = std::max(lined_, l.frame);
  if (const auto p = pending_.find(l.frame); p != pending_.end()) {
    // The failing frame's calls are kept whatever the cap.
    keep(p->first, std::move(p->second), l.kind == L::failed || l.kind == L::crash);
    pending_.erase(p);
  }
}

// A crash ends the run inside its frame: the page opens there, with the
// report, and that frame's calls so far.
void ReportRecorder::cut_short(sim::World& world) {
  const uint64_t frame = world.journal.clock.frame;
  busy_ = true;
  ++d_.version;
  read(world);
  lines_.cut_short(world);
  keep_calls(frame);
  const std::string report = sim::crash_report_text();
  if (!report.empty()) {
    std::string headline = report.substr(0, report.find('\n'));
    if (headline.rfind("play: ", 0) == 0) headline.erase(0, 6);
    d_.moments.push_back({{d_.version}, frame, "failed", headline, 0});
    d_.failure_frame = frame;
    d_.failure = report.rfind("play: ", 0) == 0 ? report.substr(6) : report;
  }
  d_.status = 1;
  finish(world);
}

void ReportRecorder::end(sim::World& world) {
  ++d_.version;
  read(world);
  lines_.end(world);
  finish(world);
}

void ReportRecorder::finish(sim::World& world) {
  const sim::JournalClock& now = world.journal.clock;
  d_.last_frame = now.frame;
  d_.clock.push_back({now.frame, now.elapsed_ms - start_ms_});
  d_.summary = summary_lines(summarize(world), false);
  std::ostringstream note;
  const uint64_t quiet_frames = frames_with_calls_ - d_.calls.size() - over_cap_;
  if (quiet_frames != 0) {
    note << "calls are kept for the frames in which something changed or that the timeline tells "
            "of; the "
         << quiet_frames << " frames in which nothing did have none kept";
  }
  if (over_cap_ != 0) {
    note << (quiet_frames != 0 ? ". " : "") << "calls of " << over_cap_
         << " frames were not kept, past the first " << cap_ << " calls";
  }
  d_.calls_note = note.str();
}

}  // namespace play
