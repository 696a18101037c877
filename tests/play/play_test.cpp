// The play command itself: a scenario with a mistake stops at its line, a
// failed expectation names its line and what the world held, and the
// timeline tells what the world changed.

#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <regex>

#include "faults.h"
#include "names.h"
#include "play_runs.h"
#include "syntax.h"

namespace play_test {
namespace {

TEST(Play, AScenarioWithAMistakeStopsAtItsLineWithWhatWasExpectedThere) {
  const struct {
    const char* line;
    const char* expected;
  } mistakes[] = {
      {"start at 3 m west of pots",
       "expected a place of cinema (post, seat, screen), found 'pots'"},
      {"walk to seat over five s",
       "expected a duration such as '5 s', '200 ms' or '30 frames', found 'five'"},
      {"wait 3 hours", "expected 's', 'ms' or 'frames' after the number, found 'hours'"},
      {"complete Sit", "expected the prompt's label in quotes, found 'Sit'"},
      {"expect prompt \"Sit\" shown", "expected 'offered' after the label, found 'shown'"},
      {"expect said taker", "expected the line's name, or names separated by '|', found the end"},
      {"expect 2 live", "expected a nickname or model name, found the end of the line"},
      {"fail NOT_A_NATIVE", "expected a native the game knows, by name or as 0x and 16 hex"},
      {"jump over the post",
       "expected a step: seed, faults ..., fps, hour, start at, ground at, content ..., skip, walk "
       "to"},
      {"player leaves", "expected 'vehicle' after 'player leaves', found the end of the line"},
      {"player jumps", "expected 'ped replaced [by MODEL]', 'mounts NAME', 'enters NAME', "},
      {"expect 2 lives taker", "expected 'live NAME' after '2', found 'lives'"},
      {"expect taker speed 0.6", "expected 'about V [within T]' after 'taker speed', found '0.6'"},
      {"expect taker jumps", "expected an expectation: prompt, said, money changed by, "},
      {"wait 1 s extra", "expected the end of the line, found 'extra'"},
      {"complete \"Sit", "expected a closing '\"' after \"Sit"},
      {"hour 24", "expected an hour from 0 to 23, found '24'"},
      {"fault \"model lost\"", "expected a fault: \"native fails\", \"creation fails\""},
      {"faults seed 3 rate 2", "a rate lies between 0 and 1"},
      {"faults on", "expected 'seed N [rate R]' or 'lifted' after 'faults', found 'on'"},
      {"deliverable toytrain", "expected the deliverable on the first line, before any step"},
      {"answer IS_PED_SWIMMING yes", "expected true, false or default (IS_PED_SWIMMING answers"},
      {"answer GET_ENTITY_SUBMERGED_LEVEL \"deep\"",
       "expected a number or default (GET_ENTITY_SUBMERGED_LEVEL"},
      {"answer GET_ENTITY_SPEED 2", "GET_ENTITY_SPEED is simulated: it answers from the world"},
      {"answer GET_CLOCK_MINUTES 5", "GET_CLOCK_MINUTES is simulated: it answers from the world"},
      {"answer SET_TEXT_CENTRE true", "SET_TEXT_CENTRE is simulated"},
      {"answer NOT_A_NATIVE 1", "expected a native the game knows, by name or as 0x"},
      {"answer SET_PED_CAN_RAGDOLL_FROM_PLAYER_IMPACT 1",
       "SET_PED_CAN_RAGDOLL_FROM_PLAYER_IMPACT returns nothing: there is no answer"},
      {"answer GET_PED_AMMO_BY_TYPE 4294967296", "expected a whole number or default"},
      {"answer GET_PED_BONE_COORDS 1 2",
       "expected x y z or default (GET_PED_BONE_COORDS answers a vector), found the end"},
      {"expect text Main drawn", "expected the text in quotes, found 'Main'"},
  };
  for (const auto& m : mistakes) {
    SCOPED_TRACE(m.line);
    const std::string file =
        write_scenario("mistake", "deliverable cinema\n# a comment\nstart at post\n" +
                                      std::string(m.line) + "  # and a comment\n");
    const PlayRun run = play_here(file);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind(file + ":4: " + m.expected, 0), 0u) << run.err;
    EXPECT_EQ(run.out, "") << "nothing is played";
  }
}

// The docs cannot fall behind the tables: each form of every step and
// expectation is written there as it is in its table, between backquotes,
// and every fault is named there in quotes.
TEST(Play, EveryKindOfStepExpectationAndFaultIsInTheDocs) {
  std::string doc = read_file(SCENARIOS_DOC);
  ASSERT_FALSE(doc.empty());
  for (size_t at = doc.find("\\|"); at != std::string::npos; at = doc.find("\\|", at)) {
    doc.erase(at, 1);  // a table's cell writes '|' as '\|'
  }
  for (const auto rows : {play::step_syntax(), play::expectation_syntax()}) {
    for (const play::KindSyntax& row : rows) {
      for (const std::string& form : play::forms_of(row.syntax)) {
        EXPECT_NE(doc.find("`" + form + "`"), std::string::npos) << form;
      }
    }
  }
  for (size_t n = 0; n < sim::fault_kinds; ++n) {
    const std::string name = sim::fault_name(static_cast<sim::Fault>(n));
    EXPECT_NE(doc.find('"' + name + '"'), std::string::npos) << name;
  }
}

TEST(Play, AFileThatCannotBeReadOrNamesNoPlugInCannotBePlayed) {
  const PlayRun missing = play_here(output_file("no such file.scenario").string());
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("no such file.scenario: cannot be read"), std::string::npos);

