#pragma once
// A scenario as the parser reads it: the deliverable it plays, and its
// steps in file order, each with the line it came from.

#include <cstdint>
#include <string>
#include <vector>

#include "content.h"
#include "journal.h"  // the world's entity kinds; a toolkit header shares their file's name
#include "vec.h"

namespace play {

// What the world must hold for an expectation to pass.
struct Expectation {
  enum class Kind {
#define PLAY_EXPECTATION(kind, syntax) kind,
#include "expectations.def"
#undef PLAY_EXPECTATION
  };
  Kind kind = Kind::no_violation;
  bool negated = false;            // expect not ...
  std::string text;                // label, notification text, target, blip modifier
  std::vector<std::string> names;  // lines or playlists, any of which will do
  std::string speaker;             // player, a nickname, or anyone
  std::string voice;               // empty: any voice
  std::string subject;             // the nickname or model an expectation counts or measures,
                                   // or the kind of thing nothing is left of
  int count = -1;                  // how many times, how many live, or a draw's alpha;
                                   // -1: at least once, or any alpha
  int channel = 0;
  double value = 0.0;
  double tolerance = 0.01;
  int colour[4] = {-1, -1, -1, -1};  // a drawn text's red, green, blue, alpha; -1: any
  double scale = -1.0;               // a drawn text's scale; negative: any
};

struct Step {
  enum class Kind {
#define PLAY_STEP(kind, phase, syntax) kind,
#include "steps.def"
#undef PLAY_STEP
  };
  Kind kind = Kind::expect;
  int line = 0;
  std::string source;  // the line as written, without its comment

  sim::Vec at;           // start, ground, walk, teleport, waypoint, spawn: the place
  uint64_t seed = 0;     // seed, faults
  double fps = 0.0;      // fps
  int hour = 0;          // hour
  double seconds = 0.0;  // walk, wait, wait_until (when counted in time)
  int frames = -1;       // wait, wait_until when counted in frames
  // The word that names what a step acts on: a model, a nickname, a weapon,
  // an asset, a native, a key or a control.
  std::string name;
  std::string text;         // a text in quotes: complete's label, skip's reason, fault's name
  std::string nickname;     // spawn: the name later steps call it by
  bool kind_given = false;  // spawn: the kind written, not told by the model
  sim::EntityKind spawn_kind = sim::EntityKind::object;  // spawn, when given
  float heading = 0.0f;                                  // spawn
  bool mounts = false;     // player_rides: mounts an animal, else enters a vehicle
  bool control_on = true;  // player_control
  int ammo = 0;            // player_armed
  sim::ContentList content_list = sim::ContentList::objects;  // content
  sim::ModelKind model_kind = sim::ModelKind::none;           // content model
  int key = -1;                 // press, release, hold: a key's virtual-key code; -1 a control
  double value = 1.0;           // press, hold of a control: its value, -1 to 1
  uint64_t hash = 0;            // fail_native, answer
  uint64_t answer[3] = {};      // answer: the result slots, as the native's result kind reads VALUE
  std::string answer_text;      // answer: a text answer
  bool answer_default = false;  // answer NATIVE default: the native answers 0 again
  int fault = 0;                // fault: a sim::Fault
  double rate = 0.002;          // faults: the chance per frame that one starts
  Expectation expectation;

  bool is_set_up() const;  // set-up steps run before the plug-in loads
};

struct Scenario {
  std::string file;
  // In the order they load; none: the plug-ins are named on the command line.
  std::vector<std::string> deliverables;
  int deliverable_line = 0;
  std::vector<Step> steps;
};

}  // namespace play
