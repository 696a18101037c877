#pragma once
// Testing a mod in the stand-in: a fresh game per test, the mod's native
// build loaded into it, the scenario steps and expectations to drive and
// check it, and what happened as plain records. No test framework is
// needed; with GoogleTest a whole test reads:
//
//   #include <gtest/gtest.h>
//   #include <rdr2-standin/testing.h>
//
//   TEST(HireHorse, OffersItsPromptAndHiresAHorse) {
//     standin::Game game;
//     game.step("start at -2361.5 -2395.1 62.1");
//     ASSERT_TRUE(game.load(MY_MOD_PLUGIN));
//     EXPECT_TRUE(game.step(R"(
//       walk to -2358 -2392 62.1 over 2 s
//       expect prompt "Hire Horse" offered
//       complete "Hire Horse"
//       wait until 1 live a_c_horse_morgan_bay within 3 s
//       expect money changed by -500
//     )"));
//     const auto horses = game.live_things("ped", "my_mod");
//     ASSERT_EQ(horses.size(), 1u);
//     EXPECT_EQ(horses[0].model, "a_c_horse_morgan_bay");
//     EXPECT_TRUE(game.finish());  // it unloads cleanly
//     EXPECT_TRUE(game.violations().empty());
//   }
//
// A failing step prints what the scenario runner would:
//   my_mod_test.cpp:11: expect prompt "Hire Horse" offered: the world held no prompt offered
//
// game.h: the game and its steps; records.h: what happened; result.h: a
// step's outcome and message.

#include "game.h"     // IWYU pragma: export
#include "records.h"  // IWYU pragma: export
#include "result.h"   // IWYU pragma: export
