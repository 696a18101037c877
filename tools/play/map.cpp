#include "map.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "timeline.h"

namespace play {

namespace {

constexpr float moved_enough = 0.25f;  // metres between path samples
constexpr float jump = 10.0f;          // metres in one frame that start a new leg

const char* const background = "#fbfaf6";
const char* const ped_colour = "#1f77b4";
const char* const prop_colour = "#e07b00";
const char* const blip_colour = "#2ca02c";
const char* const path_colour = "#d62728";

// An SVG text, escaped.
std::string escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (c == '"') {
      out += "&quot;";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

View View::around(double cx, double cy, double half, double left, double top, double size) {
  return View{cx - half, cy + half, size / (2.0 * half), left, top, size};
}

namespace {

// 1, 2 or 5 times a power of ten, near `about`.
double round_length(double about) {
  const double power = std::pow(10.0, std::floor(std::log10(std::max(about, 1e-3))));
  for (double step : {1.0, 2.0, 5.0}) {
    if (step * power >= about * 0.7) return step * power;
  }
  return 10.0 * power;
}

const char* colour_of(const std::string& kind) {
  return kind == "ped" ? ped_colour : kind == "blip" ? blip_colour : prop_colour;
}

}  // namespace

void Map::begin(const PlayContext& context, sim::World& world) {
  context_ = &context;
  path_.push_back({{world.player_position(), 0}});
}

void Map::sample(sim::World& world) {
  const sim::Vec at = world.player_position();
  const Sample& last = path_.back().back();
  const float moved = sim::distance(at, last.at);
  if (moved < moved_enough) return;
  const uint32_t ms = world.game_timer() - context_->start_ms;
  if (moved > jump) path_.emplace_back();
  path_.back().push_back({at, ms});
}

void Map::frame(const FrameView& view) {
  sim::World& world = view.world;
  sample(world);
  for (const auto& [handle, e] : world.entities()) {
    if (!e.exists || context_->baseline.player_peds.count(handle) != 0 ||
        handle == world.player_ped()) {
      continue;
    }
    Stood& s = entities_[handle];
    s.kind = e.kind == sim::EntityKind::ped ? "ped" : "prop";
    s.name = context_->deliverable.nickname_of_model(hash_name(world, e.model));
    s.at = e.position;
  }
  for (const auto& [handle, b] : world.blips.all) {
    if (b.exists) blips_[handle] = {"blip", "", b.position};
  }
}

// Draws the rings, the path, the entities and the places as the view maps
// them, clipped to the view's frame.
void Map::draw(std::ostream& o, const View& v, const std::string& clip, uint32_t every,
               uint32_t total) const {
  const Deliverable& d = context_->deliverable;
  o << R"(<clipPath id=")" << clip << R"("><rect x=")" << fixed(v.left, 1) << R"(" y=")"
    << fixed(v.top, 1) << R"(" width=")" << fixed(v.size, 1) << R"(" height=")" << fixed(v.size, 1)
    << R"("/></clipPath>)" << '\n';
  o << R"(<rect x=")" << fixed(v.left, 1) << R"(" y=")" << fixed(v.top, 1) << R"(" width=")"
    << fixed(v.size, 1) << R"(" height=")" << fixed(v.size, 1) << R"(" fill="none" stroke="#bbb"/>)"
    << '\n';
  o << "<g clip-path=\"url(#" << clip << ")\">\n";

  for (const Ring& r : d.rings) {
    const Place* p = d.place(r.around);
    if (p == nullptr) continue;
    const double rx = v.x(p->at.x);
    const double ry = v.y(p->at.y);
    const double rr = r.radius * v.scale;
    o << R"(<circle class="ring" cx=")" << fixed(rx, 1) << R"(" cy=")" << fixed(ry, 1) << R"(" r=")"
      << fixed(rr, 1)
      << R"(" fill="none" stroke="#555" stroke-width="1.5" stroke-dasharray="6 4"/>)" << '\n';
    o << R"(<text x=")" << fixed(rx + 4, 1) << R"(" y=")" << fixed(ry - rr - 4, 1)
      << R"(" fill="#555">)" << fixed(r.radius, 1) << " m: " << escaped(r.meaning) << "</text>\n";
  }

  for (const auto& leg : path_) {
    if (leg.size() < 2) continue;
    o << R"(<polyline class="path" fill="none" stroke=")" << path_colour
      << R"(" stroke-width="2" points=")";
    for (const Sample& s : leg) o << fixed(v.x(s.at.x), 1) << ',' << fixed(v.y(s.at.y), 1) << ' ';
    o << R"("/>)" << '\n';
  }
  std::vector<std::pair<double, double>> marks;
  for (uint32_t t = 0; t <= total; t += every) {
    const Sample* at = &path_.front().front();
    for (const auto& leg : path_) {
      for (const Sample& s : leg) {
        if (s.ms <= t) at = &s;
      }
    }
    const double px = v.x(at->at.x);
    const double py = v.y(at->at.y);
    // Where the player stood still or came back, the first mark says it.
    const bool crowded = std::any_of(marks.begin(), marks.end(), [&](const auto& m) {
      return std::hypot(px - m.first, py - m.second) < 16.0;
    });
    if (crowded) continue;
    marks.emplace_back(px, py);
    o << R"(<circle class="mark" cx=")" << fixed(px, 1) << R"(" cy=")" << fixed(py, 1)
      << R"(" r="3" fill=")" << path_colour << R"("/>)";
    o << R"(<text x=")" << fixed(px + 5, 1) << R"(" y=")" << fixed(py + 14, 1) << R"(" fill=")"
      << path_colour << R"(" font-size="11">)" << t / 1000 << " s</text>\n";
  }

  // A nickname is written once, beside the first of its entities.
  std::set<std::string> named;
  for (const auto* group : {&entities_, &blips_}) {
    for (const auto& [handle, s] : *group) {
      const double ex = v.x(s.at.x);
      const double ey = v.y(s.at.y);
      if (s.kind == "blip") {
        o << R"(<rect class="blip" x=")" << fixed(ex - 5, 1) << R"(" y=")" << fixed(ey - 5, 1)
          << R"(" width="10" height="10" fill="none" stroke=")" << blip_colour
          << R"(" stroke-width="2"/>)";
      } else {
        o << R"(<circle class=")" << s.kind << R"(" cx=")" << fixed(ex, 1) << R"(" cy=")"
          << fixed(ey, 1) << R"(" r="4" fill=")" << colour_of(s.kind)
          << R"(" fill-opacity="0.8"/>)";
      }
      if (!s.name.empty() && named.insert(s.name).second) {
        o << R"(<text x=")" << fixed(ex + 6, 1) << R"(" y=")" << fixed(ey - 6, 1)
          << R"(" font-size="11" fill=")" << colour_of(s.kind) << R"(">)" << escaped(s.name)
          << "</text>";
      }
      o << '\n';
    }
  }

  for (const Place& p : d.places) {
    const double px = v.x(p.at.x);
    const double py = v.y(p.at.y);
    o << R"(<path class="place" d="M)" << fixed(px - 5, 1) << ',' << fixed(py - 5, 1) << 'L'
      << fixed(px + 5, 1) << ',' << fixed(py + 5, 1) << 'M' << fixed(px - 5, 1) << ','
      << fixed(py + 5, 1) << 'L' << fixed(px + 5, 1) << ',' << fixed(py - 5, 1)
      << R"(" stroke="#000" stroke-width="2"/>)";
    o << R"(<text x=")" << fixed(px + 7, 1) << R"(" y=")" << fixed(py + 4, 1) << R"(">)"
      << escaped(p.name) << "</text>\n";
  }
  o << "</g>\n";

  // A scale bar, bottom left, and north.
  const double bar = round_length(v.size / v.scale / 5.0);
  const double bar_px = bar * v.scale;
  const double bar_x = v.left + 12.0;
  const double bar_y = v.top + v.size - 14.0;
  o << R"(<path class="scale" d="M)" << fixed(bar_x, 1) << ',' << fixed(bar_y, 1) << 'h'
    << fixed(bar_px, 1) << 'M' << fixed(bar_x, 1) << ',' << fixed(bar_y - 5, 1) << "v10M"
    << fixed(bar_x + bar_px, 1) << ',' << fixed(bar_y - 5, 1)
    << R"(v10" stroke="#000" stroke-width="2"/>)";
  o << R"(<text x=")" << fixed(bar_x, 1) << R"(" y=")" << fixed(bar_y - 9, 1) << R"(">)"
    << fixed(bar, bar < 1 ? 1 : 0) << " m</text>\n";
  o << R"(<text x=")" << fixed(v.left + v.size - 20, 1) << R"(" y=")" << fixed(v.top + 20, 1)
    << R"(" font-weight="bold">N</text>)" << '\n';
}

