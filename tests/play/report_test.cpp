// The report: one page that holds its run's data, and the part of the data
// a live page is sent when it asks for what is new to it.

#include "report.h"

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "play_runs.h"

namespace {

using play_test::play_here;

// The data the page carries, as the page reads it.
nlohmann::json page_data(const std::string& page) {
  const std::string open = "<script type=\"application/json\" id=\"report\">";
  const size_t from = page.find(open);
  const size_t to = page.find("</script>", from);
  if (from == std::string::npos || to == std::string::npos) return nullptr;
  return nlohmann::json::parse(page.substr(from + open.size(), to - from - open.size()));
}

std::string written(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(Report, TheTicketRoadsPageHoldsItsRunAndNeedsNothingElse) {
  const std::string file = std::string(TEST_OUTPUT_DIR) + "/ticket_road_report.html";
  play::Options options;
  options.scenario = std::string(SCENARIOS_DIR) + "/cinema/ticket_road.scenario";
  options.report = file;
  const auto run = play_here(options);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string page = written(file);
  for (const char* elsewhere : {"src=", "href=\"http", "@import", "url(http", "fetch(\"http"}) {
    EXPECT_EQ(page.find(elsewhere), std::string::npos) << elsewhere;
  }
  const nlohmann::json data = page_data(page);
  ASSERT_TRUE(data.is_object());
  EXPECT_EQ(data["status"], 0);
  EXPECT_TRUE(data["failure"].is_null());
  // The sale, as the timeline told it: the buy prompt offered with its
  // control until the sale, the money from 5000 to 4900.
  bool offered = false;
  for (const auto& p : data["prompts"]["items"]) {
    if (p["label"] == "Buy Ticket ($1.00)") {
      offered = true;
      EXPECT_EQ(p["control"], "INPUT_CONTEXT_X");
      EXPECT_GT(p["to"].get<uint64_t>(), p["from"].get<uint64_t>()) << "withdrawn at the sale";
      // Offered near the taker, within the lock-on radius the cinema gives him.
      EXPECT_TRUE(p["reach"].is_null()) << "no point of its own";
      ASSERT_TRUE(p["near"].is_object()) << p;
      EXPECT_EQ(data["things"]["items"][p["near"]["thing"].get<size_t>()]["nickname"], "taker");
      EXPECT_FLOAT_EQ(p["near"]["radius"].get<float>(), 5.0f);
    }
  }
  EXPECT_TRUE(offered);
  // What the run began with, as its journal found it: the money, the TV
  // off and the player where he starts, all at the first frame.
  std::vector<int> money;
  std::vector<std::string> tv;
  for (const auto& n : data["notices"]["items"]) {
    if (n["kind"] == "money") money.push_back(n["value"]);
    if (n["kind"] == "tv") tv.push_back(n["text"]);
  }
  EXPECT_EQ(money, (std::vector<int>{5000, 4900}));
  ASSERT_FALSE(tv.empty());
  EXPECT_EQ(tv[0], "off");
  const auto& notices = data["notices"]["items"];
  EXPECT_EQ(notices[0]["frame"], data["first"]);
  EXPECT_EQ(notices[1]["frame"], data["first"]);
  EXPECT_EQ(data["path"]["items"][0]["frame"], data["first"]);
  // The taker's lines keep him talking 2.5 s, as the world said.
  size_t said = 0;
  for (const auto& n : notices) {
    if (n["kind"] != "said") continue;
    ++said;
    EXPECT_EQ(n["ms"], 2500) << n;
  }
  EXPECT_GT(said, 0u);
  // Every timeline line is there, at its frame.
  size_t lines = 0;
  for (const auto& l : data["lines"]["items"]) {
    EXPECT_NE(run.out.find(l["text"].get<std::string>()), std::string::npos) << l["text"];
    ++lines;
  }
  EXPECT_GT(lines, 100u);
  EXPECT_FALSE(data["calls"].empty());
}

// A run's report data, for a scenario of the test's own.
nlohmann::json report_of(const std::string& scenario, std::vector<std::string> plugins = {}) {
  play::Options options;
  options.scenario = play_test::write_scenario("run", scenario);
  options.report = play_test::output_file("run.html").string();
  options.plugin = std::move(plugins);
  if (!options.plugin.empty()) options.any_name = true;
  const auto run = play_here(options);
  EXPECT_EQ(run.status, 0) << run.err;
  return page_data(written(options.report));
}

// The frame of the first moment of a kind whose text is given.
uint64_t moment(const nlohmann::json& data, const std::string& kind, const std::string& text) {
  for (const auto& m : data["moments"]["items"]) {
    if (m["kind"] == kind && m["text"] == text) return m["frame"];
  }
  ADD_FAILURE() << "no " << kind << " " << text;
  return 0;
}

TEST(Report, HoldsOnAPromptsControlAndWhatAStepRemovedAreShownForTheirFrames) {
  const nlohmann::json data = report_of(
      "deliverable toytrain\n"
      "start at 1 m east of site\n"
      "wait until prompt \"Turn off\" offered within 1 s\n"
      "hold INPUT_ENTER for 300 ms\n"
      "wait 5 frames\n"
      "hold INPUT_ENTER for 600 ms\n"
      "wait until prompt \"Turn on\" offered within 1 s\n"
      "remove train\n"
      "wait 2 frames\n");
  ASSERT_TRUE(data.is_object());
  const nlohmann::json* off = nullptr;
  for (const auto& p : data["prompts"]["items"]) {
    if (p["label"] == "Turn off" && off == nullptr) off = &p;
  }
  ASSERT_NE(off, nullptr);
  EXPECT_EQ((*off)["control"], "INPUT_ENTER");
  EXPECT_EQ((*off)["hold_ms"], 550) << "a hold of 550 ms";
  // Let go short of its time, then held through: the second hold ends
  // with the prompt, which it completed.
  const auto& holds = (*off)["holds"];
  ASSERT_EQ(holds.size(), 2u) << holds;
  const uint64_t first = holds[0]["to"].get<uint64_t>() - holds[0]["from"].get<uint64_t>() + 1;
  EXPECT_NEAR(static_cast<double>(first), 18.0, 1.0) << "300 ms of 60 frames a second";
  EXPECT_GT(holds[1]["from"].get<uint64_t>(), holds[0]["to"].get<uint64_t>());
  EXPECT_LE(holds[1]["to"].get<uint64_t>(), (*off)["to"].get<uint64_t>());
  EXPECT_GE((*off)["to"].get<uint64_t>() - holds[1]["from"].get<uint64_t>() + 1, 33u)
      << "550 ms held";

  // The step removed the train after its frame was played: that frame
  // still shows it; the plug-in's new one shows from the next.
  const uint64_t removed = moment(data, "step", "remove train");
  std::vector<std::pair<uint64_t, uint64_t>> trains;
  for (const auto& t : data["things"]["items"]) {
    if (t["nickname"] == "train") trains.emplace_back(t["from"], t["to"]);
  }
  ASSERT_EQ(trains.size(), 2u);
  EXPECT_EQ(trains[0].second, removed);
  EXPECT_EQ(trains[1].first, removed + 1);
  EXPECT_EQ(trains[1].second, 0u) << "it lasts";
}

TEST(Report, AHoldBegunAsItsPromptComesIntoReachIsShownFromItsStart) {
  const nlohmann::json data = report_of(
      "deliverable toytrain\n"
      "start at 1 m east of site\n"
      "wait until prompt \"Turn off\" offered within 1 s\n"
      "teleport to 40 m east of site\n"
      "wait 5 frames\n"
      "teleport to 1 m east of site\n"
      "hold INPUT_ENTER for 600 ms\n"
      "wait 5 frames\n");
  ASSERT_TRUE(data.is_object());
  std::vector<const nlohmann::json*> offers;
  for (const auto& p : data["prompts"]["items"]) {
    if (p["label"] == "Turn off") offers.push_back(&p);
  }
  ASSERT_EQ(offers.size(), 2u) << "offered, out of reach, offered again";
  const nlohmann::json& again = *offers[1];
  ASSERT_EQ(again["holds"].size(), 1u) << again;
  EXPECT_EQ(again["holds"][0]["from"], again["from"]) << "held from the frame it was offered";
  EXPECT_GE(again["to"].get<uint64_t>() - again["holds"][0]["from"].get<uint64_t>() + 1, 33u)
      << "550 ms held";
}

TEST(Report, AMenuIsShownAsItWasDrawnEachFrameWhileItWasOpen) {
  const nlohmann::json data = report_of(
      "start at -2361.5 -2395.1 62.1\n"
      "wait 5 frames\n"
      "hold F4 for 0.05 s\n"
      "wait 10 frames\n"
      "hold F4 for 0.05 s\n"
      "wait 5 frames\n",
      {MENU_TRAINER_PLUGIN});
  ASSERT_TRUE(data.is_object());
  std::vector<nlohmann::json> titles;
  for (const auto& t : data["texts"]["items"]) {
    if (t["text"] == "Main menu") titles.push_back(t);
  }
  // One span, however many frames drew it; its style as the trainer set it.
  ASSERT_EQ(titles.size(), 1u) << data["texts"];
  const auto& title = titles[0];
  EXPECT_GT(title["to"].get<uint64_t>(), title["from"].get<uint64_t>() + 5) << "shut again";
  EXPECT_FLOAT_EQ(title["x"].get<float>(), 0.5f);
  EXPECT_FLOAT_EQ(title["scale_x"].get<float>(), 0.0f) << "its width scale";
  EXPECT_FLOAT_EQ(title["scale_y"].get<float>(), 0.5f) << "its height scale";
  EXPECT_EQ(title["colour"], (nlohmann::json{255, 255, 255, 255}));
  EXPECT_EQ(title["centred"], true);
  EXPECT_EQ(title["shadow"], true);
  EXPECT_EQ(title["owner"], 0) << "drawn by the trainer";

  // The box under it and its header sprite for as long; the bar under the
  // line chosen once where each line was.
  std::vector<nlohmann::json> boxes, bars;
  for (const auto& b : data["boxes"]["items"]) {
    EXPECT_EQ(b["owner"], 0) << "drawn by the trainer: " << b;
    if (b["colour"][3] == 60) {
      bars.push_back(b);
    } else {
      boxes.push_back(b);
    }
  }
  ASSERT_EQ(boxes.size(), 2u) << data["boxes"];
  EXPECT_EQ(boxes[0]["texture"], "") << "a rectangle";
  EXPECT_EQ(boxes[0]["colour"], (nlohmann::json{0, 0, 0, 180}));
  EXPECT_EQ(boxes[1]["texture"], "generic_textures/menu_header_1a");
  for (const auto& b : boxes) {
    EXPECT_EQ(b["from"], title["from"]);
    EXPECT_EQ(b["to"], title["to"]);
  }
  ASSERT_EQ(bars.size(), 1u) << "not moved: " << data["boxes"];
  EXPECT_FLOAT_EQ(bars[0]["y"].get<float>(), 0.198f);
}

TEST(Report, TheMenuBarFollowsTheLineChosen) {
  const nlohmann::json data = report_of(
      "start at -2361.5 -2395.1 62.1\n"
      "hold F4 for 0.05 s\n"
      "wait 0.2 s\n"  // a player's pace: the menu ignores a key for 150 ms after one
      "hold NUMPAD2 for 0.05 s\n"
      "wait 3 frames\n",
      {MENU_TRAINER_PLUGIN});
  std::vector<std::pair<float, uint64_t>> bars;
  for (const auto& b : data["boxes"]["items"]) {
    if (b["colour"][3] == 60) bars.emplace_back(b["y"].get<float>(), b["to"].get<uint64_t>());
  }
  ASSERT_EQ(bars.size(), 2u) << data["boxes"];
  EXPECT_FLOAT_EQ(bars[0].first, 0.198f);
  EXPECT_NE(bars[0].second, 0u) << "gone from the first line";
  EXPECT_FLOAT_EQ(bars[1].first, 0.248f);
  EXPECT_EQ(bars[1].second, 0u) << "under the second line still";
}

TEST(Report, ThePlayersPathBeginsWhereHeStoodAsTheRunBegan) {
  const nlohmann::json data = report_of(
      "deliverable toytrain\n"
      "wait 3 frames\n");
  ASSERT_TRUE(data.is_object());
  const auto& path = data["path"]["items"];
  ASSERT_EQ(path.size(), 1u) << "never moved: " << path;
  EXPECT_EQ(path[0]["frame"], data["first"]);
}

TEST(Report, VerboseDoesNotChangeThePage) {
  play::Options options;
  options.scenario = std::string(SCENARIOS_DIR) + "/toytrain/walk_up.scenario";
  options.report = play_test::output_file("plain.html").string();
  ASSERT_EQ(play_here(options).status, 0);
  const std::string plain = written(options.report);
  options.verbose = true;
  options.report = play_test::output_file("verbose.html").string();
  ASSERT_EQ(play_here(options).status, 0);
  const std::string verbose = written(options.report);
  EXPECT_EQ(page_data(plain)["lines"], page_data(verbose)["lines"]);
  EXPECT_EQ(plain, verbose);
}

TEST(Report, ATeleportBreaksThePlayersPathHoweverNearItPutsHim) {
  const nlohmann::json data = report_of(
      "deliverable toytrain\n"
      "start at 20 m east of site\n"
      "walk to 10 m east of site over 1 s\n"
      "teleport to 5 m east of site\n"
      "walk to 1 m east of site over 1 s\n");
  ASSERT_TRUE(data.is_object());
  int legs = 0;
  for (const auto& p : data["path"]["items"]) legs += p["leg"] == true ? 1 : 0;
  EXPECT_EQ(legs, 2) << "the start and the teleport: " << data["path"]["items"];
}

TEST(Report, ASpriteKeepsItsHeadingAndIsToldApartByIt) {
  const nlohmann::json data = report_of(
      "start at -2361.5 -2395.1 62.1\n"
      "wait 30 frames\n",
      {TURNED_SPRITES_PLUGIN});
  ASSERT_TRUE(data.is_object());
  std::vector<nlohmann::json> bars;
  for (const auto& b : data["boxes"]["items"]) {
    if (b["texture"] == "generic_textures/menu_bar") bars.push_back(b);
  }
  // A cross of one texture at one place: the bar at -45 degrees stops being
  // drawn after 20 passes, the one at 45 goes on.
  ASSERT_EQ(bars.size(), 2u) << data["boxes"];
  EXPECT_FLOAT_EQ(bars[0]["heading"].get<float>(), 45.0f) << bars[0];
  EXPECT_FLOAT_EQ(bars[1]["heading"].get<float>(), -45.0f) << bars[1];
  EXPECT_EQ(bars[0]["from"], bars[1]["from"]) << "drawn from the same pass";
  ASSERT_NE(bars[1]["to"], 0) << "the -45 degree bar ended";
  EXPECT_EQ(bars[1]["to"].get<uint64_t>() - bars[1]["from"].get<uint64_t>() + 1, 20u);
  EXPECT_TRUE(bars[0]["to"] == 0 || bars[0]["to"].get<uint64_t>() > bars[1]["to"].get<uint64_t>())
      << "the 45 degree bar lasts longer: " << bars[0];
}

TEST(Report, ALivePageIsSentWhatChangedSinceItLastAsked) {
  play::ReportData data;
  data.live = true;
  play::Thing taker;
  taker.version = 2;
  taker.from = 10;
  taker.kind = "ped";
  taker.moves.push_back({10, 1.0f, 2.0f});
  play::Thing chair = taker;
  chair.version = 3;
  chair.kind = "prop";
  data.things = {taker, chair};
  data.version = 5;
  std::ostringstream all, since2, since4;
  play::write_report_json(all, data, 0);
  play::write_report_json(since2, data, 2);
  play::write_report_json(since4, data, 4);
  const auto things = [](const std::ostringstream& out) {
    return nlohmann::json::parse(out.str())["things"];
  };
  EXPECT_EQ(things(all)["from"], 0);
  EXPECT_EQ(things(all)["items"].size(), 2u);
  EXPECT_EQ(things(since2)["from"], 1) << "the chair changed after 2; the taker did not";
  EXPECT_EQ(things(since2)["items"][0]["kind"], "prop");
  EXPECT_EQ(things(since4)["from"], 2);
  EXPECT_TRUE(things(since4)["items"].empty());
}

TEST(Report, TextThatWouldEndItsScriptElementIsWrittenSoItCannot) {
  play::ReportData data;
  play::TextShown t;
  t.text = "</script><script>alert(1)</script>";
  data.texts.push_back(t);
  std::ostringstream page;
  play::write_report_page(page, data);
  const nlohmann::json read = page_data(page.str());
  ASSERT_TRUE(read.is_object());
  EXPECT_EQ(read["texts"]["items"][0]["text"], t.text);
}

}  // namespace