  const std::string file = write_scenario("no_deliverable", "start at 1 2 3\nwait 1 s\n");
  const PlayRun no_plugin = play_here(file);
  EXPECT_EQ(no_plugin.status, 2);
  EXPECT_EQ(no_plugin.err.rfind(file + ":1: expected 'deliverable' and one of cinema, toytrain", 0),
            0u)
      << no_plugin.err;
}

TEST(Play, AScenarioNamesEachOfSeveralDeliverablesOnce) {
  const struct {
    const char* line;
    const char* expected;
  } mistakes[] = {
      {"deliverable cinema boat",
       "expected 'deliverable' and one or more of cinema, toytrain, found 'boat'"},
      {"deliverable toytrain cinema toytrain", "expected each deliverable once, found 'toytrain'"},
      {"deliverable", "expected 'deliverable' and one or more of cinema, toytrain, found the end"},
  };
  for (const auto& m : mistakes) {
    SCOPED_TRACE(m.line);
    const std::string file =
        write_scenario("deliverables", "# two\n" + std::string(m.line) + "\nwait 1 s\n");
    const PlayRun run = play_here(file);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind(file + ":2: " + m.expected, 0), 0u) << run.err;
  }
  // Both deliverables' places, nicknames and interiors may be named.
  const std::string both = write_scenario("both_places",
                                          "deliverable toytrain cinema\n"
                                          "start at seat\n"
                                          "wait until 1 live taker within 10 s\n"
                                          "expect player inside theater\n"
                                          "expect 0 live train\n"
                                          "teleport to 10 m west of site\n"
                                          "wait until 1 live train within 1 s\n");
  const PlayRun run = play_here(both);
  EXPECT_EQ(run.status, 0) << run.err << run.out;
}

