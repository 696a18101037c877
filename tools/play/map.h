#pragma once
// The map: a top-down picture of the scenario's site as SVG. The
// deliverable's places labelled, the rings that matter around them, the
// outlines of its interiors, the player's path with time marks, where
// entities and blips stood (coloured by kind), a scale bar, a close-up of
// each site and a legend of what is drawn.

#include <cstdint>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "observer.h"

namespace play {

// A square of the world drawn as a square of the picture.
struct View {
  double min_x, max_y;  // the world's north-west corner, in metres
  double scale;         // pixels per metre
  double left, top;     // where it is drawn
  double size;          // its side, in pixels
  double x(double wx) const { return left + (wx - min_x) * scale; }
  double y(double wy) const { return top + (max_y - wy) * scale; }
  static View around(double cx, double cy, double half, double left, double top, double size);
};

// What a picture holds, for the legend.
struct Drawn {
  bool path = false, marks = false, ped = false, prop = false, blip = false, place = false,
       ring = false;
  std::vector<std::string> outlines;  // the interiors', by nickname
};

// The map's colours by name (map_colours.def), as the SVG and the page draw.
namespace map_colour {
#define MAP_COLOUR(name, colour) inline constexpr const char* name = colour;
#include "map_colours.def"
#undef MAP_COLOUR
}  // namespace map_colour

struct NamedColour {
  const char* name;
  const char* colour;
};
inline constexpr NamedColour map_colours[] = {
#define MAP_COLOUR(name, colour) {#name, colour},
#include "map_colours.def"
#undef MAP_COLOUR
};

struct Sketch;  // one view being drawn

class Map : public Observer {
 public:
  explicit Map(std::ostream& out) : out_(out) {}

  void begin(const PlayContext& context, sim::World& world) override;
  void read(sim::World& world) override;
  void end(sim::World& world) override;

 private:
  struct Sample {
    sim::Vec at;
    uint64_t ms = 0;                // since the scenario began, by its own clock
    uint64_t lost_at = UINT64_MAX;  // when the player went off the world next, if it did
  };
  struct Stood {
    std::string kind;    // ped, prop or blip
    std::string name;    // a nickname, or empty
    uint32_t model = 0;  // an entity's, as last named
    sim::Vec at;         // where it last stood in the world
  };
  struct Outline {
    std::string name;  // the interior's nickname
    double min_x, min_y, max_x, max_y;
  };

  void sample(const sim::Vec& at, uint64_t elapsed_ms);
  void stood(const sim::World& world, uint64_t serial, const sim::Vec& where);
  void draw(std::ostream& o, const View& v, const std::string& clip, uint64_t every, uint64_t total,
            Drawn& drawn) const;
  void draw_rings(Sketch& s) const;
  void draw_outlines(Sketch& s) const;
  void draw_path(Sketch& s) const;
  void draw_entities(Sketch& s) const;
  void draw_places(Sketch& s) const;
  void mark_times(Sketch& s, uint64_t every, uint64_t total) const;
  View whole_view(double left, double top, double size) const;
  std::vector<std::pair<std::string, View>> close_ups(double left, double top, double width,
                                                      double height) const;
  void write_title(std::ostream& o, double width) const;
  void write_off_world_note(std::ostream& o, double x, double bottom) const;

  std::ostream& out_;
  const PlayContext* context_ = nullptr;
  std::vector<std::vector<Sample>> path_;  // a new leg after each jump
  // By the thing's serial: a handle the game gives again is another thing.
  std::map<uint64_t, Stood> entities_;
  std::map<uint64_t, Stood> blips_;
  std::vector<Outline> outlines_;
  uint64_t start_ms_ = 0;  // the world's elapsed time when the scenario began
  uint64_t next_ = 0;      // the next journal entry to read
  // Positions no map can show, left out and told in a note.
  uint64_t player_off_world_ = 0;  // frames
  std::set<uint64_t> off_world_;
  std::set<uint64_t> off_world_blips_;
};

}  // namespace play
