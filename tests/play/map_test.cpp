// The map: rendered as the user would see it, it shows the rings where they
// are, the site's places labelled, the theater's outline, labels that stand
// apart and whole within their panel, and a legend of just what is drawn.

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <map>
#include <regex>
#include <set>

#include "play_runs.h"

namespace play_test {
namespace {

struct Image {
  unsigned width = 0;
  unsigned height = 0;
  std::vector<unsigned char> rgba;

  // How far the pixel is from the map's background, #fbfaf6.
  int ink(int x, int y) const {
    if (x < 0 || y < 0 || x >= static_cast<int>(width) || y >= static_cast<int>(height)) return 0;
    const unsigned char* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
    return std::abs(p[0] - 0xfb) + std::abs(p[1] - 0xfa) + std::abs(p[2] - 0xf6);
  }
};

Image read_png(const std::string& path) {
  Image image;
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return image;
  png.format = PNG_FORMAT_RGBA;
  image.rgba.resize(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr)) {
    png_image_free(&png);
    return Image{};
  }
  image.width = png.width;
  image.height = png.height;
  return image;
}

std::string render(const std::string& svg, const std::string& name) {
  const std::string svg_file = output_file(name + ".svg").string();
  const std::string png = output_file(name + ".png").string();
  std::ofstream(svg_file) << svg;
  const std::string command =
      std::string("'") + RSVG_CONVERT + "' '" + svg_file + "' -o '" + png + "' 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return png;
}

// A map written by play, of a shipped scenario ("cinema/ticket_road") or of
// a scenario file.
std::string play_map(const std::string& scenario_file, const std::string& name) {
  play::Options options;
  options.scenario = scenario_file;
  options.map = output_file(name + ".svg").string();
  const PlayRun run = play_here(options);
  EXPECT_EQ(run.status, 0) << run.err;
  return read_file(options.map);
}

std::string file_name(const std::string& scenario) {
  std::string name = scenario;
  std::replace(name.begin(), name.end(), '/', '_');
  return name;
}

// A shipped scenario's map, played once for all the tests that look at it.
const std::string& map_of(const std::string& scenario) {
  static std::map<std::string, std::string> maps;
  const auto found = maps.find(scenario);
  if (found != maps.end()) return found->second;
  return maps[scenario] = play_map(std::string(SCENARIOS_DIR) + "/" + scenario + ".scenario",
                                   file_name(scenario));
}

// Each shipped scenario, as "cinema/ticket_road".
std::vector<std::string> shipped_maps() {
  std::vector<std::string> names;
  for (const std::string& file : scenarios_in(SCENARIOS_DIR)) {
    const std::filesystem::path path(file);
    names.push_back(path.parent_path().filename().string() + "/" + path.stem().string());
  }
  return names;
}

struct Rect {
  double left, top, right, bottom;
  bool overlaps(const Rect& o) const {
    return left <= o.right && o.left <= right && top <= o.bottom && o.top <= bottom;
  }
  bool inside(const Rect& o) const {
    return left >= o.left && right <= o.right && top >= o.top && bottom <= o.bottom;
  }
};

std::ostream& operator<<(std::ostream& out, const Rect& r) {
  return out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}

struct Text {
  std::string element;
  std::string words;
  bool label;  // beside something in a panel, rather than the title's, legend's or scale's
  Rect ink;    // where it is inked, rendered on its own
};

// Every text of the map, each rendered alone in a strip of its own around
// its baseline, so that where its glyphs fall is what the renderer drew,
// not what the map reckoned.
std::vector<Text> texts(const std::string& svg, const std::string& name) {
  static const std::regex element(R"re(<text [^>]*y="([-\d.]+)"[^>]*>([^<]*)</text>)re");
  std::vector<Text> found;
  std::vector<double> baselines;
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), element);
       it != std::sregex_iterator(); ++it) {
    const std::string e = (*it)[0];
    found.push_back({e, (*it)[2], e.find(R"(class="label")") != std::string::npos, {}});
    baselines.push_back(std::stod((*it)[1]));
  }
  const std::string root = svg.substr(0, svg.find('>') + 1);
  // Each strip reaches well beyond the picture's sides, to see what would
  // run off them.
  constexpr int strip = 60;
  constexpr int above = 40;
  constexpr int beyond = 400;
  constexpr int wide = 1080 + 2 * beyond;
  const std::regex size(R"re(width="\d+" height="\d+" viewBox="[^"]*")re");
  const std::string strips_height = std::to_string(strip * found.size());
  std::string strips = std::regex_replace(root, size,
                                          "width=\"" + std::to_string(wide) + "\" height=\"" +
                                              strips_height + "\" viewBox=\"0 0 " +
                                              std::to_string(wide) + " " + strips_height + "\"");
  strips += R"(<rect width="100%" height="100%" fill="#fbfaf6"/>)";
  for (size_t n = 0; n < found.size(); ++n) {
    strips += R"(<svg x="0" y=")" + std::to_string(strip * n) + R"(" width=")" +
              std::to_string(wide) + R"(" height=")" + std::to_string(strip) + R"(" viewBox=")" +
              std::to_string(-beyond) + " " + std::to_string(baselines[n] - above) + " " +
              std::to_string(wide) + " " + std::to_string(strip) + R"(" overflow="hidden">)" +
              found[n].element + "</svg>";
  }
  strips += "</svg>\n";
  const Image image = read_png(render(strips, name + "_texts"));
  EXPECT_EQ(image.height, strip * found.size());
  for (size_t n = 0; n < found.size(); ++n) {
    Rect ink{1e9, 1e9, -1e9, -1e9};
    for (int y = 0; y < strip; ++y) {
      for (int x = 0; x < static_cast<int>(image.width); ++x) {
        if (image.ink(x, static_cast<int>(strip * n) + y) <= 40) continue;
        EXPECT_TRUE(y > 0 && y < strip - 1) << found[n].words << ": taller than its strip";
        const double map_y = baselines[n] - above + y;
        const double map_x = x - beyond;
        EXPECT_TRUE(x > 0 && x < wide - 1) << found[n].words << ": wider than its strip";
        ink = {std::min(ink.left, map_x), std::min(ink.top, map_y),
               std::max(ink.right, map_x + 1.0), std::max(ink.bottom, map_y + 1.0)};
      }
    }
    EXPECT_LT(ink.left, ink.right) << found[n].words << ": nothing inked";
    found[n].ink = ink;
  }
  return found;
}