TEST(Play, ANameTheDeliverablesDoNotKnowIsRefusedWithTheNamesItCouldHaveMeant) {
  const struct {
    const char* line;
    const char* message;
  } unknown[] = {
      {"expect 0 live takr", "no nickname or model 'takr' is known; it could be 'taker'"},
      {"takr dies", "no nickname or model 'takr' is known; it could be 'taker'"},
      {"expect not said taker WELCOM", "no line 'WELCOM' is known; it could be 'WELCOME'"},
      {"expect said takers WELCOME", "no speaker 'takers' is known; it could be 'taker'"},
      {"expect said player TICKET_PLEASE voice ARTUR",
       "no voice 'ARTUR' is known; it could be 'ARTHUR'"},
      {"expect not prompt \"Turn Of\" offered",
       "no prompt label 'Turn Of' is known; it could be 'Turn on', 'Turn off'"},
      {"expect notification \"Money spent: $2.00\"",
       "no notification 'Money spent: $2.00' is known; it could be 'Money spent: $1.00'"},
      {"expect not blip has BLIP_MODIFIER_SHOP_UNAVAILBLE",
       "no blip modifier 'BLIP_MODIFIER_SHOP_UNAVAILBLE' is known; it could be "
       "'BLIP_MODIFIER_SHOP_UNAVAILABLE'"},
      {"wait until tv channel 1 plays PL_TOON_MODERN_MEDICINE|PL_TOON_WORLD within 1 s",
       "no playlist 'PL_TOON_WORLD' is known; it could be 'PL_TOON_MODERN_MEDICINE'"},
      {"expect target bla_theatre drawn",
       "no render target 'bla_theatre' is known; it could be 'bla_theater'"},
      {"expect smok scale about 0", "no effect 'smok' is known; it could be 'smoke'"},
      {"expect train scale about 0", "no effect 'train' is known; it could be 'smoke'"},
      {"expect nothing left of entitys",
       "no kind of thing 'entitys' is known; it could be "
       "'entities'"},
      {"expect not text \"Main menu\" drawn", "no drawn text 'Main menu' is known; there are none"},
  };
  for (const auto& u : unknown) {
    SCOPED_TRACE(u.line);
    const std::string file =
        write_scenario("unknown_name",
                       "deliverable cinema toytrain\nstart at post\n" + std::string(u.line) + "\n");
    const PlayRun run = play_here(file);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, file + ":3: " + u.line + ": " + u.message + "\n");
    EXPECT_EQ(run.out, "") << "nothing is played";
  }
  // Names of the deliverable, of the world, and a model the scenario gives
  // the player are all known.
  const std::string known = write_scenario("known_names",
                                           "deliverable toytrain\n"
                                           "start at 10 m west of site\n"
                                           "player ped replaced by PLAYER_THREE\n"
                                           "expect 1 live PLAYER_THREE\n"
                                           "expect 0 live PLAYER_ZERO\n"
                                           "expect 0 live p_toytrack01x\n"
                                           "expect not said anyone WELCOME\n"
                                           "expect 0 live blips\n");
  const PlayRun run = play_here(known);
  EXPECT_EQ(run.status, 2) << "WELCOME is the cinema's line, not the toy train's: " << run.err;
  EXPECT_NE(run.err.find(":7: expect not said anyone WELCOME: no line 'WELCOME' is known"),
            std::string::npos)
      << run.err;

  // A scenario for a plug-in of someone else's names what only it knows;
  // the kinds of thing it may hold are the world's.
  const std::string other = write_scenario("other_names",
                                           "start at 1 2 3\n"
                                           "wait 2 frames\n"
                                           "expect 0 live anything_at_all\n"
                                           "expect not prompt \"Open the menu\" offered\n"
                                           "expect not text \"Main menu\" drawn\n"
                                           "expect nothing left of blips\n");
  play::Options options;
  options.scenario = other;
  options.plugin = {PROBE_PLUGIN};
  EXPECT_EQ(play_here(options).status, 0);
  options.scenario = write_scenario("other_kind", "start at 1 2 3\nexpect nothing left of blip\n");
  const PlayRun misspelt = play_here(options);
  EXPECT_EQ(misspelt.status, 2);
  EXPECT_NE(misspelt.err.find(":2: expect nothing left of blip: no kind of thing 'blip' is known; "
                              "it could be 'blips'"),
            std::string::npos)
      << misspelt.err;
}

TEST(Play, TheNearestNamesAreThoseFewestEditsAway) {
  EXPECT_EQ(play::edit_distance("", ""), 0u);
  EXPECT_EQ(play::edit_distance("taker", ""), 5u);
  EXPECT_EQ(play::edit_distance("takr", "taker"), 1u);
  EXPECT_EQ(play::edit_distance("kitten", "sitting"), 3u);
  EXPECT_EQ(play::edit_distance("train", "track"), 2u);
  const std::vector<std::string> known = {"taker", "money", "chair", "train", "track", "smoke"};
  EXPECT_EQ(play::nearest_names("trian", known), (std::vector<std::string>{"train", "track"}));
  EXPECT_EQ(play::nearest_names("TAKER", known), (std::vector<std::string>{"taker"}))
      << "case counts for nothing in the distance";
  EXPECT_EQ(play::nearest_names("x", {}), std::vector<std::string>{});
  EXPECT_EQ(play::nearest_names("zzzzzzzzzz", known).size(), 4u) << "at most four";
}

