#pragma once
// What a scenario may name in a deliverable: its places (where the player
// stands or walks), its entities and effects by nickname, the site the
// timeline measures the player's distance to, and the rings that matter.

#include <string>
#include <vector>

#include "vec.h"

namespace play {

struct Place {
  std::string name;
  sim::Vec at;
  std::string description;
};

struct Nickname {
  std::string name;
  std::string model;  // or, for an effect, the effect's name
};

struct Ring {
  std::string around;  // a place
  float radius = 0.0f;
  std::string meaning;
};

// The names a scenario's expectations may use besides nicknames: the models
// it places, the lines it says and their voices, the prompts it offers, the
// notifications it shows, the blip modifiers it sets, the playlists it plays
// and the render targets it draws into.
struct Names {
  std::vector<std::string> models;
  std::vector<std::string> lines;
  std::vector<std::string> voices;
  std::vector<std::string> prompts;
  std::vector<std::string> notifications;
  std::vector<std::string> blip_modifiers;
  std::vector<std::string> playlists;
  std::vector<std::string> targets;
  std::vector<std::string> texts;  // drawn on the screen
};

struct Deliverable {
  std::string name;
  std::string site;  // the place the timeline measures distances to
  std::vector<Place> places;
  std::vector<Nickname> entities;
  std::vector<Nickname> effects;
  std::vector<Ring> rings;
  std::vector<std::string> turning;  // nicknames whose speed the timeline follows
  Names names;
  std::vector<const Deliverable*> parts;  // several played together: each, in order
  std::vector<Nickname> interiors;        // the game's interiors by nickname ("theater")

  const Place* place(const std::string& name) const;
  const Place* site_place() const { return place(site); }
  // A nickname's model, or the name itself when it is no nickname.
  std::string model_of(const std::string& name) const;
  const Nickname* effect(const std::string& name) const;
  std::string nickname_of_model(const std::string& model) const;  // empty if none
  bool turns(const std::string& nickname) const;                  // its speed is followed
  std::string place_names() const;                                // "post, seat, screen"
  std::vector<const Place*> sites() const;                        // one for each deliverable played
  // An interior's name by its nickname, or the name itself when it is none.
  std::string model_of_interior(const std::string& name) const;
};

const Deliverable* find_deliverable(const std::string& name);
// Several deliverables in one game, as one: their places, nicknames and names
// together, the first one's site as the site. Each name once, all known.
const Deliverable& deliverables_together(const std::vector<std::string>& names);
// What the world itself holds whatever plays: the player's model.
const Names& world_names();
const Deliverable& no_deliverable();  // for a plug-in of someone else's
std::string deliverable_names();

}  // namespace play
