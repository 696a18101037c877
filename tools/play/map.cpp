#include "map.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>

#include "joaat.h"
#include "map_labels.h"
#include "timeline.h"

namespace play {

namespace {

constexpr float moved_enough = 0.25f;  // metres between path samples
constexpr float jump = 10.0f;          // metres in one frame that start a new leg
constexpr float off_world = 20000.0f;  // metres from the origin, beyond any map of the game

using map_colour::background;
const char* const ped_colour = map_colour::ped;
const char* const prop_colour = map_colour::prop;
const char* const blip_colour = map_colour::blip;
const char* const path_colour = map_colour::path;
const char* const outline_colour = map_colour::outline;
const std::string ring_colour = map_colour::ring;
const std::string ink = map_colour::ink;

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

// Where a position can be drawn: a fault may put the player, or the game an
// entity, at no number or far beyond any map of the game.
bool on_the_world(const sim::Vec& at) {
  return std::isfinite(at.x) && std::isfinite(at.y) && std::abs(at.x) <= off_world &&
         std::abs(at.y) <= off_world;
}

}  // namespace

void Map::begin(const PlayContext& context, sim::World& world) {
  context_ = &context;
  start_ms_ = world.elapsed_ms();
  path_.emplace_back();
  sample(world.player_position(), start_ms_);
  for (const Nickname& n : context.deliverable.interiors) {
    for (const sim::InteriorState& i : world.interiors.all) {
      if (i.name_hash == sim::joaat(n.model.c_str())) {
        outlines_.push_back({n.name, i.low.x, i.low.y, i.high.x, i.high.y});
      }
    }
  }
  // What stands in the world already, made before the scenario's first step.
  for (const sim::ThingRecord& t : world.journal.things()) {
    if (!t.live) continue;
    stood(world, t.serial, t.where);
  }
  next_ = context.first_entry;
}

// Each frame's entry tells where the player stands; a step or a plug-in
// that puts him elsewhere, where he is put.
void Map::read(sim::World& world) {
  const sim::Journal& j = world.journal;
  for (; next_ < j.end(); ++next_) {
    const sim::Entry& e = j[next_];
    if (e.kind == sim::EntryKind::frame) {
      sample(e.frame.player, e.at.elapsed_ms);
    } else if (e.kind == sim::EntryKind::made) {
      stood(world, e.thing, e.made.where);
    } else if (e.kind == sim::EntryKind::moved) {
      stood(world, e.thing, e.moved.where);
    }
  }
}

void Map::sample(const sim::Vec& at, uint64_t elapsed_ms) {
  const uint64_t ms = elapsed_ms - start_ms_;
  if (!on_the_world(at)) {
    ++player_off_world_;
    if (!path_.back().empty()) {
      path_.back().back().lost_at = ms;
      path_.emplace_back();
    }
    return;
  }
  if (!path_.back().empty()) {
    const float moved = sim::distance(at, path_.back().back().at);
    if (moved < moved_enough) return;
    if (moved > jump) path_.emplace_back();
  }
  path_.back().push_back({at, ms});
}

// Where a thing was made or put: the last place is the one drawn.
void Map::stood(const sim::World& world, uint64_t serial, const sim::Vec& where) {
  const sim::ThingRecord* t = world.journal.thing(serial);
  if (t == nullptr) return;
  if (t->thing == sim::Thing::blip) {
    if (on_the_world(where)) {
      blips_[t->serial] = {"blip", "", 0, where};
    } else {
      off_world_blips_.insert(t->serial);
    }
    return;
  }
  if (t->thing != sim::Thing::entity) return;
  if (t->nickname == "player") return;  // his path is drawn instead
  if (!on_the_world(where)) {
    off_world_.insert(t->serial);
    return;
  }
  Stood& s = entities_[t->serial];
  if (s.kind.empty()) {
    s.kind = t->entity == sim::EntityKind::ped ? "ped" : "prop";
    s.name = context_->deliverable.nickname_of_model(hash_name(world, t->model));
    s.model = t->model;
  }
  s.at = where;
}

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double place_font = 13.0;
constexpr double name_font = 11.0;
constexpr double ring_font = 12.0;
constexpr double mark_font = 11.0;
constexpr double mark_half = 5.0;  // half the side of an entity's or a place's symbol

// A label and what it names, once it has its place.
struct Label {
  PlacedLabel at;
  std::string text;
  std::string colour;
  double font_size;
  double to_x, to_y;
};

// Whether a ring passes through the frame at all.
bool ring_crosses(double cx, double cy, double r, const Box& f) {
  const double near_x = std::clamp(cx, f.left, f.right) - cx;
  const double near_y = std::clamp(cy, f.top, f.bottom) - cy;
  const double far_x = std::max(std::abs(f.left - cx), std::abs(f.right - cx));
  const double far_y = std::max(std::abs(f.top - cy), std::abs(f.bottom - cy));
  return std::hypot(near_x, near_y) <= r && r <= std::hypot(far_x, far_y);
}

// Boxes for a ring's label just outside the ring: at its top first, then
// round it, so that a ring the frame cuts is labelled where it shows.
std::vector<Box> along_ring(double cx, double cy, double r, double w, double h) {
  std::vector<Box> boxes;
  for (double degrees : {90.0, 270.0, 60.0, 120.0, 240.0, 300.0, 30.0, 150.0, 210.0, 330.0, 45.0,
                         135.0, 225.0, 315.0, 0.0, 180.0}) {
    const double c = std::cos(degrees * pi / 180.0);
    const double s = std::sin(degrees * pi / 180.0);
    const double px = cx + r * c;
    const double py = cy - r * s;
    const double left = c > -1e-9 ? px + 4.0 : px - 4.0 - w;
    const double top = s > 1e-9 ? py - 3.0 - h : s < -1e-9 ? py + 3.0 : py - h / 2.0;
    boxes.push_back({left, top, left + w, top + h});
  }
  return boxes;
}

// Boxes for an outline's name: along its top or bottom edge, within it,
// beside it, then around its middle.
std::vector<Box> along_outline(const Box& o, double w, double h) {
  std::vector<Box> boxes = {{o.left, o.top - 2.0 - h, o.left + w, o.top - 2.0},
                            {o.left, o.bottom + 2.0, o.left + w, o.bottom + 2.0 + h},
                            {o.left + 2.0, o.top + 2.0, o.left + 2.0 + w, o.top + 2.0 + h},
                            {o.right + 3.0, o.top, o.right + 3.0 + w, o.top + h},
                            {o.left - 3.0 - w, o.top, o.left - 3.0, o.top + h}};
  const std::vector<Box> around =
      LabelPlacer::beside((o.left + o.right) / 2.0, (o.top + o.bottom) / 2.0, 4.0, w, h);
  boxes.insert(boxes.end(), around.begin(), around.end());
  return boxes;
}

void write_label(std::ostream& o, const Label& l) {
  if (l.at.away) {
    const double x = std::clamp(l.to_x, l.at.box.left, l.at.box.right);
    const double y = std::clamp(l.to_y, l.at.box.top, l.at.box.bottom);
    o << R"(<path class="leader" d="M)" << fixed(l.to_x, 1) << ',' << fixed(l.to_y, 1) << 'L'
      << fixed(x, 1) << ',' << fixed(y, 1) << R"(" stroke="#999" stroke-width="1"/>)" << '\n';
  }
  // A halo of the background keeps a label readable over the lines under it.
  o << R"(<text class="label" x=")" << fixed(l.at.x, 1) << R"(" y=")" << fixed(l.at.y, 1)
    << R"(" font-size=")" << fixed(l.font_size, 0) << R"(" fill=")" << l.colour << R"(" stroke=")"
    << background << R"(" stroke-width="3" stroke-linejoin="round" paint-order="stroke">)"
    << escaped(l.text) << "</text>\n";
}

}  // namespace