// The panels: the whole site and each close-up.
std::vector<Rect> frames(const std::string& svg) {
  static const std::regex frame(
      R"re(class="frame" x="([-\d.]+)" y="([-\d.]+)" width="([-\d.]+)" height="([-\d.]+)")re");
  std::vector<Rect> found;
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), frame); it != std::sregex_iterator();
       ++it) {
    const double x = std::stod((*it)[1]);
    const double y = std::stod((*it)[2]);
    found.push_back({x, y, x + std::stod((*it)[3]), y + std::stod((*it)[4])});
  }
  return found;
}

// The symbols drawn for entities, blips and places, as boxes.
std::vector<std::pair<std::string, Rect>> symbols(const std::string& svg) {
  static const std::regex circle(
      R"re(class="(ped|prop)" cx="([-\d.]+)" cy="([-\d.]+)" r="([\d.]+)")re");
  static const std::regex rect(
      R"re(class="blip" x="([-\d.]+)" y="([-\d.]+)" width="([\d.]+)" height="([\d.]+)")re");
  static const std::regex cross(R"re(class="place" d="M([-\d.]+),([-\d.]+)L([-\d.]+),([-\d.]+))re");
  std::vector<std::pair<std::string, Rect>> found;
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), circle); it != std::sregex_iterator();
       ++it) {
    const double x = std::stod((*it)[2]), y = std::stod((*it)[3]), r = std::stod((*it)[4]);
    found.emplace_back((*it)[1], Rect{x - r, y - r, x + r, y + r});
  }
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), rect); it != std::sregex_iterator();
       ++it) {
    const double x = std::stod((*it)[1]), y = std::stod((*it)[2]);
    found.emplace_back("blip", Rect{x, y, x + std::stod((*it)[3]), y + std::stod((*it)[4])});
  }
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), cross); it != std::sregex_iterator();
       ++it) {
    found.emplace_back("place", Rect{std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]),
                                     std::stod((*it)[4])});
  }
  return found;
}

