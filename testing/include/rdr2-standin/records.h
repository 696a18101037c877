#pragma once
// What happened in a game, as plain records: read them with a test's own
// comparisons where an expectation of a scenario says too little.
// Positions are the game's metres; times are the run's own game time.
// A plug-in is named by its file's stem ("my_mod" for my_mod.so); the game
// itself, and a test's own steps, by "".

#include <cstdint>
#include <string>

namespace standin {

// An entry of the run's journal: every thing made, gone or changed, line
// said, money moved, notification, step and expectation, in the order it
// happened (native calls are left out).
struct Entry {
  std::string kind;  // "made", "gone", "said", "money", "notification", "offered", ...
  uint64_t frame = 0;
  uint64_t ms = 0;     // the run's time
  std::string plugin;  // whose script did it, else whose thing it befell
  std::string what;    // the timeline's words for it, e.g. "+ ped a_c_horse_morgan_bay"
  std::string text;    // its own text, where it has one: a label, a line, a notification
};

// A thing made over the run: an entity, prompt, blip, scenario point,
// effect, anim scene or render target; gone ones too, with `live` false.
struct Thing {
  std::string kind;   // "ped", "vehicle", "object", "pickup", "prompt", "blip", "point", "effect",
                      // "scene", "target"
  std::string model;  // an entity's model, a blip's style, an effect's name
  std::string label;  // a prompt's label, a blip's name, a scene's dictionary
  std::string owner;  // the plug-in that made it; "" the game
  int32_t handle = 0;
  bool live = true;
  float x = 0, y = 0, z = 0;  // where it was last put
};

// A prompt the player is offered now.
struct Prompt {
  std::string label;
  std::string owner;
};

// A text a plug-in began to draw on the screen (drawn again each frame, it is
// one record until it goes).
struct Text {
  std::string text;
  std::string plugin;
  uint64_t frame = 0;
  float x = 0, y = 0;  // 0 to 1 across and down the screen
  float scale = 0;     // its height scale
  int red = 0, green = 0, blue = 0, alpha = 0;
};

// A line spoken.
struct Line {
  std::string speaker;  // "player", a nickname, or the speaker's model
  std::string line;     // e.g. "GREET_GENERAL"
  std::string voice;
  uint64_t frame = 0;
};

}  // namespace standin