// One view being drawn: its frame, where its labels may go, the labels
// waiting for a place (each symbol keeps its room first) and what it holds.
struct Sketch {
  Sketch(std::ostream& out, const View& view, Drawn& shown)
      : o(out),
        v(view),
        frame{v.left, v.top, v.left + v.size, v.top + v.size},
        placer({frame.left + 2.0, frame.top + 2.0, frame.right - 2.0, frame.bottom - 2.0}),
        drawn(shown) {}

  // Places a label among the candidates; false when none has room.
  bool label(const std::string& text, const std::string& colour, double font_size, double to_x,
             double to_y, const std::vector<Box>& candidates, size_t near_count) {
    const std::optional<PlacedLabel> at = placer.place(candidates, font_size, near_count);
    if (at) labels.push_back({*at, text, colour, font_size, to_x, to_y});
    return at.has_value();
  }

  std::ostream& o;
  const View& v;
  const Box frame;
  LabelPlacer placer;
  Drawn& drawn;
  std::vector<Label> labels;

  struct RingLabel {
    double cx, cy, r;
    std::string text;
  };
  struct NameLabel {
    double x, y;
    std::string text, colour;
  };
  struct MarkLabel {
    double x, y;
    std::string text;
  };
  std::vector<RingLabel> ring_labels;
  std::vector<std::pair<Box, std::string>> outline_labels;
  std::vector<NameLabel> name_labels;
  std::vector<const Place*> places;
  std::vector<MarkLabel> mark_labels;
};