const char* const maps_played[] = {"cinema/ticket_road", "toytrain/walk_up",
                                   "both/theater_and_train"};

const std::vector<Text>& texts_of(const std::string& scenario) {
  static std::map<std::string, std::vector<Text>> rendered;
  const auto found = rendered.find(scenario);
  if (found != rendered.end()) return found->second;
  return rendered[scenario] = texts(map_of(scenario), file_name(scenario));
}

struct Circle {
  double cx, cy, r;
};

// The rings of the whole map, as the SVG draws them (the close-up follows).
std::vector<Circle> rings(const std::string& svg) {
  std::vector<Circle> found;
  static const std::regex ring(R"re(class="ring" cx="([-\d.]+)" cy="([-\d.]+)" r="([-\d.]+)")re");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), ring); it != std::sregex_iterator();
       ++it) {
    found.push_back({std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3])});
  }
  return found;
}

TEST(Map, RenderedItShowsTheRingsWhereTheyAreAndLabelsTheSite) {
  const std::filesystem::path scenario = output_file("map.scenario");
  std::ofstream(scenario) << "deliverable cinema\n"
                             "start at 3 m west of post\n"
                             "wait until 8 live chair within 10 s\n"
                             "walk to seat over 3 s\n"
                             "walk to 60 m west of post over 10 s\n"
                             "walk to 112 m west of post over 10 s\n";
  const std::string svg = play_map(scenario.string(), "map");

  for (const char* label :
       {">post</text>", ">seat</text>", ">screen</text>", "90.0 m: the post opens within 90 m",
        "110.0 m: and closes beyond 110 m", "the player's path", "ped, where it last stood",
        "prop, where it last stood", ">blip</text>", ">taker</text>", " m</text>"}) {
    EXPECT_NE(svg.find(label), std::string::npos) << "no " << label << " in the map";
  }
  EXPECT_NE(svg.find(R"(class="path")"), std::string::npos);
  EXPECT_NE(svg.find(R"(class="mark")"), std::string::npos);
  EXPECT_EQ(svg.find("nan"), std::string::npos);

  const std::string png = render(svg, "map");
  const Image image = read_png(png);
  ASSERT_EQ(image.width, 1080u) << "no PNG could be read from " << png;
  ASSERT_EQ(image.height, 836u);

  const std::vector<Circle> drawn = rings(svg);
  ASSERT_GE(drawn.size(), 2u) << "the 90 m and 110 m rings";
  EXPECT_NEAR(drawn[1].r / drawn[0].r, 110.0 / 90.0, 0.01);
  for (size_t n = 0; n < 2; ++n) {
    const Circle& c = drawn[n];
    int inked = 0;
    for (int degree = 0; degree < 360; ++degree) {
      const double a = degree * 3.14159265358979 / 180.0;
      const int x = static_cast<int>(std::lround(c.cx + c.r * std::cos(a)));
      const int y = static_cast<int>(std::lround(c.cy + c.r * std::sin(a)));
      int most = 0;
      for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) most = std::max(most, image.ink(x + dx, y + dy));
      }
      inked += most > 60 ? 1 : 0;
    }
    EXPECT_GT(inked, 180) << "ring " << n << " is drawn along its circle (dashed)";
    // South of the post, halfway to the ring, nothing stood and nobody walked.
    EXPECT_LT(image.ink(static_cast<int>(c.cx), static_cast<int>(c.cy + c.r / 2)), 10);
  }
}

