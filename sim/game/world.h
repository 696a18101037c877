#pragma once
// The simulated game: everything the plug-ins' natives act on, and a record
// of every call. Tests arrange the world, run frames through the host, and
// read back what the game now holds.
//
// Entities and prompts are the world's own vocabulary, kept here and
// simulated in entities.cpp and prompts.cpp; every other domain is a member
// with a file of its own that holds its state and its natives together.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "anim_scenes.h"
#include "blips.h"
#include "call_record.h"
#include "camera.h"
#include "clock.h"
#include "content.h"
#include "controls.h"
#include "entities.h"
#include "environment.h"
#include "faults.h"
#include "handle_pool.h"
#include "interiors.h"
#include "journal.h"
#include "money.h"
#include "native_table.h"
#include "ownership.h"
#include "particles.h"
#include "peds.h"
#include "player.h"
#include "prompts.h"
#include "scenario_points.h"
#include "screen.h"
#include "speech.h"
#include "streaming.h"
#include "text.h"
#include "tv.h"
#include "vec.h"
#include "vehicles.h"
#include "weapons.h"

namespace sim {

class World {
 public:
  World();
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  // --- time (world.cpp) ---------------------------------------------------
  uint64_t frame() const { return frame_; }
  uint32_t game_timer() const { return timer_ms_; }
  float frame_time() const { return frame_seconds_; }
  void set_frame_time(float seconds) { frame_seconds_ = seconds; }
  void set_game_timer(uint32_t ms) { timer_ms_ = ms; }
  void advance_frame();  // the host calls it once per frame
  // The time the game has run, in whole ms: the scenario's clock and the
  // world's own (a film's length, a hold, a line said, a clip playing), which
  // moves with the frames and never jumps or wraps when the timer does.
  uint64_t elapsed_ms() const { return elapsed_ms_; }

  // The system's tick count that a plug-in reads: it follows the game's
  // elapsed time, so a plug-in that times keys or waits with it sees game
  // time and a run plays the same on any machine; a test sets where it
  // stands now. With the wall clock on, it is the machine's own.
  uint32_t tick_count() const;
  void set_tick_count(uint32_t ms) { tick_base_ = ms - static_cast<uint32_t>(elapsed_ms_); }
  bool wall_clock = false;

  // --- models, entities and the player (entities.cpp) ---------------------
  ModelState& model(const char* name);
  ModelState& model(uint32_t hash);
  int32_t create_entity(EntityKind kind, uint32_t model, Vec position, float heading);
  EntityState* entity(int32_t handle);
  EntityState* live_entity(int32_t handle);  // one that still exists, or null
  EntityState* live_ped(int32_t handle);     // a ped that still exists, or null
  bool exists(int32_t handle) const;
  void remove_entity(int32_t handle);  // the game removes it on its own
  void move_entity(EntityState& e, Vec to);
  std::vector<const EntityState*> live_entities(const char* model_name) const;
  const std::map<int32_t, EntityState>& entities() const { return entities_; }
  bool any_live_entity_of(uint32_t model) const;
  static float heading_of(const EntityState& e);
  // A model's kind comes from the game's list (content.cpp), whether it came
  // by name or by hash; an object the stand-in does not know is an object.
  ModelKind model_kind(uint32_t model) const;
  bool is_animal_model(uint32_t model) const { return is_creature(model_kind(model)); }
  bool is_horse_model(uint32_t model) const { return model_kind(model) == ModelKind::horse; }
  // Entities moving by their velocity, and what is attached following its
  // parent, each frame.
  void move_by_velocity();

  int32_t player_ped() const { return player_ped_; }
  int32_t player_index() const { return 0; }
  void place_player(float x, float y, float z);  // and what he rides
  void set_player_velocity(Vec v);               // as the scenario moves him, and what he rides
  Vec player_position() const;
  int32_t replace_player_ped(const char* model_name);  // the game gives a new ped
  int32_t replace_player_ped(uint32_t model);

  // --- the game's content (content.cpp) ------------------------------------
  Content content;  // the game's lists, and what a scenario added
  // Whether the game has it: a complete list decides, a partial one takes
  // what it lacks on trust. The first mention of what the game lacks, or
  // the stand-in does not know, is told in the journal, by its name when
  // the call or an earlier hash gave one.
  bool has_content(ContentList list, uint32_t hash, const char* name = nullptr);
  bool has_content(ContentList list, const char* name);
  // A model the game has: in its lists, or any other but one named as a
  // ped of its families (a misspelt ped), taken for an object.
  bool model_in_game(uint32_t model);
  // What is made of a model: false, and told once, when the game has no
  // ped (or vehicle) of it.
  bool makes(EntityKind kind, uint32_t model);
  std::string content_name(uint32_t hash) const;  // its name, or its hash

