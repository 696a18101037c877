// The map: rendered as the user would see it, it shows the rings where they
// are, the site's places labelled, and a legend for what stood there.

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <regex>

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
  play::Options options;
  options.scenario = scenario.string();
  options.map = output_file("map.svg").string();
  ASSERT_EQ(play_here(options).status, 0);
  const std::string svg = read_file(options.map);

  for (const char* label :
       {">post</text>", ">seat</text>", ">screen</text>", "90.0 m: the post opens within 90 m",
        "110.0 m: and closes beyond 110 m", "the player's path", "ped, where it last stood",
        "prop, where it last stood", ">blip</text>", ">taker</text>", " m</text>"}) {
    EXPECT_NE(svg.find(label), std::string::npos) << "no " << label << " in the map";
  }
  EXPECT_NE(svg.find(R"(class="path")"), std::string::npos);
  EXPECT_NE(svg.find(R"(class="mark")"), std::string::npos);
  EXPECT_EQ(svg.find("nan"), std::string::npos);

  const std::string png = output_file("map.png").string();
  const std::string command =
      std::string("'") + RSVG_CONVERT + "' '" + options.map + "' -o '" + png + "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
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

}  // namespace
}  // namespace play_test
