#pragma once
// What the game streams in on request, as models and particle assets are:
// loaded a set number of frames after the first request, or never while
// held back.

#include <map>
#include <string>

#include "content.h"

namespace sim {

struct StreamedAsset {
  int load_frames = 2;       // frames from the request until loaded
  bool never_loads = false;  // requested but never finishes
  bool requested = false;
  bool loaded = false;
  int requests = 0;
  int frames_left = 0;

  // The first request starts the countdown; later ones are only counted.
  void request() {
    ++requests;
    if (requested) return;
    requested = true;
    frames_left = load_frames;
    if (frames_left <= 0 && !never_loads) loaded = true;
  }
  void advance_frame() {
    if (requested && !loaded && !never_loads && --frames_left <= 0) loaded = true;
  }
};

// Animation dictionaries, by name, and the map's optional parts (IPLs),
// by hash: a dictionary loads as a model does, a part is there at once.
struct Streaming {
  std::map<std::string, StreamedAsset, NameLess> anim_dicts;  // by name, case-blind
  std::map<uint32_t, bool> map_parts;  // requested: true, removed: false
  int models_released = 0;             // models set as no longer needed

  void advance_frame() {
    for (auto& [name, d] : anim_dicts) d.advance_frame();
  }
};

}  // namespace sim
