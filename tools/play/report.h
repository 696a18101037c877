#pragma once
// The page's record of a run: what the screen showed and the map held, as
// spans of frames rather than copies of the world per frame, with the steps,
// the verdicts, the timeline's lines and the calls of the frames a reader can
// pick. The report writes it into one self-contained page; the live server
// sends the page what changed since it last asked.

#include <algorithm>
#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace play {

// Every record keeps the version it last changed at, so that a live page
// is sent only what is new to it.
struct Versioned {
  uint64_t version = 0;
};

// Frames from `from` to `to`, both played; `to` 0 while it lasts.
struct Span : Versioned {
  uint64_t from = 0;
  uint64_t to = 0;
};

struct Moment : Versioned {
  uint64_t frame = 0;
  std::string kind;  // step: "step"; verdicts: "held", "failed", "violation"
  std::string text;
  int line = 0;  // the scenario's line, for a step or a verdict
};

// A line of the timeline at its frame; kind: what the line is (heading,
// told, step, quiet, failed, crash, end).
struct LineShown : Versioned {
  uint64_t frame = 0;
  std::string text;
  std::string kind;
};

struct PathPoint : Versioned {
  uint64_t frame = 0;
  float x = 0.0f, y = 0.0f;
  bool leg = false;  // starts a new leg: the player was put there, not walked
};

struct Thing : Span {
  std::string kind;  // ped, prop, vehicle, pickup, blip
  std::string model;
  std::string nickname;
  int owner = -1;  // a plug-in's index; -1: the game
  struct Move {
    uint64_t frame;
    float x, y;
  };
  std::vector<Move> moves;
};

struct PromptShown : Span {
  std::string label;
  std::string control;
  int owner = -1;
  int hold_ms = 0;  // 0: completes on a press
  bool has_reach = false;
  float x = 0.0f, y = 0.0f, radius = 0.0f;
  // Offered near an entity: the thing (its index) it follows, and how near.
  int follows = -1;
  float near_radius = 0.0f;
  std::vector<std::pair<uint64_t, uint64_t>> holds;  // frames its control was held; 0: still
};

struct TextShown : Span {
  std::string text;
  float x = 0.0f, y = 0.0f, scale_x = 1.0f, scale_y = 1.0f;
  int colour[4] = {255, 255, 255, 255};
  bool centred = false, shadow = false;
  int owner = -1;
};

// A rectangle or a sprite drawn on the screen; a sprite is named by texture
// and turned to its heading.
struct BoxShown : Span {
  std::string texture;  // empty: a rectangle
  float x = 0.0f, y = 0.0f, width = 0.0f, height = 0.0f;
  float heading = 0.0f;  // degrees
  int colour[4] = {255, 255, 255, 255};
  int owner = -1;

  bool same_box(const BoxShown& o) const {
    return texture == o.texture && x == o.x && y == o.y && width == o.width && height == o.height &&
           heading == o.heading && owner == o.owner && std::equal(colour, colour + 4, o.colour);
  }
};

struct Notice : Versioned {
  uint64_t frame = 0;
  std::string kind;  // note: the feed; said: a line spoken; money; tv
  std::string text;
  int ms = 0;  // how long it shows
  int value = 0;
};

// A value that changes smoothly (a train's speed, an effect's scale): it
// reaches `to` at `frame`, having moved from `from` over `ms`; a thing's
// end ends its value.
struct ValueShown : Versioned {
  std::string name;
  uint64_t frame = 0;
  uint64_t ms = 0;
  double from = 0.0, to = 0.0;
  bool gone = false;
};

struct Area {
  std::string name;
  float x = 0.0f, y = 0.0f, radius = 0.0f;  // a place (radius 0) or a ring
  float x1 = 0.0f, y1 = 0.0f;               // an outline's far corner
  std::string kind;                         // place, ring, outline, site
};

// The keys the page works the game's controls with: (control, key), the key
// as a scenario names it.
const std::vector<std::pair<std::string, std::string>>& control_keys();

struct ReportData {
  std::string title;
  std::vector<std::string> plugins;
  int status = 0;
  uint64_t first_frame = 0, last_frame = 0;
  uint64_t failure_frame = 0;  // 0: none
  std::string failure;
  // The scenario's clock: (frame, elapsed ms since it began) where the
  // frame's length changes, and at the last frame.
  std::vector<std::pair<uint64_t, uint64_t>> clock;

  std::vector<Moment> moments;
  std::vector<LineShown> lines;  // the timeline's, each at its frame
  std::vector<PathPoint> path;
  std::vector<Thing> things;
  std::vector<PromptShown> prompts;
  std::vector<TextShown> texts;
  std::vector<BoxShown> boxes;
  std::vector<Notice> notices;
  std::vector<ValueShown> values;
  std::vector<Area> areas;
  std::vector<std::string> summary;

  // The native calls of the frames kept, as --verbose writes them.
  std::map<uint64_t, std::vector<std::string>> calls;
  std::string calls_note;  // which frames' calls were not kept, and why

  uint64_t version = 1;  // the version changes are made at now
  bool live = false;
  std::vector<std::pair<std::string, std::string>> keys = control_keys();
  // A live run's own: the faults it can start, and how it is going.
  std::vector<std::string> faults;
  uint64_t live_ms = 0;  // the scenario's clock at the last frame
  bool paused = false, ended = false;
  double speed = 1.0;
};

// The report's data as JSON, only what changed after `since` (0: all).
void write_report_json(std::ostream& out, const ReportData& data, uint64_t since);
// The self-contained page with the data in it.
void write_report_page(std::ostream& out, const ReportData& data);
// The page for a live run: it asks the server for its data.
std::string live_page();

// The page's own files, built in (page_files.cpp, made by CMake).
const char* page_html();
const char* page_script();
const char* page_style();

}  // namespace play