TEST(Play, PlugInsNamedOtherThanTheScenariosDeliverablesPlayOnlyWhenToldToAnyName) {
  const std::string file = write_scenario("named",
                                          "# the toy train's\n"
                                          "deliverable toytrain\n"
                                          "start at 10 m west of site\n"
                                          "wait 10 frames\n"
                                          "expect no violation\n");
  play::Options options;
  options.scenario = file;
  options.plugin = {CINEMA_PLUGIN};
  const PlayRun refused = play_here(options);
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.err, file +
                             ":2: the scenario plays toytrain, but the plug-in given is "
                             "cinema.so; --any-name plays them all the same\n");
  EXPECT_EQ(refused.out, "") << "nothing is played";

  options.plugin = {TOYTRAIN_PLUGIN, CINEMA_PLUGIN};
  EXPECT_EQ(play_here(options).status, 2) << "one plug-in too many";

  options.any_name = true;
  const PlayRun anyway = play_here(options);
  EXPECT_EQ(anyway.status, 0) << anyway.err;

  // Several, in any order, each bearing a deliverable's name.
  const std::string both = write_scenario("named_both",
                                          "deliverable cinema toytrain\n"
                                          "start at 10 m west of site\n"
                                          "wait until 1 live train within 1 s\n");
  const PlayRun run = play_command("--plugin '" + std::string(TOYTRAIN_PLUGIN) + "' --plugin '" +
                                   CINEMA_PLUGIN + "' '" + both + "'");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(play_command("--asi a.asi --plugin '" + std::string(CINEMA_PLUGIN) + "' '" + both + "'")
                .status,
            2)
      << "plug-ins of two builds";
}

TEST(Play, AFailedExpectationGivesItsLineAndWhatTheWorldHeld) {
  const std::string file = write_scenario("two_trains",
                                          "deliverable toytrain\n"
                                          "start at 10 m west of site\n"
                                          "wait 1 s\n"
                                          "expect 2 live train\n"
                                          "expect 1 live train\n");
  const PlayRun run = play_here(file);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, file + ":4: expect 2 live train: the world held 1 live train\n");
  EXPECT_NE(run.out.find("FAILED 4: expect 2 live train"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("ok 5"), std::string::npos) << "the scenario stops at its first failure";
}

TEST(Play, CompletingAPromptThatIsNotOfferedNamesThoseThatAre) {
  const std::string file = write_scenario("wrong_label",
                                          "deliverable toytrain\n"
                                          "start at 1 m west of site\n"
                                          "wait 1 s\n"
                                          "complete \"Turn onn\"\n");
  const PlayRun run = play_here(file);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, file + ":4: no prompt \"Turn onn\" is offered; offered: \"Turn off\"\n");
}

TEST(Play, AWaitUntilThatRunsOutSaysWhatTheWorldHeldAtTheLimit) {
  const std::string file = write_scenario("never",
                                          "deliverable toytrain\n"
                                          "start at 200 m west of site\n"
                                          "wait until 1 live train within 2 s\n");
  const PlayRun run = play_here(file);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, file +
                         ":3: waited in vain: wait until 1 live train within 2 s; the world held 0 "
                         "live train\n");
}

TEST(Play, TheTimelineTellsWhatTheWorldChangedAndFoldsQuietFrames) {
  const std::string file = write_scenario("ask",
                                          "deliverable cinema\n"
                                          "seed 7\n"
                                          "start at 3 m west of post\n"
                                          "wait until 8 live chair within 10 s\n"
                                          "wait 1 s\n"
                                          "complete \"What's Playing?\"\n"
                                          "wait 3 s\n"
                                          "walk to 120 m west of post over 10 s\n"
                                          "wait 600 s\n");
  const PlayRun run = play_here(file);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string& t = run.out;
  EXPECT_NE(t.find("+ blip BLIP_STYLE_SHOP \"blip_ambient_theatre\" at (-3613.99, -2642.94, "
                   "-12.50)"),
            std::string::npos)
      << t;
  EXPECT_NE(t.find("+ ped s_m_m_blwdealer_01 (taker) at (-3613.99, -2642.94, -12.50)"),
            std::string::npos);
  EXPECT_EQ(count(t, "+ prop sh_church_chair (chair)"), 8u);
  EXPECT_NE(t.find("prompt offered: \"Buy Ticket ($1.00)\""), std::string::npos);
  EXPECT_EQ(count(t, "the script pauses 2000 ms"), 2u) << "the two pauses while seating";
  EXPECT_NE(t.find("for model sh_church_chair to load"), std::string::npos);
  EXPECT_NE(t.find("taker says WELCOME (voice JS_TOWNDEALER)"), std::string::npos);
  EXPECT_NE(t.find("player says WHATS_PLAYING (voice ARTHUR)"), std::string::npos);
  EXPECT_NE(t.find("waited 2.500 s (150 frames) for a ped to finish its line"), std::string::npos)
      << "the answer waits for the player's line";
  EXPECT_NE(t.find("prompt withdrawn: \"What's Playing?\""), std::string::npos);
  EXPECT_NE(t.find("- ped s_m_m_blwdealer_01 (taker)"), std::string::npos);
  EXPECT_NE(t.find("- blip BLIP_STYLE_SHOP"), std::string::npos);
  // Ten minutes of nothing is one line.
  EXPECT_NE(t.find("... 36000 quiet frames, 600.000 s\n"), std::string::npos) << t;
}