// The taker and the money he is handed stand together, as do the train and
// its track; their names must still be read apart.
TEST(Map, NoLabelSitsOnAnother) {
  const std::map<std::string, std::vector<const char*>> together = {
      {"cinema/ticket_road", {"taker", "money"}},
      {"toytrain/walk_up", {"train", "track"}},
      {"both/theater_and_train", {"taker", "train", "track"}}};
  for (const std::string& scenario : shipped_maps()) {
    SCOPED_TRACE(scenario);
    const std::vector<Text>& all = texts_of(scenario);
    if (const auto names = together.find(scenario); names != together.end()) {
      std::set<std::string> labelled;
      for (const Text& t : all) {
        if (t.label) labelled.insert(t.words);
      }
      for (const char* name : names->second)
        EXPECT_EQ(labelled.count(name), 1u) << "no label " << name;
    }
    for (size_t a = 0; a < all.size(); ++a) {
      for (size_t b = a + 1; b < all.size(); ++b) {
        EXPECT_FALSE(all[a].ink.overlaps(all[b].ink))
            << "'" << all[a].words << "' at " << all[a].ink << " and '" << all[b].words << "' at "
            << all[b].ink;
      }
    }
  }
}

// Every label and every symbol lies whole within the panel it is drawn in:
// the close-up's edge cuts none of them.
TEST(Map, NothingIsCutAtAPanelsEdge) {
  for (const std::string& scenario : shipped_maps()) {
    SCOPED_TRACE(scenario);
    const std::string& svg = map_of(scenario);
    const std::vector<Rect> panels = frames(svg);
    ASSERT_GE(panels.size(), 2u) << "the whole site and a close-up";
    const auto within_a_panel = [&](const Rect& r) {
      return std::any_of(panels.begin(), panels.end(), [&](const Rect& p) { return r.inside(p); });
    };
    for (const Text& t : texts_of(scenario)) {
      if (t.label) {
        EXPECT_TRUE(within_a_panel(t.ink)) << "'" << t.words << "' at " << t.ink;
      }
    }
    for (const auto& [kind, box] : symbols(svg)) {
      EXPECT_TRUE(within_a_panel(box)) << kind << " at " << box;
    }
    // Each of the site's places is shown in the last close-up, whole.
    if (scenario == "cinema/ticket_road") {
      const Rect& close = panels.back();
      int places = 0;
      for (const auto& [kind, box] : symbols(svg)) places += kind == "place" && box.inside(close);
      EXPECT_EQ(places, 3) << "post, seat and screen in the close-up";
    }
  }
}

// The theater's outline: the seat and the screen inside it, the ticket
// taker's post outside its west wall; named, and in the legend.
TEST(Map, OutlinesTheTheaterWhereItStands) {
  static const std::regex outline(
      R"re(class="interior" x="([-\d.]+)" y="([-\d.]+)" width="([\d.]+)" height="([\d.]+)")re");
  for (const std::string scenario : maps_played) {
    SCOPED_TRACE(scenario);
    const std::string& svg = map_of(scenario);
    std::vector<Rect> outlines;
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), outline);
         it != std::sregex_iterator(); ++it) {
      const double x = std::stod((*it)[1]), y = std::stod((*it)[2]);
      outlines.push_back({x, y, x + std::stod((*it)[3]), y + std::stod((*it)[4])});
    }
    const bool theater = scenario != "toytrain/walk_up";
    EXPECT_EQ(svg.find(">the theater's outline</text>") != std::string::npos, theater);
    EXPECT_EQ(svg.find(">theater</text>") != std::string::npos, theater);
    if (!theater) {
      EXPECT_TRUE(outlines.empty());
      continue;
    }
    ASSERT_EQ(outlines.size(), 2u) << "on the whole site and in the theater's close-up";
    const Rect& close = outlines.back();
    static const std::regex cross(R"re(class="place" d="M([-\d.]+),([-\d.]+)L)re");
    std::vector<std::pair<double, double>> centres;
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), cross);
         it != std::sregex_iterator(); ++it) {
      centres.emplace_back(std::stod((*it)[1]) + 5.0, std::stod((*it)[2]) + 5.0);
    }
    const auto in_close = [&](const std::pair<double, double>& c) {
      return c.first >= close.left && c.first <= close.right && c.second >= close.top &&
             c.second <= close.bottom;
    };
    // The theater's close-up (the first) and its places, in the order the
    // deliverable lists them: post, seat, screen.
    std::vector<std::pair<double, double>> shown;
    const Rect panel = frames(svg)[1];
    for (const auto& c : centres) {
      if (c.first >= panel.left && c.first <= panel.right && c.second >= panel.top &&
          c.second <= panel.bottom) {
        shown.push_back(c);
      }
    }
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_FALSE(in_close(shown[0])) << "the post stands outside the theater";
    EXPECT_LT(shown[0].first, close.left) << "west of it";
    EXPECT_TRUE(in_close(shown[1])) << "the seat is inside";
    EXPECT_TRUE(in_close(shown[2])) << "the screen is inside";

    const Image image = read_png(render(svg, file_name(scenario)));
    ASSERT_EQ(image.width, 1080u);
    int inked = 0;
    for (double f = 0.05; f < 1.0; f += 0.1) {
      const double x = close.left + f * (close.right - close.left);
      const double y = close.top + f * (close.bottom - close.top);
      for (const auto& [px, py] : {std::pair{x, close.top}, std::pair{x, close.bottom},
                                   std::pair{close.left, y}, std::pair{close.right, y}}) {
        inked +=
            image.ink(static_cast<int>(std::lround(px)), static_cast<int>(std::lround(py))) > 60;
      }
    }
    EXPECT_GE(inked, 36) << "the outline is drawn along its four walls";
  }
}

