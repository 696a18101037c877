#include <cmath>
#include <filesystem>
#include <sstream>

#include "expectations.h"
#include "joaat.h"
#include "native_names.h"
#include "report_recorder.h"
#include "summary.h"

namespace play {

namespace {

constexpr float moved_enough = 0.25f;  // metres between path points and moves
constexpr float jump = 10.0f;          // metres in one frame that start a new leg

const char* kind_name(sim::EntityKind kind) {
  switch (kind) {
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

bool same_text(const TextShown& t, const sim::DrawnText& d) {
  return t.text == d.text && t.x == d.x && t.y == d.y && t.scale_x == d.style.scale_x &&
         t.scale_y == d.style.scale_y && t.centred == d.style.centred &&
         t.shadow == d.style.shadow && t.colour[0] == d.style.colour[0] &&
         t.colour[1] == d.style.colour[1] && t.colour[2] == d.style.colour[2] &&
         t.colour[3] == d.style.colour[3];
}

}  // namespace

ReportRecorder::ReportRecorder(ReportData& data, size_t calls_cap) : d_(data), cap_(calls_cap) {}

int ReportRecorder::owner(sim::World& world, const void* who) const {
  if (who == nullptr) return -1;
  const std::string name = std::filesystem::path(world.owners.name_of(who)).stem().string();
  for (size_t n = 0; n < d_.plugins.size(); ++n) {
    if (d_.plugins[n] == name) return static_cast<int>(n);
  }
  return -1;
}

void ReportRecorder::begin(const PlayContext& context, sim::World& world) {
  context_ = &context;
  d_.title = context.scenario.file;
  d_.plugins = context.plugins;
  d_.first_frame = world.frame();
  d_.last_frame = world.frame();
  start_ms_ = world.elapsed_ms();
  cash_ = world.money.cash;
  d_.clock.push_back({world.frame(), 0});
  frame_time_ = world.frame_time();
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
  d_.notices.push_back({{d_.version}, world.frame(), "money", "", 0, cash_});
  sample_path(world);
}

void ReportRecorder::step(const Step& step, sim::World& world) {
  // A live run's steps of a frame each are not marked: one a frame.
  const bool one_frame =
      (step.kind == Step::Kind::wait || step.kind == Step::Kind::walk) && step.frames == 1;
  if (d_.live && one_frame) return;
  d_.moments.push_back({{d_.version}, world.frame(), "step", step.source, step.line});
  busy_ = true;
}

void ReportRecorder::checked(const Step& step, const Verdict&, sim::World& world) {
  d_.moments.push_back({{d_.version}, world.frame(), "held", step.source, step.line});
}

void ReportRecorder::failed(const Step* step, const std::string& message, sim::World& world) {
  d_.moments.push_back(
      {{d_.version}, world.frame(), "failed", message, step != nullptr ? step->line : 0});
  if (d_.failure_frame == 0) {
    d_.failure_frame = world.frame();
    d_.failure = message;
  }
}

void ReportRecorder::sample_path(sim::World& world) {
  const sim::Vec at = world.player_position();
  if (!std::isfinite(at.x) || !std::isfinite(at.y)) return;
  if (!d_.path.empty()) {
    const PathPoint& last = d_.path.back();
    const float moved = std::hypot(at.x - last.x, at.y - last.y);
    if (moved < moved_enough) return;
    d_.path.push_back({{d_.version}, world.frame(), at.x, at.y, moved > jump});
    return;
  }
  d_.path.push_back({{d_.version}, world.frame(), at.x, at.y, true});
}

void ReportRecorder::close(Span& span, uint64_t frame) {
  span.to = frame;
  span.version = d_.version;
}

void ReportRecorder::things(sim::World& world) {
  const uint64_t f = world.frame();
  for (auto& [handle, open] : open_things_) {
    const sim::EntityState* e = world.live_entity(handle);
    Thing& t = d_.things[open.index];
    if (e == nullptr || e->made.order != open.made) {
      close(t, f - 1);
      open.index = SIZE_MAX;
      continue;
    }
    const Thing::Move& last = t.moves.back();
    if (std::hypot(e->position.x - last.x, e->position.y - last.y) >= moved_enough) {
      t.moves.push_back({f, e->position.x, e->position.y});
      t.version = d_.version;
    }
  }
  std::erase_if(open_things_, [](const auto& o) { return o.second.index == SIZE_MAX; });
  for (const auto& [handle, e] : world.entities()) {
    if (!e.exists || handle == world.player_ped() || open_things_.count(handle) != 0) continue;
    if (context_->baseline.player_peds.count(handle) != 0) continue;
    Thing t;
    t.version = d_.version;
    t.from = f;
    t.kind = kind_name(e.kind);
    t.model = hash_name(world, e.model);
    t.nickname = context_->deliverable.nickname_of_model(t.model);
    t.owner = owner(world, e.made.by);
    t.moves.push_back({f, e.position.x, e.position.y});
    open_things_[handle] = {d_.things.size(), e.made.order};
    d_.things.push_back(std::move(t));
    busy_ = true;
  }
  for (auto& [handle, index] : open_blips_) {
    const sim::BlipState* b = world.blips.find(handle);
    if (b == nullptr) {
      close(d_.things[index], f - 1);
      index = SIZE_MAX;
    }
  }
  std::erase_if(open_blips_, [](const auto& o) { return o.second == SIZE_MAX; });
  for (const auto& [handle, b] : world.blips.all) {
    if (!b.exists || open_blips_.count(handle) != 0) continue;
    Thing t;
    t.version = d_.version;
    t.from = f;
    t.kind = "blip";
    t.model = b.name;
    t.owner = owner(world, b.made.by);
    t.moves.push_back({f, b.position.x, b.position.y});
    open_blips_[handle] = d_.things.size();
    d_.things.push_back(std::move(t));
    busy_ = true;
  }
}

void ReportRecorder::prompts(sim::World& world) {
  const uint64_t f = world.frame();
  for (const auto& [handle, p] : world.prompts()) {
    const bool offered = world.prompt_offered(p);
    auto open = open_prompts_.find(handle);
    if (open != open_prompts_.end()) {
      PromptShown& shown = d_.prompts[open->second];
      if (!offered || shown.label != p.label) {
        if (!shown.holds.empty() && shown.holds.back().second == 0) shown.holds.back().second = f;
        close(shown, f - 1);
        open_prompts_.erase(open);
        busy_ = true;
      } else {
        const bool held = !shown.holds.empty() && shown.holds.back().second == 0;
        if (p.holding && !held) shown.holds.push_back({f, 0});
        if (!p.holding && held) shown.holds.back().second = f - 1;
        if (p.holding != held) shown.version = d_.version;
        continue;
      }
    }
    if (!offered) continue;
    PromptShown shown;
    shown.version = d_.version;
    shown.from = f;
    shown.label = p.label;
    shown.control = hash_name(world, p.control);
    shown.owner = owner(world, world.owners.owner(sim::Thing::prompt, handle));
    shown.hold_ms = p.mode == sim::PromptMode::hold ? p.mode_value : 0;
    shown.has_reach = p.has_point;
    shown.x = p.point.x;
    shown.y = p.point.y;
    shown.radius = p.radius;
    if (p.holding) shown.holds.push_back({f, 0});
    open_prompts_[handle] = d_.prompts.size();
    d_.prompts.push_back(std::move(shown));
    busy_ = true;
  }
  // Deleted ones are gone from the world's books.
  for (auto it = open_prompts_.begin(); it != open_prompts_.end();) {
    if (world.prompts().count(it->first) == 0) {
      close(d_.prompts[it->second], f - 1);
      it = open_prompts_.erase(it);
    } else {
      ++it;
    }
  }
}

void ReportRecorder::texts(sim::World& world) {
  const uint64_t f = world.frame();
  std::vector<size_t> still;
  std::vector<bool> taken(world.text.drawn.size());
  for (size_t index : open_texts_) {
    bool drawn = false;
    for (size_t n = 0; n < world.text.drawn.size() && !drawn; ++n) {
      if (!taken[n] && same_text(d_.texts[index], world.text.drawn[n])) taken[n] = drawn = true;
    }
    if (drawn) {
      still.push_back(index);
    } else {
      close(d_.texts[index], f - 1);
      busy_ = true;
    }
  }
  for (size_t n = 0; n < world.text.drawn.size(); ++n) {
    if (taken[n]) continue;
    const sim::DrawnText& drawn = world.text.drawn[n];
    TextShown t;
    t.version = d_.version;
    t.from = f;
    t.text = drawn.text;
    t.x = drawn.x;
    t.y = drawn.y;
    t.scale_x = drawn.style.scale_x;
    t.scale_y = drawn.style.scale_y;
    for (int k = 0; k < 4; ++k) t.colour[k] = drawn.style.colour[k];
    t.centred = drawn.style.centred;
    t.shadow = drawn.style.shadow;
    still.push_back(d_.texts.size());
    d_.texts.push_back(std::move(t));
    busy_ = true;
  }
  open_texts_ = std::move(still);
}

void ReportRecorder::notices(sim::World& world) {
  const uint64_t f = world.frame();
  for (; feed_ < world.money.feed.size(); ++feed_) {
    const sim::FeedPost& post = world.money.feed[feed_];
    d_.notices.push_back({{d_.version}, f, "note", post.text, post.duration_ms, 0});
    busy_ = true;
  }
  for (; spoken_ < world.speech.spoken.size(); ++spoken_) {
    const sim::SpokenLine& line = world.speech.spoken[spoken_];
    const std::string who = play::who(world, world.serial_of(sim::Thing::entity, line.ped));
    d_.notices.push_back({{d_.version},
                          f,
                          "said",
                          who + ": " + line.line + " (" + line.voice + ")",
                          static_cast<int>(world.speech.line_ms),
                          0});
    busy_ = true;
  }
  if (world.money.cash != cash_) {
    cash_ = world.money.cash;
    d_.notices.push_back({{d_.version}, f, "money", "", 0, cash_});
    busy_ = true;
  }
  std::string tv = "off";
  if (world.tv.channel >= 0) {
    tv = "channel " + std::to_string(world.tv.channel);
    if (auto p = world.tv.playlists.find(world.tv.channel); p != world.tv.playlists.end()) {
      tv += ": " + p->second.name;
    }
  }
  if (tv != tv_) {
    tv_ = tv;
    d_.notices.push_back({{d_.version}, f, "tv", tv, 0, world.tv.channel});
    busy_ = true;
  }
  for (; violations_ < world.violations().size(); ++violations_) {
    d_.moments.push_back({{d_.version}, f, "violation", world.violations()[violations_], 0});
    busy_ = true;
  }
}

void ReportRecorder::frame(const FrameView& view) {
  sim::World& world = view.world;
  ++d_.version;
  d_.last_frame = world.frame();
  d_.live_ms = world.elapsed_ms() - start_ms_;
  if (world.frame_time() != frame_time_) {
    frame_time_ = world.frame_time();
    d_.clock.push_back({world.frame() - 1, world.elapsed_ms() - start_ms_});
  }
  sample_path(world);
  things(world);
  prompts(world);
  texts(world);
  notices(world);
  keep_calls(view);
  busy_ = false;
}

void ReportRecorder::keep_calls(const FrameView& view) {
  if (view.calls.empty()) return;
  const uint64_t f = view.world.frame();
  if (d_.live) {
    // A live page picks among the latest frames only.
    std::vector<std::string>& kept = d_.calls[f];
    for (const sim::CallRecord& r : view.calls) kept.push_back(call_shown(r));
    while (d_.calls.size() > 120) d_.calls.erase(d_.calls.begin());
    return;
  }
  if (!busy_) {
    ++quiet_frames_;
    return;
  }
  if (kept_ + view.calls.size() > cap_) {
    ++over_cap_;
    return;
  }
  std::vector<std::string>& kept = d_.calls[f];
  for (const sim::CallRecord& r : view.calls) kept.push_back(call_shown(r));
  kept_ += view.calls.size();
}

void ReportRecorder::end(sim::World& world) {
  ++d_.version;
  notices(world);
  d_.last_frame = world.frame();
  d_.clock.push_back({world.frame(), world.elapsed_ms() - start_ms_});
  d_.summary = summary_lines(summarize(world), false);
  std::ostringstream note;
  if (quiet_frames_ != 0) {
    note << "calls are kept for the frames in which something changed; the " << quiet_frames_
         << " frames in which nothing did have none kept";
  }
  if (over_cap_ != 0) {
    note << (quiet_frames_ != 0 ? ". " : "") << "calls of " << over_cap_
         << " frames were not kept, past the first " << cap_ << " calls";
  }
  d_.calls_note = note.str();
}

// The timeline's lines as it wrote them, each at the frame it names; a
// line with no frame of its own is at the frame of the line before.
void add_timeline_lines(ReportData& data, const std::string& timeline) {
  std::istringstream in(timeline);
  std::string line;
  uint64_t frame = data.first_frame;
  while (std::getline(in, line)) {
    if (line.rfind("summary:", 0) == 0) break;
    std::istringstream fields(line);
    std::string time, number;
    fields >> time >> number;
    if (!number.empty() && number.find_first_not_of("0123456789") == std::string::npos) {
      frame = std::stoull(number);
    }
    // --verbose's calls: the page shows them apart, by frame.
    std::string dist, what;
    fields >> dist >> what;
    if (what == "|") continue;
    data.lines.push_back({{data.version}, frame, "", line, 0});
  }
}

}  // namespace play