TEST(Play, VerboseListsEveryCallWithSpokenLinesAsText) {
  const std::string file = write_scenario("verbose",
                                          "deliverable cinema\n"
                                          "seed 7\n"
                                          "start at 3 m west of post\n"
                                          "wait until said taker WELCOME within 10 s\n");
  play::Options options;
  options.scenario = file;
  const PlayRun quiet = play_here(options);
  options.verbose = true;
  options.record = output_file("verbose.calls").string();
  const PlayRun verbose = play_here(options);
  ASSERT_EQ(verbose.status, 0) << verbose.err;
  EXPECT_EQ(quiet.out.find("| "), std::string::npos);
  EXPECT_NE(verbose.out.find("| PLAY_PED_AMBIENT_SPEECH_NATIVE(0x400, &{\"WELCOME\", "
                             "\"JS_TOWNDEALER\", 0, 291934926, 0, 1, 0, 0}) -> 1"),
            std::string::npos);
  EXPECT_EQ(count(verbose.out, "| scriptWait(2000)"), 2u);
  const size_t calls = count(read_file(options.record), "\n");
  EXPECT_GT(calls, 400u);
  // A run of one call in a frame shows its first two, then how many more.
  size_t folded = 0;
  const std::regex more(R"(\| \.\.\. the same call (\d+) more times?)");
  for (auto m = std::sregex_iterator(verbose.out.begin(), verbose.out.end(), more);
       m != std::sregex_iterator(); ++m) {
    folded += std::stoul((*m)[1]) - 1;  // its own line is counted below
  }
  EXPECT_GT(folded, 0u) << "the handover's test of its clip runs four times a frame";
  EXPECT_EQ(count(verbose.out, "| ") - count(verbose.out, "| scriptWait(") + folded, calls);
}

TEST(Play, TheWholeTraceHoldsEveryCallInsideItsPassWithGameTimeAsTheClock) {
  const std::string file = write_scenario("trace",
                                          "deliverable cinema\n"
                                          "seed 7\n"
                                          "start at 3 m west of post\n"
                                          "wait until said taker WELCOME within 10 s\n"
                                          "wait 10 frames\n");
  play::Options options;
  options.scenario = file;
  options.trace = output_file("trace.json").string();
  options.trace_all = true;
  options.record = output_file("trace.calls").string();
  ASSERT_EQ(play_here(options).status, 0);
  const auto trace = nlohmann::json::parse(read_file(options.trace));
  const auto& events = trace.at("traceEvents");

  std::vector<std::pair<int64_t, int64_t>> passes;  // from, to
  std::vector<nlohmann::json> pauses;
  std::vector<nlohmann::json> calls;
  for (const auto& e : events) {
    if (e.at("ph") != "X") continue;  // the names of tracks, steps checked, events
    const std::string category = e.at("cat");
    const int64_t ts = e.at("ts");
    if (category == "pass") passes.emplace_back(ts, ts + e.at("dur").get<int64_t>());
    if (category == "wait" && e.at("name") == "pause of 2000 ms") pauses.push_back(e);
    if (category == "native") calls.push_back(e);
  }
  EXPECT_EQ(calls.size(), count(read_file(options.record), "\n")) << "an event for every call";
  ASSERT_EQ(pauses.size(), 2u) << "the two pauses while the audience is seated";
  for (const auto& p : pauses) {
    // Game time, to the frame; calls within a frame are a microsecond apart.
    const int64_t ms = (p.at("dur").get<int64_t>() + 500) / 1000;
    EXPECT_GE(ms, 2000);
    EXPECT_LE(ms, 2017);
  }
  int64_t last = -1;
  size_t pass = 0;
  for (const auto& c : calls) {
    const int64_t ts = c.at("ts");
    EXPECT_GT(ts, last) << "the calls keep their order";
    last = ts;
    while (pass < passes.size() && passes[pass].second <= ts) ++pass;
    ASSERT_LT(pass, passes.size()) << "a call after the last pass: " << c;
    EXPECT_GE(ts, passes[pass].first) << "a call outside any pass: " << c;
  }
  bool welcome = false;
  for (const auto& c : calls) {
    if (c.at("name") != "PLAY_PED_AMBIENT_SPEECH_NATIVE") continue;
    EXPECT_EQ(c.at("args").at("hash"), "0x8E04FEDD28D42462");
    const std::string request = c.at("args").at("arguments").at(1);
    welcome |= request.find("\"WELCOME\", \"JS_TOWNDEALER\"") != std::string::npos;
    EXPECT_EQ(c.at("args").at("result"), 1);
  }
  EXPECT_TRUE(welcome);
}

