#pragma once
// The land and the sky: the ground's height (that of the nearest place the
// world knows), the weather, the wind and sounds played to the player.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "vec.h"

namespace sim {

// A line tested against the ground and the world's entities, and what it hit.
struct ShapeTest {
  bool hit = false;
  Vec end;     // where it hit, or its end
  Vec normal;  // of the surface hit
  int32_t entity = 0;
};

struct Sound {
  std::string name, set;
  bool frontend = true;
  bool stopped = false;
  uint64_t frame = 0;
};

struct Environment {
  float ground_z = 0.0f;  // while the world knows no place
  // Where the player was put, the deliverables' places, a scenario's
  // `ground at`: the ground at a point is at the height of the nearest.
  std::vector<Vec> places;
  void know_place(Vec at);
  float ground_at(float x, float y) const;

  uint32_t weather = 0;       // 0: the game's own, until a script sets one
  uint32_t last_weather = 0;  // before the latest change
  bool weather_persists = false;
  float wind_speed = 0.0f;
  float wind_direction = 0.0f;  // radians
  int snow_coverage = 0;
  std::string timecycle;  // a modifier applied, empty: none
  float timecycle_strength = 1.0f;

  std::vector<Sound> sounds;              // frontend and other sounds played
  std::vector<std::string> music_events;  // triggered, in order
  bool mission_flag = false;

  std::map<int32_t, ShapeTest> shape_tests;  // by handle, until their result is read
  int32_t next_shape_test = 1;
};

}  // namespace sim