namespace {

// A scale bar, bottom left, and north, top right.
void draw_scale_and_north(Sketch& s) {
  const View& v = s.v;
  std::ostream& o = s.o;
  const double bar = round_length(v.size / v.scale / 5.0);
  const double bar_px = bar * v.scale;
  const double bar_x = v.left + 12.0;
  const double bar_y = v.top + v.size - 14.0;
  const std::string bar_text = fixed(bar, bar < 1 ? 1 : 0) + " m";
  o << R"(<path class="scale" d="M)" << fixed(bar_x, 1) << ',' << fixed(bar_y, 1) << 'h'
    << fixed(bar_px, 1) << 'M' << fixed(bar_x, 1) << ',' << fixed(bar_y - 5, 1) << "v10M"
    << fixed(bar_x + bar_px, 1) << ',' << fixed(bar_y - 5, 1) << R"(v10" stroke=")" << ink
    << R"(" stroke-width="2"/>)";
  o << R"(<text x=")" << fixed(bar_x, 1) << R"(" y=")" << fixed(bar_y - 9, 1) << R"(">)" << bar_text
    << "</text>\n";
  s.placer.keep_clear({bar_x - 2.0, bar_y - 24.0,
                       bar_x + std::max(bar_px, text_width(bar_text, 13.0)), bar_y + 6.0});
  const double north_x = v.left + v.size - 20.0;
  o << R"(<text x=")" << fixed(north_x, 1) << R"(" y=")" << fixed(v.top + 20, 1)
    << R"(" font-weight="bold">N</text>)" << '\n';
  s.placer.keep_clear({north_x - 2.0, v.top + 4.0, north_x + 14.0, v.top + 24.0});
}

