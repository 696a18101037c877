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
  const entry::Box box{.texture = texture,
                       .x = x,
                       .y = y,
                       .width = width,
                       .height = height,
                       .heading = heading,
                       .colour = colour_of(colour)};
  if (drawn) {
    journal.write<EntryKind::box_drawn>(box);
  } else {
    journal.write<EntryKind::box_undrawn>(box);
  }
  journal.latest().at.by = by;
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
    journal.write<EntryKind::settled>({.value = what,
                                       .from = ramp.from,
                                       .to = ramp.value,
                                       .ms = observed_.previous_ms - ramp.since_ms},
                                      thing);
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
  entry::Offer offer{.label = p.label,
                     .control = p.control,
                     .hold_ms = p.mode == PromptMode::hold ? p.mode_value : 0};
  if (p.has_point) {
    offer.where = p.point;
    offer.reach = p.radius;
  }
  if (const auto g = entity_groups_.find(p.group); g != entity_groups_.end()) {
    if (const auto it = entities_.find(g->second); it != entities_.end()) {
      offer.group_entity = serial_of(Thing::entity, g->second);
      offer.within = interaction_distance(it->second);
    }
  }
  journal.write<EntryKind::offered>(offer, serial);
  observed_.offered.emplace(serial, p.label);
}

void World::tell_found() {
  journal.write<EntryKind::found_money>({.cash = money.cash});
  for (const auto& [channel, playlist] : tv.playlists) {
    journal.write<EntryKind::found_playlist>({.channel = channel, .playlist = playlist.name});
  }
  journal.write<EntryKind::found_channel>({.channel = tv.channel});
  journal.write<EntryKind::found_player>({.player = player_position()});
}

void World::observe(bool frame_over) {
  Observed& seen = observed_;
  const Vec me = player_position();
  if (!frame_over) journal.write<EntryKind::frame>({.player = me});

  // What is no longer offered, then what is offered now.
  for (auto& [handle, p] : prompts_) p.offered = prompt_offered(p, me);
  std::erase_if(seen.offered, [&](const auto& kv) {
    const ThingRecord* t = journal.thing(kv.first);
    const PromptState* p = t != nullptr && t->live ? prompt(t->handle) : nullptr;
    if (p != nullptr && p->offered && p->label == kv.second) return false;
    journal.write<EntryKind::withdrawn>({.label = kv.second}, kv.first);
    return true;
  });
  for (const auto& [handle, p] : prompts_) {
    if (p.offered) tell_offered(p);
  }

  const int32_t inside = interiors.interior_at(me);
  if (inside != seen.interior) {
    if (const InteriorState* left = interiors.interior(seen.interior)) {
      journal.write<EntryKind::leaves>({.name_hash = left->name_hash});
    }
    if (const InteriorState* entered = interiors.interior(inside)) {
      journal.write<EntryKind::enters>({.name_hash = entered->name_hash});
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
    const entry::Target target{.target = name, .channel = t.last_draw_channel};
    if (drawn) {
      journal.write<EntryKind::drawn_into>(target);
    } else {
      journal.write<EntryKind::undrawn_into>(target);
    }
    journal.latest().at.by = PluginId(owners.target_owner(name));
  }

  for (const DrawnText& t : seen.drawn) {
    if (!drawn_in(text.drawn, t))
      journal.write<EntryKind::undrawn>({.text = t.text, .x = t.x, .y = t.y});
  }
  for (const DrawnText& t : text.drawn) {
    if (drawn_in(seen.drawn, t)) continue;
    journal.write<EntryKind::drawn>({.text = t.text,
                                     .x = t.x,
                                     .y = t.y,
                                     .height_scale = t.style.scale_y,
                                     .width_scale = t.style.scale_x,
                                     .colour = colour_of(t.style),
                                     .centred = t.style.centred,
                                     .shadow = t.style.shadow});
    journal.latest().at.by = t.by;
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
