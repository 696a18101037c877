#pragma once
// Each deliverable as the world meets it: the places that matter at its
// site, the first being the one distances are measured to, and the distances
// at which it comes and goes. The plug-ins keep their own figures (they link
// nothing of the stand-in); play, the soak, the benches and the C++
// scenarios take them from here.

#include <span>
#include <string_view>

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

inline constexpr DeliverablePlace cinema_places[] = {
    {"post", {-3613.994f, -2642.941f, -12.496f}, "the ticket taker's post"},
    {"seat", {-3608.6892f, -2647.932f, -11.700739f}, "the player's seat"},
    {"screen", {-3602.7405f, -2650.9917f, -10.691999f}, "the screen"},
};
inline constexpr Deliverable cinema_deliverable{"cinema",
                                                cinema_places,
                                                90.0f,
                                                110.0f,
                                                "the post opens within 90 m",
                                                "and closes beyond 110 m"};

inline constexpr DeliverablePlace toytrain_places[] = {
    {"site", {-2361.56f, -2395.153f, 62.124f}, "the train's site"},
};
inline constexpr Deliverable toytrain_deliverable{
    "toytrain", toytrain_places, 135.0f, 135.0f, "the train is out closer than 135.0", nullptr};

inline constexpr const Deliverable* deliverables[] = {&cinema_deliverable, &toytrain_deliverable};

inline const Deliverable* find_deliverable(std::string_view name) {
  for (const Deliverable* d : deliverables) {
    if (name == d->name) return d;
  }
  return nullptr;
}

}  // namespace sim
