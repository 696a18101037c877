// Streaming beyond models (entities.cpp): animation dictionaries loaded on
// request, the map's optional parts, and models let go of.

#include "world.h"

namespace sim {

namespace {

StreamedAsset* dict(World& w, const char* name) {
  const auto it = w.streaming.anim_dicts.find(std::string_view(name));
  return it == w.streaming.anim_dicts.end() ? nullptr : &it->second;
}

}  // namespace

NativeRows streaming_native_rows() {
  static const NativeRow rows[] = {
      // A model in the game's image is one it has: valid, and it loads.
      {0xD6F3B6D7716CFF8E, "IS_MODEL_IN_CDIMAGE", "i", 'b',
       [](World& w, NativeCall& c) { c.ret_bool(w.model(c.u(0)).valid); }},
      // The game keeps a model loaded while anything made of it lives.
      {0x4AD96EF928BD4F9A, "SET_MODEL_AS_NO_LONGER_NEEDED", "i", 'v',
       [](World& w, NativeCall& c) {
         ModelState& m = w.model(c.u(0));
         if (!m.requested) return;
         ++w.streaming.models_released;
         if (!w.any_live_entity_of(c.u(0))) {
           m.requested = false;
           m.loaded = false;
         }
       }},
      // A dictionary the game lacks never loads; the list is partial, so one
      // it lacks is taken on trust.
      {0xA862A2AD321F94B4, "REQUEST_ANIM_DICT", "s", 'v',
       [](World& w, NativeCall& c) {
         if (c.s(0)[0] == '\0' || !w.has_content(ContentList::anim_dicts, c.s(0))) return;
         w.streaming.anim_dicts.try_emplace(c.s(0)).first->second.request();
       }},
      {0x27FF6FE8009B40CA, "HAS_ANIM_DICT_LOADED", "s", 'b',
       [](World& w, NativeCall& c) {
         const StreamedAsset* d = dict(w, c.s(0));
         c.ret_bool(d != nullptr && d->loaded);
       }},
      {0x537F44CB0D7F150D, "DOES_ANIM_DICT_EXIST", "s", 'b',
       [](World& w, NativeCall& c) {
         c.ret_bool(c.s(0)[0] != '\0' && w.has_content(ContentList::anim_dicts, c.s(0)));
       }},
      {0x4763145053A33D46, "REMOVE_ANIM_DICT", "s", 'v',
       [](World& w, NativeCall& c) {
         const auto it = w.streaming.anim_dicts.find(std::string_view(c.s(0)));
         if (it != w.streaming.anim_dicts.end()) w.streaming.anim_dicts.erase(it);
       }},
      // There is no list of the map's parts: each is taken on trust, and said so.
      {0x59767C5A7A9AE6DA, "REQUEST_IPL_HASH", "i", 'v',
       [](World& w, NativeCall& c) {
         w.streaming.map_parts[c.u(0)] = c.u(0) != 0 && w.has_content(ContentList::map_parts, c.u(0));
       }},
      {0x5A3E5CF7B4014B96, "REMOVE_IPL_HASH", "i", 'v',
       [](World& w, NativeCall& c) { w.streaming.map_parts[c.u(0)] = false; }},
      {0xD779B9B910BD3B7C, "IS_IPL_ACTIVE_HASH", "i", 'b',
       [](World& w, NativeCall& c) {
         const auto it = w.streaming.map_parts.find(c.u(0));
         c.ret_bool(it != w.streaming.map_parts.end() && it->second);
       }},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
