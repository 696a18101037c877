#pragma once
// Each deliverable as the world meets it: the places that matter at its
// site, the first being the one distances are measured to, and the distances
// at which it comes and goes, from the deliverable's own facts (its site.h,
// which the plug-in reads too). Play, the soak, the benches and the C++
// scenarios take them from here.

#include <span>
#include <string_view>

#include "../../cinema/site.h"
#include "../../toytrain/site.h"
#include "vec.h"

namespace sim {

struct DeliverablePlace {
  const char* name;  // as a scenario names it: "post"
  Vec at;
  const char* description;  // "the ticket taker's post"
};

struct Deliverable {
  const char* name;  // "cinema"
  std::span<const DeliverablePlace> places;
  float spawn;    // present within this distance of the site (m)
  float despawn;  // gone beyond this one; the same as spawn for a single ring
  const char* spawn_meaning;
  const char* despawn_meaning;  // null when despawn is spawn

  const DeliverablePlace& site() const { return places.front(); }
};

constexpr Vec vec_of(const cinema_site::Point& p) { return {p.x, p.y, p.z}; }
constexpr Vec vec_of(const toytrain_site::Point& p) { return {p.x, p.y, p.z}; }

inline constexpr DeliverablePlace cinema_places[] = {
    {"post", vec_of(cinema_site::post), "the ticket taker's post"},
    {"seat", vec_of(cinema_site::seat), "the player's seat"},
    {"screen", vec_of(cinema_site::screen), "the screen"},
};
inline constexpr Deliverable cinema_deliverable{"cinema",
                                                cinema_places,
                                                cinema_site::open_distance,
                                                cinema_site::close_distance,
                                                "the post opens within 90 m",
                                                "and closes beyond 110 m"};

inline constexpr DeliverablePlace toytrain_places[] = {
    {"site", vec_of(toytrain_site::site), "the train's site"},
};
inline constexpr Deliverable toytrain_deliverable{"toytrain",
                                                  toytrain_places,
                                                  toytrain_site::radius,
                                                  toytrain_site::radius,
                                                  "the train is out closer than 135.0",
                                                  nullptr};

inline constexpr const Deliverable* deliverables[] = {&cinema_deliverable, &toytrain_deliverable};

inline const Deliverable* find_deliverable(std::string_view name) {
  for (const Deliverable* d : deliverables) {
    if (name == d->name) return d;
  }
  return nullptr;
}

}  // namespace sim
