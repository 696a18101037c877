#pragma once
// The player's money, the texture dictionaries the feed's icons come from,
// and the feed's notifications.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "content.h"

namespace sim {

struct TextureDict {
  bool exists = true;
  bool requested = false;
  bool loaded = false;
  int frames_left = 0;
  int released = 0;
};

struct FeedPost {
  uint64_t frame = 0;
  int duration_ms = 0;
  std::string text;
  std::string dictionary;
  uint32_t icon = 0;
  uint32_t color = 0;
  bool dictionary_loaded = false;  // the icon's textures were there to show
};

struct Money {
  // In the game's unit, 100 to the dollar.
  int cash = 5000;
  std::vector<int> decrements;  // amounts asked to be taken

  // Texture dictionaries asked for, by name, case-blind: the game's list
  // decides which exist, a name it lacks is taken on trust.
  std::map<std::string, TextureDict, NameLess> textures{{"ITEMTYPE_TEXTURES", {}}};
  int texture_load_frames = 2;

  std::vector<FeedPost> feed;

  void update();  // once per frame
};

}  // namespace sim
