#pragma once
// The toy train's facts, written once: where it stands, how near the player
// must be for it to be out, and what it places, offers and shows. The plug-in
// reads them, and so does everything that describes or checks it; the header
// needs nothing, so each of them can include it.

namespace toytrain_site {

struct Point {
  float x, y, z;
};

inline constexpr Point site{-2361.56f, -2395.153f, 62.124f};  // the train and its track
inline constexpr float radius = 135.0f;                       // out closer than this

inline constexpr const char* train_model = "p_toytrain01x";
inline constexpr const char* track_model = "p_toytrack01x";
inline constexpr const char* smoke_effect = "ent_amb_toy_boat_idle_smoke";
inline constexpr const char* on_label = "Turn on";
inline constexpr const char* off_label = "Turn off";

}  // namespace toytrain_site
