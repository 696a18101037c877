// The cinema's post end to end: the player comes to the counter, is
// welcomed, goes into the theater while a film is on, walks out, is bid
// farewell, and leaves; the post goes with him. No film information is
// asked for, so the record does not hang on the C library's film draw.

#include <string>

#include "../support/lookups.h"
#include "joaat.h"
#include "scenario.h"

namespace {

constexpr float home_x = -3613.994f;
constexpr float home_y = -2642.941f;
constexpr float home_z = -12.496f;

size_t spawns(sim::World& w) { return w.count_calls("SET_SCRIPT_GFX_DRAW_BEHIND_PAUSEMENU"); }

}  // namespace

SIM_SCENARIO(cinema_post_visit, cinema) {
  sim::World& w = s.world();
  w.place_player(home_x - 3.0f, home_y, home_z);
  if (!s.check(s.load() != nullptr, "the plug-in loads")) return;

  s.check(s.host.run_until([&] { return spawns(w) >= 1; }, 4000), "the post spawns");
  s.check(w.blips.live().size() == 1, "the theater's blip is on the map");
  s.check(w.live_entities("s_m_m_blwdealer_01").size() == 1, "the ticket taker stands at his post");
  s.check(w.live_entities("sh_church_chair").size() == 8, "seven audience chairs and the player's");
  const auto buy = test_support::find_prompt_beginning(w, "Buy Ticket (");
  s.check(buy && buy.found->label == "Buy Ticket ($1.00)",
          "the buy prompt shows the price, \"Buy Ticket ($1.00)\": " +
              (buy ? "it reads " + test_support::quoted(buy.found->label) : buy.miss));
  s.host.run_frames(2);
  s.check(w.speech.lines("WELCOME").size() == 1, "the taker says WELCOME");

  w.tv.channel = 1;  // a film is on
  w.place_player(-3608.0f, -2645.0f, -11.7f);
  s.host.run_frames(3);
  w.place_player(home_x - 6.0f, home_y, home_z);
  s.host.run_frames(3);
  s.check(w.tv.channel == 1, "the film stays on right after the walk-out");
  s.host.run_for_ms(5100);
  s.check(w.tv.channel == -1, "the film channel is off 5000 ms after the walk-out");
  s.check(w.speech.lines("FAREWELL_DURING_SHOW").empty(), "no farewell from afar");
  w.place_player(home_x - 4.0f, home_y, home_z);
  s.host.run_frames(3);
  s.check(w.speech.lines("FAREWELL_DURING_SHOW").size() == 1, "the farewell within 4.5 m, once");

  w.place_player(home_x - 111.0f, home_y, home_z);
  s.host.run_frames(2);
  s.check(w.live_entities("s_m_m_blwdealer_01").empty(), "the taker is gone");
  s.check(w.live_entities("sh_church_chair").size() == 1, "only the player's chair is left");
  s.check(w.blips.live().empty(), "the blip is gone");
  s.note("spoken lines: " + std::to_string(w.speech.spoken.size()));
}
