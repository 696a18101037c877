// The theater's venue: audience seats, the hush, the interior test, and a
// pass that finds someone on the player's seat.

#include "venue.h"

#include <gtest/gtest.h>

#include "cinema_fixture.h"
#include "main_loop.h"
#include "natives.h"
#include "test_script.h"

namespace cinema_test {
namespace {

using test_support::run_script;
using Venue = CinemaPost;

TEST_F(Venue, AMemberIsMadeAtTheAnchorAndReachesTheSeatThroughTheSeatTask) {
  SeatProps props;
  Ped ped = 0;
  sim::Vec made_at;
  ASSERT_TRUE(run_script([&] {
    ped = spawn_audience_seat(audience_seats[0], props);
    made_at = must(find_entity(world(), ped)).position;
  }));
  EXPECT_FLOAT_EQ(made_at.x, -3605.7776f);
  EXPECT_FLOAT_EQ(made_at.y, -2645.091f);
  host().run_frame();
  const sim::Vec seat = must(find_entity(world(), ped)).position;
  EXPECT_FLOAT_EQ(seat.x, -3605.7776f + 0.5f);
  EXPECT_FLOAT_EQ(seat.y, -2645.091f + 0.5f);
  EXPECT_FLOAT_EQ(seat.z, -11.700739f + 0.5f);
  EXPECT_EQ(must(find_point(world(), props.point)).user, ped);
  EXPECT_EQ(must(find_point(world(), props.point)).entity, props.chair);
  const sim::EntityState& chair = must(find_entity(world(), props.chair));
  EXPECT_TRUE(chair.frozen);
  EXPECT_FALSE(chair.climbable);
  EXPECT_FALSE(chair.auto_vault);

  ASSERT_TRUE(run_script([&] { remove_seat_props(props); }));
  EXPECT_TRUE(world().points.live().empty());
  EXPECT_TRUE(world().live_entities("sh_church_chair").empty());
}

TEST_F(Venue, APedThatIsNotThereIsNotDressedButItsSeatIsStillSwitchedOnAndUsed) {
  world().fail_native(native::CREATE_PED);  // makes nothing
  SeatProps props;
  ASSERT_TRUE(run_script([&] { spawn_audience_seat(audience_seats[2], props); }));
  EXPECT_EQ(world().count_calls("_EQUIP_META_PED_OUTFIT_PRESET"), 1u) << "only spawn_ped's own";
  EXPECT_EQ(world().calls_to("_SET_SCENARIO_POINT_ACTIVE").size(), 1u);
  EXPECT_EQ(must(find_call(world(), "TASK_USE_SCENARIO_POINT")).text(),
            "TASK_USE_SCENARIO_POINT(0, " + std::to_string(props.point) +
                ", \"PROP_HUMAN_SEAT_CHAIR_SMOKING\", -1, 0, 0, 0, 0, -1, 0)");
}

TEST_F(Venue, HushingAPedThatIsNotTalkingIsOneTest) {
  ASSERT_TRUE(run_script([&] {
    hush_audience_member(0);
    hush_audience_member(world().player_ped());
  }));
  EXPECT_EQ(world().calls().size(), 2u);
  EXPECT_EQ(world().count_calls("IS_ANY_SPEECH_PLAYING"), 2u);
}

TEST_F(Venue, ThePlayerIsInTheTheaterOnlyWhileInsideIt) {
  bool before = true, inside = false, after = true, failing = true;
  stand_west_of_home(1.0f);
  ASSERT_TRUE(run_script([&] { before = player_in_theater(); }));
  stand_inside();
  ASSERT_TRUE(run_script([&] { inside = player_in_theater(); }));
  stand_west_of_home(1.0f);
  ASSERT_TRUE(run_script([&] { after = player_in_theater(); }));
  stand_inside();
  world().fail_native(0x8451E87D3C2B0286);  // the query writes nothing
  ASSERT_TRUE(run_script([&] { failing = player_in_theater(); }));
  EXPECT_FALSE(before);
  EXPECT_TRUE(inside);
  EXPECT_FALSE(after) << "walking out is seen although the query writes no name";
  EXPECT_FALSE(failing);
}

// A pass on a state record of the test's own, with a seat point in place.
class SeatOccupant : public CinemaPost {
 protected:
  CinemaState s;
  Vector3 offset{};
  int32_t point = 0;
  bool set_up = false;

  void SetUp() override {
    CinemaPost::SetUp();
    stand_west_of_home(200.0f);
    test_support::start_script([this] {
      offset = cinema_set_up(s);
      set_up = true;
      for (;;) {
        cinema_pass(s, offset);
        scriptWait(0);
      }
    });
    // The set-up waits for the screen's and the chair's models.
    ASSERT_TRUE(host().run_until([&] { return set_up; }, 100));
    // Far from the theater, so that no post is spawned meanwhile.
    const int32_t chair = world().create_entity(
        sim::EntityKind::object, sim::joaat("sh_church_chair"), sim::Vec{10.0f, 10.0f, 0.0f}, 0.0f);
    sim::ScenarioPointState p;
    p.handle = point = world().points.next_handle++;
    p.entity = chair;
    world().points.all[p.handle] = p;
    s.seat_scenario = point;
    world().owners.give(sim::Thing::point, point,
                        test_support::test_plugin());  // the cinema's seat
  }

  void sit(int32_t ped) { world().peds.get(ped).point = point; }
};

TEST_F(SeatOccupant, AStrangerOnTheSeatIsRemoved) {
  const int32_t stranger =
      world().create_entity(sim::EntityKind::ped, sim::joaat("a_f_m_tumtownfolk_01"), {}, 0.0f);
  sit(stranger);
  host().run_frames(2);
  EXPECT_FALSE(world().exists(stranger));
}

TEST_F(SeatOccupant, ThePlayerIsLeftOnTheSeatEvenWithANewPed) {
  sit(world().player_ped());
  host().run_frames(2);
  EXPECT_TRUE(world().exists(world().player_ped()));

  world().replace_player_ped("PLAYER_ZERO");  // the game gives the player a new ped
  const int32_t new_ped = world().player_ped();
  ASSERT_NE(new_ped, s.player_ped);
  sit(new_ped);
  host().run_frames(3);
  EXPECT_EQ(world().count_calls("BLIP_ADD_FOR_COORDS"), 0u);
  EXPECT_TRUE(world().exists(new_ped)) << "the player's own ped is never deleted";
  EXPECT_EQ(must(find_point(world(), point)).user, new_ped);
}

}  // namespace
}  // namespace cinema_test
