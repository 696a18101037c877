// Streaming beyond models (entities.cpp): animation dictionaries loaded on
// request, the map's optional parts, and models let go of.

#include "native_words.h"
#include "world.h"

namespace sim {

namespace {

StreamedAsset* dict(World& w, const char* name) {
  const auto it = w.streaming.anim_dicts.find(std::string_view(name));
  return it == w.streaming.anim_dicts.end() ? nullptr : &it->second;
}

}  // namespace

NativeRows streaming_native_rows() {
  static const DomainRow rows[] = {
      // A model in the game's image is one it has: valid, and it loads.
      {Native::IS_MODEL_IN_CDIMAGE,
       [](World& w, NativeCall& c) { c.ret_bool(w.model(c.u(0)).valid); }},
      // The game keeps a model loaded while anything made of it lives.
      {Native::SET_MODEL_AS_NO_LONGER_NEEDED,
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
      {Native::REQUEST_ANIM_DICT,
       [](World& w, NativeCall& c) {
         if (c.s(0)[0] == '\0' || !w.has_content(ContentList::anim_dicts, c.s(0))) return;
         w.streaming.anim_dicts.try_emplace(c.s(0)).first->second.request();
       }},
      {Native::HAS_ANIM_DICT_LOADED,
       [](World& w, NativeCall& c) {
         const StreamedAsset* d = dict(w, c.s(0));
         c.ret_bool(d != nullptr && d->loaded);
       }},
      {Native::DOES_ANIM_DICT_EXIST,
       [](World& w, NativeCall& c) {
         c.ret_bool(c.s(0)[0] != '\0' && w.has_content(ContentList::anim_dicts, c.s(0)));
       }},
      {Native::REMOVE_ANIM_DICT,
       [](World& w, NativeCall& c) {
         const auto it = w.streaming.anim_dicts.find(std::string_view(c.s(0)));
         if (it != w.streaming.anim_dicts.end()) w.streaming.anim_dicts.erase(it);
       }},
      // There is no list of the map's parts: each is taken on trust, and said so.
      {Native::REQUEST_IPL_HASH,
       [](World& w, NativeCall& c) {
         w.streaming.map_parts[c.u(0)] =
             c.u(0) != 0 && w.has_content(ContentList::map_parts, c.u(0));
       }},
      {Native::REMOVE_IPL_HASH,
       [](World& w, NativeCall& c) { w.streaming.map_parts[c.u(0)] = false; }},
      {Native::IS_IPL_ACTIVE_HASH,
       [](World& w, NativeCall& c) {
         const auto it = w.streaming.map_parts.find(c.u(0));
         c.ret_bool(it != w.streaming.map_parts.end() && it->second);
       }},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