// The legend names a kind of thing exactly when the map draws one: the toy
// train's has no peds and no blip, and a run that never walks has no path.
TEST(Map, LegendListsOnlyWhatIsDrawn) {
  const std::pair<const char*, const char*> entries[] = {
      {">the player's path</text>", R"(class="path")"},
      {">time mark, every ", R"(class="mark")"},
      {">ped, where it last stood</text>", R"(class="ped")"},
      {">prop, where it last stood</text>", R"(class="prop")"},
      {">blip</text>", R"(class="blip")"},
      {">place of the deliverable</text>", R"(class="place")"},
      {">ring</text>", R"(class="ring")"},
      {"'s outline</text>", R"(class="interior")"}};
  for (const std::string& scenario : shipped_maps()) {
    SCOPED_TRACE(scenario);
    const std::string& svg = map_of(scenario);
    for (const auto& [legend, drawn] : entries) {
      EXPECT_EQ(svg.find(legend) != std::string::npos, svg.find(drawn) != std::string::npos)
          << legend;
    }
  }
  const std::string& train = map_of("toytrain/walk_up");
  EXPECT_EQ(train.find(">ped, where it last stood</text>"), std::string::npos);
  EXPECT_EQ(train.find(">blip</text>"), std::string::npos);
  EXPECT_NE(train.find(">prop, where it last stood</text>"), std::string::npos);
  // Both plug-ins: the player is put at the train and back, never walking.
  const std::string& both = map_of("both/theater_and_train");
  EXPECT_EQ(both.find(R"(class="path")"), std::string::npos);
  EXPECT_EQ(both.find(">the player's path</text>"), std::string::npos);
}

