// The player's hands in a scenario: keys reach the plug-ins' keyboard
// handlers as a real keyboard's messages do, between frames; game controls
// answer the control natives and use the prompts on them; and a prompt is
// offered only where the player would see it.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "content.h"
#include "joaat.h"
#include "native_call.h"
#include "parser.h"
#include "play_runs.h"
#include "step_runner.h"

namespace play_test {
namespace {

struct KeyMessage {
  uint32_t key;
  int repeats, scan, extended, alt, was_down, is_up;
  uint64_t frame;
};

std::vector<KeyMessage>& key_messages() {
  static std::vector<KeyMessage> messages;
  return messages;
}

void recording_handler(DWORD key, WORD repeats, BYTE scan, BOOL extended, BOOL alt, BOOL was_down,
                       BOOL is_up) {
  key_messages().push_back(
      {key, repeats, scan, extended, alt, was_down, is_up, sim::Host::get().world().frame()});
}

void calling_handler(DWORD, WORD, BYTE, BOOL, BOOL, BOOL, BOOL) {
  invoke<int32_t>(0x096275889B8E0EE0);  // PLAYER_PED_ID
}

// Registers a keyboard handler of the test's once the host is fresh, as a
// plug-in's attach would.
class HandlerInstaller : public play::Observer {
 public:
  explicit HandlerInstaller(KeyboardHandler h) : handler_(h) {}
  void begin(const play::PlayContext&, sim::World&) override { keyboardHandlerRegister(handler_); }
  void end(sim::World&) override { keyboardHandlerUnregister(handler_); }

