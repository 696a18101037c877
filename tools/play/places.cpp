#include "places.h"

namespace play {

static const std::vector<Deliverable>& all() {
  static const std::vector<Deliverable> deliverables = {
      {"cinema",
       "post",
       {{"post", {-3613.994f, -2642.941f, -12.496f}, "the ticket taker's post"},
        {"seat", {-3608.6892f, -2647.932f, -11.700739f}, "the player's seat"},
        {"screen", {-3602.7405f, -2650.9917f, -10.691999f}, "the screen"}},
       {{"taker", "s_m_m_blwdealer_01"},
        {"money", "s_inv_moneyclip01x"},
        {"chair", "sh_church_chair"}},
       {},
       {{"post", 90.0f, "the post opens within 90 m"}, {"post", 110.0f, "and closes beyond 110 m"}},
       {}},
      {"toytrain",
       "site",
       {{"site", {-2361.56f, -2395.153f, 62.124f}, "the train's site"}},
       {{"train", "p_toytrain01x"}, {"track", "p_toytrack01x"}},
       {{"smoke", "ent_amb_toy_boat_idle_smoke"}},
       {{"site", 135.0f, "the train is out closer than 135.0"}},
       {"train"}},
  };
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

std::string Deliverable::nickname_of_model(const std::string& model) const {
  for (const Nickname& n : entities) {
    if (n.model == model) return n.name;
  }
  return "";
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

std::string deliverable_names() {
  std::string out;
  for (const Deliverable& d : all()) out += (out.empty() ? "" : ", ") + d.name;
  return out;
}

}  // namespace play