// The labels, the places' first and the time marks' last: where room runs
// out, a time mark is what goes. A mark's dot is drawn only with its label.
void place_labels(Sketch& s) {
  for (const Place* p : s.places) {
    const double px = s.v.x(p->at.x);
    const double py = s.v.y(p->at.y);
    s.label(
        p->name, ink, place_font, px, py,
        LabelPlacer::beside(px, py, 7.0, text_width(p->name, place_font), text_height(place_font)),
        LabelPlacer::near_count());
  }
  for (const auto& [box, name] : s.outline_labels) {
    const std::vector<Box> boxes =
        along_outline(box, text_width(name, ring_font), text_height(ring_font));
    s.label(name, outline_colour, ring_font, box.left, box.top, boxes, boxes.size());
  }
  for (const Sketch::NameLabel& n : s.name_labels) {
    s.label(
        n.text, n.colour, name_font, n.x, n.y,
        LabelPlacer::beside(n.x, n.y, 6.0, text_width(n.text, name_font), text_height(name_font)),
        LabelPlacer::near_count());
  }
  for (const Sketch::RingLabel& r : s.ring_labels) {
    const std::vector<Box> boxes =
        along_ring(r.cx, r.cy, r.r, text_width(r.text, ring_font), text_height(ring_font));
    s.label(r.text, ring_colour, ring_font, r.cx, r.cy - r.r, boxes, boxes.size());
  }
  for (const auto& [x, y, text] : s.mark_labels) {
    // Below the path first, where a walk along it leaves room.
    std::vector<Box> boxes;
    const std::vector<Box> all =
        LabelPlacer::beside(x, y, 4.0, text_width(text, mark_font), text_height(mark_font));
    for (size_t n = 0; n < all.size(); n += LabelPlacer::near_count()) {
      for (size_t side : {5, 3, 7, 4, 2, 6, 0, 1}) boxes.push_back(all[n + side]);
    }
    if (!s.label(text, path_colour, mark_font, x, y, boxes, LabelPlacer::near_count())) continue;
    s.drawn.marks = true;
    s.o << R"(<circle class="mark" cx=")" << fixed(x, 1) << R"(" cy=")" << fixed(y, 1)
        << R"(" r="3" fill=")" << path_colour << R"("/>)" << '\n';
  }
  for (const Label& l : s.labels) write_label(s.o, l);
}

}  // namespace

// Draws the rings, the outlines, the path, the entities and the places as
// the view maps them, clipped to the view's frame; a symbol is drawn only
// where it is whole, and each label goes where it is whole and on no other.
void Map::draw(std::ostream& o, const View& v, const std::string& clip, uint64_t every,
               uint64_t total, Drawn& drawn) const {
  Sketch s(o, v, drawn);
  o << R"(<clipPath id=")" << clip << R"("><rect x=")" << fixed(v.left, 1) << R"(" y=")"
    << fixed(v.top, 1) << R"(" width=")" << fixed(v.size, 1) << R"(" height=")" << fixed(v.size, 1)
    << R"("/></clipPath>)" << '\n';
  o << R"(<rect class="frame" x=")" << fixed(v.left, 1) << R"(" y=")" << fixed(v.top, 1)
    << R"(" width=")" << fixed(v.size, 1) << R"(" height=")" << fixed(v.size, 1)
    << R"(" fill="none" stroke="#bbb"/>)" << '\n';
  o << "<g clip-path=\"url(#" << clip << ")\">\n";
  draw_rings(s);
  draw_outlines(s);
  draw_path(s);
  o << "</g>\n";
  draw_entities(s);
  draw_places(s);
  draw_scale_and_north(s);
  mark_times(s, every, total);
  place_labels(s);
}

void Map::draw_rings(Sketch& s) const {
  for (const Ring& r : context_->deliverable.rings) {
    const Place* p = context_->deliverable.place(r.around);
    if (p == nullptr) continue;
    const double rx = s.v.x(p->at.x);
    const double ry = s.v.y(p->at.y);
    const double rr = r.radius * s.v.scale;
    if (!ring_crosses(rx, ry, rr, s.frame)) continue;
    s.drawn.ring = true;
    s.o << R"(<circle class="ring" cx=")" << fixed(rx, 1) << R"(" cy=")" << fixed(ry, 1)
        << R"(" r=")" << fixed(rr, 1) << R"(" fill="none" stroke=")" << ring_colour
        << R"(" stroke-width="1.5" stroke-dasharray="6 4"/>)" << '\n';
    s.ring_labels.push_back({rx, ry, rr, fixed(r.radius, 1) + " m: " + r.meaning});
  }
}