// A fault that puts the player at no number or at the edge of a float does
// not stretch the map over it: the path around it is drawn to a scale of
// metres and a note says what was left out; after the game timer jumps, the
// time marks go on by the scenario's own clock.
TEST(Map, LeavesOutWhatIsOffTheWorldAndKeepsTheScenariosClock) {
  const std::filesystem::path scenario = output_file("off_the_world.scenario");
  std::ofstream(scenario) << "deliverable toytrain\n"
                             "start at 30 m east of site\n"
                             "walk to 20 m east of site over 2 s\n"
                             "fault \"position huge\" for 1 s\n"
                             "wait 2 s\n"
                             "fault \"position NaN\" for 1 s\n"
                             "wait 2 s\n"
                             "fault \"timer near wrap\"\n"
                             "walk to 3 m east of site over 4 s\n";
  const std::string svg = play_map(scenario.string(), "off_the_world");
  EXPECT_EQ(svg.find("nan"), std::string::npos);
  EXPECT_EQ(svg.find("inf"), std::string::npos);
  EXPECT_EQ(svg.find("e+"), std::string::npos);

  std::smatch m;
  ASSERT_TRUE(std::regex_search(svg, m, std::regex(R"(>(\d+) m</text>)")));
  EXPECT_LE(std::stoi(m[1]), 50) << "the whole map's scale bar";
  ASSERT_TRUE(std::regex_search(svg, m, std::regex(R"(>the player, (\d+) frames</text>)")))
      << "a note of the frames the player could not be drawn";
  EXPECT_GT(std::stoi(m[1]), 0);
  EXPECT_NE(svg.find(R"(class="path")"), std::string::npos);

  EXPECT_NE(svg.find(">time mark, every 1 s</text>"), std::string::npos);
  std::set<int> marked;
  static const std::regex mark(R"re(class="label"[^>]*>(\d+) s</text>)re");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), mark); it != std::sregex_iterator();
       ++it) {
    marked.insert(std::stoi((*it)[1]));
  }
  ASSERT_FALSE(marked.empty());
  EXPECT_EQ(*marked.begin(), 0);
  EXPECT_GE(*marked.rbegin(), 8) << "marks after the timer's jump";
  EXPECT_LE(*marked.rbegin(), 10) << "by the scenario's clock, some 10 s long";

  EXPECT_EQ(marked.count(2), 1u) << "where the player stood the moment before the fault";
}

size_t count_of(const std::string& svg, const std::string& text) {
  size_t n = 0;
  for (size_t at = svg.find(text); at != std::string::npos; at = svg.find(text, at + 1)) ++n;
  return n;
}

// The game removes a plug-in's thing and gives its handle to a cat of its
// own: the map keeps where the removed thing last stood and draws the cat
// beside it, never one for the other.
TEST(Map, AHandleTheGameGaveAwayDrawsBothThings) {
  const std::string start =
      "deliverable cinema toytrain\n"
      "start at 1 m east of site\n"
      "wait until prompt \"Turn off\" offered within 1 s\n";
  const std::filesystem::path plain = output_file("handle_kept.scenario");
  const std::filesystem::path reused = output_file("handle_reused.scenario");
  std::ofstream(plain) << start << "wait 2 frames\n";
  std::ofstream(reused) << start << "fault \"handle reused\"\nwait 2 frames\n";
  const std::string before = play_map(plain.string(), "handle_kept");
  const std::string after = play_map(reused.string(), "handle_reused");
  const size_t things_before =
      count_of(before, R"(class="prop")") + count_of(before, R"(class="ped")");
  const size_t things_after =
      count_of(after, R"(class="prop")") + count_of(after, R"(class="ped")");
  EXPECT_GT(things_after, things_before) << "the cat, with the thing it took the handle of";
  EXPECT_GT(count_of(after, R"(class="ped")"), count_of(before, R"(class="ped")"));
}

// A scenario deep in folders of long names: the title keeps the file's name
// and loses the start of its path, within the picture.
TEST(Map, ALongPathLosesItsStartNotTheEnd) {
  std::filesystem::path folder = output_file("deep");
  for (const char* part : {"théâtre", "des", "scénarios"}) folder /= std::string(30, 'x') + part;
  std::filesystem::create_directories(folder);
  const std::filesystem::path scenario = folder / "walk_up.scenario";
  std::filesystem::copy_file(std::string(SCENARIOS_DIR) + "/toytrain/walk_up.scenario", scenario,
                             std::filesystem::copy_options::overwrite_existing);
  const std::string svg = play_map(scenario.string(), "deep");
  const std::vector<Text> all = texts(svg, "deep");
  ASSERT_FALSE(all.empty());
  const Text& title = all.front();
  EXPECT_NE(title.words.find("scénarios/walk_up.scenario (toytrain)"), std::string::npos)
      << title.words;
  EXPECT_EQ(title.words.rfind("...", 0), 0u) << title.words;
  EXPECT_LE(title.ink.right, 1080.0) << title.words;
}

}  // namespace
}  // namespace play_test
