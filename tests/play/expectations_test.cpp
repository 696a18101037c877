// Expectations that must fail when the world held something close to what
// they name but not it: a sign, a count, a value on either side, a drawing
// that has stopped, a text in another colour or at another scale, a thing
// a scenario spawned that is gone.

#include <gtest/gtest.h>

#include "play_runs.h"

namespace play_test {
namespace {

// Plays the scenario: the line before the last expectation holds, the last
// fails, and says what the world held.
// With `plugin`, that plug-in is played in place of the deliverables.
void expect_last_fails(const std::string& name, const std::string& text, int last_line,
                       const std::string& held, const std::string& plugin = "") {
  SCOPED_TRACE(name);
  const std::string file = write_scenario(name, text);
  const PlayRun run = plugin.empty() ? play_here(file) : play_plugin_here(plugin, file);
  EXPECT_EQ(run.status, 1) << run.out;
  const std::string at = file + ":" + std::to_string(last_line) + ": ";
  EXPECT_EQ(run.err.rfind(at, 0), 0u) << run.err;
  const size_t world = run.err.find("the world held ");
  ASSERT_NE(world, std::string::npos) << run.err;
  EXPECT_NE(run.err.find(held, world), std::string::npos) << run.err;
}

const std::string bought =
    "deliverable cinema\n"                             // 1
    "seed 7\n"                                         // 2
    "start at 3 m west of post\n"                      // 3
    "wait until 8 live chair within 10 s\n"            // 4
    "wait until said taker WELCOME once within 1 s\n"  // 5
    "complete \"Buy Ticket ($1.00)\"\n"                // 6
    "wait 15.45 s\n";                                  // 7

TEST(Expectations, MoneyChangedByHoldsOnlyForTheChangeWithItsSign) {
  expect_last_fails("money_sign",
                    bought +
                        "expect money changed by -100\n"  // 8
                        "expect money changed by 100\n",  // 9
                    9, "money changed by -100 ");
}

TEST(Expectations, SaidOnceOrNTimesHoldsOnlyForThatMany) {
  const std::string twice =
      "deliverable cinema\n"                                 // 1
      "seed 3\n"                                             // 2
      "start at 3 m west of post\n"                          // 3
      "wait until said taker WELCOME once within 10 s\n"     // 4
      "walk to 111 m west of post over 4 s\n"                // 5
      "wait 1 frame\n"                                       // 6
      "walk to 3 m west of post over 8 s\n"                  // 7
      "wait until said taker WELCOME 2 times within 1 s\n";  // 8
  expect_last_fails("said_once", twice + "expect said taker WELCOME once\n", 9, "lines said: ");
  expect_last_fails("said_three", twice + "expect said taker WELCOME 3 times\n", 9, "lines said: ");
}

TEST(Expectations, SpeedAboutFailsForAValueOnEitherSide) {
  const std::string turning =
      "deliverable toytrain\n"                         // 1
      "start at 1 m east of site\n"                    // 2
      "wait until train speed about 0.6 within 3 s\n"  // 3
      "expect train speed about 0.6\n";                // 4
  expect_last_fails("speed_above", turning + "expect train speed about 0.9\n", 5,
                    "train speed 0.5");
  expect_last_fails("speed_below", turning + "expect train speed about 0.3\n", 5,
                    "train speed 0.5");
}

TEST(Expectations, TargetDrawnHoldsOnlyWhileItIsDrawnInto) {
  expect_last_fails("target_stopped",
                    bought +
                        "wait until tv channel 1 within 0.1 s\n"          // 8
                        "wait 1 frame\n"                                  // 9
                        "expect target bla_theater drawn at alpha 155\n"  // 10
                        "teleport to 95 m west of post\n"                 // 11
                        "wait 2 frames\n"                                 // 12
                        "expect 1 live taker\n"                           // 13
                        "expect tv channel 1\n"                           // 14
                        "expect target bla_theater drawn\n",              // 15
                    15, "bla_theater was last drawn into at frame ");
}

TEST(Expectations, TargetDrawnAtAnAlphaHoldsOnlyForThatOpacity) {
  expect_last_fails("target_opaque",
                    bought +
                        "wait until tv channel 1 within 0.1 s\n"           // 8
                        "wait 1 frame\n"                                   // 9
                        "expect target bla_theater drawn at alpha 155\n"   // 10
                        "expect target bla_theater drawn at alpha 255\n",  // 11
                    11, "at alpha 155");
}

// The menu trainer draws its title at 0.5 and its lines at 0.35, the line
// chosen in yellow (255 220 0), the others in white.
const std::string menu_open =
    "start at -2361.5 -2395.1 62.1\n"  // 1
    "wait 1 s\n"                       // 2
    "hold F4 for 0.05 s\n"             // 3
    "wait 1 frames\n";                 // 4

TEST(Expectations, TextDrawnInAColourHoldsOnlyForTheColourItWasDrawnIn) {
  expect_last_fails("text_colour",
                    menu_open +
                        "expect text \"> Spawn ped\" drawn in 255 220 0 255\n"  // 5
                        "expect text \"> Spawn ped\" drawn in 255 255 255\n",   // 6
                    6, "\"> Spawn ped\" in 255 220 0 255 at scale 0.35", MENU_TRAINER_PLUGIN);
  expect_last_fails("text_alpha",
                    menu_open +
                        "expect text \"Delete ped\" drawn in 255 255 255\n"       // 5
                        "expect text \"Delete ped\" drawn in 255 255 255 128\n",  // 6
                    6, "\"Delete ped\" in 255 255 255 255", MENU_TRAINER_PLUGIN);
}

TEST(Expectations, TextDrawnAtAScaleHoldsOnlyForTheScaleItWasDrawnAt) {
  expect_last_fails("text_scale",
                    menu_open +
                        "expect text \"Main menu\" drawn at scale 0.5\n"    // 5
                        "expect text \"Main menu\" drawn at scale 0.35\n",  // 6
                    6, "\"Main menu\" in 255 255 255 255 at scale 0.5", MENU_TRAINER_PLUGIN);
}

TEST(Expectations, NLiveCountsWhatASpawnStepMadeByTheNameItGave) {
  const std::string herd =
      "deliverable toytrain\n"                             // 1
      "start at 50 m west of site\n"                       // 2
      "spawn a_c_deer_01 at 40 m west of site as deer\n"   // 3
      "spawn a_c_deer_01 at 41 m west of site as deer\n"   // 4
      "spawn a_c_deer_01 at 42 m west of site as stray\n"  // 5
      "wait 1 frames\n"                                    // 6
      "expect 2 live deer\n"                               // 7
      "expect 1 live stray\n"                              // 8
      "expect 3 live a_c_deer_01\n";                       // 9
  expect_last_fails("spawned_named", herd + "expect 3 live deer\n", 10, "2 live deer");
  expect_last_fails("spawned_removed",
                    herd +
                        "remove stray\n"               // 10
                        "expect 0 live stray\n"        // 11
                        "expect 2 live a_c_deer_01\n"  // 12
                        "expect 1 live stray\n",       // 13
                    13, "0 live stray");
}

// What a plug-in holds is what it made less what went, thing by thing:
// the seats stand while the post is open, and the hand-over's scene stays.
TEST(Expectations, NothingLeftFailsNamingWhatThePlugInStillHoldsOfThatKind) {
  const std::string open =
      "deliverable cinema\n"                   // 1
      "start at 3 m west of post\n"            // 2
      "wait until 8 live chair within 10 s\n"  // 3
      "expect nothing left of scenes\n";       // 4
  expect_last_fails("points_left", open + "expect nothing left of points\n", 5,
                    "cinema.so holds scenario point 7\n");
  expect_last_fails("scene_left",
                    bought +
                        "walk to 120 m west of post over 5 s\n"  // 8
                        "wait 1 s\n"                             // 9
                        "expect nothing left of points\n"        // 10
                        "expect nothing left of blips\n"         // 11
                        "expect nothing left of scenes\n",       // 12
                    12, "cinema.so holds scene 1\n");
}

// The game gives the handle of the plug-in's entity to a ped of its own in
// the same frame: the plug-in's thing is gone, the ped is the game's.
TEST(Expectations, NothingLeftCountsAThingWhoseHandleTheGameGaveAwayAsGone) {
  const std::string file = write_scenario("handle_given_away",
                                          "deliverable toytrain\n"
                                          "start at 1 m east of site\n"
                                          "wait until 1 live track within 1 s\n"
                                          "fault \"handle reused\"\n"
                                          "wait 2 frames\n"
                                          "expect nothing left of entities\n");
  const PlayRun run = play_here(file);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, file +
                         ":6: expect nothing left of entities: the world held toytrain.so holds "
                         "entity 1\n");
  EXPECT_NE(run.out.find("+ ped a_c_cat_01 at "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("    made entity 2, prompt 2, effect 1; still holds entity 1, prompt 2"),
            std::string::npos)
      << run.out;
}

}  // namespace
}  // namespace play_test
