// The land and the sky: the ground's height under a point (that of the
// nearest place the world knows), safe places to stand, the weather, the wind, the
// time-cycle modifier, and the sounds and music played to the player.

#include <cmath>
#include <string>

#include "joaat.h"
#include "native_words.h"
#include "out_params.h"
#include "world.h"

namespace sim {

namespace {

// The ground under a point, when the point is not below it.
void ground_z(World& w, NativeCall& c) {
  const float ground = w.environment.ground_at(c.f(0), c.f(1));
  const bool found = c.f(2) >= ground - 0.5f;
  *c.p<float>(3) = found ? ground : 0.0f;
  c.ret_bool(found);
}

uint32_t weather_now(const World& w) {
  static const uint32_t sunny = joaat("SUNNY");
  return w.environment.weather != 0 ? w.environment.weather : sunny;
}

void set_weather(World& w, uint32_t weather) {
  w.environment.last_weather = weather_now(w);
  w.environment.weather = weather;
}

void play_sound(World& w, NativeCall& c, bool frontend) {
  w.environment.sounds.push_back(
      Sound{c.s(0), c.args[1] != 0 ? c.s(1) : "", frontend, false, w.frame()});
  if (w.environment.sounds.size() > 256) {
    w.environment.sounds.erase(w.environment.sounds.begin());  // the latest are kept
  }
}

// How far from a thing's position a line passes through it: the stand-in's
// things are spheres, a ped's and a vehicle's larger than a prop's.
float radius_of(const EntityState& e) { return e.kind == EntityKind::object ? 0.5f : 1.0f; }

bool tests_kind(int flags, EntityKind kind) {
  if (kind == EntityKind::vehicle) return (flags & 2) != 0;
  if (kind == EntityKind::ped) return (flags & 12) != 0;
  return (flags & 16) != 0;
}

// A line from a to b against the ground (flag 1) and the entities the flags
// name, but the one to ignore: the nearest hit along it.
ShapeTest probe(World& w, Vec a, Vec b, int flags, int32_t ignore) {
  ShapeTest r;
  r.end = b;
  float best = 2.0f;
  const Vec d{b.x - a.x, b.y - a.y, b.z - a.z};
  const float length2 = d.x * d.x + d.y * d.y + d.z * d.z;
  if ((flags & 1) != 0) {
    constexpr int steps = 64;
    for (int n = 0; n <= steps; ++n) {
      const float t = static_cast<float>(n) / steps;
      const Vec at{a.x + d.x * t, a.y + d.y * t, a.z + d.z * t};
      const float ground = w.environment.ground_at(at.x, at.y);
      if (at.z > ground) continue;
      best = t;
      r = ShapeTest{true, Vec{at.x, at.y, ground}, Vec{0.0f, 0.0f, 1.0f}, 0};
      break;
    }
  }
  for (const auto& [handle, e] : w.entities()) {
    if (!e.exists || handle == ignore || !tests_kind(flags, e.kind) || length2 == 0.0f) continue;
    const Vec to{e.position.x - a.x, e.position.y - a.y, e.position.z - a.z};
    const float t = (to.x * d.x + to.y * d.y + to.z * d.z) / length2;
    if (t < 0.0f || t > 1.0f || t >= best) continue;
    const Vec at{a.x + d.x * t, a.y + d.y * t, a.z + d.z * t};
    if (distance(at, e.position) > radius_of(e)) continue;
    best = t;
    const float length = std::sqrt(length2);
    r = ShapeTest{true, at, Vec{-d.x / length, -d.y / length, -d.z / length}, handle};
  }
  return r;
}

void start_probe(World& w, NativeCall& c) {
  const int32_t handle = w.environment.next_shape_test++;
  w.environment.shape_tests[handle] =
      probe(w, Vec{c.f(0), c.f(1), c.f(2)}, Vec{c.f(3), c.f(4), c.f(5)}, c.i(6), c.i(7));
  c.ret_int(handle);
}

// 2: the result is ready, written out, and the test is over; 0: no such test.
void shape_test_result(World& w, NativeCall& c) {
  auto& tests = w.environment.shape_tests;
  const auto it = tests.find(c.i(0));
  const ShapeTest r = it != tests.end() ? it->second : ShapeTest{};
  *c.p<int32_t>(1) = r.hit ? 1 : 0;
  write_vector(c, 2, r.hit ? r.end : Vec{});
  write_vector(c, 3, r.hit ? r.normal : Vec{});
  *c.p<int32_t>(4) = r.entity;
  if (it == tests.end()) return;
  tests.erase(it);
  c.ret_int(2);
}

}  // namespace

void Environment::know_place(Vec at) {
  if (!std::isfinite(at.x) || !std::isfinite(at.y) || !std::isfinite(at.z)) return;
  for (const Vec& p : places) {
    if (p.x == at.x && p.y == at.y && p.z == at.z) return;
  }
  places.push_back(at);
}

float Environment::ground_at(float x, float y) const {
  float ground = ground_z;
  float nearest = INFINITY;
  for (const Vec& p : places) {  // a later place wins a tie
    const float dx = x - p.x;
    const float dy = y - p.y;
    const float d = dx * dx + dy * dy;
    if (d <= nearest) {
      nearest = d;
      ground = p.z;
    }
  }
  return ground;
}

NativeRows environment_native_rows() {
  static const DomainRow rows[] = {
      {Native::GET_GROUND_Z_FOR_3D_COORD, ground_z},
      {Native::GET_SAFE_COORD_FOR_PED,
       [](World& w, NativeCall& c) {
         write_vector(c, 4, Vec{c.f(0), c.f(1), w.environment.ground_at(c.f(0), c.f(1))});
         c.ret_bool(true);  // the flat ground is safe everywhere
       }},

      // Lines tested against the world, answered at once
      {Native::START_SHAPE_TEST_LOS_PROBE, start_probe},
      {Native::START_EXPENSIVE_SYNCHRONOUS_SHAPE_TEST_LOS_PROBE, start_probe},
      {Native::GET_SHAPE_TEST_RESULT, shape_test_result},

      // The weather, the wind and the light
      {Native::SET_WEATHER_TYPE,
       [](World& w, NativeCall& c) {
         set_weather(w, c.u(0));
         w.environment.weather_persists = c.b(1);
       }},
      {Native::SET_OVERRIDE_WEATHER_, [](World& w, NativeCall& c) { set_weather(w, c.u(0)); }},
      {Native::CLEAR_OVERRIDE_WEATHER, [](World& w, NativeCall&) { set_weather(w, 0); }},
      {Native::CLEAR_WEATHER_TYPE_PERSIST,
       [](World& w, NativeCall&) { w.environment.weather_persists = false; }},
      {Native::GET_PREV_WEATHER_TYPE_HASH_NAME_,
       [](World& w, NativeCall& c) { c.ret_int(static_cast<int32_t>(weather_now(w))); }},
      {Native::GET_NEXT_WEATHER_TYPE_HASH_NAME_,
       [](World& w, NativeCall& c) { c.ret_int(static_cast<int32_t>(weather_now(w))); }},
      {Native::SET_WIND_SPEED, [](World& w, NativeCall& c) { w.environment.wind_speed = c.f(0); }},
      {Native::GET_WIND_SPEED,
       [](World& w, NativeCall& c) { c.ret_float(w.environment.wind_speed); }},
      {Native::SET_WIND_DIRECTION,
       [](World& w, NativeCall& c) { w.environment.wind_direction = c.f(0); }},
      // The wind's direction as a vector on the ground, from its angle.
      {Native::GET_WIND_DIRECTION,
       [](World& w, NativeCall& c) {
         const float a = w.environment.wind_direction;
         c.ret_vector(-std::sin(a), std::cos(a), 0.0f);
       }},
      {Native::SET_SNOW_COVERAGE_TYPE_,
       [](World& w, NativeCall& c) { w.environment.snow_coverage = c.i(0); }},
      {Native::SET_TIMECYCLE_MODIFIER,
       [](World& w, NativeCall& c) { w.environment.timecycle = c.s(0); }},
      {Native::SET_TIMECYCLE_MODIFIER_STRENGTH,
       [](World& w, NativeCall& c) { w.environment.timecycle_strength = c.f(0); }},
      {Native::CLEAR_TIMECYCLE_MODIFIER,
       [](World& w, NativeCall&) { w.environment.timecycle.clear(); }},

      // Sounds and music
      {checked_as(Native::PLAY_SOUND_FRONTEND, "szba"),
       [](World& w, NativeCall& c) { play_sound(w, c, true); }},
      {checked_as(Native::STOP_SOUND_WITH_NAME_, "sz"),
       [](World& w, NativeCall& c) {
         const std::string set = c.args[1] != 0 ? c.s(1) : "";
         for (Sound& s : w.environment.sounds) {
           if (s.name == c.s(0) && s.set == set) s.stopped = true;
         }
       }},
      {Native::PREPARE_MUSIC_EVENT, [](World&, NativeCall& c) { c.ret_bool(c.s(0)[0] != '\0'); }},
      {Native::TRIGGER_MUSIC_EVENT,
       [](World& w, NativeCall& c) {
         if (c.s(0)[0] == '\0') return;
         w.environment.music_events.emplace_back(c.s(0));
         c.ret_bool(true);
       }},

      // A mission is on while a script says so.
      {Native::SET_MISSION_FLAG,
       [](World& w, NativeCall& c) { w.environment.mission_flag = c.b(0); }},
      {Native::GET_MISSION_FLAG,
       [](World& w, NativeCall& c) { c.ret_bool(w.environment.mission_flag); }},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