 private:
  KeyboardHandler handler_;
};

struct Played {
  int status = -1;
  std::string errors;
};

Played play_with(const std::string& text, KeyboardHandler handler = recording_handler) {
  key_messages().clear();
  const play::Scenario scenario = play::parse_scenario("input.scenario", text);
  HandlerInstaller installer(handler);
  std::vector<play::Observer*> observers{&installer};
  std::ostringstream errors;
  Played p;
  p.status = play::run_steps(sim::Host::get(), scenario, {TOYTRAIN_PLUGIN}, observers, errors);
  p.errors = errors.str();
  return p;
}

TEST(Keys, AHeldKeySendsDownThenRepeatsThenUpWithTheKeyboardsFields) {
  const Played p = play_with(
      "deliverable toytrain\n"
      "start at 1 m east of site\n"
      "wait 2 frames\n"
      "press F4\n"
      "wait 1 s\n"
      "release F4\n");
  ASSERT_EQ(p.status, 0) << p.errors;
  const auto& m = key_messages();
  ASSERT_GE(m.size(), 3u);
  const KeyMessage& down = m.front();
  EXPECT_EQ(down.key, 0x73u);
  EXPECT_EQ(down.repeats, 1);
  EXPECT_EQ(down.scan, 0x3E);
  EXPECT_EQ(down.extended, 0);
  EXPECT_EQ(down.alt, 0);
  EXPECT_EQ(down.was_down, 0);
  EXPECT_EQ(down.is_up, 0);
  const KeyMessage& up = m.back();
  EXPECT_EQ(up.was_down, 1);
  EXPECT_EQ(up.is_up, 1);
  // Repeats: the first 500 ms after the down, then one each 33 ms of the 1 s.
  size_t repeats = 0;
  for (size_t n = 1; n + 1 < m.size(); ++n) {
    EXPECT_EQ(m[n].key, 0x73u);
    EXPECT_EQ(m[n].was_down, 1);
    EXPECT_EQ(m[n].is_up, 0);
    ++repeats;
  }
  EXPECT_GE(repeats, 15u);
  EXPECT_LE(repeats, 16u);
  EXPECT_GE(m[1].frame, down.frame + 30) << "no repeat before half a second";
}

// The keyboard's repeats keep the system's pace: a jump of the game's timer
// sends no burst of them, nor stops them.
TEST(Keys, AKeyHeldAcrossATimerJumpRepeatsAtItsPace) {
  const Played p = play_with(
      "deliverable toytrain\n"
      "start at 1 m east of site\n"
      "wait 2 frames\n"
      "press F4\n"
      "wait 200 ms\n"
      "fault \"timer near wrap\"\n"
      "wait 800 ms\n"
      "release F4\n");
  ASSERT_EQ(p.status, 0) << p.errors;
  const size_t repeats = key_messages().size() - 2;
  EXPECT_GE(repeats, 15u);
  EXPECT_LE(repeats, 16u);
}

TEST(Keys, KeysGoByNameOrCodeAndExtendedKeysSaySo) {
  const Played p = play_with(
      "deliverable toytrain\n"
      "start at 1 m east of site\n"
      "hold 0x26 for 1 frame\n"  // UP
      "hold NUMPAD8 for 1 frame\n"
      "press VK_LMENU\n"
      "hold a for 1 frame\n");
  ASSERT_EQ(p.status, 0) << p.errors;
  const auto& m = key_messages();
  ASSERT_EQ(m.size(), 7u);
  EXPECT_EQ(m[0].key, 0x26u);
  EXPECT_EQ(m[0].extended, 1) << "the arrow keys are extended keys";
  EXPECT_EQ(m[1].key, 0x26u);
  EXPECT_EQ(m[1].is_up, 1);
  EXPECT_EQ(m[2].key, 0x68u);
  EXPECT_EQ(m[2].scan, 0x48);
  EXPECT_EQ(m[2].extended, 0);
  EXPECT_EQ(m[4].key, 0xA4u);
  EXPECT_EQ(m[5].key, 0x41u);
  EXPECT_EQ(m[5].alt, 1) << "Alt is held";
}

TEST(Keys, ANativeFromAKeyboardHandlerFailsTheScenarioNamingIt) {
  const Played p = play_with(
      "deliverable toytrain\n"
      "start at 1 m east of site\n"
      "wait 1 frame\n"
      "press F4\n"
      "wait 1 frame\n",
      calling_handler);
  EXPECT_EQ(p.status, 1);
  EXPECT_EQ(
      p.errors,
      "input.scenario:4: protocol violation: native PLAYER_PED_ID (0x096275889B8E0EE0) called "
      "from a keyboard handler\n");
}

TEST(Keys, ReleasingAKeyThatIsNotDownFails) {
  const Played p = play_with(
      "deliverable toytrain\n"
      "release F4\n");
  EXPECT_EQ(p.status, 1);
  EXPECT_EQ(p.errors, "input.scenario:2: F4 is not held down\n");
}

TEST(Keys, AKeyOrControlTheGameDoesNotHaveIsAMistakeInTheScenario) {
  for (const char* line : {"press F25", "press 256", "press NOSUCHKEY", "hold F4", "press INPUT_",
                           "hold INPUT_MOVE_LR at 2 for 1 s", "release INPUT_ENTER at 1"}) {
    SCOPED_TRACE(line);
    EXPECT_THROW(play::parse_scenario("x.scenario", std::string(line) + "\n"), play::ParseError);
  }
}

TEST(Controls, HoldingThePromptsControlTurnsTheTrainOffAfterItsHoldTimeOnly) {
  const Played p = play_with(
      "deliverable toytrain\n"
      "start at 1 m east of site\n"
      "wait until prompt \"Turn off\" offered within 1 s\n"
      "hold INPUT_ENTER for 500 ms\n"  // short of the 550 ms
      "wait 2 frames\n"
      "expect prompt \"Turn off\" offered\n"
      "hold INPUT_ENTER for 600 ms\n"
      "expect prompt \"Turn on\" offered\n"
      "expect 0 live smoke\n"
      "hold INPUT_ENTER for 2 s\n"  // one hold, one completion
      "expect prompt \"Turn off\" offered\n"
      "expect 1 live smoke\n");
  EXPECT_EQ(p.status, 0) << p.errors;
}

TEST(Controls, APromptOutOfTheEntitysReachIsNeitherOfferedNorUsed) {
  const Played p = play_with(
      "deliverable toytrain\n"
      "start at 10 m east of site\n"
      "wait until 1 live smoke within 1 s\n"
      "expect not prompt \"Turn off\" offered\n"
      "hold INPUT_ENTER for 1 s\n"
      "expect 1 live smoke\n"
      "walk to 1.5 m east of site over 10 frames\n"
      "expect prompt \"Turn off\" offered\n"
      "complete \"Turn off\"\n"
      "expect 0 live smoke\n"
      "walk to 3 m east of site over 10 frames\n"
      "complete \"Turn on\"\n");
  EXPECT_EQ(p.status, 1);
  EXPECT_EQ(p.errors,
            "input.scenario:12: no prompt \"Turn on\" is offered; no prompt is offered\n");
}

// What a scenario does to the player's ped, seen by the world as it plays.
class PlayerWatch : public play::Observer {
 public:
  void frame_over(sim::World& w) override {
    const sim::EntityState* me = w.entity(w.player_ped());
    if (me == nullptr) return;
    const auto seen = sim::movement_at(sim::distance(me->velocity, sim::Vec{}));
    fastest = std::max(fastest, seen);
  }
  void end(sim::World& w) override {
    const sim::Seat* seat = w.vehicles.seat_of(w.player_ped());
    mount = seat != nullptr && seat->mount ? seat->vehicle : 0;
    if (mount != 0) mount_at = w.entity(mount)->position;
    player_at = w.player_position();
    const sim::PedWeapons* weapons = w.weapons.find(w.player_ped());
    weapon = weapons != nullptr ? weapons->current : 0;
    control = w.player.control;
    for (const auto& [handle, e] : w.entities()) {
      if (e.exists && e.kind == sim::EntityKind::vehicle) ++vehicles;
    }
  }
  sim::Movement fastest = sim::Movement::still;
  int32_t mount = 0;
  sim::Vec mount_at, player_at;
  uint32_t weapon = 0;
  bool control = true;
  int vehicles = 0;
};

PlayerWatch play_watched(const std::string& text, Played& played) {
  const play::Scenario scenario = play::parse_scenario("player.scenario", text);
  PlayerWatch watch;
  std::vector<play::Observer*> observers{&watch};
  std::ostringstream errors;
  played.status = play::run_steps(sim::Host::get(), scenario, {TOYTRAIN_PLUGIN}, observers, errors);
  played.errors = errors.str();
  return watch;
}

TEST(PlayerSteps, ThePlayerRidesWhatASpawnStepMadeArmedAndWithoutControlAsTheStepsSay) {
  Played played;
  const PlayerWatch watch = play_watched(
      "deliverable toytrain\n"
      "start at 50 m west of site\n"
      "spawn a_c_horse_morgan_bay at 48 m west of site as horse\n"
      "spawn vehicle wagon02x at 40 m west of site as wagon\n"
      "player mounts horse\n"
      "walk to 20 m north of site over 2 s\n"
      "player given WEAPON_REVOLVER_CATTLEMAN ammo 6\n"
      "player control off\n"
      "wait 1 frames\n",
      played);
  ASSERT_EQ(played.status, 0) << played.errors;
  EXPECT_NE(watch.mount, 0) << "in the saddle";
  EXPECT_EQ(watch.mount_at.x, watch.player_at.x) << "the horse went where he rode it";
  EXPECT_EQ(watch.mount_at.y, watch.player_at.y);
  EXPECT_EQ(watch.fastest, sim::Movement::sprinting) << "54 m in 2 s";
  EXPECT_EQ(watch.weapon, sim::joaat("WEAPON_REVOLVER_CATTLEMAN"));
  EXPECT_FALSE(watch.control);
  EXPECT_EQ(watch.vehicles, 1);
}

TEST(PlayerSteps, AWalkAtAWalkersPaceIsWalkingAndMountingAPropFails) {
  Played played;
  const PlayerWatch watch = play_watched(
      "deliverable toytrain\n"
      "start at 50 m west of site\n"
      "spawn p_crate01x at 45 m west of site as crate\n"
      "walk to 47 m west of site over 2 s\n"
      "player mounts crate\n",
      played);
  EXPECT_EQ(watch.fastest, sim::Movement::walking) << "1.5 m/s";
  EXPECT_EQ(played.status, 1);
  EXPECT_EQ(played.errors, "player.scenario:5: crate is not an animal to ride\n");
}

}  // namespace
}  // namespace play_test

