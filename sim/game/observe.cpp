// What the world works out from its state once a frame, rather than from
// any one call, written to the journal as it changes: the prompts the player
// is offered, the interior he is in, the values that change smoothly, the
// render targets drawn into and the texts, rectangles and sprites drawn on
// the screen.

#include <algorithm>
#include <cmath>

#include "world.h"

namespace sim {

namespace {

uint32_t colour_of(const int (&colour)[4]) {
  uint32_t rgba = 0;
  for (int n = 0; n < 4; ++n) rgba = (rgba << 8) | static_cast<uint32_t>(colour[n] & 0xFF);
  return rgba;
}

uint32_t colour_of(const TextStyle& s) { return colour_of(s.colour); }

bool same_text(const DrawnText& a, const DrawnText& b) {
  return a.text == b.text && a.x == b.x && a.y == b.y && colour_of(a.style) == colour_of(b.style) &&
         a.style.scale_x == b.style.scale_x && a.style.scale_y == b.style.scale_y &&
         a.style.centred == b.style.centred && a.style.shadow == b.style.shadow && a.by == b.by;
}

bool drawn_in(const std::vector<DrawnText>& texts, const DrawnText& t) {
  for (const DrawnText& other : texts) {
    if (same_text(other, t)) return true;
  }
  return false;
}

// Each of `now` not drawn `before`, and each of `before` no longer drawn.
template <class T, class Tell>
void tell_changes(const std::vector<T>& before, const std::vector<T>& now, Tell tell) {
  for (const T& t : before) {
    if (std::find(now.begin(), now.end(), t) == now.end()) tell(t, false);
  }
  for (const T& t : now) {
    if (std::find(before.begin(), before.end(), t) == before.end()) tell(t, true);
  }
}

}  // namespace

// A rectangle (no texture) or a sprite drawn or no longer drawn, by the
// plug-in that drew it; a sprite turned to its heading.
void World::tell_box(bool drawn, std::string_view texture, float x, float y, float width,
                     float height, float heading, const int (&colour)[4], PluginId by) {
  Entry& e = journal.write(drawn ? EntryKind::box_drawn : EntryKind::box_undrawn, texture);
  e.at.by = by;
  e.where = Vec{x, y, heading};
  e.from = width;
  e.to = height;
  e.a = colour_of(colour);
}

// A value that moves for a while and settles: one entry when it settles or
// turns back, from where it began, rather than one for every frame between.
void World::settle(Ramp& ramp, double now, uint64_t thing, const char* what) {
  ramp.seen = true;
  const double rounded = std::round(now * 1000.0) / 1000.0;
  const int direction = rounded > ramp.value ? 1 : rounded < ramp.value ? -1 : 0;
  if (direction == ramp.direction) {
    ramp.value = rounded;
    return;
  }
  if (ramp.direction != 0) {
    Entry& e = journal.write(EntryKind::settled, thing);
    e.text = what;
    e.from = ramp.from;
    e.to = ramp.value;
    e.a = static_cast<int64_t>(observed_.previous_ms - ramp.since_ms);
  }
  ramp.direction = direction;
  ramp.from = ramp.value;
  ramp.since_ms = observed_.previous_ms;
  ramp.value = rounded;
}

// A prompt the player is offered, told once while its label stays; a hold
// begun as it comes into reach tells it before the frame's pass does, so
// the offer never comes after what was done with it.
void World::tell_offered(const PromptState& p) {
  const uint64_t serial = p.serial;
  if (serial == 0 || observed_.offered.count(serial) != 0) return;
  Entry& e = journal.write(EntryKind::offered, serial);
  e.text = journal.keep(p.label);
  e.a = p.control;
  e.b = p.mode == PromptMode::hold ? p.mode_value : 0;
  if (p.has_point) {
    e.where = p.point;
    e.to = p.radius;
  }
  if (const auto g = entity_groups_.find(p.group); g != entity_groups_.end()) {
    if (const auto it = entities_.find(g->second); it != entities_.end()) {
      e.c = static_cast<int64_t>(serial_of(Thing::entity, g->second));
      e.from = interaction_distance(it->second);
    }
  }
  observed_.offered.emplace(serial, p.label);
}

void World::tell_found() {
  journal.write(EntryKind::found, "money").a = money.cash;
  for (const auto& [channel, playlist] : tv.playlists) {
    Entry& e = journal.write(EntryKind::found, "playlist");
    e.a = channel;
    e.more = journal.keep(playlist.name);
  }
  journal.write(EntryKind::found, "channel").a = tv.channel;
  journal.write(EntryKind::found, "player").where = player_position();
}

void World::observe(bool frame_over) {
  Observed& seen = observed_;
  const Vec me = player_position();
  if (!frame_over) journal.write(EntryKind::frame).where = me;

  // What is no longer offered, then what is offered now.
  for (auto& [handle, p] : prompts_) p.offered = prompt_offered(p, me);
  std::erase_if(seen.offered, [&](const auto& kv) {
    const ThingRecord* t = journal.thing(kv.first);
    const PromptState* p = t != nullptr && t->live ? prompt(t->handle) : nullptr;
    if (p != nullptr && p->offered && p->label == kv.second) return false;
    journal.write(EntryKind::withdrawn, kv.first).text = journal.keep(kv.second);
    return true;
  });
  for (const auto& [handle, p] : prompts_) {
    if (p.offered) tell_offered(p);
  }

  const int32_t inside = interiors.interior_at(me);
  if (inside != seen.interior) {
    if (const InteriorState* left = interiors.interior(seen.interior)) {
      journal.write(EntryKind::leaves).a = left->name_hash;
    }
    if (const InteriorState* entered = interiors.interior(inside)) {
      journal.write(EntryKind::enters).a = entered->name_hash;
    }
    seen.interior = inside;
  }
  if (!frame_over) return;

  for (auto& [handle, e] : entities_) {
    if (e.exists && e.turned != 0.0) settle(e.turning, e.last_turn, e.serial, "speed");
  }
  for (auto& [handle, fx] : particles.effects()) {
    if (!effect_exists(*this, fx)) continue;
    if (!fx.scaling.seen) fx.scaling.value = std::round(fx.scale * 1000.0) / 1000.0;
    settle(fx.scaling, fx.scale, fx.serial, "scale");
  }

  for (const auto& [name, t] : tv.targets) {
    const bool drawn = t.registered && t.draws > 0 && t.last_draw_frame == frame_;
    bool& was = seen.drawn_into[name];
    if (drawn == was) continue;
    was = drawn;
    Entry& e = journal.write(drawn ? EntryKind::drawn_into : EntryKind::undrawn_into, name);
    e.at.by = PluginId(owners.target_owner(name));
    e.a = t.last_draw_channel;
  }

  for (const DrawnText& t : seen.drawn) {
    if (!drawn_in(text.drawn, t))
      journal.write(EntryKind::undrawn, t.text).where = Vec{t.x, t.y, 0.0f};
  }
  for (const DrawnText& t : text.drawn) {
    if (drawn_in(seen.drawn, t)) continue;
    Entry& e = journal.write(EntryKind::drawn, t.text);
    e.where = Vec{t.x, t.y, 0.0f};
    e.from = t.style.scale_y;
    e.to = t.style.scale_x;
    e.a = colour_of(t.style);
    e.b = t.style.centred ? 1 : 0;
    e.c = t.style.shadow ? 1 : 0;
    e.at.by = t.by;
  }
  seen.drawn = text.drawn;

  tell_changes(seen.rects, screen.rects, [&](const DrawnRect& r, bool drawn) {
    tell_box(drawn, "", r.x, r.y, r.width, r.height, 0.0f, r.colour, r.by);
  });
  seen.rects = screen.rects;
  tell_changes(seen.sprites, screen.sprites, [&](const DrawnSprite& s, bool drawn) {
    tell_box(drawn, s.dictionary + "/" + s.name, s.x, s.y, s.width, s.height, s.heading, s.colour,
             s.by);
  });
  seen.sprites = screen.sprites;
  seen.previous_ms = elapsed_ms_;
}

}  // namespace sim