void Map::end(sim::World& world) {
  sample(world);
  const Deliverable& d = context_->deliverable;

  // What the map must show, in world metres.
  double min_x = 1e30, min_y = 1e30, max_x = -1e30, max_y = -1e30;
  const auto include = [&](double x, double y, double r) {
    min_x = std::min(min_x, x - r);
    max_x = std::max(max_x, x + r);
    min_y = std::min(min_y, y - r);
    max_y = std::max(max_y, y + r);
  };
  for (const Place& p : d.places) include(p.at.x, p.at.y, 0.0);
  for (const Ring& r : d.rings) {
    if (const Place* p = d.place(r.around)) include(p->at.x, p->at.y, r.radius);
  }
  for (const auto& leg : path_) {
    for (const Sample& s : leg) include(s.at.x, s.at.y, 0.0);
  }
  for (const auto& [handle, s] : entities_) include(s.at.x, s.at.y, 0.0);
  const double half = std::max({max_x - min_x, max_y - min_y, 20.0}) * 0.55;

  const double title = 36.0;
  const double map_size = 800.0;
  const double side = 280.0;
  const View whole =
      View::around((min_x + max_x) / 2.0, (min_y + max_y) / 2.0, half, 0.0, title, map_size);
  // The close-up: the site and what stood near it.
  const sim::Vec site = context_->site;
  double close_half = 12.0;
  for (const Place& p : d.places)
    close_half = std::max(close_half, 1.3 * sim::distance(p.at, site));
  const View close =
      View::around(site.x, site.y, close_half, map_size + 20.0, title + 250.0, side - 30.0);
  const double width = map_size + side;
  const double height = map_size + title;
  const uint32_t total = world.game_timer() - context_->start_ms;
  const auto every = static_cast<uint32_t>(
      std::max(1000.0, round_length(std::max(total, 1u) / 10.0 / 1000.0) * 1000.0));

  std::ostream& o = out_;
  o << R"(<svg xmlns="http://www.w3.org/2000/svg" width=")" << width << R"(" height=")" << height
    << R"(" viewBox="0 0 )" << width << ' ' << height
    << R"(" font-family="sans-serif" font-size="13">)" << '\n';
  o << "<title>" << escaped(context_->scenario.file) << "</title>\n";
  o << R"(<rect x="0" y="0" width=")" << width << R"(" height=")" << height << R"(" fill=")"
    << background << R"("/>)" << '\n';
  o << R"(<text x="10" y="24" font-size="16">)" << escaped(context_->scenario.file)
    << (d.name.empty() ? "" : " (" + d.name + ")") << "</text>\n";
  draw(o, whole, "whole", every, total);
  o << R"(<text x=")" << fixed(close.left, 1) << R"(" y=")" << fixed(close.top - 8, 1)
    << R"(" font-weight="bold">Close to the site</text>)" << '\n';
  draw(o, close, "close", every, total);

  // The legend.
  const double lx = map_size + 20.0;
  double ly = title + 30.0;
  const auto legend_line = [&](const std::string& symbol, const std::string& text) {
    o << symbol << R"(<text x=")" << fixed(lx + 24, 1) << R"(" y=")" << fixed(ly + 4, 1) << R"(">)"
      << escaped(text) << "</text>\n";
    ly += 24.0;
  };
  o << R"(<text x=")" << fixed(lx, 1) << R"(" y=")" << fixed(ly - 12, 1)
    << R"(" font-weight="bold">Legend</text>)" << '\n';
  legend_line(R"(<path d="M)" + fixed(lx, 1) + "," + fixed(ly, 1) + "h16" + R"(" stroke=")" +
                  path_colour + R"(" stroke-width="2"/>)",
              "the player's path");
  legend_line(R"(<circle cx=")" + fixed(lx + 8, 1) + R"(" cy=")" + fixed(ly, 1) +
                  R"(" r="3" fill=")" + path_colour + R"("/>)",
              "time mark, every " + std::to_string(every / 1000) + " s");
  legend_line(R"(<circle cx=")" + fixed(lx + 8, 1) + R"(" cy=")" + fixed(ly, 1) +
                  R"(" r="4" fill=")" + ped_colour + R"("/>)",
              "ped, where it last stood");
  legend_line(R"(<circle cx=")" + fixed(lx + 8, 1) + R"(" cy=")" + fixed(ly, 1) +
                  R"(" r="4" fill=")" + prop_colour + R"("/>)",
              "prop, where it last stood");
  legend_line(R"(<rect x=")" + fixed(lx + 3, 1) + R"(" y=")" + fixed(ly - 5, 1) +
                  R"(" width="10" height="10" fill="none" stroke=")" + blip_colour +
                  R"(" stroke-width="2"/>)",
              "blip");
  legend_line(R"(<path d="M)" + fixed(lx + 3, 1) + "," + fixed(ly - 5, 1) + "l10,10m-10,0l10,-10" +
                  R"(" stroke="#000" stroke-width="2"/>)",
              "place of the deliverable");
  legend_line(R"(<path d="M)" + fixed(lx, 1) + "," + fixed(ly, 1) + "h16" +
                  R"(" stroke="#555" stroke-dasharray="6 4" stroke-width="1.5"/>)",
              "ring");
  o << "</svg>\n";
}

}  // namespace play
