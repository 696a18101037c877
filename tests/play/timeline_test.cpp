// The timeline tells what one frame changed in the order it happened, across
// every kind of change, and with --verbose each change after the call that
// made it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "play_runs.h"

namespace play_test {
namespace {

// What the timeline says of the world, by frame: the lines of steps,
// verdicts and quiet frames left out.
struct Said {
  uint64_t frame = 0;
  std::string what;
};

std::vector<Said> changes_of(const std::string& timeline) {
  static const std::regex line(R"(^ *\d+\.\d{3} +(\d+) +\S+  (.*)$)");
  static const std::regex not_a_change(R"(^(> |ok |  it holds|\.\.\. ))");
  std::vector<Said> said;
  std::istringstream in(timeline);
  for (std::string text; std::getline(in, text);) {
    std::smatch m;
    if (!std::regex_match(text, m, line) || std::regex_search(m[2].str(), not_a_change)) continue;
    said.push_back({std::stoull(m[1].str()), m[2].str()});
  }
  return said;
}

// Everything said in the frame in which `part` is first said.
std::vector<std::string> frame_saying(const std::vector<Said>& said, const std::string& part) {
  uint64_t frame = 0;
  bool found = false;
  for (const Said& s : said) {
    if (s.what.find(part) != std::string::npos) {
      frame = s.frame;
      found = true;
      break;
    }
  }
  std::vector<std::string> lines;
  for (const Said& s : said) {
    if (found && s.frame == frame) lines.push_back(s.what);
  }
  return lines;
}

const char* const ticket_and_seat =
    "deliverable cinema\n"
    "seed 7\n"
    "start at 3 m west of post\n"
    "wait until 8 live chair within 10 s\n"
    "wait 1 s\n"
    "complete \"Buy Ticket ($1.00)\"\n"
    "wait 16 s\n"
    "walk to seat over 2 s\n"
    "complete \"Sit\"\n"
    "wait 1 frame\n"
    "complete \"Leave\"\n"
    "wait 1 frame\n"
    "teleport to 6 m west of post\n"
    "walk to 111 m west of post over 10 s\n"
    "wait 2 frames\n";

TEST(Timeline, OneFramesChangesOfEveryKindComeInTheOrderThePlugInMadeThem) {
  const PlayRun run = play_here(write_scenario("order", ticket_and_seat));
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  const std::vector<Said> said = changes_of(run.out);

  // The sale makes the player's seat and marks the blip, and the hand-over
  // makes its scene; the prompts it switched off are no longer offered once
  // the frame is over.
  EXPECT_EQ(frame_saying(said, "marked BLIP_MODIFIER_SHOP_UNAVAILABLE"),
            (std::vector<std::string>{
                "+ scenario point PROP_HUMAN_SEAT_CHAIR on prop sh_church_chair (chair) at "
                "(-3608.14, -2647.36, -11.20)",
                "blip BLIP_STYLE_SHOP \"blip_ambient_theatre\" marked "
                "BLIP_MODIFIER_SHOP_UNAVAILABLE",
                "+ anim scene script@proc@handovers@player_handovers@give_money_new",
                "prompt withdrawn: \"Buy Ticket ($1.00)\"",
                "prompt withdrawn: \"What's Playing?\"",
            }))
      << run.out;
  // A frame's prompts no longer offered come before those offered now;
  // leaving stands the player up first.
  EXPECT_EQ(frame_saying(said, "prompt offered: \"Leave\""),
            (std::vector<std::string>{"prompt withdrawn: \"Sit\"", "prompt offered: \"Leave\""}));
  EXPECT_EQ(frame_saying(said, "prompt withdrawn: \"Leave\""),
            (std::vector<std::string>{"player stands up", "prompt withdrawn: \"Leave\"",
                                      "prompt offered: \"Sit\""}));
  // A wait ends before what the script does once it is over; the first
  // audience ped is made before the pause that follows it.
  EXPECT_EQ(frame_saying(said, "for model a_m_m_armtownfolk_01 to load"),
            (std::vector<std::string>{
                "waited 0.034 s (2 frames) for model a_m_m_armtownfolk_01 to load",
                "+ ped a_m_m_armtownfolk_01 at (-3605.78, -2645.09, -11.70)",
                "the script pauses 2000 ms",
            }));
  // The payment: the texture dictionary's wait ends, the notification
  // shows, then the money prop goes.
  const std::vector<std::string> payment =
      frame_saying(said, "notification: \"Money spent: $1.00\"");
  ASSERT_EQ(payment.size(), 3u) << run.out;
  EXPECT_EQ(payment[0], "waited 0.033 s (2 frames) for a texture dictionary to load");
  EXPECT_EQ(payment[1], "notification: \"Money spent: $1.00\"");
  EXPECT_EQ(payment[2], "- prop s_inv_moneyclip01x (money)");

  // The despawn removes the blip and the player's seat, then the taker and
  // the seven of the audience, then each of their seats and its chair; a
  // ped that is gone does not stand up.
  const std::vector<std::string> despawn = frame_saying(said, "- blip BLIP_STYLE_SHOP");
  ASSERT_EQ(despawn.size(), 24u) << run.out;
  const std::string seat = "- scenario point PROP_HUMAN_SEAT_CHAIR on prop sh_church_chair (chair)";
  EXPECT_EQ(despawn[0], "- blip BLIP_STYLE_SHOP \"blip_ambient_theatre\"");
  EXPECT_EQ(despawn[1], seat);
  EXPECT_EQ(despawn[2], "- ped s_m_m_blwdealer_01 (taker)");
  for (size_t n = 3; n < 10; ++n) EXPECT_EQ(despawn[n].rfind("- ped a_", 0), 0u) << despawn[n];
  for (size_t n = 10; n < 24; n += 2) {
    EXPECT_EQ(despawn[n], seat);
    EXPECT_EQ(despawn[n + 1], "- prop sh_church_chair (chair)");
  }
}

TEST(Timeline, VerboseShowsEachChangeAfterTheCallThatMadeIt) {
  play::Options options;
  options.scenario = write_scenario("order_verbose",
                                    "deliverable cinema\n"
                                    "seed 7\n"
                                    "start at 3 m west of post\n"
                                    "wait until said taker WELCOME within 10 s\n");
  options.verbose = true;
  const PlayRun run = play_here(options);
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> lines;
  for (const Said& s : changes_of(run.out)) lines.push_back(s.what);
  const auto after = [&](const std::string& change) -> std::string {
    for (size_t n = 1; n < lines.size(); ++n) {
      if (lines[n].rfind(change, 0) == 0) return lines[n - 1];
    }
    return "(not said: " + change + ")";
  };
  EXPECT_EQ(after("+ ped s_m_m_blwdealer_01 (taker)").rfind("| CREATE_PED(0x96B4CDFD, ", 0), 0u);
  // Whether the player sees a prompt is worked out once the scripts ran.
  EXPECT_EQ(after("prompt offered: \"Buy Ticket ($1.00)\""), "| scriptWait(0)");
  EXPECT_EQ(after("taker says WELCOME").rfind("| PLAY_PED_AMBIENT_SPEECH_NATIVE(0x400, ", 0), 0u);
  EXPECT_EQ(after("+ blip BLIP_STYLE_SHOP").rfind("| BLIP_ADD_FOR_COORDS(", 0), 0u);
  // The wait is over as the script's turn begins, before its first call.
  EXPECT_EQ(after("| HAS_MODEL_LOADED(0x96B4CDFD) -> 1"),
            "waited 0.033 s (2 frames) for model s_m_m_blwdealer_01 to load");
}

// With both plug-ins in one game each change says whose it is: the one that
// made it, or owns what changed. A plug-in alone is not named.
TEST(Timeline, WithSeveralPlugInsEachChangeNamesThePlugInItIsOf) {
  play::Options options;
  options.scenario = std::string(SCENARIOS_DIR) + "/both/theater_and_train.scenario";
  options.trace = output_file("both.json").string();
  const PlayRun both = play_here(options);
  ASSERT_EQ(both.status, 0) << both.out << both.err;
  // The trace's world events are the timeline's lines, named alike.
  std::ifstream trace_file(options.trace, std::ios::binary);
  const std::string trace((std::istreambuf_iterator<char>(trace_file)),
                          std::istreambuf_iterator<char>());
  EXPECT_NE(trace.find("\"[cinema] + ped s_m_m_blwdealer_01 (taker) at "), std::string::npos);
  EXPECT_NE(trace.find("\"[toytrain] prompt offered: \\\"Turn off\\\"\""), std::string::npos);
  const std::vector<Said> said = changes_of(both.out);
  const auto said_as = [&](const std::string& tag, const std::string& part) {
    return std::any_of(said.begin(), said.end(), [&](const Said& s) {
      return s.what.rfind(tag + " ", 0) == 0 && s.what.find(part) != std::string::npos;
    });
  };
  for (const char* part :
       {"+ ped", "+ blip", "taker says WELCOME", "money $50.00 to $49.00",
        "prompt offered: \"Buy Ticket", "TV channel 1 gets playlist", "- blip"}) {
    EXPECT_TRUE(said_as("[cinema]", part)) << part << "\n" << both.out;
    EXPECT_FALSE(said_as("[toytrain]", part)) << part << "\n" << both.out;
  }
  for (const char* part :
       {"(train) at", "(track) at", "prompt offered: \"Turn off\"", "train speed", "+ effect"}) {
    EXPECT_TRUE(said_as("[toytrain]", part)) << part << "\n" << both.out;
    EXPECT_FALSE(said_as("[cinema]", part)) << part << "\n" << both.out;
  }
  // Each plug-in's waits are its own: the other's turn in between ends none
  // of them (it did, as a wait given up after 0.000 s).
  EXPECT_TRUE(said_as("[cinema]", "waited 0.034 s (2 frames) for model script_rt_arm_screen"))
      << both.out;
  for (const Said& s : said) EXPECT_EQ(s.what.find("after 0.000 s"), std::string::npos) << s.what;
  // The host's own lines name the plug-in's file already; the player's are no one's.
  for (const Said& s : said) {
    if (s.what.find("plug-in ") == 0 || s.what.find("player enters") == 0) {
      EXPECT_EQ(s.what.find('['), std::string::npos) << s.what;
    }
  }

  const PlayRun alone = play_here(std::string(SCENARIOS_DIR) + "/cinema/ticket_road.scenario");
  EXPECT_EQ(alone.out.find("[cinema]"), std::string::npos) << alone.out;
}

// The player's going into the theater and out of it are both told, each in
// the frame of the step that moved him.
TEST(Timeline, ThePlayerEnteringAndLeavingTheTheaterIsTold) {
  const PlayRun run = play_here(write_scenario("in_and_out", ticket_and_seat));
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  const std::vector<Said> said = changes_of(run.out);
  const auto frame_of = [&](const std::string& part) -> int64_t {
    for (const Said& s : said) {
      if (s.what.find(part) == 0) return static_cast<int64_t>(s.frame);
    }
    return -1;
  };
  const int64_t entered = frame_of("player enters ");
  const int64_t left = frame_of("player leaves ");
  ASSERT_GE(entered, 0) << run.out;
  ASSERT_GT(left, entered) << run.out;
  EXPECT_EQ(count(run.out, "player enters "), 1u) << run.out;
  EXPECT_EQ(count(run.out, "player leaves "), 1u) << run.out;
  EXPECT_NE(run.out.find("> 13: teleport to 6 m west of post"), std::string::npos) << run.out;
}

// What the game itself does to a plug-in's things (removes them, seats its
// peds) is told as that plug-in's, from the books, like what it does itself.
TEST(Timeline, WithSeveralPlugInsWhatTheGameDoesToAThingNamesItsOwner) {
  play::Options options;
  options.scenario = write_scenario("game_removes",
                                    "deliverable cinema toytrain\n"
                                    "start at 3 m west of post\n"
                                    "wait until 8 live chair within 10 s\n"
                                    "remove chair\n"
                                    "wait 2 frames\n"
                                    "teleport to 1 m east of site\n"
                                    "wait until prompt \"Turn off\" offered within 1 s\n"
                                    "remove train\n"
                                    "wait 2 frames\n"
                                    "expect no violation\n");
  options.trace = output_file("game_removes.json").string();
  const PlayRun run = play_here(options);
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  const std::vector<Said> said = changes_of(run.out);
  const auto lines = [&](const std::string& part) {
    std::vector<std::string> found;
    for (const Said& s : said) {
      if (s.what.find(part) != std::string::npos) found.push_back(s.what);
    }
    return found;
  };
  EXPECT_EQ(lines("- prop sh_church_chair (chair)"),
            std::vector<std::string>(8, "[cinema] - prop sh_church_chair (chair)"))
      << run.out;
  EXPECT_EQ(lines("- prop p_toytrain01x (train)"),
            std::vector<std::string>{"[toytrain] - prop p_toytrain01x (train)"})
      << run.out;
  EXPECT_EQ(
      lines("its entity gone"),
      std::vector<std::string>{"[toytrain] - effect ent_amb_toy_boat_idle_smoke, its entity gone"})
      << run.out;
  const std::vector<std::string> seated = lines(" sits down");
  EXPECT_FALSE(seated.empty()) << run.out;
  for (const std::string& line : seated) EXPECT_EQ(line.rfind("[cinema] ", 0), 0u) << line;
  // The trace's world events are the timeline's lines, named alike.
  const std::string trace = read_file(options.trace);
  EXPECT_NE(trace.find("\"[toytrain] - prop p_toytrain01x (train)\""), std::string::npos);
  EXPECT_NE(trace.find("\"[cinema] - prop sh_church_chair (chair)\""), std::string::npos);
}

// The game removes a plug-in's entity and gives its handle to a ped of its
// own in one frame: both are told, the removal as the plug-in's (the
// timeline, which saw the handle live before and after, told neither).
TEST(Timeline, AHandleTheGameGaveAwayTellsTheRemovalAsItsOwnersAndTheNewPedAsTheGames) {
  const PlayRun run = play_here(write_scenario("handle_reused",
                                               "deliverable cinema toytrain\n"
                                               "start at 1 m east of site\n"
                                               "wait until prompt \"Turn off\" offered within 1 s\n"
                                               "fault \"handle reused\"\n"
                                               "wait 2 frames\n"));
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  // The step's fault comes between frames: its lines follow it at once.
  const std::vector<Said> said = changes_of(run.out);
  std::vector<std::string> frame;
  for (const Said& s : said) {
    if (s.what == "fault: handle reused" || (!frame.empty() && frame.size() < 3))
      frame.push_back(s.what);
  }
  ASSERT_EQ(frame.size(), 3u) << run.out;
  EXPECT_EQ(frame[0], "fault: handle reused");
  EXPECT_TRUE(std::regex_match(frame[1], std::regex(R"(\[(cinema|toytrain)\] - (ped|prop) .+)")))
      << frame[1];
  EXPECT_EQ(frame[2].rfind("+ ped a_c_cat_01 at ", 0), 0u) << frame[2];
}

// Each scenario point and anim scene is told as it is made and as it goes:
// the seats with the post, the first sale's scene when a second sale, on a
// second visit, makes its own.
TEST(Timeline, EachSeatAndSceneIsToldAsItIsMadeAndRemoved) {
  const PlayRun run = play_here(write_scenario("points_and_scenes",
                                               "deliverable cinema\n"
                                               "seed 7\n"
                                               "start at 3 m west of post\n"
                                               "wait until 8 live chair within 10 s\n"
                                               "complete \"Buy Ticket ($1.00)\"\n"
                                               "wait 1 s\n"
                                               "walk to 120 m west of post over 5 s\n"
                                               "wait 1 s\n"
                                               "expect nothing left of points\n"
                                               "walk to 3 m west of post over 5 s\n"
                                               "wait until 8 live chair within 10 s\n"
                                               "wait 1 s\n"
                                               "complete \"Buy Ticket ($1.00)\"\n"
                                               "wait 1 s\n"));
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  const std::string scene = "anim scene script@proc@handovers@player_handovers@give_money_new";
  const std::vector<Said> said = changes_of(run.out);
  std::map<std::string, int> told;
  std::vector<std::string> scenes;
  for (const Said& s : said) {
    if (s.what.find(" scenario point ") != std::string::npos) {
      ++told[s.what.substr(0, s.what.find(" at ("))];
    }
    if (s.what.find(scene) != std::string::npos) scenes.push_back(s.what);
  }
  // Seven seats of the audience and the player's at each visit; all eight
  // go at the first walk out.
  const std::string seat = "scenario point PROP_HUMAN_SEAT_CHAIR on prop sh_church_chair (chair)";
  EXPECT_EQ(told, (std::map<std::string, int>{{"+ " + seat, 16}, {"- " + seat, 8}})) << run.out;
  // The second sale ends the first's scene before it makes its own.
  EXPECT_EQ(scenes, (std::vector<std::string>{"+ " + scene, "- " + scene, "+ " + scene}));
  const std::vector<std::string> sale = frame_saying(said, "- " + scene);
  EXPECT_NE(std::find(sale.begin(), sale.end(), "+ " + seat + " at (-3608.14, -2647.36, -11.20)"),
            sale.end())
      << "the player's seat is made in the same sale";
  EXPECT_NE(run.out.find("scenario point 16, scene 2, render target 2; still holds entity 18, "
                         "prompt 4, blip 1, scenario point 8, scene 1,"),
            std::string::npos)
      << run.out;
}

// A plug-in whose main script and additional thread wait on different things
// in the same frames: each script's wait is its own, told once, with its own
// length and end. Kept per plug-in, each script's turn ended the other's wait
// and the timeline told a 1-frame wait given up, frame after frame.
PlayRun play_two_waits(std::string& file) {
  file = write_scenario("two_waits",
                        "start at 1 2 3\n"
                        "wait 1 s\n"
                        "expect no violation\n");
  return play_plugin_here(TWO_WAITS_PLUGIN, file);
}

TEST(Timeline, EachScriptOfAPlugInWaitsOnItsOwn) {
  std::string file;
  const PlayRun run = play_two_waits(file);
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  std::vector<std::string> waits;
  for (const Said& s : changes_of(run.out)) {
    if (s.what.find("waited ") == 0 || s.what.find("gave up ") == 0) {
      waits.push_back(std::to_string(s.frame) + ": " + s.what);
    }
  }
  // The model loads two frames after the first pass asks for it; the asset,
  // never asked for, is given up on after the thread's 30 tries.
  const std::vector<std::string> expected = {
      "3: waited 0.034 s (2 frames) for model p_chair05x to load",
      "31: gave up after 0.500 s (30 frames) waiting for particle asset core to load"};
  EXPECT_EQ(waits, expected) << run.out;
}

// In the trace too: each script's passes, waits and calls on a track of its
// own, named by the script; on one track the thread's turn ended the main
// script's wait, and one long wait nested in another's passes.
TEST(Timeline, TheTraceGivesEachScriptOfAPlugInATrackOfItsOwn) {
  play::Options options;
  options.scenario = write_scenario("two_waits",
                                    "start at 1 2 3\n"
                                    "wait 1 s\n");
  options.plugin = {TWO_WAITS_PLUGIN};
  options.trace = output_file("two_waits.json").string();
  ASSERT_EQ(play_here(options).status, 0);
  const auto trace = nlohmann::json::parse(read_file(options.trace));
  std::map<int, std::string> tracks;
  std::vector<std::string> waits;  // "track: what, ms"
  std::map<std::string, std::set<int>> tracks_calling;
  for (const auto& e : trace.at("traceEvents")) {
    if (e.at("name") == "thread_name") tracks[e.at("tid")] = e.at("args").at("name");
    if (e.at("ph") != "X") continue;
    const int track = e.at("tid");
    if (e.at("cat") == "wait") {
      const int64_t ms = (e.at("dur").get<int64_t>() + 500) / 1000;
      waits.push_back(std::to_string(track) + ": " + e.at("name").get<std::string>() + ", " +
                      std::to_string(ms));
    }
    if (e.at("cat") == "native") tracks_calling[e.at("name")].insert(track);
  }
  // Named as they start; the first track renamed once there is a second.
  EXPECT_EQ(tracks[1], "script 1 of two_waits.so");
  EXPECT_EQ(tracks[4], "script 2 of two_waits.so");
  EXPECT_EQ(waits, (std::vector<std::string>{"1: wait for model p_chair05x to load, 34",
                                             "4: wait for particle asset core to load, 500"}));
  EXPECT_EQ(tracks_calling["HAS_MODEL_LOADED"], std::set<int>{1});
  // The thread's last test, in the turn it returns in after the main
  // script's wait, is the thread's too.
  EXPECT_EQ(tracks_calling["HAS_NAMED_PTFX_ASSET_LOADED"], std::set<int>{4});
}

TEST(Timeline, EachScriptOfAPlugInWaitsOnItsOwnUnderWineAsNatively) {
  ASSERT_TRUE(std::filesystem::exists(TWO_WAITS_ASI)) << "build the 'windows' preset first";
  std::string file;
  const PlayRun native = play_two_waits(file);
  ASSERT_EQ(native.status, 0) << native.out;
  expect_same_under_wine(native, TWO_WAITS_ASI, "'" + file + "'");
}

// The distance column says what the player's distance is when the game puts
// the player out of all measure (it said "nan", which is another fault).
TEST(Timeline, ThePlayerOutOfAllMeasureIsAnInfiniteDistanceAndNoPositionIsNone) {
  const auto distances_during = [](const std::string& fault) {
    const PlayRun run = play_here(write_scenario(
        "far", "deliverable cinema\nstart at 3 m west of post\nwait 2 frames\nfault \"" + fault +
                   "\" for 3 frames\nwait 2 frames\n"));
    static const std::regex line(R"(^ *\d+\.\d{3} +\d+ +(\S+)  )");
    std::vector<std::string> columns;
    std::istringstream in(run.out);
    for (std::string text; std::getline(in, text);) {
      std::smatch m;
      if (std::regex_search(text, m, line)) columns.push_back(m[1].str());
    }
    return columns;
  };
  const std::vector<std::string> huge = distances_during("position huge");
  EXPECT_NE(std::find(huge.begin(), huge.end(), "inf"), huge.end());
  EXPECT_EQ(std::find(huge.begin(), huge.end(), "nan"), huge.end());
  const std::vector<std::string> none = distances_during("position NaN");
  EXPECT_NE(std::find(none.begin(), none.end(), "nan"), none.end());
}

// A line said is the speaker's as it was when it spoke: the game giving the
// first ticket taker's handle to another ped later renames none of it.
TEST(Timeline, ALineSaidStaysItsSpeakersAfterTheGameGivesTheHandleToAnother) {
  const PlayRun run = play_here(write_scenario("two_visits",
                                               "deliverable cinema\n"
                                               "start at 3 m west of post\n"
                                               "wait until said taker WELCOME within 10 s\n"
                                               "walk to 120 m west of post over 10 s\n"
                                               "wait 1 s\n"
                                               "walk to 3 m west of post over 10 s\n"
                                               "wait until said taker WELCOME 2 times within 10 s\n"
                                               "expect said taker WELCOME 2 times\n"
                                               "expect not said a_f_m_tumtownfolk_01 WELCOME\n"));
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_EQ(count(run.out, "taker says WELCOME (voice "), 2u) << run.out;
}

// The game gives the train's handle to a cat of its own: the cat is the
// game's, whatever the plug-in then does with the handle.
TEST(Timeline, AThingTheGameGivesAReusedHandleIsTheGamesNotThePlugIns) {
  const PlayRun run = play_here(write_scenario("cat",
                                               "deliverable toytrain\n"
                                               "start at 1 m east of site\n"
                                               "wait until 1 live train within 3 s\n"
                                               "fault \"handle reused\"\n"
                                               "wait 1 s\n"));
  ASSERT_NE(run.out.find("+ ped a_c_cat_01"), std::string::npos) << run.out << run.err;
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_NE(run.err.find("on entity 0x200 made by the game"), std::string::npos) << run.err;
  const std::string summary = run.out.substr(run.out.find("summary:"));
  EXPECT_NE(summary.find("made entity 2,"), std::string::npos) << "the cat is not the train's";
}

// --verbose shows the handle the plug-in passed by address, then what the
// native wrote over it: the train deleted is the train, not "&0x0".
TEST(Timeline, AHandlePassedByAddressIsShownAsPassedThenAsWritten) {
  play::Options options;
  options.scenario = write_scenario("train_away",
                                    "deliverable toytrain\n"
                                    "start at 1 m east of site\n"
                                    "wait until 1 live train within 3 s\n"
                                    "walk to 200 m east of site over 5 s\n"
                                    "wait 1 s\n");
  options.verbose = true;
  const PlayRun run = play_here(options);
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_EQ(run.out.find("DELETE_ENTITY(&0x0)"), std::string::npos) << run.out;
  const size_t deleted = run.out.find("| DELETE_ENTITY(&0x200 set to 0x0)");
  ASSERT_NE(deleted, std::string::npos) << run.out;
  EXPECT_NE(run.out.find("- prop p_toytrain01x (train)", deleted), std::string::npos) << run.out;
}

}  // namespace
}  // namespace play_test
