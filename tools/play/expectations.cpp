#include "expectations.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "joaat.h"
#include "summary.h"

namespace play {

namespace {

using Kind = Expectation::Kind;

std::string number_text(double v, int decimals) {
  char text[64];
  auto [end, ec] = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, decimals);
  return ec == std::errc() ? std::string(text, end) : "?";
}

bool any_of_names(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

Verdict prompt_offered(const Expectation& e, sim::World& w, const Deliverable&, const Baseline&) {
  Verdict v;
  std::string offered;
  for (const auto& [handle, p] : w.prompts()) {
    if (!w.prompt_offered(p)) continue;
    if (p.label == e.text) v.holds = true;
    offered += (offered.empty() ? "" : ", ") + in_quotes(p.label);
  }
  v.held = offered.empty() ? "no prompt is offered" : "offered: " + offered;
  return v;
}

// Who said what is the journal's: a speaker is who it was when it spoke,
// whatever its handle names since.
Verdict said(const Expectation& e, sim::World& w, const Deliverable&, const Baseline&) {
  Verdict v;
  int times = 0;
  std::string all;
  std::string matching;
  w.journal.each(sim::EntryKind::said, [&](const sim::Entry& l) {
    const std::string speaker = who(w, l.thing);
    const std::string line(l.said.line);
    const std::string voice(l.said.voice);
    const std::string said = speaker + " " + line + " (" + voice + ")";
    all += (all.empty() ? "" : ", ") + said;
    if ((e.speaker == "anyone" || e.speaker == speaker) && any_of_names(e.names, line) &&
        (e.voice.empty() || e.voice == voice)) {
      ++times;
      matching += (matching.empty() ? "" : ", ") + said;
    }
  });
  v.holds = e.count < 0 ? times > 0 : times == e.count;
  if (all.empty()) {
    v.held = "no line was said";
  } else if (v.holds && !matching.empty()) {
    v.held = "said: " + matching;
  } else {
    v.held = "lines said: " + all;
  }
  return v;
}

Verdict money_changed(const Expectation& e, sim::World& w, const Deliverable&, const Baseline& b) {
  int change = 0;
  w.journal.each(sim::EntryKind::money,
                 [&](const sim::Entry& m) { change += m.money.to - m.money.from; });
  return {change == e.count, "money changed by " + std::to_string(change) + " (" +
                                 w.cash_text(b.cash) + " to " + w.cash_text(b.cash + change) + ")"};
}

Verdict notification(const Expectation& e, sim::World& w, const Deliverable&, const Baseline&) {
  Verdict v;
  std::string shown;
  w.journal.each(sim::EntryKind::notification, [&](const sim::Entry& n) {
    if (n.notification.text == e.text) v.holds = true;
    shown += (shown.empty() ? "" : ", ") + in_quotes(n.notification.text);
  });
  v.held = shown.empty() ? "no notification was shown" : "notifications: " + shown;
  return v;
}

std::string tv_text(sim::World& w) {
  if (w.tv.channel == -1) return "the TV is off";
  const auto it = w.tv.playlists.find(w.tv.channel);
  const std::string list = it == w.tv.playlists.end() ? "no playlist" : it->second.name;
  return "TV channel " + std::to_string(w.tv.channel) + " plays " + list;
}

Verdict tv_channel(const Expectation& e, sim::World& w, const Deliverable&, const Baseline&) {
  bool holds = w.tv.channel == e.channel;
  if (holds && !e.names.empty()) {
    const auto it = w.tv.playlists.find(w.tv.channel);
    holds = it != w.tv.playlists.end() && any_of_names(e.names, it->second.name);
  }
  return {holds, tv_text(w)};
}

Verdict tv_off(const Expectation&, sim::World& w, const Deliverable&, const Baseline&) {
  return {w.tv.channel == -1, tv_text(w)};
}

Verdict target_drawn(const Expectation& e, sim::World& w, const Deliverable&, const Baseline&) {
  const sim::RenderTarget* t = w.tv.target(e.text.c_str());
  if (t == nullptr || !t->registered) return {false, e.text + " is not registered"};
  const bool now = t->draws > 0 && t->last_draw_frame == w.frame();
  if (t->draws == 0) return {false, e.text + " was never drawn into"};
  std::string held = e.text + " was last drawn into at frame " + std::to_string(t->last_draw_frame);
  if (e.count < 0) return {now, held};
  return {now && t->last_draw_alpha == e.count,
          held + ", at alpha " + std::to_string(t->last_draw_alpha)};
}

// The live effects of a nickname's effect, or of the effect so named.
std::vector<const sim::LoopedEffectState*> live_effects(sim::World& w, const std::string& name) {
  std::vector<const sim::LoopedEffectState*> found;
  const uint32_t hash = sim::joaat(name.c_str());
  for (const auto& [handle, e] : w.particles.effects()) {
    if (e.effect == hash && sim::effect_exists(w, handle)) found.push_back(&e);
  }
  return found;
}

std::string effect_name(const Deliverable& d, const std::string& subject) {
  const Nickname* n = d.effect(subject);
  return n != nullptr ? n->model : subject;
}

Verdict live_count(const Expectation& e, sim::World& w, const Deliverable& d, const Baseline& b) {
  size_t live = 0;
  if (e.subject == "blip" || e.subject == "blips") {
    live = w.blips.live().size();
  } else if (d.effect(e.subject) != nullptr) {
    live = live_effects(w, effect_name(d, e.subject)).size();
  } else {
    live = live_named(w, d, b, e.subject).size();
  }
  return {static_cast<int>(live) == e.count, std::to_string(live) + " live " + e.subject};
}

Verdict about(const Expectation& e, double value, const std::string& what) {
  return {std::fabs(value - e.value) <= e.tolerance + 1e-9, what + " " + number_text(value, 3)};
}

Verdict speed_about(const Expectation& e, sim::World& w, const Deliverable& d, const Baseline&) {
  const auto found = w.live_entities(d.model_of(e.subject).c_str());
  if (found.size() != 1) return {false, std::to_string(found.size()) + " live " + e.subject};
  return about(e, found.front()->last_turn, e.subject + " speed");
}

Verdict scale_about(const Expectation& e, sim::World& w, const Deliverable& d, const Baseline&) {
  const auto found = live_effects(w, effect_name(d, e.subject));
  if (found.size() != 1) return {false, std::to_string(found.size()) + " live " + e.subject};
  return about(e, found.front()->scale, e.subject + " scale");
}

Verdict player_seated(const Expectation&, sim::World& w, const Deliverable&, const Baseline&) {
  const sim::PedActivity* a = w.peds.find(w.player_ped());
  const bool seated = a != nullptr && a->on_point;
  return {seated, seated ? "the player is seated" : "the player is not seated"};
}

Verdict player_inside(const Expectation& e, sim::World& w, const Deliverable& d, const Baseline&) {
  const std::string wanted = d.model_of_interior(e.subject);
  const sim::InteriorState* in = w.interiors.interior(w.interiors.interior_at(w.player_position()));
  if (in == nullptr) return {false, "the player is in no interior"};
  return {in->name_hash == sim::joaat(wanted.c_str()),
          "the player is inside " + interior_name(w, d, in->name_hash)};
}

Verdict blip_has(const Expectation& e, sim::World& w, const Deliverable&, const Baseline&) {
  Verdict v;
  std::string blips;
  const uint32_t modifier = sim::joaat(e.text.c_str());
  for (const sim::BlipState* b : w.blips.live()) {
    if (b->has(modifier)) v.holds = true;
    std::string mods;
    for (uint32_t m : b->modifiers) mods.append(" ").append(hash_name(w, m));
    blips += (blips.empty() ? "" : "; ") + hash_name(w, b->style) +
             (mods.empty() ? " with no modifier" : " with" + mods);
  }
  v.held = blips.empty() ? "no blip is on the map" : "blips: " + blips;
  return v;
}

bool style_fits(const Expectation& e, const sim::TextStyle& style) {
  for (int n = 0; n < 4; ++n) {
    if (e.colour[n] >= 0 && e.colour[n] != style.colour[n]) return false;
  }
  return e.scale < 0.0 || std::fabs(style.scale_y - e.scale) <= 1e-4;
}

// Appended piece by piece: a chain of `+` trips a false -Wrestrict in
// mingw's g++.
std::string style_text(const sim::TextStyle& style) {
  std::string text = "in";
  for (const int c : style.colour) text.append(" ").append(std::to_string(c));
  char scale[32];
  auto [end, ec] = std::to_chars(scale, scale + sizeof scale, style.scale_y);
  return text.append(" at scale ").append(ec == std::errc() ? std::string(scale, end) : "?");
}

// A text drawn with the colour and scale the expectation names, if it names
// them, as the natives that styled it were given them.
Verdict text_drawn(const Expectation& e, sim::World& w, const Deliverable&, const Baseline&) {
  const bool styled = e.scale >= 0.0 || std::any_of(std::begin(e.colour), std::end(e.colour),
                                                    [](int c) { return c >= 0; });
  Verdict v;
  std::string drawn;
  for (const sim::DrawnText& d : w.text.drawn) {
    const bool named = d.text == e.text;
    if (named && style_fits(e, d.style)) v.holds = true;
    drawn.append(drawn.empty() ? "" : ", ").append(in_quotes(d.text));
    if (named && styled) drawn.append(" ").append(style_text(d.style));
  }
  v.held =
      drawn.empty() ? "no text was drawn in the last frame" : "drawn in the last frame: " + drawn;
  return v;
}

Verdict no_violation(const Expectation&, sim::World& w, const Deliverable&, const Baseline&) {
  const auto& v = w.violations();
  if (v.empty()) return {true, "no violation"};
  return {false, std::to_string(v.size()) + " violation(s), the first: " + v.front()};
}

// What the plug-ins hold now; written last, what they hold at their unload,
// since nothing may be made or removed during it.
Verdict nothing_left(const Expectation& e, sim::World& w, const Deliverable&, const Baseline&) {
  sim::Thing only{};
  const bool of_kind = !e.subject.empty() && thing_named(e.subject, only);
  Verdict v{true, ""};
  for (const PluginThings& things : things_of_plugins(w)) {
    sim::Holdings h = things.held;
    if (of_kind) {
      const int kept = h[static_cast<size_t>(only)];
      h = {};
      h[static_cast<size_t>(only)] = kept;
    }
    if (sim::total(h) == 0) continue;
    v.holds = false;
    v.held += (v.held.empty() ? "" : "; ") + w.owners.name_of(things.who) + " holds " +
              sim::holdings_text(h);
  }
  if (v.holds) v.held = "no plug-in holds anything" + (of_kind ? " of " + e.subject : "");
  return v;
}

}  // namespace

std::vector<int32_t> live_named(sim::World& world, const Deliverable& deliverable,
                                const Baseline& baseline, const std::string& name) {
  std::vector<int32_t> handles;
  const auto named = baseline.spawned.find(name);
  if (named != baseline.spawned.end()) {
    for (const int32_t h : named->second) {
      if (world.exists(h)) handles.push_back(h);
    }
    return handles;
  }
  for (const sim::EntityState* e : world.live_entities(deliverable.model_of(name).c_str())) {
    handles.push_back(e->handle);
  }
  return handles;
}

Verdict check(const Expectation& e, sim::World& world, const Deliverable& deliverable,
              const Baseline& baseline) {
  Verdict v;
  switch (e.kind) {
#define PLAY_EXPECTATION(kind, syntax)         \
  case Kind::kind:                             \
    v = kind(e, world, deliverable, baseline); \
    break;
#include "expectations.def"
#undef PLAY_EXPECTATION
  }
  if (e.negated) v.holds = !v.holds;
  return v;
}

}  // namespace play