// What a scenario says of the world's land and content, as the world holds it.
class LandWatch : public play::Observer {
 public:
  void end(sim::World& w) override {
    far_ground = w.environment.ground_at(510.0f, 500.0f);
    const sim::EntityState* dog = nullptr;
    for (const auto& [handle, e] : w.entities()) {
      if (e.exists && e.model == sim::joaat("mymod_dog")) dog = &e;
    }
    found_dog = dog != nullptr;
    if (dog != nullptr) {
      dog_kind = dog->kind;
      dog_animal = w.is_animal_model(dog->model);
      dog_ground = w.environment.ground_at(dog->position.x, dog->position.y);
      dog_z = dog->position.z;
    }
    w.journal.each(sim::EntryKind::content,
                   [&](const sim::Entry& e) { notes.emplace_back(e.content.what); });
  }
  bool found_dog = false;
  sim::EntityKind dog_kind = sim::EntityKind::object;
  bool dog_animal = false;
  float far_ground = 0.0f, dog_ground = 0.0f, dog_z = 0.0f;
  std::vector<std::string> notes;
};

TEST(ScenarioSteps, GroundAndContentStepsShapeTheWorldThePlugInFinds) {
  const play::Scenario scenario =
      play::parse_scenario("land.scenario",
                           "deliverable toytrain\n"
                           "start at 1 m east of site\n"
                           "ground at 500 500 88\n"
                           "content model MyMod_Dog kind animal\n"
                           "spawn mymod_dog at 10 m east of site as dog\n"
                           "wait 2 frames\n");
  LandWatch watch;
  std::vector<play::Observer*> observers{&watch};
  std::ostringstream errors;
  EXPECT_EQ(play::run_steps(sim::Host::get(), scenario, {TOYTRAIN_PLUGIN}, observers, errors), 0)
      << errors.str();
  EXPECT_EQ(watch.far_ground, 88.0f);
  ASSERT_TRUE(watch.found_dog);
  EXPECT_EQ(watch.dog_kind, sim::EntityKind::ped) << "its kind is the one the scenario gave";
  EXPECT_TRUE(watch.dog_animal);
  EXPECT_EQ(watch.dog_ground, watch.dog_z) << "the ground by the site is at the site's height";
  for (const std::string& note : watch.notes) {
    EXPECT_EQ(note.find("mymod_dog"), std::string::npos) << note;
  }
}

TEST(ScenarioSteps, AContentModelNeedsAKindTheGameHas) {
  for (const char* line : {"content model x kind dragon", "content model x kind other",
                           "content model x", "content weapon"}) {
    SCOPED_TRACE(line);
    EXPECT_THROW(play::parse_scenario("x.scenario", std::string(line) + "\n"), play::ParseError);
  }
  const play::Scenario s = play::parse_scenario(
      "x.scenario", "content texture dict mymod_textures\ncontent anim dict mymod@wave\n");
  ASSERT_EQ(s.steps.size(), 2u);
  EXPECT_EQ(s.steps[0].content_list, sim::ContentList::texture_dicts);
  EXPECT_EQ(s.steps[1].content_list, sim::ContentList::anim_dicts);
  EXPECT_EQ(s.steps[1].name, "mymod@wave");
}
