#pragma once
// The simulated game: everything the plug-ins' natives act on, and a record
// of every call. Tests arrange the world, run frames through the host, and
// read back what the game now holds.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "native_table.h"
#include "particles.h"

namespace sim {

struct Vec {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

float distance(const Vec& a, const Vec& b);

struct ModelState {
  bool valid = true;
  int load_frames = 2;       // frames from the request until loaded
  bool never_loads = false;  // requested but never finishes
  bool requested = false;
  bool loaded = false;
  int requests = 0;
  int frames_left = 0;
};

enum class EntityKind { object, ped };

struct EntityState {
  int32_t handle = 0;
  EntityKind kind = EntityKind::object;
  uint32_t model = 0;
  Vec position;
  Vec rotation;         // pitch, roll, yaw in degrees
  double turned = 0.0;  // total yaw change written to it, unwrapped
  bool exists = true;
  bool frozen = false;
  bool visible = true;
  int alpha = 255;
  bool climbable = true;
  bool auto_vault = true;
  bool mission_entity = false;
  bool placed_on_ground = false;
  int outfit = 0;
  int outfit_count = 8;
  int variation_updates = 0;
  std::string shown_name;  // the name the game shows when the player targets it
  bool lockon_prompt = false;
  bool targettable_focus = false;
  uint32_t prompt_name_label = 0;
  bool eagle_eye = false;
};

enum class PromptMode { none, standard, hold };

struct PromptState {
  int32_t handle = 0;
  uint32_t control = 0;
  std::string label;
  int group = 0;
  int group_page = 0;
  int priority = 0;
  int type = -1;
  PromptMode mode = PromptMode::none;
  int mode_value = 0;
  bool enabled = false;
  bool visible = false;
  bool registered = false;  // registration completed
  bool deleted = false;
  bool has_point = false;
  Vec point;
  float radius = 0.0f;
  uint64_t completed_frame = 0;  // the frame in which the player completed it

  bool offered() const { return registered && !deleted && enabled && visible; }
};

struct CallArg {
  uint64_t raw = 0;
  char kind = 'i';
  std::string text;  // strings as passed, handles behind an address
};

struct CallRecord {
  uint64_t frame = 0;
  uint64_t hash = 0;
  const NativeRow* row = nullptr;
  std::vector<CallArg> args;
  uint64_t result[3] = {};
  std::string result_text;   // a text result as the game handed it out
  std::string text() const;  // "NAME(args) -> result"
};

}  // namespace sim

#include "anim_scene_world.h"
#include "show_world.h"
#include "venue_world.h"

namespace sim {

class World {
 public:
  World();

  // --- time ---------------------------------------------------------------
  uint64_t frame() const { return frame_; }
  uint32_t game_timer() const { return timer_ms_; }
  float frame_time() const { return frame_seconds_; }
  void set_frame_time(float seconds) { frame_seconds_ = seconds; }
  void set_game_timer(uint32_t ms) { timer_ms_ = ms; }
  void advance_frame();  // the host calls it once per frame

  // --- models -------------------------------------------------------------
  ModelState& model(const char* name);
  ModelState& model(uint32_t hash);

  // --- entities -----------------------------------------------------------
  int32_t create_entity(EntityKind kind, uint32_t model, Vec position, float heading);
  EntityState* entity(int32_t handle);
  bool exists(int32_t handle) const;
  void remove_entity(int32_t handle);  // the game removes it on its own
  std::vector<const EntityState*> live_entities(const char* model_name) const;
  bool any_live_entity_of(uint32_t model) const;
  static float heading_of(const EntityState& e);

  // --- the player ---------------------------------------------------------
  int32_t player_ped() const { return player_ped_; }
  int32_t player_index() const { return 0; }
  void place_player(float x, float y, float z);
  Vec player_position() const;
  int32_t replace_player_ped(const char* model_name);  // the game gives a new ped

  // --- prompts ------------------------------------------------------------
  PromptState* prompt(int32_t handle);
  int32_t new_prompt();
  bool complete_prompt(int32_t handle);  // as the player would; only an offered prompt
  std::vector<const PromptState*> prompts_labelled(const std::string& label) const;
  int group_for_entity(int32_t entity) const;

  // --- particle assets and looped effects ---------------------------------
  Particles particles;

  // --- text ---------------------------------------------------------------
  void set_text(const char* label, std::string text);  // the game's text for a label
  const char* text_for(uint32_t label_hash);
  const char* keep_text(const char* text);  // short-lived text the game hands out
  std::function<std::string(int)> cash_text;

  // --- the theater's side of the game, and animated scenes ----------------
  VenueWorld venue;
  AnimSceneWorld anim_scenes;
  ShowWorld show;  // playback, money, feed, render targets, TV, clock

  // --- random draws -------------------------------------------------------
  void seed(uint64_t seed) { rng_ = seed; }
  int32_t random_in_range(int32_t low, int32_t high);

  // --- the protocol -------------------------------------------------------
  void perform(NativeCall& call);
  void fail_native(uint64_t hash, bool fail = true);  // answers 0, acts on nothing
  void violation(std::string what);
  const std::vector<std::string>& violations() const { return violations_; }

  // --- the record ---------------------------------------------------------
  bool recording = true;
  const std::vector<CallRecord>& calls() const { return calls_; }
  std::vector<const CallRecord*> calls_to(const char* name) const;
  size_t count_calls(const char* name) const;
  uint64_t total_calls() const { return total_calls_; }
  std::string record_text() const;
  void clear_record() { calls_.clear(); }

 private:
  void record(const NativeCall& call);

  uint64_t frame_ = 0;
  uint32_t timer_ms_ = 100000;
  float frame_seconds_ = 1.0f / 60.0f;
  double timer_fraction_ = 0.0;

  std::map<uint32_t, ModelState> models_;
  std::map<int32_t, EntityState> entities_;
  int32_t next_entity_ = 0x100;
  int32_t player_ped_ = 0;

  std::map<int32_t, PromptState> prompts_;
  int32_t next_prompt_ = 1;

  std::map<uint32_t, std::string> texts_;
  static constexpr int text_slots = 16;
  char text_ring_[text_slots][512] = {};
  int next_text_ = 0;

  uint64_t rng_ = 0x2545F4914F6CDD1DULL;
  std::vector<uint64_t> failing_;
  std::vector<std::string> violations_;
  std::vector<CallRecord> calls_;
  uint64_t total_calls_ = 0;
};

}  // namespace sim
