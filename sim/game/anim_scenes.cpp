// Animated scenes and the animations they play.
// A scene plays once a ped enters it with the play list that was asked
// for and set; each role with a known clip then plays it from 0 to 1.

#include <cstring>

#include "native_words.h"
#include "world.h"

namespace sim {

AnimSceneState* AnimScenes::scene(int32_t handle) {
  auto it = scenes.find(handle);
  return it == scenes.end() || !it->second.exists ? nullptr : &it->second;
}

int AnimScenes::live_count() const {
  int n = 0;
  for (const auto& [handle, s] : scenes) n += s.exists ? 1 : 0;
  return n;
}

void AnimScenes::remove(World& w, int32_t handle) {
  AnimSceneState* s = scene(handle);
  if (s == nullptr) return;
  s->exists = false;
  w.journal.gone(Thing::scene, handle);
}

void AnimScenes::update() {
  for (auto& [handle, s] : scenes) {
    if (s.exists && s.load_asked && !s.loaded && !never_load && --s.frames_left <= 0) {
      s.loaded = true;
    }
  }
}

float AnimScenes::progress(const World& w, const PlayingClip& c) const {
  if (c.held) return *c.held;
  if (c.duration_ms == 0) return 1.0f;
  const uint64_t ran = w.elapsed_ms() - c.start_ms;
  return static_cast<float>(static_cast<double>(ran) / c.duration_ms);
}

const PlayingClip* AnimScenes::clip_of(World& w, int32_t entity, const char* dictionary,
                                       const char* clip) const {
  if (!w.exists(entity)) return nullptr;
  for (const PlayingClip& c : clips) {
    if (c.entity != entity || std::strcmp(c.dictionary.c_str(), dictionary) != 0 ||
        std::strcmp(c.clip.c_str(), clip) != 0) {
      continue;
    }
    const AnimSceneState* scene = w.anim_scenes.scene(c.scene);
    if (scene == nullptr || scene->aborted || progress(w, c) >= 1.0f) return nullptr;
    return &c;
  }
  return nullptr;
}

static void create_scene(World& w, NativeCall& c) {
  AnimSceneState s;
  s.handle = w.anim_scenes.next_scene++;
  s.dictionary = c.s(0);
  w.anim_scenes.scenes[s.handle] = s;
  const uint64_t serial = w.journal.made(Thing::scene, s.handle, 0, Vec{});
  w.journal.thing(serial)->label = s.dictionary;
  c.ret_int(s.handle);
}

static void load_scene(World& w, NativeCall& c) {
  AnimSceneState* s = w.anim_scenes.scene(c.i(0));
  if (s == nullptr || s->load_asked) return;
  s->load_asked = true;
  s->frames_left = w.anim_scenes.load_frames;
  if (s->frames_left <= 0 && !w.anim_scenes.never_load) s->loaded = true;
}

static void set_origin(World& w, NativeCall& c) {
  AnimSceneState* s = w.anim_scenes.scene(c.i(0));
  if (s == nullptr) return;
  s->placed = true;
  s->origin = Vec{c.f(1), c.f(2), c.f(3)};
  s->rotation = Vec{c.f(4), c.f(5), c.f(6)};
  s->rotation_order = c.i(7);
}

static void set_entity(World& w, NativeCall& c) {
  if (AnimSceneState* s = w.anim_scenes.scene(c.i(0))) s->roles[c.s(1)] = {c.i(2), c.i(3)};
}

static void request_play_list(World& w, NativeCall& c) {
  if (w.anim_scenes.scene(c.i(0)) == nullptr) return;
  w.anim_scenes.playback[c.i(0)].requested = c.s(1);
  c.ret_bool(true);
}

static void set_play_list(World& w, NativeCall& c) {
  if (w.anim_scenes.scene(c.i(0)) == nullptr) return;
  w.anim_scenes.playback[c.i(0)].play_list = c.s(1);
}

static void enter_scene(World& w, NativeCall& c) {
  const AnimSceneState* s = w.anim_scenes.scene(c.i(1));
  w.anim_scenes.entered.push_back({w.frame(), c.i(0), c.i(1), c.s(2), c.s(3)});
  if (s == nullptr || !s->loaded || s->aborted || !w.exists(c.i(0))) return;
  auto playing = w.anim_scenes.playback.find(c.i(1));
  if (playing == w.anim_scenes.playback.end() || playing->second.started) return;
  ScenePlayback& p = playing->second;
  if (p.play_list != c.s(3) || p.requested != c.s(3)) return;
  const auto role = s->roles.find(c.s(2));
  if (role == s->roles.end() || role->second.first != c.i(0)) return;
  p.started = true;
  for (const auto& [name, bound] : s->roles) {
    const int32_t entity = bound.first;
    const auto clip = w.anim_scenes.role_clips.find(name);
    if (clip == w.anim_scenes.role_clips.end() || !w.exists(entity)) continue;
    std::erase_if(w.anim_scenes.clips,
                  [entity](const PlayingClip& old) { return old.entity == entity; });
    w.anim_scenes.clips.push_back({entity, s->handle, clip->second.first, clip->second.second,
                                   w.elapsed_ms(), w.anim_scenes.clip_ms, std::nullopt});
  }
}

NativeRows anim_scenes_native_rows() {
  static const DomainRow rows[] = {
      {Native::ABORT_ANIM_SCENE,
       [](World& w, NativeCall& c) {
         if (AnimSceneState* s = w.anim_scenes.scene(c.i(0))) s->aborted = true;
       },
       changes(Thing::scene)},
      {checked_as(Native::CREATE_ANIM_SCENE_, "sizbb"), create_scene, makes(Thing::scene)},
      {Native::DELETE_ANIM_SCENE_, [](World& w, NativeCall& c) { w.anim_scenes.remove(w, c.i(0)); },
       removes(Thing::scene)},
      {Native::DOES_ANIM_SCENE_EXIST,
       [](World& w, NativeCall& c) { c.ret_bool(w.anim_scenes.scene(c.i(0)) != nullptr); }},
      {Native::GET_ENTITY_ANIM_CURRENT_TIME_,
       [](World& w, NativeCall& c) {
         if (const PlayingClip* p = w.anim_scenes.clip_of(w, c.i(0), c.s(1), c.s(2))) {
           c.ret_float(w.anim_scenes.progress(w, *p));
         }
       }},
      {Native::IS_ANIM_SCENE_LOADED,
       [](World& w, NativeCall& c) {
         const AnimSceneState* s = w.anim_scenes.scene(c.i(0));
         c.ret_bool(s != nullptr && s->loaded);
       }},
      {Native::IS_ENTITY_PLAYING_ANIM,
       [](World& w, NativeCall& c) {
         c.ret_bool(w.anim_scenes.clip_of(w, c.i(0), c.s(1), c.s(2)) != nullptr ||
                    told_to_play(w, c.i(0), c.s(1), c.s(2)));
       }},
      {Native::LOAD_ANIM_SCENE, load_scene, changes(Thing::scene)},
      {Native::REQUEST_ANIM_SCENE_PLAY_LIST, request_play_list, changes(Thing::scene)},
      {Native::SET_ANIM_SCENE_ENTITY, set_entity, changes(Thing::scene)},
      {Native::SET_ANIM_SCENE_ORIGIN, set_origin, changes(Thing::scene)},
      {Native::SET_ANIM_SCENE_PLAY_LIST, set_play_list, changes(Thing::scene)},
      {Native::TASK_ENTER_ANIM_SCENE, enter_scene, changes(Thing::entity)},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
