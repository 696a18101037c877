#include "places.h"

#include <algorithm>
#include <map>

#include "deliverables.h"

namespace play {

// The places, the site and the rings of the world's own description.
static Deliverable described(const sim::Deliverable& d) {
  Deliverable out;
  out.name = d.name;
  out.site = d.site().name;
  for (const sim::DeliverablePlace& p : d.places) {
    out.places.push_back({p.name, p.at, p.description});
  }
  out.rings.push_back({out.site, d.spawn, d.spawn_meaning});
  if (d.despawn_meaning != nullptr) out.rings.push_back({out.site, d.despawn, d.despawn_meaning});
  return out;
}

static const std::vector<Deliverable>& all() {
  static const std::vector<Deliverable> deliverables = [] {
    namespace c = cinema_site;
    Deliverable cinema = described(sim::cinema_deliverable);
    cinema.entities = {
        {"taker", c::taker_model}, {"money", c::money_model}, {"chair", c::chair_model}};
    cinema.names = {
        {c::taker_model, c::money_model, c::chair_model, c::screen_model, c::audience_models[0],
         c::audience_models[1], c::audience_models[2], c::john_model},
        {c::welcome_line, c::ticket_line, c::whats_playing_line, c::enjoy_line, c::farewell_line,
         c::films[0].line, c::films[1].line},
        {c::taker_voices[0], c::taker_voices[1], c::taker_voices[2], c::arthur_voice,
         c::john_voice},
        {c::buy_label, c::info_label, c::sit_label, c::leave_label},
        {c::spent_notification},
        {c::unavailable_modifier, c::locked_modifier},
        {c::films[0].playlist, c::films[1].playlist},
        {c::render_target},
        {}};
    cinema.interiors = {{"theater", c::interior}};

    namespace t = toytrain_site;
    Deliverable train = described(sim::toytrain_deliverable);
    train.entities = {{"train", t::train_model}, {"track", t::track_model}};
    train.effects = {{"smoke", t::smoke_effect}};
    train.turning = {"train"};
    train.names = {
        {t::train_model, t::track_model}, {}, {}, {t::on_label, t::off_label}, {}, {}, {}, {}, {}};
    return std::vector<Deliverable>{std::move(cinema), std::move(train)};
  }();
  return deliverables;
}

const Place* Deliverable::place(const std::string& wanted) const {
  for (const Place& p : places) {
    if (p.name == wanted) return &p;
  }
  return nullptr;
}

std::string Deliverable::model_of(const std::string& wanted) const {
  for (const Nickname& n : entities) {
    if (n.name == wanted) return n.model;
  }
  return wanted;
}

const Nickname* Deliverable::effect(const std::string& wanted) const {
  for (const Nickname& n : effects) {
    if (n.name == wanted) return &n;
  }
  return nullptr;
}

bool Deliverable::turns(const std::string& nickname) const {
  return !nickname.empty() && std::find(turning.begin(), turning.end(), nickname) != turning.end();
}

std::string Deliverable::nickname_of_model(const std::string& model) const {
  for (const Nickname& n : entities) {
    if (n.model == model) return n.name;
  }
  return "";
}

std::string Deliverable::model_of_interior(const std::string& name) const {
  for (const Nickname& n : interiors) {
    if (n.name == name) return n.model;
  }
  return name;
}

std::string Deliverable::place_names() const {
  std::string out;
  for (const Place& p : places) out += (out.empty() ? "" : ", ") + p.name;
  return out.empty() ? "none" : out;
}

const Deliverable* find_deliverable(const std::string& name) {
  for (const Deliverable& d : all()) {
    if (d.name == name) return &d;
  }
  return nullptr;
}

const Deliverable& no_deliverable() {
  static const Deliverable none;
  return none;
}

std::vector<const Place*> Deliverable::sites() const {
  std::vector<const Place*> found;
  for (const Deliverable* part : parts) {
    if (const Place* p = part->site_place()) found.push_back(p);
  }
  if (parts.empty() && site_place() != nullptr) found.push_back(site_place());
  return found;
}

template <typename T>
static void append(std::vector<T>& to, const std::vector<T>& from) {
  to.insert(to.end(), from.begin(), from.end());
}

static Deliverable together(const std::vector<const Deliverable*>& parts) {
  Deliverable d;
  d.parts = parts;
  d.site = parts.front()->site;
  for (const Deliverable* part : parts) {
    d.name += (d.name.empty() ? "" : "+") + part->name;
    append(d.places, part->places);
    append(d.entities, part->entities);
    append(d.effects, part->effects);
    append(d.rings, part->rings);
    append(d.turning, part->turning);
    append(d.interiors, part->interiors);
    for (auto list :
         {&Names::models, &Names::lines, &Names::voices, &Names::prompts, &Names::notifications,
          &Names::blip_modifiers, &Names::playlists, &Names::targets, &Names::texts}) {
      append(d.names.*list, part->names.*list);
    }
  }
  return d;
}

const Deliverable& deliverables_together(const std::vector<std::string>& names) {
  if (names.empty()) return no_deliverable();
  std::vector<const Deliverable*> parts;
  for (const std::string& name : names) {
    const Deliverable* d = find_deliverable(name);
    if (d == nullptr) return no_deliverable();
    parts.push_back(d);
  }
  if (parts.size() == 1) return *parts.front();
  // Made once for each combination a run asks for, and kept: the timeline
  // and the expectations hold on to it.
  static std::map<std::string, Deliverable> made;
  Deliverable d = together(parts);
  const std::string key = d.name;
  return made.try_emplace(key, std::move(d)).first->second;
}

const Names& world_names() {
  // The player's first ped, and the ped the game makes with a plug-in's
  // stale handle.
  static const Names names{
      {cinema_site::arthur_model, "a_c_cat_01"}, {}, {}, {}, {}, {}, {}, {}, {}};
  return names;
}

std::string deliverable_names() {
  std::string out;
  for (const Deliverable& d : all()) out += (out.empty() ? "" : ", ") + d.name;
  return out;
}

}  // namespace play