void Map::draw_outlines(Sketch& s) const {
  for (const Outline& outline : outlines_) {
    const Box b{s.v.x(outline.min_x), s.v.y(outline.max_y), s.v.x(outline.max_x),
                s.v.y(outline.min_y)};
    if (!b.overlaps(s.frame)) continue;
    s.drawn.outlines.push_back(outline.name);
    s.o << R"(<rect class="interior" x=")" << fixed(b.left, 1) << R"(" y=")" << fixed(b.top, 1)
        << R"(" width=")" << fixed(b.right - b.left, 1) << R"(" height=")"
        << fixed(b.bottom - b.top, 1) << R"(" fill=")" << outline_colour
        << R"(" fill-opacity="0.08" stroke=")" << outline_colour << R"(" stroke-width="1.5"/>)"
        << '\n';
    s.outline_labels.emplace_back(b, outline.name);
  }
}

void Map::draw_path(Sketch& s) const {
  for (const auto& leg : path_) {
    if (leg.size() < 2) continue;
    s.drawn.path = s.drawn.path || std::any_of(leg.begin(), leg.end(), [&](const Sample& at) {
                     return Box::around(s.v.x(at.at.x), s.v.y(at.at.y), 0.0).inside(s.frame);
                   });
    s.o << R"(<polyline class="path" fill="none" stroke=")" << path_colour
        << R"(" stroke-width="2" points=")";
    for (const Sample& at : leg) {
      s.o << fixed(s.v.x(at.at.x), 1) << ',' << fixed(s.v.y(at.at.y), 1) << ' ';
    }
    s.o << R"("/>)" << '\n';
  }
}

// A nickname is written once, beside the first of its entities in view.
void Map::draw_entities(Sketch& s) const {
  std::set<std::string> named;
  for (const auto* group : {&entities_, &blips_}) {
    for (const auto& [handle, stood] : *group) {
      const double ex = s.v.x(stood.at.x);
      const double ey = s.v.y(stood.at.y);
      const Box symbol = Box::around(ex, ey, mark_half);
      if (!symbol.inside(s.frame)) continue;
      s.placer.keep_clear(symbol);
      if (stood.kind == "blip") {
        s.drawn.blip = true;
        s.o << R"(<rect class="blip" x=")" << fixed(ex - 5, 1) << R"(" y=")" << fixed(ey - 5, 1)
            << R"(" width="10" height="10" fill="none" stroke=")" << blip_colour
            << R"(" stroke-width="2"/>)" << '\n';
      } else {
        (stood.kind == "ped" ? s.drawn.ped : s.drawn.prop) = true;
        s.o << R"(<circle class=")" << stood.kind << R"(" cx=")" << fixed(ex, 1) << R"(" cy=")"
            << fixed(ey, 1) << R"(" r="4" fill=")" << colour_of(stood.kind)
            << R"(" fill-opacity="0.8"/>)" << '\n';
      }
      if (!stood.name.empty() && named.insert(stood.name).second) {
        s.name_labels.push_back({ex, ey, stood.name, colour_of(stood.kind)});
      }
    }
  }
}

void Map::draw_places(Sketch& s) const {
  for (const Place& p : context_->deliverable.places) {
    const double px = s.v.x(p.at.x);
    const double py = s.v.y(p.at.y);
    const Box symbol = Box::around(px, py, mark_half);
    if (!symbol.inside(s.frame)) continue;
    s.drawn.place = true;
    s.placer.keep_clear(symbol);
    s.places.push_back(&p);
    s.o << R"(<path class="place" d="M)" << fixed(px - 5, 1) << ',' << fixed(py - 5, 1) << 'L'
        << fixed(px + 5, 1) << ',' << fixed(py + 5, 1) << 'M' << fixed(px - 5, 1) << ','
        << fixed(py + 5, 1) << 'L' << fixed(px + 5, 1) << ',' << fixed(py - 5, 1) << R"(" stroke=")"
        << ink << R"(" stroke-width="2"/>)" << '\n';
  }
}