// Folded, every call is still accounted for: written inside its pass, or
// counted by the quiet run it belongs to; the steps and the world's events
// have tracks of their own, and the summary closes the trace.
TEST(Play, TheTraceFoldsQuietFramesAndKeepsStepsAndEventsOnTracksOfTheirOwn) {
  const std::string file = write_scenario("trace_folded",
                                          "deliverable cinema\n"
                                          "seed 7\n"
                                          "start at 3 m west of post\n"
                                          "wait until said taker WELCOME within 10 s\n"
                                          "wait 60 s\n"
                                          "walk to 20 m west of post over 2 s\n"
                                          "expect 1 live taker\n");
  play::Options options;
  options.scenario = file;
  options.trace = output_file("trace_folded.json").string();
  options.record = output_file("trace_folded.calls").string();
  ASSERT_EQ(play_here(options).status, 0);
  const auto trace = nlohmann::json::parse(read_file(options.trace));
  std::map<int, std::string> tracks;
  uint64_t written = 0;
  uint64_t folded_calls = 0;
  uint64_t folded_frames = 0;
  std::vector<std::string> steps;
  std::vector<std::string> events;
  nlohmann::json summary;
  for (const auto& e : trace.at("traceEvents")) {
    if (e.at("name") == "thread_name") tracks[e.at("tid")] = e.at("args").at("name");
    if (e.at("ph") == "M") continue;
    const std::string category = e.at("cat");
    if (category == "native") ++written;
    if (category == "quiet") {
      EXPECT_EQ(e.at("name"), "quiet frames");
      folded_calls += e.at("args").at("calls").get<uint64_t>();
      folded_frames += e.at("args").at("frames").get<uint64_t>();
    }
    if (category == "step" && e.at("ph") == "X") steps.push_back(e.at("name"));
    if (category == "world") events.push_back(e.at("name"));
    if (category == "summary") summary = e.at("args");
  }
  EXPECT_EQ(tracks, (std::map<int, std::string>{
                        {1, "script"}, {2, "scenario steps"}, {3, "world events"}}));
  EXPECT_EQ(written + folded_calls, count(read_file(options.record), "\n"));
  EXPECT_GT(folded_frames, 3500u) << "the minute of waiting, nearly all of it";
  EXPECT_LT(written, 3000u);
  EXPECT_EQ(steps,
            (std::vector<std::string>{
                "seed 7", "start at 3 m west of post", "wait until said taker WELCOME within 10 s",
                "wait 60 s", "walk to 20 m west of post over 2 s", "expect 1 live taker"}));
  EXPECT_NE(std::find(events.begin(), events.end(), "taker says WELCOME (voice JS_TOWNDEALER)"),
            events.end());
  ASSERT_TRUE(summary.is_object()) << "the summary ends the trace";
  EXPECT_EQ(summary.at("native calls").get<uint64_t>(), count(read_file(options.record), "\n"));
  EXPECT_EQ(summary.at("plug-ins").at(0).at("name"), "cinema");
}

