#include "soak.h"

#include <chrono>
#include <cmath>
#include <random>
#include <vector>

#include "deliverables.h"
#include "host.h"
#include "native_row.h"

namespace soak {

namespace {

struct Band {
  float low, high;  // metres from the deliverable's site
  bool in_range;    // the deliverable is present here
  bool out_of_range;
};

// How a soak walks one deliverable, around the world's description of it.
struct Walk {
  const sim::Deliverable* deliverable;
  const char* plugin;
  const char* first_of_pass;  // the native each pass begins with
  std::vector<Band> bands;
  std::vector<sim::Vec> spots;  // exact places worth standing at (inside, at the chair)
};

Walk walk_for(const std::string& name) {
  if (name == "cinema") {
    // A metre either side of the rings is where a walk stays undecided.
    const float open = sim::cinema_deliverable.spawn, close = sim::cinema_deliverable.despawn;
    return {&sim::cinema_deliverable,
            CINEMA_PLUGIN,
            "_GET_PED_USING_SCENARIO_POINT",
            {{0.0f, 4.0f, true, false},
             {4.0f, 7.0f, true, false},
             {7.0f, open - 1.0f, true, false},
             {open - 1.0f, close + 1.0f, false, false},
             {close + 1.0f, 400.0f, false, true},
             {2000.0f, 5000.0f, false, true}},
            {{-3608.0f, -2645.0f, -11.7f}, sim::cinema_places[1].at}};
  }
  if (name == "toytrain") {
    const float radius = sim::toytrain_deliverable.spawn;
    return {&sim::toytrain_deliverable,
            TOYTRAIN_PLUGIN,
            "GET_DISTANCE_BETWEEN_COORDS",
            {{0.0f, 3.0f, true, false},
             {3.0f, radius - 1.0f, true, false},
             {radius - 1.0f, radius + 1.0f, false, false},
             {radius + 1.0f, 400.0f, false, true},
             {2000.0f, 5000.0f, false, true}},
            {}};
  }
  return {nullptr, nullptr, nullptr, {}, {}};
}

float distance_to(const sim::Vec& a, float x, float y, float z) {
  const float dx = a.x - x, dy = a.y - y, dz = a.z - z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

}  // namespace

sim::Vec centre_of(const std::string& deliverable) {
  const sim::Deliverable* d = sim::find_deliverable(deliverable);
  return d != nullptr ? d->site().at : sim::Vec{};
}

const sim::NativeRow* first_of_pass(const std::string& deliverable) {
  const char* name = walk_for(deliverable).first_of_pass;
  return name != nullptr ? sim::native_row_named(name).row : nullptr;
}

int live_bound(const std::string& deliverable) {
  // At full presence the cinema holds its taker, seven of the audience with
  // their chairs and points, the screen, the player's chair and seat, the
  // blip, four prompts, the hand-over scene and the screen's target.
  return deliverable == "cinema" ? 34 : 8;
}

sim::Holdings kept_when_away(const std::string& deliverable) {
  sim::Holdings h{};
  if (deliverable == "cinema") {
    // The screen and the player's chair; and the money clip of a hand-over
    // walked away from before its payment, which the next sale removes.
    h[static_cast<size_t>(sim::Thing::entity)] = 3;
    h[static_cast<size_t>(sim::Thing::prompt)] = 4;  // buy, info, sit, leave
    h[static_cast<size_t>(sim::Thing::scene)] = 1;   // the last hand-over, released by the next
    // The player's seat point of a sale made before any post (the buy prompt
    // is on from the set-up); the next removal of a post deletes it.
    h[static_cast<size_t>(sim::Thing::point)] = 1;
  }
  return h;
}

std::string Report::text() const {
  std::string fault_text;
  for (size_t n = 0; n < faults.size(); ++n) {
    if (faults[n] == 0) continue;
    if (!fault_text.empty()) fault_text += ", ";
    fault_text +=
        std::string(sim::fault_name(static_cast<sim::Fault>(n))) + ' ' + std::to_string(faults[n]);
  }
  char wall[32];
  std::snprintf(wall, sizeof wall, "%.1f", wall_seconds);
  return "frames " + std::to_string(frames) + "\nvisits " + std::to_string(visits) +
         "\nprompts completed " + std::to_string(completions) + "\nfaults " +
         (fault_text.empty() ? "none" : fault_text) + "\npeak owned live " +
         std::to_string(peak_total) + " (" + sim::holdings_text(peak) + ")\nwall " + wall + " s\n" +
         (sound() ? "sound" : "FAILED: " + failure) + '\n';
}

Report run(const Options& o) {
  const auto started = std::chrono::steady_clock::now();
  Report r;
  const Walk d = walk_for(o.deliverable);
  if (d.plugin == nullptr) {
    r.failure = "no deliverable named \"" + o.deliverable + "\"";
    return r;
  }
  const sim::Deliverable& site = *d.deliverable;
  const sim::Vec centre = site.site().at;
  sim::Host& host = sim::Host::get();
  host.reset();
  sim::World* w = &host.world();
  w->journal.recording_calls = o.trace;
  std::mt19937_64 rng(o.seed);
  auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; };
  auto below = [&](size_t n) { return static_cast<size_t>(rng() % n); };

