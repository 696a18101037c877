// The player's money, texture dictionaries and feed notifications.

#include <cstring>
#include <string>

#include "native_words.h"
#include "world.h"

namespace sim {

void Money::update() {
  for (auto& [name, d] : textures) {
    if (d.requested && !d.loaded && --d.frames_left <= 0) d.loaded = true;
  }
}

// What the game would read from a record slot: an integer in the low half.
static bool low_half_only(World& w, const char* record, int slot, uint64_t v) {
  if ((v >> 32) == 0) return true;
  w.violation(std::string("feed ") + record + " record: slot " + std::to_string(slot) +
              " upper half not zero");
  return false;
}

// The player's money becomes `cash`; a change is the journal's.
static void set_cash(World& w, int cash) {
  if (cash == w.money.cash) return;
  w.journal.write<EntryKind::money>({.from = w.money.cash, .to = cash});
  w.money.cash = cash;
}

static void feed_toast(World& w, NativeCall& c) {
  const auto* duration = c.p<const uint64_t>(0);
  const auto* data = c.p<const uint64_t>(1);
  bool sound = true;
  for (int n = 0; n < 7; ++n) sound = low_half_only(w, "duration", n, duration[n]) && sound;
  for (int n : {0, 3, 4, 5, 6}) sound = low_half_only(w, "feed", n, data[n]) && sound;
  const char* text = reinterpret_cast<const char*>(static_cast<uintptr_t>(data[1]));
  const char* dictionary = reinterpret_cast<const char*>(static_cast<uintptr_t>(data[2]));
  if (text == nullptr || dictionary == nullptr) {
    w.violation("feed record: a null text");  // the game would read through it
    sound = false;
  }
  if (!sound) return;
  FeedPost post;
  post.frame = w.frame();
  post.duration_ms = static_cast<int>(duration[0]);
  post.text = text;
  post.dictionary = dictionary;
  post.icon = static_cast<uint32_t>(data[3]);
  post.color = static_cast<uint32_t>(data[5]);
  w.journal.write<EntryKind::notification>({.text = post.text, .ms = post.duration_ms});
  const auto d = w.money.textures.find(std::string_view(dictionary));
  post.dictionary_loaded = d != w.money.textures.end() && d->second.loaded;
  w.money.feed.push_back(post);
  c.ret_int(static_cast<int32_t>(w.money.feed.size()));
}

static TextureDict* known_dict(World& w, const char* name) {
  auto it = w.money.textures.find(std::string_view(name));
  if (it == w.money.textures.end()) {
    if (name[0] == '\0' || !w.has_content(ContentList::texture_dicts, name)) return nullptr;
    it = w.money.textures.try_emplace(name).first;
  }
  return !it->second.exists ? nullptr : &it->second;
}

NativeRows money_native_rows() {
  static const DomainRow rows[] = {
      {Native::DOES_STREAMED_TEXTURE_DICT_EXIST,
       [](World& w, NativeCall& c) { c.ret_bool(known_dict(w, c.s(0)) != nullptr); }},
      {Native::HAS_STREAMED_TEXTURE_DICT_LOADED,
       [](World& w, NativeCall& c) {
         const TextureDict* d = known_dict(w, c.s(0));
         c.ret_bool(d != nullptr && d->loaded);
       }},
      {Native::MONEY_DECREMENT_CASH_BALANCE_,
       [](World& w, NativeCall& c) {
         // The game takes what the player has, down to nothing.
         w.money.decrements.push_back(c.i(0));
         const bool enough = w.money.cash >= c.i(0);
         set_cash(w, enough ? w.money.cash - c.i(0) : 0);
         c.ret_bool(enough);
       }},
      {Native::REQUEST_STREAMED_TEXTURE_DICT,
       [](World& w, NativeCall& c) {
         TextureDict* d = known_dict(w, c.s(0));
         if (d == nullptr || d->requested) return;
         d->requested = true;
         d->frames_left = w.money.texture_load_frames;
         if (d->frames_left <= 0) d->loaded = true;
       }},
      {Native::SET_STREAMED_TEXTURE_DICT_AS_NO_LONGER_NEEDED,
       [](World& w, NativeCall& c) {
         if (TextureDict* d = known_dict(w, c.s(0))) {
           ++d->released;
           d->requested = false;
           d->loaded = false;
         }
       }},
      {Native::UI_FEED_POST_SAMPLE_TOAST_RIGHT_, feed_toast},
      {Native::UI_FEED_POST_SAMPLE_TOAST_, feed_toast},
      {Native::MONEY_INCREMENT_CASH_BALANCE_,
       [](World& w, NativeCall& c) {
         if (c.i(0) < 0) return;  // the game adds, it never takes here
         set_cash(w, w.money.cash + c.i(0));
         c.ret_bool(true);
       }},
      {Native::MONEY_GET_CASH_BALANCE_, [](World& w, NativeCall& c) { c.ret_int(w.money.cash); }},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