// The summary closes every run; "nothing left" holds only when no plug-in
// still holds a thing (of that kind).
TEST(Play, TheRunEndsWithASummaryAndNothingLeftFailsAPlugInThatStillHolds) {
  const std::string file = write_scenario("left",
                                          "deliverable cinema\n"
                                          "start at 3 m west of post\n"
                                          "wait until 8 live chair within 10 s\n"
                                          "expect not nothing left of blips\n"
                                          "walk to 120 m west of post over 5 s\n"
                                          "wait 1 s\n"
                                          "expect nothing left of blips\n"
                                          "expect nothing left of effects\n"
                                          "expect nothing left\n");
  const PlayRun run = play_here(file);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(
      run.err.rfind(file + ":9: expect nothing left: the world held cinema.so holds entity ", 0),
      0u)
      << run.err;
  EXPECT_NE(run.err.find(", prompt 4\n"), std::string::npos)
      << "the four prompts live for the whole run: " << run.err;
  const size_t summary = run.out.find("\nsummary:\n");
  ASSERT_NE(summary, std::string::npos) << run.out;
  const std::string tail = run.out.substr(summary);
  for (const char* part :
       {"  plug-in cinema: 1 script, ", "native calls\n    made entity 17, prompt 4, blip 1",
        "; still holds entity ", "\n  frames: ", "\n  native calls: ", " distinct natives\n",
        "\n  not simulated: none called\n", "\n  violations: none\n"}) {
    EXPECT_NE(tail.find(part), std::string::npos) << part << " in\n" << tail;
  }

  const std::string bad =
      write_scenario("left_bad", "deliverable cinema\nexpect nothing left of chairs\n");
  const PlayRun unread = play_here(bad);
  EXPECT_EQ(unread.status, 2);
  EXPECT_EQ(unread.err.rfind(bad + ":2: expect nothing left of chairs: no kind of thing 'chairs' "
                                   "is known; it could be '",
                             0),
            0u)
      << unread.err;
}

// A plug-in of no deliverable: it ends its passes with no expectation of ours.
PlayRun play_probe(std::string& file) {
  file = write_scenario("probe",
                        "start at 1 2 3\n"
                        "wait 10 frames\n"
                        "expect no violation\n");
  return play_plugin_here(PROBE_PLUGIN, file);
}

TEST(Play, AnyPlugInPlaysAndItsNativesOutsideTheSimulatedSetAreListed) {
  std::string file;
  const PlayRun native = play_probe(file);
  EXPECT_EQ(native.status, 0) << native.err;
  for (const char* listed :
       {"not simulated: SET_PED_CAN_RAGDOLL_FROM_PLAYER_IMPACT (0xDF993EE5E90ABA25)",
        "not simulated: IS_PED_SWIMMING (0x9DE327631295B4C2)"}) {
    EXPECT_EQ(count(native.out, listed), 1u) << listed << " once, at its first call\n"
                                             << native.out;
  }
  EXPECT_EQ(native.out.find("PLAYER_PED_ID"), std::string::npos) << "simulated: not listed";
  // Four natives in all: the two the world answers and the two it does not.
  EXPECT_NE(native.out.find(", to 4 distinct natives\n"), std::string::npos) << native.out;
  EXPECT_NE(native.out.find(
                "  not simulated: 2 natives, 20 calls\n"
                "    IS_PED_SWIMMING (0x9DE327631295B4C2): 10 calls\n"
                "    SET_PED_CAN_RAGDOLL_FROM_PLAYER_IMPACT (0xDF993EE5E90ABA25): 10 calls\n"),
            std::string::npos)
      << native.out;
}

TEST(Play, AnyPlugInPlaysUnderWineWithTheSameOutput) {
  ASSERT_TRUE(std::filesystem::exists(PROBE_ASI)) << "build the 'windows' preset first";
  std::string file;
  const PlayRun native = play_probe(file);
  ASSERT_EQ(native.status, 0) << native.err;
  expect_same_under_wine(native, PROBE_ASI, "'" + file + "'");
}

// The probe's answers scenario, played natively with every call listed.
PlayRun play_answers(std::string& file) {
  file = write_scenario("answers",
                        "start at 1 2 3\n"
                        "wait 2 frames\n"
                        "answer 0x9DE327631295B4C2 true\n"
                        "wait 2 frames\n"
                        "answer IS_PED_SWIMMING false\n"
                        "wait 1 frames\n"
                        "answer IS_PED_SWIMMING true\n"
                        "wait 1 frames\n"
                        "answer IS_PED_SWIMMING default\n"
                        "wait 1 frames\n");
  play::Options options;
  options.scenario = file;
  options.plugin = {PROBE_PLUGIN};
  options.verbose = true;
  return play_here(options);
}