  // --- prompts (prompts.cpp) ----------------------------------------------
  PromptState* prompt(int32_t handle);
  int32_t new_prompt();
  void delete_prompt(int32_t handle);
  bool complete_prompt(int32_t handle);  // as the player would; only an offered prompt
  // Whether the player sees it now: switched on, within its context point's
  // radius when it has one, and when it is an entity's group's, while that
  // entity exists and the player is within its interaction distance.
  bool prompt_offered(const PromptState& p) const;
  bool prompt_offered(int32_t handle) const;
  float interaction_distance(const EntityState& e) const;
  void show_prompt_group(uint32_t group) { active_groups_[group] = frame_; }
  std::vector<const PromptState*> prompts_labelled(const std::string& label) const;
  const std::map<int32_t, PromptState>& prompts() const { return prompts_; }
  int group_for_entity(int32_t entity);  // the game's group of prompts for targeting it

  // --- the other domains --------------------------------------------------
  Particles particles;      // particle assets and looped effects
  Blips blips;              // map blips
  Interiors interiors;      // the interiors and where they are
  ScenarioPoints points;    // scenario points and who uses them
  Peds peds;                // what peds do: tasks, flags, death and fleeing
  Speech speech;            // lines spoken and who is talking
  AnimScenes anim_scenes;   // animated scenes and the clips they play
  Money money;              // the player's money, texture dictionaries, the feed
  Tv tv;                    // TV channels, render targets, screen drawing
  Clock clock;              // the game's clock
  TextDrawing text;         // text drawn on the screen
  Controls controls;        // the player's controls as each frame sees them
  Vehicles vehicles;        // seats of vehicles and mounts, and who is in them
  Weapons weapons;          // the weapons peds carry
  Cameras cameras;          // script cameras and the gameplay camera
  Screen screen;            // rectangles and sprites drawn, objectives, the fade, the HUD
  Streaming streaming;      // animation dictionaries and map parts loaded on request
  Environment environment;  // the ground, the weather, sounds
  PlayerState player;       // control, the law, unlocks

  // --- the journal of the run (journal.h) and the pass a frame (observe.cpp)
  Journal journal;
  // What the world works out from its state rather than from one call: the
  // prompts the player is offered, the interior he is in, the values that
  // change smoothly, what is drawn. The host runs it as a frame begins,
  // after the steps have moved the player, and again once the scripts ran.
  void observe(bool frame_over);
  // What the run's readers find as they begin, told once: the money, the
  // TV's playlists and channel, where the player stands. The journal tells
  // every change from there.
  void tell_found();
  uint64_t serial_of(Thing thing, int32_t handle) const { return journal.serial_of(thing, handle); }

  // --- who made what, and a hostile game (ownership.cpp, faults.cpp) -------
  Ownership owners;  // the host sets owners.creator while a plug-in's script runs
  Faults faults;     // off unless a test, soak or scenario enables it
  Holdings holdings(PluginId creator) { return owners.holdings(*this, creator); }

  // --- texts (world.cpp) --------------------------------------------------
  void set_text(const char* label, std::string text);  // the game's text for a label
  const char* text_for(uint32_t label_hash);
  const char* keep_text(const char* text);  // short-lived text the game hands out
  std::function<std::string(int)> cash_text;
  // The names the scripts hashed, so a hash can be shown as its name.
  const std::string* name_of(uint32_t hash) const;
  uint32_t hash_of(const char* name);  // the game's hash, the name kept

  // --- random draws (world.cpp) -------------------------------------------
  void seed(uint64_t seed) { rng_ = seed; }
  int32_t random_in_range(int32_t low, int32_t high);
  // What the next draws in [low, high) give, in order, before the
  // generator's own draws again.
  void set_next_draws(int32_t low, int32_t high, std::vector<int32_t> values);

  // Drops what is gone (entities, prompts, points, blips, peds' activities,
  // scenes) from the books; a long run calls it now and then so that the
  // world's per-frame work does not grow with every visit.
  void forget_what_is_gone();

  // --- calls, failures and violations (world.cpp) -------------------------
  // A call the host found sound runs its handler, unless its native fails.
  void perform(NativeCall& call, bool sound);
  // A native the host answers itself, outside the game's table: its
  // handler acts on the world and the call is recorded.
  void perform_outside(NativeCall& call, bool sound);

