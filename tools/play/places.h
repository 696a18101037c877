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

struct Deliverable {
  std::string name;
  std::string site;  // the place the timeline measures distances to
  std::vector<Place> places;
  std::vector<Nickname> entities;
  std::vector<Nickname> effects;
  std::vector<Ring> rings;
  std::vector<std::string> turning;  // nicknames whose speed the timeline follows

  const Place* place(const std::string& name) const;
  const Place* site_place() const { return place(site); }
  // A nickname's model, or the name itself when it is no nickname.
  std::string model_of(const std::string& name) const;
  const Nickname* effect(const std::string& name) const;
  std::string nickname_of_model(const std::string& model) const;  // empty if none
  std::string place_names() const;                                // "post, seat, screen"
};

const Deliverable* find_deliverable(const std::string& name);
const Deliverable& no_deliverable();  // for a plug-in of someone else's
std::string deliverable_names();

}  // namespace play
