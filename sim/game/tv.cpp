// TV channels, playlists, named render targets, drawing and screen effects.

#include "joaat.h"
#include "native_words.h"
#include "world.h"

namespace sim {

Tv::Tv() { model_targets[joaat("script_rt_arm_screen")] = "bla_theater"; }

bool Tv::film_at_end(const World& w) const {
  const auto it = playlists.find(channel);
  if (channel == -1 || it == playlists.end() || it->second.name.empty()) return false;
  return w.elapsed_ms() - it->second.start_ms > film_ms;
}

bool Tv::end_film(const World& w) {
  const auto it = playlists.find(channel);
  if (channel == -1 || it == playlists.end() || it->second.name.empty()) return false;
  it->second.start_ms = w.elapsed_ms() - film_ms - 1;
  return true;
}

RenderTarget* Tv::target(const char* name) {
  const auto it = targets.find(name);
  return it == targets.end() ? nullptr : &it->second;
}

// The channel switch: -1 is no channel.
static void set_tv_channel(World& w, NativeCall& c) {
  if (w.tv.channel != c.i(0)) {
    w.journal.write<EntryKind::channel>({.channel = c.i(0)});
  }
  w.tv.channel = c.i(0);
}
static void get_tv_channel(World& w, NativeCall& c) { c.ret_int(w.tv.channel); }

// A film's end marker shows once the channel's playlist has run its length.
static void show_playing(World& w, NativeCall& c) {
  c.ret_bool(c.u(0) == joaat("END_OF_MOVIE_MARKER") && w.tv.film_at_end(w));
}

static void register_target(World& w, NativeCall& c) {
  RenderTarget* t = w.tv.target(c.s(0));
  if (t == nullptr) t = &w.tv.targets[c.s(0)];
  if (t->registered) return;
  t->registered = true;
  t->linked = false;
  t->id = w.tv.next_target_id++;
  ++t->registrations;
  w.journal.made(Thing::target, t->id, 0, Vec{});
  w.journal.thing(w.serial_of(Thing::target, t->id))->label = c.s(0);
  c.ret_bool(true);
}

static void release_target(World& w, NativeCall& c) {
  RenderTarget* t = w.tv.target(c.s(0));
  if (t == nullptr || !t->registered) return;
  t->registered = false;
  t->linked = false;
  ++t->releases;
  w.journal.gone(Thing::target, t->id);
  c.ret_bool(true);
}

// Links the model's own target, when it is registered and a prop of the
// model is in the world to carry it.
static void link_target(World& w, NativeCall& c) {
  const auto name = w.tv.model_targets.find(c.u(0));
  if (name == w.tv.model_targets.end() || w.tv.links_fail) return;
  RenderTarget* t = w.tv.target(name->second.c_str());
  if (t == nullptr || !t->registered) return;
  t->linked = w.any_live_entity_of(c.u(0));
}

static void target_linked(World& w, NativeCall& c) {
  const auto name = w.tv.model_targets.find(c.u(0));
  if (name == w.tv.model_targets.end()) return;
  const RenderTarget* t = w.tv.target(name->second.c_str());
  c.ret_bool(t != nullptr && t->registered && t->linked);
}

static void target_id(World& w, NativeCall& c) {
  const RenderTarget* t = w.tv.target(c.s(0));
  if (t != nullptr && t->registered) c.ret_int(t->id);
}

static void draw_channel(World& w, NativeCall& c) {
  ++w.tv.draws;
  for (auto& [name, t] : w.tv.targets) {
    if (!t.registered || !t.linked || t.id != w.tv.current_target) continue;
    ++t.draws;
    t.last_draw_frame = w.frame();
    t.last_draw_channel = w.tv.channel;
    t.last_draw_alpha = c.i(8);
  }
}

NativeRows tv_native_rows() {
  static const DomainRow rows[] = {
      {Native::ANIMPOSTFX_PLAY,
       [](World& w, NativeCall& c) { w.tv.screen_effects.emplace_back(c.s(0)); }},
      {Native::ATTACH_TV_AUDIO_TO_ENTITY,
       [](World& w, NativeCall& c) { w.tv.audio_entity = c.i(0); }, changes(Thing::entity)},
      {Native::DRAW_TV_CHANNEL, draw_channel},
      {Native::GET_NAMED_RENDERTARGET_RENDER_ID, target_id},
      {Native::GET_TV_CHANNEL, get_tv_channel},
      {Native::IS_NAMED_RENDERTARGET_LINKED, target_linked},
      {Native::IS_NAMED_RENDERTARGET_REGISTERED,
       [](World& w, NativeCall& c) {
         const RenderTarget* t = w.tv.target(c.s(0));
         c.ret_bool(t != nullptr && t->registered);
       }},
      {Native::IS_TVSHOW_CURRENTLY_PLAYING, show_playing},
      {Native::LINK_NAMED_RENDERTARGET, link_target},
      {Native::REGISTER_NAMED_RENDERTARGET, register_target, makes(Thing::target)},
      {Native::RELEASE_NAMED_RENDERTARGET, release_target, removes(Thing::target)},
      {Native::SET_SCRIPT_GFX_DRAW_BEHIND_PAUSEMENU, nullptr},
      {Native::SET_TEXT_RENDER_ID, [](World& w, NativeCall& c) { w.tv.current_target = c.i(0); }},
      {Native::SET_TV_AUDIO_FRONTEND,
       [](World& w, NativeCall& c) { w.tv.audio_frontend = c.b(0); }},
      {Native::SET_TV_CHANNEL, set_tv_channel},
      {Native::SET_TV_CHANNEL_PLAYLIST,
       [](World& w, NativeCall& c) {
         Playlist& p = w.tv.playlists[c.i(0)];
         p.name = c.s(1);
         p.start_ms = w.elapsed_ms();
         w.journal.write<EntryKind::playlist>({.channel = c.i(0), .playlist = p.name});
       }},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
