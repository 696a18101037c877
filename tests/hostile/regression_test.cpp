// Faults the soaks and the explored sequences found, each kept as the
// smallest run through the real plug-in that shows it.

#include <gtest/gtest.h>

#include "cinema_fixture.h"
#include "joaat.h"
#include "train_world.h"

namespace {

using cinema_test::CinemaPost;

class CinemaFound : public CinemaPost {
 protected:
  const sim::PromptState* buy_prompt() {
    for (const auto& [handle, p] : world().prompts()) {
      if (!p.deleted && p.label.rfind("Buy Ticket", 0) == 0) return &p;
    }
    return nullptr;
  }
};

TEST_F(CinemaFound, AHandOverWhoseSceneTheGameCouldNotMakeDoesNotHoldTheCinema) {
  world().place_player(cinema_test::home_x + 2.0f, cinema_test::home_y, cinema_test::home_z);
  load();
  ASSERT_TRUE(run_until_spawned());
  ASSERT_NE(buy_prompt(), nullptr);
  world().fail_native(0x1FCA98E33C1437B3);  // _CREATE_ANIM_SCENE yields 0
  ASSERT_TRUE(world().complete_prompt(buy_prompt()->handle));
  ASSERT_TRUE(
      host().run_until([&] { return world().count_calls("_CREATE_ANIM_SCENE") == 1; }, 600));

  stand_west_of_home(300.0f);
  EXPECT_TRUE(host().run_until([&] { return world().blips.live().empty(); }, 120))
      << "the post is removed once the player walks away";
}

}  // namespace

namespace {

using toytrain_test::TrainWorld;

TEST_F(TrainWorld, ATrainTheGameWronglyReportsGoneIsNotLeftStandingBesideTheNextOne) {
  load_with_train();
  world().fail_native(0xD42BD6EB2E0F1677);  // DOES_ENTITY_EXIST answers false
  host().run_frames(30);
  world().fail_native(0xD42BD6EB2E0F1677, false);
  host().run_frames(5);
  EXPECT_EQ(trains().size(), 1u);
  EXPECT_EQ(live_tracks(), 1u);
}

}  // namespace
