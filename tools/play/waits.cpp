#include "waits.h"

#include "expectations.h"
#include "native_words.h"
#include "reference_natives.h"

namespace play {

namespace {

// Tests that a script repeats, a frame apart, until the game is ready.
struct WaitTest {
  sim::Native native;
  bool waits_while;   // the answer that keeps the script waiting
  bool names_a_hash;  // the first argument is a hash worth naming
  const char* what;
};

constexpr WaitTest wait_tests[] = {
    {sim::Native::HAS_MODEL_LOADED, false, true, "model %s to load"},
    {sim::Native::HAS_NAMED_PTFX_ASSET_LOADED, false, true, "particle asset %s to load"},
    {sim::Native::IS_ANIM_SCENE_LOADED, false, false, "the anim scene to load"},
    {sim::Native::HAS_STREAMED_TEXTURE_DICT_LOADED, false, false, "a texture dictionary to load"},
    {sim::Native::IS_ANY_SPEECH_PLAYING, true, false, "a ped to finish its line"},
};

}  // namespace

WaitKind classify_wait(const sim::entry::Wait& wait, const sim::World& world) {
  if (wait.ms > 0) return {true, "a pause of " + std::to_string(wait.ms) + " ms"};
  const bool answer = static_cast<uint32_t>(wait.last_result) != 0;
  for (const WaitTest& t : wait_tests) {
    if (sim::facts_of(t.native).hash != wait.last_hash || answer != t.waits_while) continue;
    std::string what = t.what;
    if (t.names_a_hash) {
      what.replace(what.find("%s"), 2, hash_name(world, static_cast<uint32_t>(wait.last_arg)));
    }
    return {true, what};
  }
  return {false, ""};
}

bool wait_fulfilled(uint64_t hash, uint64_t last_arg, sim::World& world) {
  if (world.failing(hash)) return false;  // it can answer only "not yet"
  const auto arg = static_cast<uint32_t>(last_arg);
  switch (hash) {
    case 0x1283B8B89DD5D1B6:  // HAS_MODEL_LOADED
      return world.model(arg).loaded;
    case 0x65BB72F29138F5D6: {  // HAS_NAMED_PTFX_ASSET_LOADED
      const sim::ParticleAssetState* asset = world.particles.find_asset(arg);
      return asset != nullptr && asset->loaded;
    }
    case 0x477122B8D05E7968: {  // IS_ANIM_SCENE_LOADED
      const sim::AnimSceneState* scene = world.anim_scenes.scene(static_cast<int32_t>(arg));
      return scene != nullptr && scene->loaded;
    }
    default:  // a texture dictionary, a line: nothing to give up on
      return true;
  }
}

}  // namespace play
