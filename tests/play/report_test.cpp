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
  const std::string file = TEST_OUTPUT_DIR "/ticket_road_report.html";
  play::Options options;
  options.scenario = SCENARIOS_DIR "/cinema/ticket_road.scenario";
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
    if (p[2] == "Buy Ticket ($1.00)") {
      offered = true;
      EXPECT_EQ(p[3], "INPUT_CONTEXT_X");
      EXPECT_GT(p[1].get<uint64_t>(), p[0].get<uint64_t>()) << "withdrawn at the sale";
    }
  }
  EXPECT_TRUE(offered);
  std::vector<int> money;
  for (const auto& n : data["notices"]["items"]) {
    if (n[1] == "money") money.push_back(n[4]);
  }
  EXPECT_EQ(money, (std::vector<int>{5000, 4900}));
  // Every timeline line is there, at its frame.
  size_t lines = 0;
  for (const auto& l : data["lines"]["items"]) {
    EXPECT_NE(run.out.find(l[1].get<std::string>()), std::string::npos) << l[1];
    ++lines;
  }
  EXPECT_GT(lines, 100u);
  EXPECT_FALSE(data["calls"].empty());
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
  EXPECT_EQ(things(since2)["items"][0][2], "prop");
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
  EXPECT_EQ(read["texts"]["items"][0][2], t.text);
}

}  // namespace