  if (o.faults) {
    w->faults.enable(o.seed ^ 0x5eed, o.fault_rate);
    if (chance(0.5)) w->faults.start(*w, sim::Fault::timer_near_wrap);
  }
  const HMODULE module = host.load_plugin(d.plugin);
  if (module == nullptr) {
    r.failure = "cannot load " + std::string(d.plugin);
    return r;
  }

  const int hang_frames = 1800;  // 30 s of quiet game with no fault to hold a wait
  const sim::Holdings kept = kept_when_away(o.deliverable);
  const int bound = live_bound(o.deliverable);
  int stall = 0;
  const sim::NativeRow* pass_begins = first_of_pass(o.deliverable);
  uint64_t last_passes = 0;
  uint64_t away_frames = 0;  // frames the player has been out of range, settled
  uint64_t stay = 0;         // frames left before the player moves again
  bool was_out = true;

  for (uint64_t f = 0; f < o.frames; ++f) {
    if (stay == 0) {
      // Walk somewhere else: a band at a random bearing, or one of the spots.
      if (!d.spots.empty() && chance(0.25)) {
        const sim::Vec& p = d.spots[below(d.spots.size())];
        w->place_player(p.x, p.y, p.z);
      } else {
        const Band& b = d.bands[below(d.bands.size())];
        const float dist = std::uniform_real_distribution<float>(b.low, b.high)(rng);
        const float bearing = std::uniform_real_distribution<float>(0.0f, 6.2831853f)(rng);
        w->place_player(centre.x + dist * std::cos(bearing), centre.y + dist * std::sin(bearing),
                        centre.z);
      }
      stay = 1 + rng() % 900;
    }
    --stay;

    // The player takes what is offered, now and then.
    if (chance(0.01)) {
      std::vector<int32_t> offered;
      for (const auto& [handle, p] : w->prompts()) {
        if (w->prompt_offered(p)) offered.push_back(handle);
      }
      if (!offered.empty() && w->complete_prompt(offered[below(offered.size())])) {
        ++r.completions;
      }
    }

    if (o.trace && f % 2000 == 0) w->clear_record();
    host.run_frame();
    ++r.frames;

    if (!w->violations().empty()) {
      r.failure = "frame " + std::to_string(w->frame()) + ": " + w->violations().front();
      break;
    }
    if (f + 1 == o.frames) break;
    // A pass that does not end is a hang unless a fault is holding it.
    if (w->calls_of(pass_begins) != last_passes) {
      last_passes = w->calls_of(pass_begins);
      stall = 0;
    } else if (!w->faults.holds_a_wait() && ++stall > hang_frames) {
      r.failure = "frame " + std::to_string(w->frame()) + ": the pass has not ended for " +
                  std::to_string(hang_frames) + " frames with no fault left";
      break;
    }
    if (f % 4096 == 0) w->forget_what_is_gone();
    if (f % 64 == 0 || stay == 0) {
      const sim::Holdings h = w->holdings(sim::PluginId{module});
      const int total = sim::total(h);
      for (size_t k = 0; k < h.size(); ++k) r.peak[k] = std::max(r.peak[k], h[k]);
      r.peak_total = std::max(r.peak_total, total);
      if (total > bound) {
        r.failure = "frame " + std::to_string(w->frame()) + ": the plug-in holds " +
                    std::to_string(total) + " live things (" + sim::holdings_text(h) +
                    "), more than " + std::to_string(bound);
        break;
      }
    }
    // Long out of range with the script back in its passes: only what the
    // design keeps remains.
    // Where the player is now: the plug-in may have moved him (seated him).
    const float d_centre = distance_to(w->player_position(), centre.x, centre.y, centre.z);
    const bool out_of_range = d_centre > site.despawn;  // NaN counts as neither
    if (d_centre < site.spawn && was_out) ++r.visits;
    if (d_centre < site.spawn) was_out = false;
    if (out_of_range) was_out = true;
    away_frames = out_of_range && !w->faults.any_active() ? away_frames + 1 : 0;
    if (away_frames == 600) {
      const sim::Holdings h = w->holdings(sim::PluginId{module});
      for (size_t k = 0; k < h.size(); ++k) {
        if (h[k] > kept[k]) {
          r.failure = "frame " + std::to_string(w->frame()) + ": away from the " + o.deliverable +
                      ", it still holds " + sim::holdings_text(h) + "; it keeps only " +
                      sim::holdings_text(kept);
          break;
        }
      }
      if (!r.failure.empty()) break;
    }
  }
  if (o.trace && !r.sound()) r.recent = w->record_text();
  for (size_t n = 0; n < r.faults.size(); ++n) {
    r.faults[n] = w->faults.injected(static_cast<sim::Fault>(n));
  }
  host.reset();
  r.wall_seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  return r;
}

}  // namespace soak
