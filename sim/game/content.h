#pragma once
// The game's content: its ped models with their kind and outfits, its
// vehicles, objects, weapons, ammo, emotes, train configurations and
// dictionaries (reference/game/), built in; and what a scenario adds for a
// mod's own assets. A complete list decides what the game has; a partial
// one takes a name it lacks on trust, and the stand-in says it does not
// know it.

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <unordered_set>

namespace sim {

enum class ContentList : uint8_t {
  peds,
  vehicles,
  objects,
  weapons,
  ammo,
  emotes,
  train_configs,
  anim_dicts,
  texture_dicts,
  map_parts,  // no list: every one is taken on trust
};
constexpr int content_list_count = 10;

// The game's weapon every ped holds empty-handed; its data leaves it out.
constexpr std::string_view unarmed_weapon = "weapon_unarmed";

// What a model makes: the ped kinds by the game's list, then the rest.
enum class ModelKind : uint8_t { none, human, horse, animal, bird, fish, other, vehicle, object };

struct ContentItem {
  uint32_t hash = 0;
  std::string_view name;  // empty: the game's data gives only its hash
  ModelKind kind = ModelKind::none;
  int outfits = 0;         // a ped model's outfit presets
  std::string_view group;  // a weapon's group (group_revolver, ...)
};

bool list_is_complete(ContentList list);
const char* content_noun(ContentList list);  // "model", "weapon", ...
// The kind a name gives (human, horse, animal, bird, fish, other, vehicle,
// object), case-blind; none when it is none of them.
ModelKind model_kind_named(std::string_view name);
const char* model_kind_name(ModelKind kind);
bool is_creature(ModelKind kind);  // horse, animal, bird or fish

// Names ordered as the game's hash sees them: the case never matters.
struct NameLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

struct Content {
  // What the game has, or a scenario added, by hash; null when neither.
  const ContentItem* find(ContentList list, uint32_t hash) const;
  // By name: the game's hash lower-cases it, so the case never matters.
  const ContentItem* find(ContentList list, std::string_view name) const;
  // A model of any kind: a ped's, a vehicle's or an object's.
  const ContentItem* model(uint32_t hash) const;
  // A name that reads as one of the game's ped models' (a_c_..., cs_...)
  // though the list lacks it: a misspelt ped, which the game does not have.
  static bool reads_as_ped(std::string_view name);

  // A mod's own asset, as a scenario declares it.
  void add(ContentList list, std::string_view name, ModelKind kind = ModelKind::none);
  // True the first time it is asked of a thing, so each is told once.
  bool first_mention(ContentList list, uint32_t hash);

 private:
  std::map<uint32_t, ContentItem> added_[content_list_count];
  std::deque<std::string> added_names_;
  std::unordered_set<uint64_t> told_;
};

}  // namespace sim