// The time marks, each where the player was at its time: where the player
// stood still or came back, the first mark says it.
void Map::mark_times(Sketch& s, uint64_t every, uint64_t total) const {
  for (uint64_t t = 0; t <= total; t += every) {
    const Sample* at = nullptr;
    for (const auto& leg : path_) {
      for (const Sample& sample : leg) {
        if (sample.ms <= t) at = &sample;
      }
    }
    if (at == nullptr || t >= at->lost_at) continue;
    const double px = s.v.x(at->at.x);
    const double py = s.v.y(at->at.y);
    const Box dot = Box::around(px, py, 3.0);
    const bool crowded = std::any_of(
        s.mark_labels.begin(), s.mark_labels.end(),
        [&](const Sketch::MarkLabel& m) { return std::hypot(px - m.x, py - m.y) < 16.0; });
    if (!dot.inside(s.frame) || crowded) continue;
    s.placer.keep_clear(dot);
    s.mark_labels.push_back({px, py, std::to_string(t / 1000) + " s"});
  }
}

namespace {

// The legend, of what is drawn.
void write_legend(std::ostream& o, const Drawn& drawn, uint64_t every, double lx, double ly) {
  const auto legend_line = [&](bool shown, const std::string& symbol, const std::string& text) {
    if (!shown) return;
    o << symbol << R"(<text x=")" << fixed(lx + 24, 1) << R"(" y=")" << fixed(ly + 4, 1) << R"(">)"
      << escaped(text) << "</text>\n";
    ly += 24.0;
  };
  o << R"(<text x=")" << fixed(lx, 1) << R"(" y=")" << fixed(ly - 12, 1)
    << R"(" font-weight="bold">Legend</text>)" << '\n';
  legend_line(drawn.path,
              R"(<path d="M)" + fixed(lx, 1) + "," + fixed(ly, 1) + "h16" + R"(" stroke=")" +
                  path_colour + R"(" stroke-width="2"/>)",
              "the player's path");
  legend_line(drawn.marks,
              R"(<circle cx=")" + fixed(lx + 8, 1) + R"(" cy=")" + fixed(ly, 1) +
                  R"(" r="3" fill=")" + path_colour + R"("/>)",
              "time mark, every " + std::to_string(every / 1000) + " s");
  legend_line(drawn.ped,
              R"(<circle cx=")" + fixed(lx + 8, 1) + R"(" cy=")" + fixed(ly, 1) +
                  R"(" r="4" fill=")" + ped_colour + R"("/>)",
              "ped, where it last stood");
  legend_line(drawn.prop,
              R"(<circle cx=")" + fixed(lx + 8, 1) + R"(" cy=")" + fixed(ly, 1) +
                  R"(" r="4" fill=")" + prop_colour + R"("/>)",
              "prop, where it last stood");
  legend_line(drawn.blip,
              R"(<rect x=")" + fixed(lx + 3, 1) + R"(" y=")" + fixed(ly - 5, 1) +
                  R"(" width="10" height="10" fill="none" stroke=")" + blip_colour +
                  R"(" stroke-width="2"/>)",
              "blip");
  legend_line(drawn.place,
              R"(<path d="M)" + fixed(lx + 3, 1) + "," + fixed(ly - 5, 1) + "l10,10m-10,0l10,-10" +
                  R"(" stroke=")" + ink + R"(" stroke-width="2"/>)",
              "place of the deliverable");
  legend_line(drawn.ring,
              R"(<path d="M)" + fixed(lx, 1) + "," + fixed(ly, 1) + "h16" + R"(" stroke=")" +
                  ring_colour + R"(" stroke-dasharray="6 4" stroke-width="1.5"/>)",
              "ring");
  std::vector<std::string> outlines;
  for (const std::string& name : drawn.outlines) {
    if (std::find(outlines.begin(), outlines.end(), name) == outlines.end())
      outlines.push_back(name);
  }
  for (const std::string& name : outlines) {
    legend_line(true,
                R"(<rect x=")" + fixed(lx + 1, 1) + R"(" y=")" + fixed(ly - 6, 1) +
                    R"(" width="14" height="12" fill=")" + outline_colour +
                    R"(" fill-opacity="0.08" stroke=")" + outline_colour +
                    R"(" stroke-width="1.5"/>)",
                "the " + name + "'s outline");
  }
}

}  // namespace