  // What a native the stand-in does not simulate answers, until changed:
  // its result slots (a text answer points at the kept text).
  struct Answer {
    uint64_t result[3] = {};
    std::string text;
    bool is_text = false;  // the result is the text's address
  };
  void set_answer(uint64_t hash, Answer answer);
  void clear_answer(uint64_t hash) { answers_.erase(hash); }
  const Answer* answer(uint64_t hash) const;
  // A failing native answers 0 and acts on nothing. A test or a scenario
  // fails one until it says otherwise; a fault fails some while it lasts.
  enum class FailedBy : uint8_t { test = 1, fault = 2 };
  void fail_native(uint64_t hash, bool fail = true) { fail_native(hash, FailedBy::test, fail); }
  void fail_native(uint64_t hash, FailedBy by, bool fail);
  void stop_failing(FailedBy by);     // every native it failed answers again
  bool failing(uint64_t hash) const;  // a test or a fault fails it now
  void violation(const std::string& what);
  // The breaches so far, as the journal tells them.
  std::vector<std::string> violations() const;
  // The calls to a native, simulated or not, answered by the world or the host.
  uint64_t calls_to(uint64_t hash) const;
  uint64_t natives_called() const;  // distinct ones
  // What the game tolerates: under the strict host a violation, else a
  // warning, told once for each `key` (a native and what it was sent) and
  // counted per call. False when it is a violation.
  bool strict = false;
  bool tolerate(const std::string& key, std::string what);
  struct Tolerated {
    std::string what;  // as first told
    uint64_t calls = 0;
  };
  const std::map<std::string, Tolerated>& tolerated() const { return tolerated_; }

  // --- the calls (world.cpp; their records are the journal's) --------------
  // The calls the journal keeps, while it records them (journal.recording_calls).
  const std::vector<CallRecord>& calls() const { return journal.call_records(); }
  std::vector<const CallRecord*> calls_to(const char* name) const;
  size_t count_calls(const char* name) const;
  uint64_t total_calls() const { return total_calls_; }
  // Calls of one simulated native, counted with the record off too.
  uint64_t calls_of(const NativeRow* row) const;
  std::string record_text() const;
  void clear_record() { journal.forget_read(); }  // the calls so far, and all read

 private:
  uint64_t frame_ = 0;
  uint64_t elapsed_ms_ = 0;
  double timer_fraction_ = 0.0;
  uint32_t timer_ms_ = 100000;
  float frame_seconds_ = 1.0f / 60.0f;

  std::map<uint32_t, ModelState> models_;
  std::map<int32_t, EntityState> entities_;
  void forget_entity(int32_t handle);
  HandlePool entity_handles_{1, 2};  // peds and the rest free apart, as the game's pools
  static size_t pool_of(EntityKind kind) { return kind == EntityKind::ped ? 0 : 1; }
  int32_t player_ped_ = 0;

  std::map<int32_t, PromptState> prompts_;
  HandlePool prompt_handles_{1};
  std::map<int, int32_t> entity_groups_;        // a target entity's group: the entity
  std::map<uint32_t, uint64_t> active_groups_;  // a script's own group: the frame it was shown
  void work_prompts_by_controls();              // each frame, before the scripts run

  std::map<uint32_t, std::string> texts_;
  std::unordered_map<uint32_t, std::string> names_;  // asked on every name a plug-in hashes
  static constexpr int text_slots = 16;
  char text_ring_[text_slots][512] = {};
  int next_text_ = 0;
  uint32_t tick_base_ = 10000000;  // the machine has been up a while when the game starts

  uint64_t rng_ = 0x2545F4914F6CDD1DULL;
  std::map<std::pair<int32_t, int32_t>, std::deque<int32_t>> next_draws_;
  // By place in the native table, for simulated natives.
  const NativeRow* first_row_ = native_rows_begin();
  std::vector<uint8_t> failing_ = std::vector<uint8_t>(native_row_count());  // FailedBy bits
  std::vector<uint64_t> calls_by_row_ = std::vector<uint64_t>(native_row_count());
  // The calls to natives without a simulated row, or that the host answers: by hash.
  std::map<uint64_t, uint64_t> other_calls_;
  std::map<std::string, Tolerated> tolerated_;
  std::map<uint64_t, Answer> answers_;
  uint64_t total_calls_ = 0;

  // What the pass a frame saw last (observe.cpp); the values that change
  // smoothly keep theirs with the thing.
  struct Observed {
    std::map<uint64_t, std::string> offered;  // prompt serial: the label offered
    std::map<std::string, bool> drawn_into;
    std::vector<DrawnText> drawn;
    std::vector<DrawnRect> rects;
    std::vector<DrawnSprite> sprites;
    uint64_t previous_ms = 0;  // elapsed at the end of the frame before
    int32_t interior = 0;      // the player's
  } observed_;
  bool prompt_offered(const PromptState& p, Vec me) const;
  void settle(Ramp& ramp, double now, uint64_t thing, const char* what);
  void tell_offered(const PromptState& p);
  void tell_box(bool drawn, std::string_view texture, float x, float y, float width, float height,
                float heading, const int (&colour)[4], PluginId by);
};

}  // namespace sim
