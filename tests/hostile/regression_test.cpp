// Faults the soaks and the explored sequences found, each kept as the
// smallest run through the real plug-in that shows it.

#include <gtest/gtest.h>

#include "cinema_fixture.h"
#include "lookups.h"
#include "train_world.h"

namespace {

using cinema_test::CinemaPost;

TEST_F(CinemaPost, AHandOverWhoseSceneTheGameCouldNotMakeDoesNotHoldTheCinema) {
  world().place_player(cinema_test::home_x + 2.0f, cinema_test::home_y, cinema_test::home_z);
  load();
  ASSERT_TRUE(run_until_spawned());
  world().fail_native(0x1FCA98E33C1437B3);  // _CREATE_ANIM_SCENE yields 0
  ASSERT_TRUE(world().complete_prompt(buy_prompt().handle));
  ASSERT_TRUE(
      host().run_until([&] { return world().count_calls("_CREATE_ANIM_SCENE") == 1; }, 600));

  stand_west_of_home(300.0f);
  EXPECT_TRUE(host().run_until([&] { return world().blips.live().empty(); }, 120))
      << "the post is removed once the player walks away";
}

}  // namespace

namespace {

using toytrain_test::TrainWorld;

TEST_F(TrainWorld, WhileTheGameCannotHashTheModelNameNoTrainIsMadeAndNothingPilesUp) {
  world().fail_native(0xFD340785ADF8CFB7);  // GET_HASH_KEY answers 0
  load(10.0f);
  host().run_frames(20);
  EXPECT_FALSE(world().any_live_entity_of(0)) << test_support::entities_text(world());
  EXPECT_EQ(world().prompts_labelled("Turn on").size(), 1u) << test_support::prompts_text(world());
  EXPECT_FALSE(switched_on("Turn on"));
  EXPECT_TRUE(switched_on("Turn off")) << "the set-up's last switch, with no train";

  world().fail_native(0xFD340785ADF8CFB7, false);
  EXPECT_TRUE(run_until_set_up(20));
}

}  // namespace