// The whole map: all the places, rings, path, entities and outlines, with
// room to spare.
View Map::whole_view(double left, double top, double size) const {
  const Deliverable& d = context_->deliverable;
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
  for (const auto* group : {&entities_, &blips_}) {
    for (const auto& [handle, s] : *group) include(s.at.x, s.at.y, 0.0);
  }
  for (const Outline& outline : outlines_) {
    include(outline.min_x, outline.min_y, 0.0);
    include(outline.max_x, outline.max_y, 0.0);
  }
  const double half = std::max({max_x - min_x, max_y - min_y, 20.0}) * 0.55;
  return View::around((min_x + max_x) / 2.0, (min_y + max_y) / 2.0, half, left, top, size);
}

// A close-up of each site, one below the other in a column `height` high:
// the site and all that stood or lies within `nearby` of it, with room to
// spare for their symbols and labels.
std::vector<std::pair<std::string, View>> Map::close_ups(double left, double top, double width,
                                                         double height) const {
  constexpr float nearby = 60.0f;
  const Deliverable& d = context_->deliverable;
  std::vector<std::pair<std::string, sim::Vec>> sites;
  for (const Place* p : d.sites()) sites.emplace_back(p->description, p->at);
  if (sites.empty()) sites.emplace_back("the start", context_->site);
  const double size = std::min(width - 30.0, height / static_cast<double>(sites.size()) - 28.0);
  std::vector<std::pair<std::string, View>> views;
  for (const auto& [description, at] : sites) {
    const sim::Vec site = at;  // a binding a lambda can capture
    double low_x = site.x, low_y = site.y, high_x = site.x, high_y = site.y;
    const auto take = [&](double x, double y) {
      if (std::hypot(x - site.x, y - site.y) > nearby) return;
      low_x = std::min(low_x, x);
      high_x = std::max(high_x, x);
      low_y = std::min(low_y, y);
      high_y = std::max(high_y, y);
    };
    for (const Place& p : d.places) take(p.at.x, p.at.y);
    for (const auto* group : {&entities_, &blips_}) {
      for (const auto& [handle, s] : *group) take(s.at.x, s.at.y);
    }
    for (const Outline& outline : outlines_) {
      take(outline.min_x, outline.min_y);
      take(outline.max_x, outline.max_y);
    }
    const double half = std::max(12.0, std::max(high_x - low_x, high_y - low_y) * 0.65 + 3.0);
    const double panel_top = top + static_cast<double>(views.size()) * (size + 28.0);
    views.emplace_back(description, View::around((low_x + high_x) / 2.0, (low_y + high_y) / 2.0,
                                                 half, left, panel_top, size));
  }
  return views;
}

// The scenario's file and the deliverable's name; a long path loses its
// start rather than run off the picture.
void Map::write_title(std::ostream& o, double width) const {
  const std::string& whole = context_->scenario.file;
  const std::string named =
      context_->deliverable.name.empty() ? "" : " (" + context_->deliverable.name + ")";
  std::string file = whole;
  const auto shown = [&] {
    std::string text = "...";
    text += file;
    text += named;
    return text;
  };
  while (file.size() > 1 && text_width(shown(), 16.0) > width - 20.0) {
    file.erase(0, 1);
    // Not in the middle of a character.
    while (!file.empty() && (static_cast<unsigned char>(file[0]) & 0xC0) == 0x80) file.erase(0, 1);
  }
  if (file != whole) file = "..." + file;
  o << R"(<text x="10" y="24" font-size="16">)" << escaped(file + named) << "</text>\n";
}