TEST(Play, AnAnswerHoldsUntilChangedAndDefaultUndoesIt) {
  std::string file;
  const PlayRun native = play_answers(file);
  ASSERT_EQ(native.status, 0) << native.err;
  std::string hashed;  // what the probe hashed, pass by pass
  for (size_t at = native.out.find("GET_HASH_KEY(\""); at != std::string::npos;
       at = native.out.find("GET_HASH_KEY(\"", at + 1)) {
    hashed += native.out.substr(at + 14, 1);
  }
  EXPECT_EQ(hashed, "ddssdsd") << native.out;
  EXPECT_NE(native.out.find("IS_PED_SWIMMING(0x100) -> 1"), std::string::npos) << native.out;
}

TEST(Play, TheTimelineTellsANativeAnsweredByTheScenarioWithItsValue) {
  const std::string file = write_scenario("answered",
                                          "start at 1 2 3\n"
                                          "answer IS_PED_SWIMMING true\n"
                                          "wait 2 frames\n");
  const PlayRun run = play_plugin_here(PROBE_PLUGIN, file);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("not simulated: IS_PED_SWIMMING (0x9DE327631295B4C2), checked against the "
                         "game's table and answered by the scenario: true"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("(0xDF993EE5E90ABA25), checked against the game's table and answered 0\n"),
            std::string::npos)
      << run.out;
}

TEST(Play, AnAnswerHoldsUnderWineAsNatively) {
  ASSERT_TRUE(std::filesystem::exists(PROBE_ASI)) << "build the 'windows' preset first";
  std::string file;
  const PlayRun native = play_answers(file);
  ASSERT_EQ(native.status, 0) << native.err;
  expect_same_under_wine(native, PROBE_ASI, "--verbose '" + file + "'");
}

TEST(Play, AProtocolViolationFailsTheScenarioAtItsStepUnderTheStrictHost) {
  const std::string file = write_scenario("breach",
                                          "start at 1 2 3\n"
                                          "wait 10 frames\n");
  play::Options options;
  options.scenario = file;
  options.plugin = {PROBE_BREACH_PLUGIN};
  options.strict = true;
  const PlayRun run = play_here(options);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, file +
                         ":2: protocol violation: SET_PED_CAN_RAGDOLL_FROM_PLAYER_IMPACT: 1 "
                         "arguments, expects 2\n");
  EXPECT_NE(
      run.out.find(
          "PROTOCOL VIOLATION: SET_PED_CAN_RAGDOLL_FROM_PLAYER_IMPACT: 1 arguments, expects 2"),
      std::string::npos);
}

// The game reads the slot an earlier call left and goes on; so does the run,
// telling it in the timeline and the summary.
TEST(Play, ACallTheGameToleratesGoesOnWithAWarningByDefault) {
  const std::string file = write_scenario("tolerated",
                                          "start at 1 2 3\n"
                                          "wait 10 frames\n"
                                          "expect no violation\n");
  play::Options options;
  options.scenario = file;
  options.plugin = {PROBE_BREACH_PLUGIN};
  options.summary = true;
  const PlayRun run = play_here(options);
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string warning =
      "SET_PED_CAN_RAGDOLL_FROM_PLAYER_IMPACT: 1 arguments, expects 2; the game reads argument 2 "
      "as";
  EXPECT_NE(run.out.find("WARNING: " + warning), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("warnings: 1 the game goes on from (--strict fails the run)"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("  " + warning), std::string::npos) << run.out;
}

TEST(Play, TheCommandTakesTheSameScenarioAndGivesTheSameStatus) {
  const PlayRun help = play_command("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--asi"), std::string::npos);
  EXPECT_EQ(play_command("").status, 2) << "a scenario is required";
  const std::string file = write_scenario("command",
                                          "deliverable toytrain\n"
                                          "start at 1 m west of site\n"
                                          "wait until prompt \"Turn off\" offered within 1 s\n");
  const PlayRun run = play_command("'" + file + "'");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out, play_here(file).out);
}

}  // namespace
}  // namespace play_test