// What had no place on any map, said rather than drawn, above `bottom`.
void Map::write_off_world_note(std::ostream& o, double x, double bottom) const {
  std::vector<std::string> note;
  if (player_off_world_ != 0) {
    note.push_back("the player, " + std::to_string(player_off_world_) + " frame" +
                   (player_off_world_ == 1 ? "" : "s"));
  }
  if (!off_world_.empty()) {
    note.push_back(std::to_string(off_world_.size()) +
                   (off_world_.size() == 1 ? " entity" : " entities"));
  }
  if (!off_world_blips_.empty()) {
    note.push_back(std::to_string(off_world_blips_.size()) +
                   (off_world_blips_.size() == 1 ? " blip" : " blips"));
  }
  if (note.empty()) return;
  double y = bottom - 14.0 * static_cast<double>(note.size());
  o << R"(<text class="note" x=")" << fixed(x, 1) << R"(" y=")" << fixed(y, 1)
    << R"(" font-size="11">Not drawn, at no number or past 20 km:</text>)" << '\n';
  for (const std::string& line : note) {
    y += 14.0;
    o << R"(<text class="note" x=")" << fixed(x + 8, 1) << R"(" y=")" << fixed(y, 1)
      << R"(" font-size="11">)" << escaped(line) << "</text>\n";
  }
}

// The picture: the whole map on the left; the close-ups, the legend and the
// note of what could not be drawn in a column on its right.
void Map::end(sim::World& world) {
  read(world);
  sample(world.player_position(), world.elapsed_ms());
  const double title = 36.0;
  const double map_size = 800.0;
  const double side = 280.0;
  const double width = map_size + side;
  const double height = map_size + title;
  const double close_top = title + 250.0;
  const double note_room = 64.0;  // below the close-ups, for what could not be drawn
  const View whole = whole_view(0.0, title, map_size);
  const std::vector<std::pair<std::string, View>> close =
      close_ups(map_size + 20.0, close_top, side, height - close_top - note_room);
  const uint64_t total = world.elapsed_ms() - start_ms_;
  const auto every = static_cast<uint64_t>(std::max(
      1000.0,
      round_length(static_cast<double>(std::max<uint64_t>(total, 1)) / 10.0 / 1000.0) * 1000.0));

  std::ostream& o = out_;
  o << R"(<svg xmlns="http://www.w3.org/2000/svg" width=")" << width << R"(" height=")" << height
    << R"(" viewBox="0 0 )" << width << ' ' << height
    << R"(" font-family="sans-serif" font-size="13">)" << '\n';
  o << "<title>" << escaped(context_->scenario.file) << "</title>\n";
  o << R"(<rect x="0" y="0" width=")" << width << R"(" height=")" << height << R"(" fill=")"
    << background << R"("/>)" << '\n';
  write_title(o, width);
  Drawn drawn;
  draw(o, whole, "whole", every, total, drawn);
  for (size_t n = 0; n < close.size(); ++n) {
    const View& v = close[n].second;
    o << R"(<text x=")" << fixed(v.left, 1) << R"(" y=")" << fixed(v.top - 8, 1)
      << R"(" font-weight="bold">Close to )" << escaped(close[n].first) << "</text>\n";
    draw(o, v, "close" + std::to_string(n + 1), every, total, drawn);
  }
  write_legend(o, drawn, every, map_size + 20.0, title + 30.0);
  write_off_world_note(o, map_size + 20.0, height - 10.0);
  o << "</svg>\n";
}

}  // namespace play
